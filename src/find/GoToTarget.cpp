#include "GoToTarget.h"

#include <charconv>
#include <string>

namespace {

std::string_view trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == text.npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::uint64_t number(std::string_view text, const char *what)
{
    text = trimmed(text);
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    }
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error == std::errc::result_out_of_range)
        throw GoToTarget::Error(std::string(what) + " is too large or missing");
    if (error != std::errc() || end != text.data() + text.size())
        throw GoToTarget::Error(std::string(what) + " is no number: \"" + std::string(text) + "\"");
    return value;
}

} // namespace

GoToTarget GoToTarget::parse(std::string_view text)
{
    text = trimmed(text);
    if (text.empty())
        throw Error("Type RECORD, RECORD:OFFSET or :OFFSET");
    GoToTarget target;
    const std::size_t colon = text.find(':');
    const std::string_view recordPart = text.substr(0, colon);
    if (colon == text.npos || !trimmed(recordPart).empty())
        target.record = number(recordPart, "The record");
    if (colon != text.npos)
        target.offset = number(text.substr(colon + 1), "The offset");
    return target;
}

void GoToTarget::checkRecord(std::uint64_t number, std::uint64_t recordCount)
{
    if (recordCount == 0)
        throw Error("No file is loaded");
    if (number < 1 || number > recordCount)
        throw Error("Record " + std::to_string(number) + " is outside 1 to " +
                    std::to_string(recordCount));
}

void GoToTarget::checkOffset(std::uint64_t offset, std::uint64_t length)
{
    if (offset == 0 || offset < length)
        return;
    throw Error("Offset " + std::to_string(offset) + " is outside the record's " +
                std::to_string(length) + " bytes");
}
