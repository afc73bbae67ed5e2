#include "BlockByteSets.h"

#if defined(__x86_64__) && !defined(QARVO_NO_AVX2)
#include <immintrin.h>
#endif

namespace {

// How far ahead the look-ups ask for the bytes they will need; a hint that never faults, past
// the end either. Without it they wait on memory most of the time on a virtual machine, whose
// prefetchers do not see it coming.
constexpr std::size_t kPrefetchBytes = 4096;

} // namespace

BlockByteSets::BlockByteSets(const Sets &sets)
{
    for (std::size_t set = 0; set < kSets; ++set) {
        for (unsigned byte = 0; byte < 256; ++byte) {
            if (!sets[set][byte])
                continue;
            m_setsOf[byte] |= static_cast<std::uint8_t>(1u << set);
            auto &bits = byte < 0x80 ? m_lowBits[set] : m_highBits[set];
            bits[(byte >> 3) & 0x0F] |= static_cast<std::uint8_t>(1u << (byte & 7));
        }
    }
#if defined(__x86_64__) && !defined(QARVO_NO_AVX2)
    m_avx2 = __builtin_cpu_supports("avx2");
#endif
#if defined(__x86_64__) && !defined(QARVO_NO_AVX2) && !defined(QARVO_NO_AVX512)
    m_avx512 = __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi");
#endif
}

void BlockByteSets::in(const char *bytes, std::size_t blocks, Found *found) const
{
#if defined(__x86_64__) && !defined(QARVO_NO_AVX2) && !defined(QARVO_NO_AVX512)
    if (m_avx512)
        return byAvx512(bytes, blocks, found);
#endif
#if defined(__x86_64__) && !defined(QARVO_NO_AVX2)
    if (m_avx2)
        return byAvx2(bytes, blocks, found);
#endif
    byByte(bytes, blocks, found);
}

void BlockByteSets::byByte(const char *bytes, std::size_t blocks, Found *found) const
{
    for (std::size_t block = 0; block < blocks; ++block) {
        found[block] = {};
        for (std::size_t i = 0; i < kBlockBytes; ++i) {
            const std::uint8_t sets =
                m_setsOf[static_cast<std::uint8_t>(bytes[block * kBlockBytes + i])];
            for (std::size_t set = 0; set < kSets; ++set)
                found[block][set] |= std::uint64_t{(sets >> set) & 1u} << i;
        }
    }
}

#if defined(__x86_64__) && !defined(QARVO_NO_AVX2)
__attribute__((target("avx2"))) void BlockByteSets::byAvx2(const char *bytes, std::size_t blocks,
                                                           Found *found) const
{
    __m256i lowTables[kSets];
    __m256i highTables[kSets];
    for (std::size_t set = 0; set < kSets; ++set) {
        lowTables[set] = _mm256_broadcastsi128_si256(
            _mm_loadu_si128(reinterpret_cast<const __m128i *>(m_lowBits[set].data())));
        highTables[set] = _mm256_broadcastsi128_si256(
            _mm_loadu_si128(reinterpret_cast<const __m128i *>(m_highBits[set].data())));
    }
    const __m256i bitOf =
        _mm256_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16,
                         32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128);
    const __m256i high = _mm256_set1_epi8(-128);
    for (std::size_t block = 0; block < blocks; ++block) {
        __builtin_prefetch(bytes + block * kBlockBytes + kPrefetchBytes);
        found[block] = {};
        for (std::size_t half = 0; half < 2; ++half) {
            const __m256i chunk = _mm256_loadu_si256(
                reinterpret_cast<const __m256i *>(bytes + block * kBlockBytes + half * 32));
            // A shuffle gives 0 where its index has the high bit set: so each half's table
            // answers for its own half alone.
            const __m256i row =
                _mm256_and_si256(_mm256_srli_epi16(chunk, 3), _mm256_set1_epi8(0x0F));
            const __m256i halfOf = _mm256_and_si256(chunk, high);
            const __m256i lowRow = _mm256_or_si256(row, halfOf);
            const __m256i highRow = _mm256_or_si256(row, _mm256_xor_si256(halfOf, high));
            const __m256i bit =
                _mm256_shuffle_epi8(bitOf, _mm256_and_si256(chunk, _mm256_set1_epi8(7)));
            for (std::size_t set = 0; set < kSets; ++set) {
                const __m256i bits = _mm256_or_si256(_mm256_shuffle_epi8(lowTables[set], lowRow),
                                                     _mm256_shuffle_epi8(highTables[set], highRow));
                const __m256i inSet = _mm256_cmpeq_epi8(_mm256_and_si256(bits, bit), bit);
                found[block][set] |=
                    std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(inSet))}
                    << (32 * half);
            }
        }
    }
}
#endif

#if defined(__x86_64__) && !defined(QARVO_NO_AVX2) && !defined(QARVO_NO_AVX512)
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) void
BlockByteSets::byAvx512(const char *bytes, std::size_t blocks, Found *found) const
{
    const __m512i below64 = _mm512_loadu_si512(m_setsOf.data());
    const __m512i below128 = _mm512_loadu_si512(m_setsOf.data() + 64);
    const __m512i below192 = _mm512_loadu_si512(m_setsOf.data() + 128);
    const __m512i below256 = _mm512_loadu_si512(m_setsOf.data() + 192);
    for (std::size_t block = 0; block < blocks; ++block) {
        __builtin_prefetch(bytes + block * kBlockBytes + kPrefetchBytes);
        const __m512i chunk = _mm512_loadu_si512(bytes + block * kBlockBytes);
        // Each permute looks a byte up by its lower seven bits; its top bit picks the answer.
        const __m512i sets = _mm512_mask_blend_epi8(
            _mm512_movepi8_mask(chunk), _mm512_permutex2var_epi8(below64, chunk, below128),
            _mm512_permutex2var_epi8(below192, chunk, below256));
        for (std::size_t set = 0; set < kSets; ++set)
            found[block][set] =
                _mm512_test_epi8_mask(sets, _mm512_set1_epi8(static_cast<char>(1u << set)));
    }
}
#endif
