#pragma once

#include "Framing.h"
#include "LayoutChoice.h"

#include <stdexcept>
#include <string>
#include <vector>

// The viewer's options, all before the file: [--encoding NAME] [--record-length N | --rdw]
// [--copybook CPY and the layout's options] [--help] [--version] [--] [FILE ...]. The first argument that is no option names the file,
// as LongNames::firstArgument reads it; "--" ends the options.
class ViewerOptions
{
public:
    // Arguments that do not fit: the message says which and how.
    class UsageError : public std::runtime_error
    {
    public:
        using std::runtime_error::runtime_error;
    };

    static const char *const kUsage;

    // The arguments after the program's name. Throws UsageError.
    explicit ViewerOptions(const std::vector<std::string> &arguments);

    bool help() const { return m_help; }
    bool version() const { return m_version; }
    // As given; whether the name is known is for the caller to say.
    const std::string &encoding() const { return m_encoding; }
    const Framing &framing() const { return m_framing; }
    // The layout to show the records with: the copybook empty without --copybook.
    const LayoutChoice &layout() const { return m_layout; }
    // The arguments from the first that is no option on.
    const std::vector<std::string> &fileArguments() const { return m_fileArguments; }

private:
    // One of the layout's options at arguments[at], with its value; at moves past them.
    bool takeLayoutOption(const std::vector<std::string> &arguments, std::size_t &at);

    bool m_help = false;
    bool m_version = false;
    std::string m_encoding;
    Framing m_framing;
    LayoutChoice m_layout;
    bool m_layoutOptionGiven = false; // other than --copybook
    std::vector<std::string> m_fileArguments;
};
