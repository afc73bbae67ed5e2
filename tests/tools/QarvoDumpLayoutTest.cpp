#include "ChildProcess.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace {

// A copybook in reference format, and two of its records in IBM-037: the second is short.
const std::string kCopybook = "      * orders\n"
                              "       01  ORDER.\n"
                              "           05  ORDER-ID      PIC 9(4).\n"
                              "           05  CUSTOMER.\n"
                              "               10  NAME      PIC X(5).\n"
                              "           05  AMOUNT        PIC S9(5)V99 COMP-3.\n"
                              "           05  LINE-COUNT    PIC 9.\n"
                              "           05  LINES OCCURS 0 TO 2 DEPENDING ON LINE-COUNT.\n"
                              "               10  QTY       PIC S9(4) COMP.\n"
                              "       66  HEAD RENAMES ORDER-ID THRU CUSTOMER.\n";

// "0042", "SMITH", 3050.25-, 1 line of 7, and room for another.
const std::string kFirst = std::string("\xF0\xF0\xF4\xF2\xE2\xD4\xC9\xE3\xC8\x03\x05\x02\x5D"
                                       "\xF1\x00\x07\x00\x00",
                                       18);
// "0043" and a name cut short.
const std::string kSecond = std::string("\xF0\xF0\xF4\xF3\xC1\xC2", 6);

class QarvoDumpLayout : public testing::Test
{
protected:
    ChildProcess::Outcome run(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), QARVO_DUMP);
        return ChildProcess::run(arguments, {});
    }

    std::string write(const std::string &name, const std::string &bytes)
    {
        return m_dir.write(name, bytes);
    }

    TempDir m_dir;
};

} // namespace

TEST_F(QarvoDumpLayout, LayoutListsEveryItemAtItsLargestExtent)
{
    const std::string copybook = write("order.cpy", kCopybook);

    const ChildProcess::Outcome outcome = run({"--copybook", copybook, "--layout"});

    EXPECT_EQ(outcome.exitStatus, 0);
    EXPECT_EQ(outcome.out, "01 ORDER 0 18\n"
                           "05 ORDER-ID 0 4 9(4)\n"
                           "05 CUSTOMER 4 5\n"
                           "10 NAME 4 5 X(5)\n"
                           "05 AMOUNT 9 4 S9(5)V99 COMP-3\n"
                           "05 LINE-COUNT 13 1 9\n"
                           "05 LINES(1) 14 2\n"
                           "10 QTY(1) 14 2 S9(4) COMP\n"
                           "05 LINES(2) 16 2\n"
                           "10 QTY(2) 16 2 S9(4) COMP\n"
                           "66 HEAD 0 9 RENAMES\n");
}

TEST_F(QarvoDumpLayout, FieldsShowEachFieldsBytesAndValue)
{
    const std::string copybook = write("order.cpy", kCopybook);
    const std::string data = write("orders.dat", kFirst + kSecond);

    const ChildProcess::Outcome first = run(
        {"--encoding", "ibm-037", "--copybook", copybook, "--rdw", "--lines", "--fields", data});
    const ChildProcess::Outcome second = run({"--encoding=ibm-037", "--copybook", copybook,
                                              "--record-length", "18", "--fields", data, "2"});

    EXPECT_EQ(first.exitStatus, 2);
    EXPECT_NE(first.err.find("exclude each other"), std::string::npos);
    EXPECT_EQ(second.exitStatus, 0) << second.err;
    EXPECT_EQ(second.out, "ORDER-ID 0 4 F0F0F4F3 43\n"
                          "NAME 4 5 C1C2 absent\n"
                          "AMOUNT 9 4 - absent\n"
                          "LINE-COUNT 13 1 - absent\n");
}

TEST_F(QarvoDumpLayout, JsonWritesALineARecordInFixedRecordsOfTheLayout)
{
    const std::string copybook = write("order.cpy", kCopybook);
    const std::string data = write("orders.dat", kFirst + kSecond);

    const ChildProcess::Outcome outcome =
        run({"--encoding", "ibm-037", "--copybook", copybook, "--json", data});

    EXPECT_EQ(outcome.exitStatus, 0) << outcome.err;
    EXPECT_EQ(outcome.out, R"({"ORDER-ID":42,"CUSTOMER":{"NAME":"SMITH"},"AMOUNT":-3050.25,)"
                           R"("LINE-COUNT":1,"LINES":[{"QTY":7}]})"
                           "\n"
                           R"({"ORDER-ID":43,"CUSTOMER":{}})"
                           "\n");
}

TEST_F(QarvoDumpLayout, JsonKeepsTheFilesOrderOverManyRecords)
{
    // Enough records for several batches: each record's ORDER-ID is its number, zoned.
    const std::string copybook = write("order.cpy", kCopybook);
    std::string records;
    for (int number = 1; number <= 5000; ++number) {
        std::string record = kFirst;
        for (int i = 3, n = number % 10000; i >= 0; --i, n /= 10)
            record[static_cast<std::size_t>(i)] = static_cast<char>(0xF0 + n % 10);
        records += record;
    }
    const std::string data = write("many.dat", records);

    const ChildProcess::Outcome outcome =
        run({"--encoding", "ibm-037", "--copybook", copybook, "--json", data});

    EXPECT_EQ(outcome.exitStatus, 0) << outcome.err;
    std::size_t at = 0;
    for (int number = 1; number <= 5000; ++number) {
        const std::string start = "{\"ORDER-ID\":" + std::to_string(number) + ",";
        ASSERT_EQ(outcome.out.compare(at, start.size(), start), 0) << number;
        at = outcome.out.find('\n', at) + 1;
    }
    EXPECT_EQ(at, outcome.out.size());
}

TEST_F(QarvoDumpLayout, DecodingOptionsReachTheDecoders)
{
    const std::string copybook = write("pc.cpy", "01 HEADER PIC X(4).\n"
                                                 "01 PC. 05 N PIC S9(4) COMP-5. 05 F COMP-1.\n"
                                                 "   05 W PIC N(1).\n");
    // 1 little-endian, 1.0 in IEEE 754, U+65E5 in UTF-16.
    const std::string data = write("pc.dat", std::string("\x01\x00\x3F\x80\x00\x00\x65\xE5", 8));

    const ChildProcess::Outcome outcome =
        run({"--copybook", copybook, "--copybook-format=free", "--layout-record", "pc", "--binary",
             "little", "--float", "ieee", "--nsymbol", "national", "--encoding=ibm-037", "--json",
             data});

    EXPECT_EQ(outcome.exitStatus, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "{\"N\":1,\"F\":1,\"W\":\"日\"}\n");
}

TEST_F(QarvoDumpLayout, InvalidValuesExitWithOne)
{
    const std::string copybook = write("order.cpy", kCopybook);
    std::string bad = kFirst;
    bad[10] = '\x0A'; // A is a sign nibble, not a digit
    const std::string data = write("bad.dat", bad);

    const ChildProcess::Outcome fields =
        run({"--encoding", "ibm-037", "--copybook", copybook, "--fields", data});
    const ChildProcess::Outcome json =
        run({"--encoding", "ibm-037", "--copybook", copybook, "--json", data});

    EXPECT_EQ(fields.exitStatus, 1);
    EXPECT_NE(fields.out.find("AMOUNT 9 4 030A025D invalid:digit\n"), std::string::npos);
    EXPECT_EQ(json.exitStatus, 1);
    EXPECT_NE(json.out.find("\"AMOUNT\":null"), std::string::npos);

    std::string counted = kFirst;
    counted[13] = '\xF5'; // five lines, where two at most fit
    const ChildProcess::Outcome counter = run({"--encoding", "ibm-037", "--copybook", copybook,
                                               "--fields", write("counter.dat", counted)});
    EXPECT_EQ(counter.exitStatus, 1);
    EXPECT_NE(counter.out.find("LINE-COUNT 13 1 F5 invalid:counter\nQTY(1) 14 2 0007 7\n"
                               "QTY(2) 16 2 0000 0\n"),
              std::string::npos)
        << counter.out;
}

TEST_F(QarvoDumpLayout, CopybookFaultsExitWithTwoAndSayWhere)
{
    const std::string copybook = write("bad.cpy", "       01  R.\n"
                                                  "           05  A  PIC X COLOUR RED.\n");
    const std::string member = write("main.cpy", "       01  R.\n"
                                                 "           COPY MISSING.\n");

    const ChildProcess::Outcome unknown = run({"--copybook", copybook, "--layout"});
    const ChildProcess::Outcome missing = run({"--copybook", member, "--layout"});
    const ChildProcess::Outcome noRecord =
        run({"--copybook", copybook, "--layout-record", "NONE", "--layout"});

    EXPECT_EQ(unknown.exitStatus, 2);
    EXPECT_EQ(unknown.out, "");
    EXPECT_EQ(unknown.err, "qarvo-dump: " + copybook + ":2:25: unknown clause 'COLOUR'\n");
    EXPECT_EQ(missing.exitStatus, 2);
    EXPECT_EQ(missing.err, "qarvo-dump: " + member + ":2:17: no member 'MISSING' to COPY\n");
    EXPECT_EQ(noRecord.exitStatus, 2);
}

TEST_F(QarvoDumpLayout, CopyFindsMembersBesideTheCopybook)
{
    write("ADDR.cpy", "           05  :P:-CITY  PIC X(3).\n");
    write("BAD.cpy", "\n           05  B  PIC 9 COMP-9.\n");
    const std::string wrong = write("wrong.cpy", "       01  R.\n           COPY BAD.\n");
    const std::string copybook = write("main.cpy", "       01  R.\n"
                                                   "           COPY ADDR REPLACING ==:P:== BY"
                                                   " ==HOME==.\n");

    const ChildProcess::Outcome outcome = run({"--copybook", copybook, "--layout"});

    EXPECT_EQ(outcome.exitStatus, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "01 R 0 3\n05 HOME-CITY 0 3 X(3)\n");
    // A fault in a member names the member.
    const ChildProcess::Outcome fault = run({"--copybook", wrong, "--layout"});
    EXPECT_EQ(fault.exitStatus, 2);
    EXPECT_EQ(fault.err,
              "qarvo-dump: " + m_dir.path("BAD.cpy") + ":2:25: unknown clause 'COMP-9'\n");
}
