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

} // namespace

CommandLine::CommandLine(const std::vector<std::string_view> &arguments)
{
    constexpr std::string_view kCodePage = "--codepage";
    bool operandsOnly = false;
    for (std::size_t i = 0; i < arguments.size() && !m_help && !m_version; ++i) {
        const std::string_view argument = arguments[i];
        if (operandsOnly || argument == "-" || !argument.starts_with('-')) {
            takeOperand(argument);
        } else if (argument == "--") {
            operandsOnly = true;
        } else if (argument == kCodePage) {
            if (i + 1 == arguments.size())
                throw UsageError("option --codepage needs a code page number");
            m_codePage = parseNumber<int>(arguments[++i], "code page");
        } else if (argument.starts_with(std::string(kCodePage) + "=")) {
            m_codePage = parseNumber<int>(argument.substr(kCodePage.size() + 1), "code page");
        } else if (argument == "--find" || argument == "--find-hex") {
            if (i + 1 == arguments.size())
                throw UsageError("option " + std::string(argument) + " needs a value");
            takeFind(argument, arguments[++i]);
        } else if (argument.starts_with("--find=") || argument.starts_with("--find-hex=")) {
            const std::size_t equals = argument.find('=');
            takeFind(argument.substr(0, equals), argument.substr(equals + 1));
        } else {
            takeFlag(argument);
        }
    }
    if (!m_help && !m_version)
        check();
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
    else
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

void CommandLine::check() const
{
    if (m_operands == 0)
        throw UsageError("missing FILE");
    if (m_file.empty())
        throw UsageError("FILE is empty");
    if (m_count && m_operands == 2)
        throw UsageError("--count takes no RECORD");
    if (m_finds && m_operands == 2)
        throw UsageError("--find and --find-hex take no RECORD");
    if (m_finds && m_raw)
        throw UsageError("--raw does not go with --find or --find-hex");
}
