#pragma once

#include "FieldDecoder.h"
#include "Layout.h"

#include <string>
#include <string_view>
#include <vector>

// Records as JSON objects, a line each: the record's items are its keys, groups are objects,
// OCCURS items arrays of the occurrences present. FILLER, 88 and 66 levels are left out, and
// so are fields past a short record's end; invalid values are null.
class JsonLinesWriter
{
public:
    // Keeps references to both.
    JsonLinesWriter(const Layout &layout, const FieldDecoder &decoder);

    // Appends the record's line to out; whether every value that counts decoded (values that
    // redefine or are redefined do not count).
    bool write(std::string_view record, std::string &out);

    // text as the characters of a JSON string, without its quotes.
    static void appendEscaped(std::string_view text, std::string &out);

private:
    struct Open
    {
        std::uint16_t depth;
        char closer;
    };

    void value(const Placement &placement, std::string_view record, std::string &out);

    const Layout &m_layout;
    const FieldDecoder &m_decoder;
    Layout::CounterReader m_counters;
    std::vector<std::string> m_keys; // "\"NAME\":", by item number
    std::vector<bool> m_leftOut;     // FILLER and 66 levels, by item number
    std::vector<bool> m_counts;      // whether an invalid value makes the record invalid
    std::vector<Placement> m_placements;
    std::vector<Open> m_open;
    std::string m_escaped;
    bool m_valid = true;
};
