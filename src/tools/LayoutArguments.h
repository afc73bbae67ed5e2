#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The copybook options of qarvo-dump: --copybook CPY with one of --layout, --fields or --json,
// and --layout-record NAME, --copybook-format fixed|free, --binary big|little,
// --float hex|ieee, --nsymbol dbcs|national.
class LayoutArguments
{
public:
    enum class Output { None, Layout, Fields, Json };
    enum class Floats { ByEncoding, Hex, Ieee };

    struct ValueOption
    {
        std::string_view name;
        std::string_view needs; // for the message when the value is missing
    };
    static const std::vector<ValueOption> &valueOptions();

    // Throw CommandLine::UsageError for a value that does not fit.
    void takeValue(std::string_view option, std::string_view value);
    // false for a flag that is not one of these.
    bool takeFlag(std::string_view flag);
    // operands: FILE and RECORD as given; others: whether another mode was asked for.
    void check(int operands, bool others) const;

    bool asked() const { return m_output != Output::None; }
    Output output() const { return m_output; }
    const std::string &copybook() const { return m_copybook; }
    const std::string &record() const { return m_record; }
    bool freeFormat() const { return m_freeFormat; }
    bool littleEndianComp5() const { return m_littleEndianComp5; }
    Floats floats() const { return m_floats; }
    bool nationalN() const { return m_nationalN; }

private:
    void setOutput(Output output);

    Output m_output = Output::None;
    std::string m_copybook;
    std::string m_record;
    bool m_freeFormat = false;
    bool m_littleEndianComp5 = false;
    Floats m_floats = Floats::ByEncoding;
    bool m_nationalN = false;
};
