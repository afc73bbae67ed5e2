#pragma once

#include <array>
#include <bitset>
#include <cstdint>

// Four sets of byte values, looked for among 64 bytes at once: with AVX-512 VBMI, a byte's sets
// in one look-up of all 256 values; else 32 bytes a step with AVX2, each set a table look-up
// by the byte's upper five bits and a test of the bit its lower three pick; a byte at a time
// without either.
class BlockByteSets
{
public:
    static constexpr std::size_t kBlockBytes = 64;
    static constexpr std::size_t kSets = 4;
    using Sets = std::array<std::bitset<256>, kSets>;
    // Per set, bit i set where block[i] is in it.
    using Found = std::array<std::uint64_t, kSets>;

    explicit BlockByteSets(const Sets &sets);

    // found[b] of the block at bytes + b * kBlockBytes, for each of the blocks.
    void in(const char *bytes, std::size_t blocks, Found *found) const;

private:
    void byByte(const char *bytes, std::size_t blocks, Found *found) const;
#if defined(__x86_64__) && !defined(QARVO_NO_AVX2)
    void byAvx2(const char *bytes, std::size_t blocks, Found *found) const;
#endif
#if defined(__x86_64__) && !defined(QARVO_NO_AVX2) && !defined(QARVO_NO_AVX512)
    void byAvx512(const char *bytes, std::size_t blocks, Found *found) const;
#endif

    // Per byte value, bit k set when set k holds it.
    std::array<std::uint8_t, 256> m_setsOf{};
    // Per set, the bits of its byte values, eight to a byte: of 0x00 to 0x7F, then of 0x80
    // to 0xFF; each a table of 16 that one byte shuffle looks up.
    std::array<std::array<std::uint8_t, 16>, kSets> m_lowBits{};
    std::array<std::array<std::uint8_t, 16>, kSets> m_highBits{};
    bool m_avx2 = false;
    bool m_avx512 = false;
};
