#include "LeadByteScan.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

// The bytes that are not lead bytes and are marked on their own.
std::bitset<256> markedSingles(const std::bitset<256> &leads, const std::bitset<256 * 256> &marked)
{
    std::bitset<256> singles;
    for (unsigned byte = 0; byte < 256; ++byte)
        singles[byte] = !leads[byte] && marked[byte << 8];
    return singles;
}

// The lead bytes whose pairs are marked otherwise than just where the trail byte is out of
// range.
std::bitset<256> unevenRows(const std::bitset<256> &leads, const std::bitset<256> &trails,
                            const std::bitset<256 * 256> &marked)
{
    std::bitset<256> rows;
    for (unsigned lead = 0; lead < 256; ++lead) {
        if (!leads[lead])
            continue;
        for (unsigned trail = 0; trail < 256 && !rows[lead]; ++trail)
            rows[lead] = marked[lead << 8 | trail] != !trails[trail];
    }
    return rows;
}

} // namespace

LeadByteScan::LeadByteScan(const std::bitset<256> &leads, const std::bitset<256> &trails,
                           const std::bitset<256 * 256> &marked)
    : m_marked(marked),
      m_sets({leads, trails, markedSingles(leads, marked), unevenRows(leads, trails, marked)})
{}

void LeadByteScan::forEachMarkedStart(std::string_view text,
                                      const std::function<void(std::size_t)> &visit) const
{
    // Blocks are classified in batches that stay in the first-level cache.
    constexpr std::size_t kBatchBlocks = 64;
    BlockByteSets::Found found[kBatchBlocks];
    std::uint64_t firstIsTrail = 0;
    for (std::size_t offset = 0; offset < text.size();) {
        const std::size_t rest = text.size() - offset;
        std::size_t blocks = std::min(rest / kBlockBytes, kBatchBlocks);
        if (blocks == 0) {
            char last[kBlockBytes] = {}; // the last bytes, then NULs
            std::memcpy(last, text.data() + offset, rest);
            m_sets.in(last, 1, found);
            blocks = 1;
        } else {
            m_sets.in(text.data() + offset, blocks, found);
        }
        for (std::size_t block = 0; block < blocks; ++block, offset += kBlockBytes) {
            for (std::uint64_t marks = markedStarts(text, offset, found[block], firstIsTrail);
                 marks != 0; marks &= marks - 1)
                visit(offset + static_cast<std::size_t>(std::countr_zero(marks)));
        }
    }
}

// Bit by bit, a lead byte begins a unit when it does not end a unit begun just before it:
// in each run of lead bytes that begins a unit, every other one. Adding a run's first bit to
// the run clears the run, which tells apart the runs that begin on an even bit; the rest
// begin on an odd one.
std::uint64_t LeadByteScan::leadStarts(std::uint64_t leads, std::uint64_t firstIsTrail)
{
    constexpr std::uint64_t kEvenBits = 0x5555555555555555;
    leads &= ~firstIsTrail;
    const std::uint64_t runStarts = leads & ~(leads << 1);
    const std::uint64_t evenRuns = leads & ~(leads + (runStarts & kEvenBits));
    return (evenRuns & kEvenBits) | (leads & ~evenRuns & ~kEvenBits);
}

std::uint64_t LeadByteScan::markedStarts(std::string_view text, std::size_t offset,
                                         const BlockByteSets::Found &found,
                                         std::uint64_t &firstIsTrail) const
{
    const std::uint64_t starts = leadStarts(found[kLeads], firstIsTrail);
    const std::uint64_t trailBytes = starts << 1 | firstIsTrail;
    firstIsTrail = starts >> 63;
    const std::size_t size = std::min(text.size() - offset, kBlockBytes);
    const std::uint64_t lastBit = std::uint64_t{1} << (size - 1);
    // A lead byte whose trail byte is not in the block is looked up whole, as are the rows
    // that do not map all their trail bytes. The last byte's pair is looked up whatever that
    // byte is: in Japanese text a branch on whether it begins a unit is often guessed wrong.
    const std::uint64_t lastPairMarked = pairMarked(text, offset + size - 1) ? lastBit : 0;
    const std::uint64_t lookedUp = starts & found[kUnevenRows] & ~lastBit;
    std::uint64_t marks = found[kMarkedSingles] & ~trailBytes;
    marks |= starts & ~lookedUp & ~lastBit & ~(found[kTrails] >> 1);
    marks |= starts & lastPairMarked;
    for (std::uint64_t bits = lookedUp; bits != 0; bits &= bits - 1) {
        const auto bit = static_cast<std::size_t>(std::countr_zero(bits));
        if (pairMarked(text, offset + bit))
            marks |= std::uint64_t{1} << bit;
    }
    return marks & (lastBit | (lastBit - 1));
}

bool LeadByteScan::pairMarked(std::string_view text, std::size_t at) const
{
    if (at + 1 >= text.size())
        return true;
    return m_marked[std::size_t{static_cast<std::uint8_t>(text[at])} << 8 |
                    static_cast<std::uint8_t>(text[at + 1])];
}
