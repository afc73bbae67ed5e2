#include "LineSplitter.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstring>
#include <future>
#include <system_error>
#include <thread>

#if defined(__x86_64__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr std::size_t kBlockBytes = 64;
constexpr std::size_t kNoNul = std::string_view::npos;
// How far ahead the scan asks for the bytes it will need. Without it the scan waits on memory
// two thirds of the time on a virtual machine, whose prefetchers do not see it coming.
constexpr std::size_t kPrefetchBytes = 1024;

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
        // Only a hint: it never faults, past the end either.
        __builtin_prefetch(block + kPrefetchBytes);
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

// Bytes split between two looks at Cancel.
constexpr std::size_t kPieceBytes = std::size_t{4} << 20;
// Below this a second thread costs more than it saves.
constexpr std::size_t kTwoThreadBytes = std::size_t{64} << 20;

// Splits text[from, to) into builder piece by piece; between(done), called between two pieces
// with the offset reached, returns false to stop. Returns the first NUL's offset, else kNoNul.
template <class Between>
std::size_t splitPieces(std::string_view text, std::size_t from, std::size_t to,
                        RecordIndex::Builder &builder, Between between)
{
    const auto add = [&builder](std::size_t offset, std::uint64_t starts) {
        builder.add(offset + 1, starts);
    };
    for (std::size_t at = from; at < to;) {
        const std::size_t end = std::min(to, at + kPieceBytes);
        if (const std::size_t nul = scan(text, at, end, add); nul != kNoNul)
            return nul;
        at = end;
        if (at < to && !between(at))
            break;
    }
    return kNoNul;
}

// The line starts after from, found on a thread of its own into an index of its own, while
// the caller splits the bytes before from.
class SecondPart
{
public:
    SecondPart(std::string_view text, std::size_t from, std::uint64_t memoryLimit,
               const LoadControl *control)
    {
        if (from >= text.size())
            return;
        try {
            m_thread = std::async(std::launch::async,
                                  [=, this] { split(text, from, memoryLimit, control); });
        } catch (const std::system_error &) {
            // No thread to spare: the caller splits it all.
        }
    }
    ~SecondPart()
    {
        m_stop.store(true, std::memory_order_relaxed);
        if (m_thread.valid())
            m_thread.wait();
    }
    SecondPart(const SecondPart &) = delete;
    SecondPart &operator=(const SecondPart &) = delete;

    bool started() const { return m_thread.valid(); }
    // Bytes split so far.
    std::uint64_t done() const { return m_done.load(std::memory_order_relaxed); }

    // Waits for the split and returns the first NUL's offset, else kNoNul; the starts are
    // then in index(). Rethrows what the thread threw; throws LoadControl::Cancelled.
    std::size_t wait()
    {
        if (m_thread.valid())
            m_thread.get();
        if (m_cancelled)
            throw LoadControl::Cancelled();
        return m_nul;
    }
    RecordIndex &index() { return m_index; }
    std::size_t starts() const { return m_starts; }

private:
    void split(std::string_view text, std::size_t from, std::uint64_t memoryLimit,
               const LoadControl *control)
    {
        RecordIndex::Builder builder(m_index, text.size() - from + 1, memoryLimit);
        m_nul = splitPieces(text, from, text.size(), builder, [&](std::size_t at) {
            m_done.store(at - from, std::memory_order_relaxed);
            m_cancelled = control && control->cancelled();
            return !m_cancelled && !m_stop.load(std::memory_order_relaxed);
        });
        m_starts = builder.size();
    }

    std::future<void> m_thread;
    std::atomic<bool> m_stop = false;
    std::atomic<std::uint64_t> m_done = 0;
    // Written by the thread, read after it ended.
    RecordIndex m_index;
    std::size_t m_starts = 0;
    std::size_t m_nul = kNoNul;
    bool m_cancelled = false;
};

} // namespace

RecordIndex LineSplitter::split(std::string_view file, std::uint64_t memoryLimit,
                                LoadControl *control)
{
    static const bool twoCores = std::thread::hardware_concurrency() > 1;
    const bool halve = twoCores && file.size() > kTwoThreadBytes;
    // On a block's edge: where the bytes start aligned, as a mapping's do, its loads are too.
    const std::size_t half = file.size() / 2 / kBlockBytes * kBlockBytes;
    return split(file, memoryLimit, control, halve ? half : file.size());
}

RecordIndex LineSplitter::split(std::string_view file, std::uint64_t memoryLimit,
                                LoadControl *control, std::size_t secondFrom)
{
    RecordIndex index;
    // One start per line end at most, plus the first and the end.
    RecordIndex::Builder builder(index, file.size() + 2, memoryLimit);
    builder.add(0);
    SecondPart second(file, secondFrom, memoryLimit, control);
    const std::size_t firstTo = second.started() ? secondFrom : file.size();
    std::size_t end = splitPieces(file, 0, firstTo, builder, [&](std::size_t done) {
        if (control) {
            control->throwIfCancelled();
            control->advance(done + second.done());
        }
        return true;
    });
    // A NUL in the second part counts only when the first has none.
    if (end == kNoNul && second.started()) {
        end = second.wait();
        builder.append(second.index(), second.starts());
    }
    end = std::min(end, file.size());
    if (builder.last() != end)
        builder.add(end);
    builder.finish(builder.size() - 1);
    return index;
}

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
