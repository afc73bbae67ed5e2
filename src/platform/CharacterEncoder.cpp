#include "CharacterEncoder.h"

#include "Failure.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <iconv.h>

namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(std::intptr_t{-1});
constexpr auto kFailed = static_cast<std::size_t>(-1);

} // namespace

struct CharacterEncoder::Handle
{
    iconv_t converter;
    ~Handle() { iconv_close(converter); }
};

CharacterEncoder::CharacterEncoder(const std::string &charset)
{
    const iconv_t converter = iconv_open(charset.c_str(), "UTF-8");
    if (converter == kNoConverter)
        throw Failure("The character set " + charset + " is not supported");
    // Not moved from a temporary Handle, whose destructor would close the converter.
    m_handle.reset(new Handle{converter});
}

CharacterEncoder::~CharacterEncoder() = default;
CharacterEncoder::CharacterEncoder(CharacterEncoder &&) noexcept = default;
CharacterEncoder &CharacterEncoder::operator=(CharacterEncoder &&) noexcept = default;

// Written through a small buffer, so text of any length needs no guess at the output's size;
// the final call writes what takes a stateful set back to its initial state.
CharacterEncoder::Result CharacterEncoder::encode(std::string_view utf8) const
{
    const iconv_t converter = m_handle->converter;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    Result result;
    std::array<char, 256> buffer;
    char *in = const_cast<char *>(utf8.data());
    std::size_t inLeft = utf8.size();
    for (bool flushed = false; !flushed;) {
        char *out = buffer.data();
        std::size_t outLeft = buffer.size();
        const char *before = in;
        std::size_t done = 0;
        if (inLeft > 0)
            done = iconv(converter, &in, &inLeft, &out, &outLeft);
        else {
            done = iconv(converter, nullptr, nullptr, &out, &outLeft);
            flushed = done != kFailed;
        }
        result.bytes.append(buffer.data(), out);
        if (done == kFailed && errno != E2BIG)
            return {{}, static_cast<std::size_t>(in - utf8.data())};
        // glibc counts a character written as an approximation as irreversible: refused too,
        // though only the piece it lies in is known.
        if (done != kFailed && done > 0)
            return {{}, static_cast<std::size_t>(before - utf8.data())};
    }
    return result;
}
