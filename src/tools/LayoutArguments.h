#pragma once

#include "LayoutChoice.h"

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

    // Throw CommandLine::UsageError for a value that does not fit.
    void takeValue(std::string_view option, std::string_view value);
    // false for a flag that is not one of these.
    bool takeFlag(std::string_view flag);
    // operands: FILE and RECORD as given; others: whether another mode was asked for.
    void check(int operands, bool others) const;

    bool asked() const { return m_output != Output::None; }
    Output output() const { return m_output; }
    const LayoutChoice &choice() const { return m_choice; }

private:
    void setOutput(Output output);

    Output m_output = Output::None;
    LayoutChoice m_choice;
};
