#include "LayoutArguments.h"

#include "CommandLine.h"

namespace {

// Which of two words value is: false for the first, true for the second.
bool oneOf(std::string_view option, std::string_view value, std::string_view first,
           std::string_view second)
{
    if (value != first && value != second)
        throw CommandLine::UsageError("option " + std::string(option) + " takes " +
                                      std::string(first) + " or " + std::string(second) +
                                      ", not '" + std::string(value) + "'");
    return value == second;
}

} // namespace

const std::vector<LayoutArguments::ValueOption> &LayoutArguments::valueOptions()
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

void LayoutArguments::takeValue(std::string_view option, std::string_view value)
{
    if (option == "--copybook") {
        if (value.empty())
            throw CommandLine::UsageError("option --copybook needs a copybook file");
        m_copybook = value;
    } else if (option == "--layout-record") {
        m_record = value;
    } else if (option == "--copybook-format") {
        m_freeFormat = oneOf(option, value, "fixed", "free");
    } else if (option == "--binary") {
        m_littleEndianComp5 = oneOf(option, value, "big", "little");
    } else if (option == "--float") {
        m_floats = oneOf(option, value, "hex", "ieee") ? Floats::Ieee : Floats::Hex;
    } else if (option == "--nsymbol") {
        m_nationalN = oneOf(option, value, "dbcs", "national");
    }
}

bool LayoutArguments::takeFlag(std::string_view flag)
{
    if (flag == "--layout")
        setOutput(Output::Layout);
    else if (flag == "--fields")
        setOutput(Output::Fields);
    else if (flag == "--json")
        setOutput(Output::Json);
    else
        return false;
    return true;
}

void LayoutArguments::setOutput(Output output)
{
    if (m_output != Output::None && m_output != output)
        throw CommandLine::UsageError("only one of --layout, --fields and --json");
    m_output = output;
}

void LayoutArguments::check(int operands, bool others) const
{
    if (!asked()) {
        if (!m_copybook.empty())
            throw CommandLine::UsageError("--copybook needs --layout, --fields or --json");
        return;
    }
    if (m_copybook.empty())
        throw CommandLine::UsageError("--layout, --fields and --json need --copybook");
    if (others)
        throw CommandLine::UsageError(
            "--layout, --fields and --json go with no find, compare, --check, --count or --raw");
    if (m_output == Output::Layout && operands > 0)
        throw CommandLine::UsageError("--layout takes no FILE");
    if (m_output != Output::Layout && operands == 0)
        throw CommandLine::UsageError("missing FILE");
    if (m_output == Output::Json && operands == 2)
        throw CommandLine::UsageError("--json takes no RECORD");
}
