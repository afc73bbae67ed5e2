#pragma once

#include "Decimal.h"
#include "FieldValue.h"
#include "Layout.h"
#include "TextDecoder.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class Encoding;
struct Item;

// The value of an elementary item's bytes in a record's encoding: exact numbers, text with its
// trailing blanks removed, floats as the shortest decimal of their nearest double, pointers in
// hex. Nothing depends on other fields or records.
class FieldDecoder
{
public:
    struct Options
    {
        enum class Floats { ByEncoding, Hex, Ieee };

        Floats floats = Floats::ByEncoding; // IBM hexadecimal under EBCDIC, else IEEE 754
        bool littleEndianComp5 = false;     // as PC compilers write COMP-5
        bool nationalN = false;             // PIC N with no USAGE as UTF-16, not DBCS
    };

    // How decode() reads an item, settled by its usage and picture alone.
    enum class Method : std::uint8_t { Floating, Hex, Text, Packed, Binary, Zoned, Edited };

    FieldDecoder(std::shared_ptr<const Encoding> encoding, Options options);

    const Options &options() const { return m_options; }
    static Method methodOf(const Item &item, std::size_t length);
    const TextDecoder &textDecoder() const { return m_text; }

    // Appends the value to out, as FieldValue's kind says; an invalid value appends nothing.
    // bytes: exactly the item's length.
    FieldValue decode(std::string_view bytes, const Item &item, std::string &out) const;
    // The whole number a DEPENDING ON counter holds.
    std::optional<std::int64_t> counter(std::string_view bytes, const Item &item) const;
    // counter() for the layout of a record; refers to this decoder.
    Layout::CounterReader counterReader() const;
    // decode() of an item of the method in the name, as a JSON number at `at`, which has
    // room for Decimal::kMostWritten bytes (kMostFloat for floats) when the item's scale is
    // within Decimal::kMostDigits either way; the end of it, or nullptr when the bytes hold no
    // number (NaN and infinities for floats).
    char *writePacked(std::string_view bytes, const Item &item, char *at) const;
    char *writeZoned(std::string_view bytes, const Item &item, char *at) const;
    char *writeBinary(std::string_view bytes, const Item &item, char *at) const;
    char *writeFloating(std::string_view bytes, char *at) const;

    static constexpr std::size_t kMostFloat = 32;

private:
    FieldValue text(std::string_view bytes, const Item &item, std::string &out) const;
    FieldValue number(std::string_view bytes, const Item &item, std::string &out) const;
    FieldValue floating(std::string_view bytes, std::string &out) const;
    FieldValue::Reason decimal(std::string_view bytes, const Item &item, Decimal &out) const;
    char *writeDecimal(std::string_view bytes, const Item &item, char *at) const;
    bool littleEndian(const Item &item) const;

    TextDecoder m_text;
    Options m_options;
    bool m_hexFloats;
};
