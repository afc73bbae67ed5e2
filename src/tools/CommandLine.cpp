#include "CommandLine.h"

#include <charconv>

namespace {

// Decimal digits only: no sign, no blanks, nothing after them.
template <typename Number> Number parseNumber(std::string_view text, const std::string &what)
{
    Number value{};
    const bool digitsOnly = !text.empty() && text.find_first_not_of("0123456789") == text.npos;
    if (!digitsOnly ||
        std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc())
        throw CommandLine::UsageError("invalid " + what + " '" + std::string(text) + "'");
    return value;
}

// The value of option name at arguments[at], given as "name VALUE" (at moves on to VALUE) or
// as "name=VALUE"; nothing when arguments[at] is another.
std::optional<std::string_view> optionValue(const std::vector<std::string_view> &arguments,
                                            std::size_t &at, std::string_view name,
                                            std::string_view needs)
{
    const std::string_view argument = arguments[at];
    if (argument == name) {
        if (at + 1 == arguments.size())
            throw CommandLine::UsageError("option " + std::string(name) + " needs " +
                                          std::string(needs));
        return arguments[++at];
    }
    if (argument.starts_with(name) && argument.substr(name.size()).starts_with('='))
        return argument.substr(name.size() + 1);
    return std::nullopt;
}

} // namespace

CommandLine::CommandLine(const std::vector<std::string_view> &arguments)
{
    bool operandsOnly = false;
    for (std::size_t i = 0; i < arguments.size() && !asksForNothingElse(); ++i) {
        const std::string_view argument = arguments[i];
        if (operandsOnly || argument == "-" || !argument.starts_with('-'))
            takeOperand(argument);
        else if (argument == "--")
            operandsOnly = true;
        else if (!takeValueOption(arguments, i))
            takeFlag(argument);
    }
    if (!asksForNothingElse())
        checkCombination();
}

// false for an argument that is no option with a value.
bool CommandLine::takeValueOption(const std::vector<std::string_view> &arguments, std::size_t &i)
{
    if (const auto page = optionValue(arguments, i, "--codepage", "a code page number")) {
        m_codePage = parseNumber<int>(*page, "code page");
    } else if (const auto name = optionValue(arguments, i, "--encoding", "an encoding name")) {
        m_encoding = std::string(*name);
    } else if (const auto text = optionValue(arguments, i, "--find", "a text")) {
        takeFind("--find", *text);
    } else if (const auto hex = optionValue(arguments, i, "--find-hex", "hex bytes")) {
        takeFind("--find-hex", *hex);
    } else if (const auto other = optionValue(arguments, i, "--compare", "a file")) {
        takeCompare("--compare", *other);
    } else if (const auto file = optionValue(arguments, i, "--compare-files", "a file")) {
        takeCompare("--compare-files", *file);
    } else if (const auto length =
                   optionValue(arguments, i, "--record-length", "a record length")) {
        const auto bytes = parseNumber<std::uint64_t>(*length, "record length");
        if (bytes < 1 || bytes > Framing::kMostLength)
            throw UsageError("record length " + std::string(*length) + " is not between 1 and " +
                             std::to_string(Framing::kMostLength));
        m_recordLength = bytes;
    } else {
        for (const LayoutChoice::ValueOption &option : LayoutChoice::valueOptions()) {
            if (const auto value = optionValue(arguments, i, option.name, option.needs)) {
                m_layout.takeValue(option.name, *value);
                return true;
            }
        }
        return false;
    }
    return true;
}

Framing CommandLine::framing() const
{
    if (m_rdw)
        return Framing::rdw();
    if (m_recordLength)
        return Framing::fixedLength(*m_recordLength);
    return Framing::lines();
}

void CommandLine::takeFlag(std::string_view flag)
{
    if (flag == "--help")
        m_help = true;
    else if (flag == "--version")
        m_version = true;
    else if (flag == "--raw")
        m_raw = true;
    else if (flag == "--count")
        m_count = true;
    else if (flag == "--list-encodings")
        m_listEncodings = true;
    else if (flag == "--check")
        m_check = Check::Marks;
    else if (flag == "--check=all")
        m_check = Check::MarksAndShifts;
    else if (flag == "--rdw")
        m_rdw = true;
    else if (flag == "--lines")
        m_lines = true;
    else if (!m_layout.takeFlag(flag))
        throw UsageError("unknown option '" + std::string(flag) + "'");
}

void CommandLine::takeFind(std::string_view option, std::string_view value)
{
    if (m_finds)
        throw UsageError("only one of --find and --find-hex, once");
    if (value.empty())
        throw UsageError("option " + std::string(option) + " needs a value");
    m_finds = true;
    m_findHex = option == "--find-hex";
    m_findText = value;
}

// FILE_B[:RECORD_B]: a colon followed by digits alone names the record; any other colon
// belongs to the name.
void CommandLine::takeCompare(std::string_view option, std::string_view value)
{
    if (compares())
        throw UsageError("only one of --compare and --compare-files, once");
    if (value.empty())
        throw UsageError("option " + std::string(option) + " needs a file");
    m_comparesFiles = option == "--compare-files";
    const std::size_t colon = value.rfind(':');
    const std::string_view number = colon == value.npos ? "" : value.substr(colon + 1);
    if (!m_comparesFiles && colon > 0 && !number.empty() &&
        number.find_first_not_of("0123456789") == number.npos) {
        m_compareRecord = parseNumber<std::uint64_t>(number, "record number");
        value = value.substr(0, colon);
    }
    m_compareFile = value;
}

void CommandLine::takeOperand(std::string_view operand)
{
    switch (m_operands++) {
    case 0:
        m_file = operand;
        break;
    case 1:
        m_record = parseNumber<std::uint64_t>(operand, "record number");
        break;
    default:
        throw UsageError("too many arguments: '" + std::string(operand) + "'");
    }
}

void CommandLine::checkCombination() const
{
    m_layout.check(m_operands, m_finds || compares() || m_check != Check::None || m_count || m_raw);
    if (m_lines && (m_rdw || m_recordLength))
        throw UsageError("--lines, --record-length and --rdw exclude each other");
    if (m_operands == 0 && m_layout.output() != LayoutArguments::Output::Layout)
        throw UsageError("missing FILE");
    if (m_operands > 0 && m_file.empty())
        throw UsageError("FILE is empty");
    if (m_count && m_operands == 2)
        throw UsageError("--count takes no RECORD");
    if (m_codePage && m_encoding)
        throw UsageError("--codepage and --encoding cannot be given together");
    if (m_check != Check::None && (m_operands == 2 || m_count || m_raw || m_finds))
        throw UsageError("--check takes FILE alone, with no RECORD, --count, --raw or a find");
    if (m_finds && m_operands == 2)
        throw UsageError("--find and --find-hex take no RECORD");
    if (m_finds && m_raw)
        throw UsageError("--raw does not go with --find or --find-hex");
    if (compares() && (m_finds || m_check != Check::None || m_count || m_raw))
        throw UsageError(
            "--compare and --compare-files go with no find, --check, --count or --raw");
    if (m_comparesFiles && m_operands == 2)
        throw UsageError("--compare-files takes no RECORD");
    if (m_rdw && m_recordLength)
        throw UsageError("--record-length and --rdw exclude each other");
}
