#include "CodePageDecoder.h"

#include "CodePage.h"
#include "Failure.h"
#include "Utf8Writer.h"

#include <array>
#include <cstdint>
#include <iconv.h>
#include <locale.h>
#include <memory>
#include <wchar.h>

namespace {

constexpr std::size_t kSingles = 256;
constexpr std::size_t kEntries = kSingles + 256 * 256;

struct IconvCloser
{
    void operator()(void *handle) const { iconv_close(static_cast<iconv_t>(handle)); }
};
using Converter = std::unique_ptr<void, IconvCloser>;

// wcwidth follows LC_CTYPE; any UTF-8 locale has the same widths, and C.UTF-8 is always there.
class Utf8CharacterWidths
{
public:
    Utf8CharacterWidths() : m_locale(newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{}))
    {
        if (!m_locale)
            throw Failure("The C.UTF-8 locale is missing");
        m_previous = uselocale(m_locale);
    }
    ~Utf8CharacterWidths()
    {
        uselocale(m_previous);
        freelocale(m_locale);
    }
    Utf8CharacterWidths(const Utf8CharacterWidths &) = delete;
    Utf8CharacterWidths &operator=(const Utf8CharacterWidths &) = delete;

    // Below 0 for a control character or an unassigned code point.
    int of(wchar_t character) const { return character == 0 ? -1 : wcwidth(character); }

private:
    locale_t m_locale;
    locale_t m_previous = locale_t{};
};

// Each character from the converter's initial state, so that no shift state carries over;
// the final call flushes what a converter holds back to combine with what follows.
std::wstring convert(void *handle, std::string_view bytes)
{
    const auto converter = static_cast<iconv_t>(handle);
    std::array<wchar_t, 8> buffer;
    char *in = const_cast<char *>(bytes.data());
    std::size_t inLeft = bytes.size();
    char *out = reinterpret_cast<char *>(buffer.data());
    std::size_t outLeft = sizeof buffer;
    constexpr auto kFailed = static_cast<std::size_t>(-1);
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    if (iconv(converter, &in, &inLeft, &out, &outLeft) == kFailed || inLeft != 0 ||
        iconv(converter, nullptr, nullptr, &out, &outLeft) == kFailed)
        return {};
    return {buffer.data(), reinterpret_cast<wchar_t *>(out)};
}

} // namespace

CodePageDecoder::CodePageDecoder(int codePage) : m_entries(kEntries)
{
    const std::string name = "CP" + std::to_string(codePage);
    const iconv_t handle = iconv_open("WCHAR_T", name.c_str());
    if (handle == reinterpret_cast<iconv_t>(std::intptr_t{-1}))
        throw Failure("Code page " + std::to_string(codePage) + " is not supported");
    const Converter converter(handle);
    const Utf8CharacterWidths widths;
    const auto add = [&](std::string_view character) {
        const std::wstring decoded = convert(converter.get(), character);
        Entry entry{static_cast<std::uint32_t>(m_utf8.size()), 0, 0};
        int columns = 0;
        for (const wchar_t c : decoded) {
            const int width = widths.of(c);
            if (width < 0)
                return;
            columns += width;
            Utf8Writer::append(m_utf8, static_cast<char32_t>(c));
        }
        entry.size = static_cast<std::uint8_t>(m_utf8.size() - entry.offset);
        entry.columns = static_cast<std::uint8_t>(columns);
        m_entries[*indexOf(character)] = entry;
    };
    std::array<char, 2> bytes;
    for (std::size_t first = 0; first < kSingles; ++first) {
        bytes[0] = static_cast<char>(first);
        add({bytes.data(), 1});
    }
    for (const auto &range : CodePage::leadByteRanges(codePage)) {
        for (int lead = range.low; lead <= range.high; ++lead) {
            bytes[0] = static_cast<char>(lead);
            for (std::size_t trail = 0; trail < 256; ++trail) {
                bytes[1] = static_cast<char>(trail);
                add({bytes.data(), 2});
            }
        }
    }
}

std::optional<std::string> CodePageDecoder::decode(std::string_view character) const
{
    const Glyph decoded = glyph(character);
    if (decoded.utf8.empty())
        return std::nullopt;
    return std::string(decoded.utf8);
}

CodePageDecoder::Glyph CodePageDecoder::glyph(std::string_view character) const
{
    const auto index = indexOf(character);
    if (!index)
        return {};
    const Entry &entry = m_entries[*index];
    return {std::string_view(m_utf8).substr(entry.offset, entry.size), entry.columns};
}

std::optional<std::size_t> CodePageDecoder::indexOf(std::string_view character)
{
    const auto byte = [&character](std::size_t i) {
        return static_cast<std::size_t>(static_cast<std::uint8_t>(character[i]));
    };
    switch (character.size()) {
    case 1:
        return byte(0);
    case 2:
        return kSingles + byte(0) * 256 + byte(1);
    default:
        return std::nullopt;
    }
}
