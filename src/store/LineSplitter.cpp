#include "LineSplitter.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr std::size_t kBlockBytes = 64;
constexpr std::size_t kNoNul = std::string_view::npos;

struct BlockBytes
{
    std::uint64_t cr = 0; // bit i set where block[i] is CR
    std::uint64_t lf = 0;
    std::uint64_t nul = 0;
};

// Finds the line ends and NULs among 64 bytes with what every processor of the target has.
BlockBytes findBytes(const char *block)
{
    BlockBytes found;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i nul = _mm_setzero_si128();
    for (std::size_t i = 0; i < kBlockBytes; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(block + i));
        const auto mask = [&bytes](__m128i of) {
            return std::uint64_t{
                static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, of)))};
        };
        found.cr |= mask(cr) << i;
        found.lf |= mask(lf) << i;
        found.nul |= mask(nul) << i;
    }
#else
    for (std::size_t i = 0; i < kBlockBytes; ++i) {
        found.cr |= std::uint64_t{block[i] == '\r'} << i;
        found.lf |= std::uint64_t{block[i] == '\n'} << i;
        found.nul |= std::uint64_t{block[i] == '\0'} << i;
    }
#endif
    return found;
}

// Calls visit(offset, bits) for each 64-byte block of text[from, to), where bit i of bits is
// set when a record starts at offset + i + 1: after every LF, and after every CR that no LF
// follows. The byte at to, when text has it, is looked at for a CR's LF only. Stops at the
// first NUL and returns its offset; kNoNul when there is none.
template <BlockBytes (*find)(const char *), class Visit>
std::size_t scanUsing(std::string_view text, std::size_t from, std::size_t to, Visit &visit)
{
    char tail[kBlockBytes] = {};
    for (std::size_t offset = from; offset < to; offset += kBlockBytes) {
        const std::size_t rest = to - offset;
        const char *block = text.data() + offset;
        std::uint64_t inRange = ~std::uint64_t{0};
        bool lfNext = false;
        if (rest < kBlockBytes) {
            // With the bytes after the range, so that a CR at its end sees its LF.
            std::memcpy(tail, block, std::min(kBlockBytes, text.size() - offset));
            block = tail;
            inRange = (std::uint64_t{1} << rest) - 1;
        } else {
            lfNext = offset + kBlockBytes < text.size() && text[offset + kBlockBytes] == '\n';
        }
        const BlockBytes found = find(block);
        const std::uint64_t lfAfter = (found.lf >> 1) | (std::uint64_t{lfNext} << 63);
        std::uint64_t starts = (found.lf | (found.cr & ~lfAfter)) & inRange;
        if (const std::uint64_t nul = found.nul & inRange; nul != 0) {
            const auto at = static_cast<std::size_t>(std::countr_zero(nul));
            visit(offset, starts & ((std::uint64_t{1} << at) - 1));
            return offset + at;
        }
        visit(offset, starts);
    }
    return kNoNul;
}

#if defined(__x86_64__) && !defined(QARVO_NO_AVX2)
__attribute__((target("avx2"))) BlockBytes findBytesAvx2(const char *block)
{
    const __m256i cr = _mm256_set1_epi8('\r');
    const __m256i lf = _mm256_set1_epi8('\n');
    const __m256i nul = _mm256_setzero_si256();
    BlockBytes found;
    for (std::size_t i = 0; i < kBlockBytes; i += 32) {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(block + i));
        const auto crBits =
            static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(bytes, cr)));
        const auto lfBits =
            static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(bytes, lf)));
        const auto nulBits =
            static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(bytes, nul)));
        found.cr |= std::uint64_t{crBits} << i;
        found.lf |= std::uint64_t{lfBits} << i;
        found.nul |= std::uint64_t{nulBits} << i;
    }
    return found;
}

// Flattened, so that the scan, the visit and the search are one loop of AVX2 code.
template <class Visit>
__attribute__((target("avx2"), flatten)) std::size_t
scanAvx2(std::string_view text, std::size_t from, std::size_t to, Visit &visit)
{
    return scanUsing<findBytesAvx2>(text, from, to, visit);
}
#endif

// The search is most of the split's work; AVX2 halves it. QARVO_NO_AVX2 leaves only the
// baseline search, for testing it on any machine.
template <class Visit>
std::size_t scan(std::string_view text, std::size_t from, std::size_t to, Visit visit)
{
#if defined(__x86_64__) && !defined(QARVO_NO_AVX2)
    static const bool hasAvx2 = __builtin_cpu_supports("avx2");
    if (hasAvx2)
        return scanAvx2(text, from, to, visit);
#endif
    return scanUsing<findBytes>(text, from, to, visit);
}

} // namespace

LineSplitter::LineSplitter(RecordIndex &index, std::uint64_t fileSize, std::uint64_t memoryLimit)
    // One start per line end at most, plus the first and the end.
    : m_builder(index, fileSize + 2, memoryLimit)
{
    m_builder.add(0);
}

bool LineSplitter::take(std::string_view arrived, bool complete)
{
    if (m_finished)
        return true;
    // The last byte waits for the next, which may be the LF of its CR.
    const std::size_t to = complete || arrived.empty() ? arrived.size() : arrived.size() - 1;
    if (to > m_done) {
        const std::size_t nul =
            scan(arrived, m_done, to, [this](std::size_t offset, std::uint64_t starts) {
                m_builder.add(offset + 1, starts);
            });
        if (nul != kNoNul) {
            m_done = nul;
            finish(nul);
            return true;
        }
        m_done = to;
    }
    if (complete)
        finish(arrived.size());
    return complete;
}

void LineSplitter::finish(std::uint64_t end)
{
    if (m_builder.last() != end)
        m_builder.add(end);
    m_builder.finish(m_builder.size() - 1);
    m_finished = true;
}
