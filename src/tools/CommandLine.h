#pragma once

#include "Framing.h"
#include "LayoutArguments.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// The arguments of qarvo-dump: [--codepage N | --encoding NAME] [--record-length N | --rdw]
// [--raw] [--count] [--check[=all]] [--find TEXT | --find-hex HEX]
// [--compare FILE_B[:RECORD_B] | --compare-files FILE_B] FILE [RECORD], --list-encodings,
// --help, --version; --lines; the copybook options of LayoutArguments.
class CommandLine
{
public:
    // Arguments that do not fit: the message says which and how.
    class UsageError : public std::runtime_error
    {
    public:
        using std::runtime_error::runtime_error;
    };

    // The arguments after the program's name. Throws UsageError.
    explicit CommandLine(const std::vector<std::string_view> &arguments);

    // Each asks for nothing else; the rest is then not looked at.
    bool help() const { return m_help; }
    bool version() const { return m_version; }
    bool listEncodings() const { return m_listEncodings; }

    std::optional<int> codePage() const { return m_codePage; }
    // A name or alias of the encodings' catalog, or "auto"; checked by the caller.
    const std::optional<std::string> &encoding() const { return m_encoding; }
    enum class Check { None, Marks, MarksAndShifts };
    Check check() const { return m_check; }
    bool raw() const { return m_raw; }
    bool count() const { return m_count; }
    // Lines unless --record-length N or --rdw says otherwise.
    Framing framing() const;
    // Whether --lines, --record-length or --rdw was given.
    bool framingGiven() const { return m_lines || m_rdw || m_recordLength; }
    const LayoutArguments &layout() const { return m_layout; }
    const std::string &file() const { return m_file; }
    // What --find or --find-hex asked for, as typed; empty for neither.
    const std::string &findText() const { return m_findText; }
    bool findHex() const { return m_findHex; }
    bool finds() const { return m_finds; }
    // The other side of --compare or --compare-files; empty for neither.
    const std::string &compareFile() const { return m_compareFile; }
    bool compares() const { return !m_compareFile.empty(); }
    bool comparesFiles() const { return m_comparesFiles; }
    // RECORD_B of --compare FILE_B:RECORD_B; nothing when FILE_B came alone.
    std::optional<std::uint64_t> compareRecord() const { return m_compareRecord; }
    // Counts from 1; whether the file has it is for the caller to find out.
    std::uint64_t record() const { return m_record; }

private:
    bool takeValueOption(const std::vector<std::string_view> &arguments, std::size_t &i);
    void takeFlag(std::string_view flag);
    void takeOperand(std::string_view operand);
    void takeFind(std::string_view option, std::string_view value);
    void takeCompare(std::string_view option, std::string_view value);
    void checkCombination() const;
    bool asksForNothingElse() const { return m_help || m_version || m_listEncodings; }

    bool m_help = false;
    bool m_version = false;
    bool m_listEncodings = false;
    std::optional<int> m_codePage;
    std::optional<std::string> m_encoding;
    Check m_check = Check::None;
    bool m_raw = false;
    bool m_count = false;
    std::optional<std::uint64_t> m_recordLength;
    bool m_rdw = false;
    bool m_lines = false;
    LayoutArguments m_layout;
    std::string m_file;
    std::string m_findText;
    bool m_findHex = false;
    bool m_finds = false;
    std::string m_compareFile;
    bool m_comparesFiles = false;
    std::optional<std::uint64_t> m_compareRecord;
    std::uint64_t m_record = 1;
    int m_operands = 0;
};
