#include "BlockByteSets.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

// Sets of every shape, from none to all, looked for in blocks of every byte value.
TEST(BlockByteSets, FindsEachSetsBytesInEveryBlock)
{
    std::mt19937 random(3);
    for (int round = 0; round < 50; ++round) {
        BlockByteSets::Sets sets;
        for (auto &set : sets) {
            const unsigned density = random() % 5; // 0: none ... 4: all
            for (unsigned byte = 0; byte < 256; ++byte)
                set[byte] = random() % 4 < density;
        }
        constexpr std::size_t kBlocks = 5;
        std::vector<char> bytes(kBlocks * BlockByteSets::kBlockBytes);
        for (char &byte : bytes)
            byte = static_cast<char>(random());
        BlockByteSets::Found found[kBlocks];
        BlockByteSets(sets).in(bytes.data(), kBlocks, found);
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const std::size_t block = i / BlockByteSets::kBlockBytes;
            const std::size_t bit = i % BlockByteSets::kBlockBytes;
            for (std::size_t set = 0; set < BlockByteSets::kSets; ++set)
                ASSERT_EQ((found[block][set] >> bit) & 1,
                          sets[set][static_cast<std::uint8_t>(bytes[i])])
                    << "byte " << i << " set " << set;
        }
    }
}

} // namespace
