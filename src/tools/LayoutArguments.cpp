#include "LayoutArguments.h"

#include "CommandLine.h"

#include <stdexcept>

void LayoutArguments::takeValue(std::string_view option, std::string_view value)
{
    try {
        m_choice.take(option, value);
    } catch (const std::invalid_argument &error) {
        throw CommandLine::UsageError(error.what());
    }
}

bool LayoutArguments::takeFlag(std::string_view flag)
{
    if (flag == "--layout")
        setOutput(Output::Layout);
    else if (flag == "--fields")
        setOutput(Output::Fields);
    else if (flag == "--json")
        setOutput(Output::Json);
    else
        return false;
    return true;
}

void LayoutArguments::setOutput(Output output)
{
    if (m_output != Output::None && m_output != output)
        throw CommandLine::UsageError("only one of --layout, --fields and --json");
    m_output = output;
}

void LayoutArguments::check(int operands, bool others) const
{
    if (!asked()) {
        if (!m_choice.copybook.empty())
            throw CommandLine::UsageError("--copybook needs --layout, --fields or --json");
        return;
    }
    if (m_choice.copybook.empty())
        throw CommandLine::UsageError("--layout, --fields and --json need --copybook");
    if (others)
        throw CommandLine::UsageError(
            "--layout, --fields and --json go with no find, compare, --check, --count or --raw");
    if (m_output == Output::Layout && operands > 0)
        throw CommandLine::UsageError("--layout takes no FILE");
    if (m_output != Output::Layout && operands == 0)
        throw CommandLine::UsageError("missing FILE");
    if (m_output == Output::Json && operands == 2)
        throw CommandLine::UsageError("--json takes no RECORD");
}
