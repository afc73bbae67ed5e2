#pragma once

#include "FieldDecoder.h"
#include "JsonText.h"
#include "Layout.h"
#include "OutputBuffer.h"

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
    bool write(std::string_view record, OutputBuffer &out);

    // text as the characters of a JSON string, without its quotes.
    static void appendEscaped(std::string_view text, std::string &out);

private:
    // How a field's value is written: the common kinds straight into the output, the others
    // through the decoder's text.
    enum class Way : std::uint8_t { Packed, Zoned, Binary, Floating, Text, Decoded };
    struct Field
    {
        const Item *item = nullptr;
        std::size_t most = 0; // bytes written at most, Decoded aside
        Way way = Way::Decoded;
        bool counts = false;  // whether an invalid value makes the record invalid
        bool leftOut = false; // FILLER and 66 levels
    };
    // A value of a record laid out as largest(), with the punctuation and key before it.
    struct Step
    {
        std::uint32_t number;
        std::uint32_t offset;
        std::uint32_t length;
        std::uint32_t prefix; // in m_prefixes
        std::uint32_t prefixLength;
    };
    struct Open
    {
        std::uint16_t depth;
        char closer;
    };
    class Direct;
    class Planner;

    Field fieldOf(const Item &item, std::uint32_t length) const;
    template <class Sink>
    void walk(std::size_t size, const std::vector<Placement> &placements, Sink &sink);
    void plan();
    void writePlanned(std::string_view record, OutputBuffer &out);
    char *value(const Field &field, std::string_view bytes, bool counterOutOfRange, char *at,
                OutputBuffer &out);
    char *decoded(const Field &field, std::string_view bytes, char *at, OutputBuffer &out);
    // The end of the number written at `at`, or null there when end is nullptr.
    char *numberOr(char *end, const Field &field, char *at);
    char *invalid(const Field &field, char *at);

    const Layout &m_layout;
    const FieldDecoder &m_decoder;
    JsonText m_text;
    Layout::CounterReader m_counters;
    std::vector<std::string> m_keys; // "\"NAME\":", by item number
    std::vector<Field> m_fields;     // by item number
    std::vector<Placement> m_placements;
    std::vector<Open> m_open;
    std::vector<Step> m_steps; // empty unless the layout is the same for every record
    std::string m_prefixes;
    std::string m_tail;     // after the last step
    std::size_t m_most = 0; // bytes a planned record writes at most, Decoded values aside
    std::string m_value;
    std::string m_quoted;
    OutputBuffer m_line;
    bool m_valid = true;
};
