#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// An ELF file of either class and byte order, opened for reading its sections' bytes.
// Failures leave their code in errno, the platform's last error: what open() or read() said,
// EISDIR for a folder, ENOEXEC for anything that is not a sound ELF file, ENODATA for a
// missing section.
class ElfFile
{
public:
    struct Extent
    {
        std::uint64_t offset = 0;
        std::uint64_t size = 0;
    };

    // Opens path; isOpen() says whether that worked.
    explicit ElfFile(const std::string &path);
    ~ElfFile();

    ElfFile(const ElfFile &) = delete;
    ElfFile &operator=(const ElfFile &) = delete;

    bool isOpen() const { return m_fd >= 0; }

    // Where the bytes of the first section called name lie in the file. A section without
    // bytes in the file (.bss-like, or empty) counts as missing.
    std::optional<Extent> findSection(std::string_view name) const;

    // Reads buffer.size() bytes at offset, which must lie within the file.
    bool read(std::uint64_t offset, std::span<std::byte> buffer) const;

private:
    struct Layout;

    std::optional<Layout> readLayout() const;
    std::optional<Layout> readFileHeader() const;
    std::optional<Layout> readExtendedHeader(Layout layout) const;
    std::optional<std::string> readBytes(std::uint64_t offset, std::uint64_t size) const;

    int m_fd = -1;
    std::uint64_t m_size = 0;
};
