// Huge files through qarvo-dump: ten million empty records, one record of 300 MiB whose dump
// of over a gigabyte is checked line by line as it streams out.
#include "ChildProcess.h"
#include "HugeFile.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>

namespace {

constexpr std::size_t kManyRecords = 10'000'000;
constexpr std::size_t kBigRecord = std::size_t{300} << 20;
constexpr std::string_view kRuler = "------|----*----1----*----2----*----3----*----4----*----5"
                                    "----*----6----*----7----*----8----*----9----*----0";

ChildProcess::Outcome dump(std::vector<std::string> arguments,
                           const ChildProcess::Options &options = {})
{
    arguments.insert(arguments.begin(), {QARVO_DUMP, "--codepage", "932"});
    return ChildProcess::run(arguments, options);
}

// Takes the raw dump of the pattern record in pieces and checks each line as it completes.
class PatternDumpChecker
{
public:
    explicit PatternDumpChecker(std::size_t size) : m_size(size) {}

    void take(std::string_view piece)
    {
        m_partial += piece;
        std::size_t start = 0;
        for (std::size_t end; (end = m_partial.find("\r\n", start)) != std::string::npos;
             start = end + 2)
            check(std::string_view(m_partial).substr(start, end - start));
        m_partial.erase(0, start);
    }

    std::size_t lines() const { return m_line; }
    std::size_t wrongLines() const { return m_wrong; }
    bool endsWhole() const { return m_partial.empty(); }

private:
    void check(std::string_view line)
    {
        const std::size_t at = m_line++;
        if (at < 5)
            return;
        const std::size_t begin = (at - 5) / 5 * 100;
        const std::size_t end = std::min(begin + 100, m_size);
        m_wrong += line != expected((at - 5) % 5, begin, end);
    }

    std::string expected(std::size_t row, std::size_t begin, std::size_t end) const
    {
        switch (row) {
        case 0: {
            std::string characters = std::to_string(begin);
            characters.insert(0, characters.size() < 6 ? 6 - characters.size() : 0, '0');
            characters += '|';
            for (std::size_t i = begin; i < end; ++i)
                characters += patternByte(i);
            return characters;
        }
        case 1:
            return std::string(kRuler);
        case 2:
            return patternDigits(begin, end, 4);
        case 3:
            return patternDigits(begin, end, 0);
        default:
            return {};
        }
    }

    std::size_t m_size;
    std::string m_partial;
    std::size_t m_line = 0;
    std::size_t m_wrong = 0;
};

TEST(QarvoDumpHuge, TenMillionEmptyRecordsAreCountedAndTheLastIsDumped)
{
    TempDir dir;
    const std::string path = dir.path("lines.txt");
    writeRepeated(path, "\r\n", kManyRecords);

    const ChildProcess::Outcome count = dump({"--count", path});
    const ChildProcess::Outcome last = dump({"--raw", path, "10000000"});

    EXPECT_EQ(count.out, "10000000\n");
    EXPECT_EQ(last.exitStatus, 0);
    EXPECT_EQ(last.out, ": " + path + "\r\n: Record Length : 000000\r\n" +
                            ": (10000000/10000000)\r\n" + std::string(108, '-') + "\r\n\r\n");
}

TEST(QarvoDumpHuge, ARecordOf300MiBIsDumpedWholeLineByLine)
{
    TempDir dir;
    const std::string path = dir.path("record.txt");
    writePatternRecord(path, kBigRecord);
    PatternDumpChecker checker(kBigRecord);
    ChildProcess::Options streamed;
    streamed.onOutput = [&checker](std::string_view piece) {
        checker.take(piece);
    };

    const auto start = std::chrono::steady_clock::now();
    const ChildProcess::Outcome outcome = dump({"--raw", path}, streamed);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;

    std::cout << "dump of a 300 MiB record: " << took.count() << " s\n";
    EXPECT_EQ(outcome.exitStatus, 0) << outcome.err;
    EXPECT_EQ(checker.lines(), 5 + 5 * ((kBigRecord + 99) / 100));
    EXPECT_EQ(checker.wrongLines(), 0u);
    EXPECT_TRUE(checker.endsWhole());
}

} // namespace
