#include "CharacterConverter.h"

#include "Failure.h"

#include <array>
#include <cstdint>
#include <iconv.h>

namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(std::intptr_t{-1});
constexpr auto kFailed = static_cast<std::size_t>(-1);

iconv_t openFrom(const std::string &charset)
{
    return iconv_open("UTF-32LE", charset.c_str());
}

} // namespace

struct CharacterConverter::Handle
{
    iconv_t converter;
    ~Handle() { iconv_close(converter); }
};

CharacterConverter::CharacterConverter(const std::string &charset)
{
    const iconv_t converter = openFrom(charset);
    if (converter == kNoConverter)
        throw Failure("The character set " + charset + " is not supported");
    m_handle.reset(new Handle{converter});
}

CharacterConverter::~CharacterConverter() = default;
CharacterConverter::CharacterConverter(CharacterConverter &&) noexcept = default;
CharacterConverter &CharacterConverter::operator=(CharacterConverter &&) noexcept = default;

bool CharacterConverter::exists(const std::string &charset)
{
    const iconv_t converter = openFrom(charset);
    if (converter == kNoConverter)
        return false;
    iconv_close(converter);
    return true;
}

// The final call flushes what a converter holds back to combine with what follows.
std::optional<std::u32string> CharacterConverter::decode(std::string_view bytes) const
{
    const iconv_t converter = m_handle->converter;
    std::array<char32_t, 16> buffer;
    char *in = const_cast<char *>(bytes.data());
    std::size_t inLeft = bytes.size();
    char *out = reinterpret_cast<char *>(buffer.data());
    std::size_t outLeft = sizeof buffer;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    if (iconv(converter, &in, &inLeft, &out, &outLeft) == kFailed || inLeft != 0 ||
        iconv(converter, nullptr, nullptr, &out, &outLeft) == kFailed)
        return std::nullopt;
    return std::u32string(buffer.data(), reinterpret_cast<char32_t *>(out));
}
