#include "RecordIndex.h"

#include "LargePages.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

#if defined(__x86_64__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr std::size_t kBlockBytes = 64;

bool isLineEnd(char byte)
{
    return byte == '\r' || byte == '\n';
}

struct LineEnds
{
    std::uint64_t cr = 0; // bit i set where block[i] is CR
    std::uint64_t lf = 0;
};

// Finds the line ends among 64 bytes with what every processor of the target has.
LineEnds findLineEnds(const char *block)
{
    LineEnds ends;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (std::size_t i = 0; i < kBlockBytes; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(block + i));
        const auto crBits =
            static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, cr)));
        const auto lfBits =
            static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lf)));
        ends.cr |= std::uint64_t{crBits} << i;
        ends.lf |= std::uint64_t{lfBits} << i;
    }
#else
    for (std::size_t i = 0; i < kBlockBytes; ++i) {
        ends.cr |= std::uint64_t{block[i] == '\r'} << i;
        ends.lf |= std::uint64_t{block[i] == '\n'} << i;
    }
#endif
    return ends;
}

template <LineEnds (*find)(const char *), class Visit>
void forEachBlockUsing(std::string_view text, Visit &visit)
{
    char tail[kBlockBytes] = {};
    for (std::size_t offset = 0; offset < text.size(); offset += kBlockBytes) {
        const std::size_t rest = text.size() - offset;
        const char *block = text.data() + offset;
        if (rest < kBlockBytes) {
            std::memcpy(tail, block, rest);
            block = tail;
        }
        const LineEnds ends = find(block);
        const bool lfNext = rest > kBlockBytes && text[offset + kBlockBytes] == '\n';
        const std::uint64_t lfAfter = (ends.lf >> 1) | (std::uint64_t{lfNext} << 63);
        visit(offset, ends.lf | (ends.cr & ~lfAfter));
    }
}

#if defined(__x86_64__) && !defined(QARVO_NO_AVX2)
__attribute__((target("avx2"))) LineEnds findLineEndsAvx2(const char *block)
{
    const __m256i cr = _mm256_set1_epi8('\r');
    const __m256i lf = _mm256_set1_epi8('\n');
    LineEnds ends;
    for (std::size_t i = 0; i < kBlockBytes; i += 32) {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(block + i));
        const auto crBits =
            static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(bytes, cr)));
        const auto lfBits =
            static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(bytes, lf)));
        ends.cr |= std::uint64_t{crBits} << i;
        ends.lf |= std::uint64_t{lfBits} << i;
    }
    return ends;
}

// Flattened, so that the scan, the visit and the search are one loop of AVX2 code.
template <class Visit>
__attribute__((target("avx2"), flatten)) void forEachBlockAvx2(std::string_view text, Visit &visit)
{
    forEachBlockUsing<findLineEndsAvx2>(text, visit);
}
#endif

// Calls visit(offset, bits) for each 64-byte block of text, where bit i of bits is set when a
// record starts at offset + i + 1: after every LF, and after every CR that no LF follows.
// The search for line ends is most of the split's work; AVX2 halves it. QARVO_NO_AVX2 leaves
// only the baseline search, for testing it on any machine.
template <class Visit> void forEachBlock(std::string_view text, Visit visit)
{
#if defined(__x86_64__) && !defined(QARVO_NO_AVX2)
    static const bool hasAvx2 = __builtin_cpu_supports("avx2");
    if (hasAvx2)
        return forEachBlockAvx2(text, visit);
#endif
    forEachBlockUsing<findLineEnds>(text, visit);
}

// Position of the lowest set bit; any value once none is left.
std::uint64_t lowestBit(std::uint64_t bits)
{
    return static_cast<std::uint64_t>(std::countr_zero(bits | (std::uint64_t{1} << 63)));
}

} // namespace

// Appends starts to an index, chunk by chunk.
class RecordIndex::Builder
{
public:
    Builder(RecordIndex &index, std::uint64_t mostStarts, std::uint64_t memoryLimit)
        : m_index(index), m_unplaced(mostStarts), m_memoryLeft(memoryLimit)
    {
        addChunk();
    }

    void add(std::uint64_t start)
    {
        m_chunk[m_used] = start;
        advance(1);
    }

    // Adds base + i for every bit i set in bits.
    void add(std::uint64_t base, std::uint64_t bits)
    {
        std::uint64_t *out = m_chunk + m_used;
        std::size_t count = 0;
        // Lines are short: writing four whether there or not spares a branch per start.
        for (std::size_t i = 0; i < 4; ++i, bits &= bits - 1) {
            out[i] = base + lowestBit(bits);
            count += bits != 0;
        }
        for (; bits != 0; bits &= bits - 1)
            out[count++] = base + lowestBit(bits);
        advance(count);
    }

    std::uint64_t last() const { return m_chunk[m_used - 1]; }
    std::size_t size() const { return (m_index.m_chunks.size() - 1) * kChunkStarts + m_used; }

private:
    void addChunk()
    {
        const auto starts = std::min<std::uint64_t>(kChunkStarts, m_unplaced);
        const auto bytes = (starts + kSlackStarts) * sizeof(std::uint64_t);
        if (bytes > m_memoryLeft)
            throw std::bad_alloc();
        m_index.m_chunks.push_back(LargePages::allocate<std::uint64_t>(starts + kSlackStarts));
        m_chunk = m_index.m_chunks.back().get();
        m_memoryLeft -= bytes;
        m_unplaced -= starts;
    }

    void advance(std::size_t count)
    {
        m_used += count;
        if (m_used <= kChunkStarts)
            return;
        const std::uint64_t *overflow = m_chunk + kChunkStarts;
        m_used -= kChunkStarts;
        addChunk();
        std::copy(overflow, overflow + m_used, m_chunk);
    }

    RecordIndex &m_index;
    std::uint64_t m_unplaced; // most starts still to come that no chunk has room for
    std::uint64_t m_memoryLeft;
    std::uint64_t *m_chunk = nullptr; // the last chunk
    std::size_t m_used = 0;           // starts in the last chunk
};

RecordIndex::RecordIndex(std::string_view file, std::uint64_t memoryLimit)
{
    const std::string_view text = file.substr(0, file.find('\0'));
    // One start per line end at most, plus the first and the end.
    Builder builder(*this, text.size() + 2, memoryLimit);
    builder.add(0);
    forEachBlock(text, [&builder](std::size_t offset, std::uint64_t bits) {
        builder.add(offset + 1, bits);
    });
    if (builder.last() != text.size())
        builder.add(text.size());
    m_count = builder.size() - 1;
}

std::string_view RecordIndex::record(std::string_view file, std::size_t index) const
{
    const std::uint64_t begin = start(index);
    std::uint64_t end = start(index + 1);
    while (end > begin && isLineEnd(file[end - 1]))
        --end;
    return file.substr(begin, end - begin);
}

std::size_t RecordIndex::recordAt(std::uint64_t offset) const
{
    if (offset >= textEnd())
        return m_count;
    std::size_t low = 0;
    std::size_t high = m_count; // start(high) > offset
    while (high - low > 1) {
        const std::size_t middle = low + (high - low) / 2;
        if (start(middle) <= offset)
            low = middle;
        else
            high = middle;
    }
    return low;
}

void RecordIndex::swap(RecordIndex &other) noexcept
{
    m_chunks.swap(other.m_chunks);
    std::swap(m_count, other.m_count);
}
