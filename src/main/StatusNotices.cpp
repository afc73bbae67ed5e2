#include "StatusNotices.h"

#include <algorithm>
#include <cstring>

void StatusNotices::set(Kind kind, std::string text)
{
    m_texts[static_cast<std::size_t>(kind)] = std::move(text);
}

void StatusNotices::clear(Kind kind)
{
    m_texts[static_cast<std::size_t>(kind)].clear();
}

const std::string &StatusNotices::shown() const
{
    const auto standing =
        std::ranges::find_if(m_texts, [](const std::string &text) { return !text.empty(); });
    static const std::string kNone;
    return standing != m_texts.end() ? *standing : kNone;
}

std::string StatusNotices::nulNotice(std::string_view file)
{
    const void *nul = std::memchr(file.data(), 0, file.size());
    if (!nul)
        return {};
    const auto offset = static_cast<std::size_t>(static_cast<const char *>(nul) - file.data());
    const std::size_t after = file.size() - offset - 1;
    if (after == 0)
        return {}; // nothing is left out but the NUL
    const std::string bytes = after == 1 ? "1 byte" : std::to_string(after) + " bytes";
    return "NUL at offset " + std::to_string(offset) + " ends the text: " + bytes +
           " not shown (see Records)";
}
