#include "ViewerOptions.h"

#include <charconv>
#include <optional>
#include <string_view>

namespace {

// "name VALUE" (at moves on to VALUE) or "name=VALUE"; nothing when arguments[at] is another.
std::optional<std::string> optionValue(const std::vector<std::string> &arguments, std::size_t &at,
                                       std::string_view name)
{
    const std::string_view argument = arguments[at];
    if (argument == name) {
        if (at + 1 == arguments.size())
            throw ViewerOptions::UsageError("option " + std::string(name) + " needs a value");
        return arguments[++at];
    }
    if (argument.starts_with(name) && argument.substr(name.size()).starts_with('='))
        return std::string(argument.substr(name.size() + 1));
    return std::nullopt;
}

std::uint64_t recordLength(const std::string &text)
{
    std::uint64_t length = 0;
    const bool digitsOnly = !text.empty() && text.find_first_not_of("0123456789") == text.npos;
    if (!digitsOnly ||
        std::from_chars(text.data(), text.data() + text.size(), length).ec != std::errc() ||
        length < 1 || length > Framing::kMostLength)
        throw ViewerOptions::UsageError("invalid record length '" + text + "'");
    return length;
}

} // namespace

bool ViewerOptions::takeLayoutOption(const std::vector<std::string> &arguments, std::size_t &at)
{
    for (const LayoutChoice::ValueOption &option : LayoutChoice::valueOptions()) {
        if (const std::optional<std::string> value = optionValue(arguments, at, option.name)) {
            try {
                m_layout.take(option.name, *value);
            } catch (const std::invalid_argument &error) {
                throw UsageError(error.what());
            }
            m_layoutOptionGiven = m_layoutOptionGiven || option.name != "--copybook";
            return true;
        }
    }
    return false;
}

const char *const ViewerOptions::kUsage =
    R"(Usage: qarvo [--encoding NAME] [--record-length N | --rdw] [--copybook CPY ...] [FILE]
Show FILE one record at a time as a vertical hex dump.

  --encoding NAME    the character set of the records: utf-8, euc-jp, shift_jis, gb18030,
                     big5, ibm-939, ... (qarvo-dump --list-encodings lists them), locale
                     for the locale's code page, or auto to pick it from the file's bytes
  --record-length N  every N bytes are a record (1 to 2147483647), the last may be shorter
  --rdw              variable records, each after a 4-byte record descriptor word
  --copybook CPY     lay the records out by a COBOL copybook and show their fields; records
                     are then fixed-length, as long as the layout, unless framed otherwise
  --layout-record NAME   the copybook's 01 record to use; its first by default
  --copybook-format fixed|free   columns 8 to 72 (the default) or whole lines
  --binary big|little    byte order of COMP-5 (big by default)
  --float hex|ieee   COMP-1 and COMP-2 as IBM hexadecimal (the default under EBCDIC) or IEEE
  --nsymbol dbcs|national   PIC N with no USAGE as double-byte (the default) or UTF-16
  --help             show this help and exit
  --version          show the version and exit
)";

ViewerOptions::ViewerOptions(const std::vector<std::string> &arguments)
{
    bool lengthGiven = false;
    bool rdwGiven = false;
    std::size_t at = 0;
    for (; at < arguments.size(); ++at) {
        const std::string &argument = arguments[at];
        if (argument == "--") {
            ++at;
            break;
        }
        if (argument == "-" || !argument.starts_with('-'))
            break;
        if (auto name = optionValue(arguments, at, "--encoding")) {
            m_encoding = std::move(*name);
        } else if (const auto length = optionValue(arguments, at, "--record-length")) {
            m_framing = Framing::fixedLength(recordLength(*length));
            lengthGiven = true;
        } else if (argument == "--rdw") {
            m_framing = Framing::rdw();
            rdwGiven = true;
        } else if (takeLayoutOption(arguments, at)) {
        } else if (argument == "--help") {
            m_help = true;
        } else if (argument == "--version") {
            m_version = true;
        } else {
            throw UsageError("unknown option '" + argument + "'");
        }
    }
    if (m_layout.copybook.empty() && m_layoutOptionGiven)
        throw UsageError("the layout's options go with --copybook");
    if (lengthGiven && rdwGiven)
        throw UsageError("--record-length and --rdw exclude each other");
    m_fileArguments.assign(arguments.begin() + static_cast<std::ptrdiff_t>(at), arguments.end());
}
