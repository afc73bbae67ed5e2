#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// A small 64-bit little-endian ELF file: the file header, the sections' bytes, their names and
// the section header table last, so that tests can spoil any field at a known place.
class ElfImage
{
public:
    static constexpr std::size_t kTableOffsetAt = 0x28;
    static constexpr std::size_t kEntrySizeAt = 0x3A;
    static constexpr std::size_t kEntryCountAt = 0x3C;
    static constexpr std::size_t kNamesIndexAt = 0x3E;
    static constexpr std::size_t kEntrySize = 64;
    static constexpr std::size_t kNameAt = 0, kTypeAt = 4, kOffsetAt = 24, kSizeAt = 32;
    static constexpr std::size_t kLinkAt = 40;

    // Sections 1 to n are these, in order; section n + 1 holds the names.
    explicit ElfImage(std::vector<std::pair<std::string, std::string>> sections)
    {
        m_bytes.assign(64, '\0');
        m_bytes.replace(0, 6,
                        "\x7F"
                        "ELF\x02\x01");
        std::string names(1, '\0');
        std::vector<Entry> entries{{}};
        for (const auto &[name, bytes] : sections) {
            entries.push_back({names.size(), 1, m_bytes.size(), bytes.size()});
            names += name + '\0';
            m_bytes += bytes;
        }
        entries.push_back({names.size(), 3, m_bytes.size(), 0});
        names += std::string(".shstrtab") + '\0';
        entries.back().size = names.size();
        m_bytes += names;
        m_bytes.resize((m_bytes.size() + 7) & ~std::size_t{7}, '\0');
        m_tableOffset = m_bytes.size();
        m_count = entries.size();
        set(kTableOffsetAt, 8, m_tableOffset);
        set(kEntrySizeAt, 2, kEntrySize);
        set(kEntryCountAt, 2, entries.size());
        set(kNamesIndexAt, 2, entries.size() - 1);
        for (const Entry &entry : entries)
            appendEntry(entry);
    }

    const std::string &bytes() const { return m_bytes; }
    std::size_t tableOffset() const { return m_tableOffset; }
    std::size_t count() const { return m_count; }

    // Writes value, little-endian, width bytes at offset.
    void set(std::size_t offset, std::size_t width, std::uint64_t value)
    {
        for (std::size_t i = 0; i < width; ++i)
            m_bytes[offset + i] = static_cast<char>(value >> (8 * i));
    }
    // Writes a field of section's header, where the table was built.
    void setField(std::size_t section, std::size_t at, std::size_t width, std::uint64_t value)
    {
        set(m_tableOffset + section * kEntrySize + at, width, value);
    }

private:
    struct Entry
    {
        std::uint64_t name = 0, type = 0, offset = 0, size = 0;
    };

    void appendEntry(const Entry &entry)
    {
        const std::size_t at = m_bytes.size();
        m_bytes.append(kEntrySize, '\0');
        set(at + kNameAt, 4, entry.name);
        set(at + kTypeAt, 4, entry.type);
        set(at + kOffsetAt, 8, entry.offset);
        set(at + kSizeAt, 8, entry.size);
    }

    std::string m_bytes;
    std::size_t m_tableOffset = 0;
    std::size_t m_count = 0;
};
