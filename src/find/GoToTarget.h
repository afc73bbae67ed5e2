#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string_view>

// Where Go To goes: "RECORD", "RECORD:OFFSET" or ":OFFSET", each number decimal or 0x hex;
// the record counts from 1, the offset from 0 within the record.
struct GoToTarget
{
    // Text that names no place, or a place outside the file; the message is for the user.
    class Error : public std::runtime_error
    {
    public:
        using std::runtime_error::runtime_error;
    };

    std::optional<std::uint64_t> record; // nothing: the record shown
    std::uint64_t offset = 0;

    // Throws Error.
    static GoToTarget parse(std::string_view text);
    // The record (from 1) and offset it names in a file of recordCount records, where the
    // record shown is shown (0 for none) and recordLength tells a record's length. Throws
    // Error for a place outside the file or the record.
    template <typename Length>
    GoToTarget resolved(std::uint64_t recordCount, std::uint64_t shown, Length recordLength) const
    {
        const std::uint64_t number = record.value_or(shown);
        checkRecord(number, recordCount);
        checkOffset(offset, recordLength(number));
        return {number, offset};
    }

private:
    static void checkRecord(std::uint64_t number, std::uint64_t recordCount);
    static void checkOffset(std::uint64_t offset, std::uint64_t length);
};
