#include "RecordComparison.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

// Column by column, as a reader would count: past the shorter record every column differs.
std::vector<bool> referenceDiffering(const std::string &a, const std::string &b)
{
    std::vector<bool> differing(std::max(a.size(), b.size()));
    for (std::size_t at = 0; at < differing.size(); ++at)
        differing[at] = at >= a.size() || at >= b.size() || a[at] != b[at];
    return differing;
}

std::vector<Mark> referenceMarks(const std::vector<bool> &differing, std::size_t from,
                                 std::size_t to)
{
    std::vector<Mark> marks;
    for (std::size_t at = from; at < std::min(to, differing.size()); ++at) {
        if (!differing[at])
            continue;
        if (!marks.empty() && marks.back().offset + marks.back().length == at)
            ++marks.back().length;
        else
            marks.push_back({at, 1, Mark::Kind::Difference});
    }
    return marks;
}

std::string changed(std::string bytes, std::size_t at, char to = '#')
{
    bytes[at] = to;
    return bytes;
}

TEST(RecordComparisonTest, EqualRecordsAreIdentical)
{
    const std::string record(250, 'x');
    const RecordComparison comparison(record, record);
    EXPECT_TRUE(comparison.identical());
    EXPECT_EQ(comparison.summary(), "identical");
    EXPECT_EQ(comparison.firstDifference(), 250u);
    EXPECT_EQ(comparison.nextDifference(0), std::nullopt);
    EXPECT_EQ(comparison.previousDifference(250), std::nullopt);
    EXPECT_TRUE(comparison.differencesIn(0, 250).empty());
    EXPECT_TRUE(RecordComparison("", "").identical());
}

// Columns 1, 100 and 101 are the first bytes of a block and of the next.
TEST(RecordComparisonTest, OneChangedByteAtABlockEdge)
{
    const std::string record(300, 'a');
    for (const std::size_t column : {0u, 99u, 100u, 299u}) {
        const std::string other = changed(record, column);
        const RecordComparison comparison(record, other);
        EXPECT_EQ(comparison.differingBytes(), 1u) << column;
        EXPECT_EQ(comparison.firstDifference(), column);
        EXPECT_EQ(comparison.summary(),
                  "1 byte differs, first at offset " + std::to_string(column));
        EXPECT_EQ(comparison.differencesIn(0, 300),
                  (std::vector<Mark>{{column, 1, Mark::Kind::Difference}}));
        EXPECT_EQ(comparison.nextDifference(column), std::nullopt);
        EXPECT_EQ(comparison.previousDifference(column + 1), column);
    }
}

TEST(RecordComparisonTest, BytesPastTheShorterRecordDiffer)
{
    const RecordComparison longerB("abc", "abcdefg");
    EXPECT_EQ(longerB.summary(), "4 bytes differ, first at offset 3");
    EXPECT_EQ(longerB.differencesIn(0, 100), (std::vector<Mark>{{3, 4, Mark::Kind::Difference}}));
    EXPECT_EQ(longerB.previousDifference(100), 6u);
    EXPECT_EQ(longerB.nextDifference(5), 6u);

    const RecordComparison emptyA("", "xy");
    EXPECT_EQ(emptyA.differingBytes(), 2u);
    EXPECT_EQ(emptyA.firstDifference(), 0u);
    EXPECT_EQ(emptyA.length(), 2u);
}

// Runs of every length at every alignment, against the column-by-column count: equal runs are
// passed over in 64-byte chunks and words, and their edges are where a fault would hide.
TEST(RecordComparisonTest, AgreesWithAColumnByColumnCount)
{
    std::mt19937 random(7);
    for (int round = 0; round < 400; ++round) {
        const std::size_t size = random() % 700;
        std::string a(size, '\0');
        for (char &byte : a)
            byte = static_cast<char>('a' + random() % 3);
        std::string b = a;
        for (int change = random() % 6; change > 0 && size > 0; --change)
            b[random() % size] ^= static_cast<char>(1 + random() % 200);
        b.resize(size + random() % 5 - (size > 2 ? random() % 3 : 0));
        const std::vector<bool> expected = referenceDiffering(a, b);
        const RecordComparison comparison(a, b);
        const auto differing =
            static_cast<std::uint64_t>(std::count(expected.begin(), expected.end(), true));
        ASSERT_EQ(comparison.differingBytes(), differing) << round;
        const std::size_t from = random() % (expected.size() + 1);
        const std::size_t to = from + random() % 300;
        ASSERT_EQ(comparison.differencesIn(from, to), referenceMarks(expected, from, to)) << round;
        std::vector<std::uint64_t> columns, forward, backward;
        for (std::size_t at = 0; at < expected.size(); ++at) {
            if (expected[at])
                columns.push_back(at);
        }
        std::optional<std::uint64_t> at;
        if (!comparison.identical())
            at = comparison.firstDifference();
        for (; at; at = comparison.nextDifference(*at))
            forward.push_back(*at);
        for (at = comparison.previousDifference(comparison.length()); at;
             at = comparison.previousDifference(*at))
            backward.insert(backward.begin(), *at);
        ASSERT_EQ(forward, columns) << round;
        ASSERT_EQ(backward, columns) << round;
    }
}

// Two pages of equal bytes but the last, the second page unreadable once the comparison is made.
class GuardedRecord
{
public:
    explicit GuardedRecord(char last)
        : m_page(static_cast<std::size_t>(sysconf(_SC_PAGESIZE))),
          m_bytes(static_cast<char *>(mmap(nullptr, 2 * m_page, PROT_READ | PROT_WRITE,
                                           MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)))
    {
        std::memset(m_bytes, 'x', 2 * m_page);
        m_bytes[2 * m_page - 1] = last;
    }
    ~GuardedRecord() { munmap(m_bytes, 2 * m_page); }
    GuardedRecord(const GuardedRecord &) = delete;
    GuardedRecord &operator=(const GuardedRecord &) = delete;

    std::string_view bytes() const { return {m_bytes, 2 * m_page}; }
    void guard() { ASSERT_EQ(mprotect(m_bytes + m_page, m_page, PROT_NONE), 0); }

private:
    std::size_t m_page;
    char *m_bytes;
};

// The view asks for the differences of the blocks in sight; a record equal far beyond them
// must not be read to its end, or a big one takes seconds to draw.
TEST(RecordComparisonTest, DifferencesInABlockReadNoFurtherThanTheBlock)
{
    GuardedRecord a('a');
    GuardedRecord b('b');
    const RecordComparison comparison(a.bytes(), b.bytes());
    a.guard();
    b.guard();

    EXPECT_TRUE(comparison.differencesIn(0, 100).empty());
    EXPECT_TRUE(comparison.differencesIn(100, 200).empty());
    EXPECT_EQ(comparison.differingBytes(), 1u);
}

} // namespace
