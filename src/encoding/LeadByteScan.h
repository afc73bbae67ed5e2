#pragma once

#include "BlockByteSets.h"

#include <bitset>
#include <cstdint>
#include <functional>
#include <string_view>

// Where the marked units of a lead-byte code page's text begin, 64 bytes a step: a lead byte
// and whatever byte follows it make a unit, any other byte is a unit alone. Which units are
// marked is told by their first two bytes; the rows of lead bytes that map every trail byte
// are told by the trail byte alone, without a look-up of the pair.
class LeadByteScan
{
public:
    // marked: by the first byte * 256 + the next, whether a unit is marked; for a byte that
    // is not a lead byte the next does not matter.
    LeadByteScan(const std::bitset<256> &leads, const std::bitset<256> &trails,
                 const std::bitset<256 * 256> &marked);

    // Calls visit with the offset of each marked unit's first byte, in order; a lead byte
    // that ends text is marked.
    void forEachMarkedStart(std::string_view text,
                            const std::function<void(std::size_t)> &visit) const;

private:
    static constexpr std::size_t kBlockBytes = BlockByteSets::kBlockBytes;

    // The lead bytes of the block that begin a unit, given whether its first byte is a trail
    // byte.
    static std::uint64_t leadStarts(std::uint64_t leads, std::uint64_t firstIsTrail);
    // Of the block at offset of text, whose bytes hold the sets found, bit i set where a
    // marked unit begins.
    std::uint64_t markedStarts(std::string_view text, std::size_t offset,
                               const BlockByteSets::Found &found,
                               std::uint64_t &firstIsTrail) const;
    bool pairMarked(std::string_view text, std::size_t at) const;

    // The sets looked for in each block.
    enum Set { kLeads, kTrails, kMarkedSingles, kUnevenRows };

    std::bitset<256 * 256> m_marked;
    // Lead bytes; trail bytes; bytes that are not lead bytes and are marked alone; lead
    // bytes after which some trail byte is marked.
    BlockByteSets m_sets;
};
