#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// What the status line's right end tells of the file, apart from the byte under the cursor.
// It holds one notice of each kind and shows the most pressing of those standing.
class StatusNotices
{
public:
    // From the most pressing on.
    enum class Kind : std::size_t { ChangedOnDisk, FileMissing, TextEndsAtNul };

    void set(Kind kind, std::string text);
    void clear(Kind kind);
    // The notice shown; empty when none stands.
    const std::string &shown() const;

    // For a file framed as lines, whose text ends at its first NUL: where that NUL lies and
    // how many bytes follow it; empty when the file holds none, or only at its end.
    static std::string nulNotice(std::string_view file);

private:
    static constexpr std::size_t kKinds = 3;
    std::array<std::string, kKinds> m_texts;
};
