#include "LayoutChoice.h"

#include <stdexcept>

namespace {

// Which of two words value is: false for the first, true for the second.
bool oneOf(std::string_view option, std::string_view value, std::string_view first,
           std::string_view second)
{
    if (value != first && value != second)
        throw std::invalid_argument("option " + std::string(option) + " takes " +
                                    std::string(first) + " or " + std::string(second) + ", not '" +
                                    std::string(value) + "'");
    return value == second;
}

} // namespace

const std::vector<LayoutChoice::ValueOption> &LayoutChoice::valueOptions()
{
    static const std::vector<ValueOption> kOptions{
        {"--copybook", "a copybook file"},
        {"--layout-record", "a record name"},
        {"--copybook-format", "fixed or free"},
        {"--binary", "big or little"},
        {"--float", "hex or ieee"},
        {"--nsymbol", "dbcs or national"},
    };
    return kOptions;
}

void LayoutChoice::take(std::string_view option, std::string_view value)
{
    using Floats = FieldDecoder::Options::Floats;
    if (option == "--copybook") {
        if (value.empty())
            throw std::invalid_argument("option --copybook needs a copybook file");
        copybook = value;
    } else if (option == "--layout-record") {
        record = value;
    } else if (option == "--copybook-format") {
        format = oneOf(option, value, "fixed", "free") ? CopybookReader::Format::Free
                                                       : CopybookReader::Format::Reference;
    } else if (option == "--binary") {
        decoding.littleEndianComp5 = oneOf(option, value, "big", "little");
    } else if (option == "--float") {
        decoding.floats = oneOf(option, value, "hex", "ieee") ? Floats::Ieee : Floats::Hex;
    } else if (option == "--nsymbol") {
        decoding.nationalN = oneOf(option, value, "dbcs", "national");
    }
}
