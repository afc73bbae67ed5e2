#pragma once

#include <optional>
#include <string>
#include <string_view>

// Decodes characters of a Windows code page to UTF-8 through the C library's iconv.
class CodePageDecoder
{
public:
    explicit CodePageDecoder(int codePage);
    ~CodePageDecoder();
    CodePageDecoder(const CodePageDecoder &) = delete;
    CodePageDecoder &operator=(const CodePageDecoder &) = delete;

    // One character of one or two bytes; nothing when those bytes do not decode.
    std::optional<std::string> decode(std::string_view character) const;
};
