#include "SingleByteEncoding.h"

SingleByteEncoding::SingleByteEncoding(std::string name, const std::string &charset)
    : EncodingBase(std::move(name), GlyphTable::forCharset(charset))
{}

std::optional<UnitStart> SingleByteEncoding::startNear(std::string_view, std::size_t at) const
{
    return UnitStart{at, 0};
}
