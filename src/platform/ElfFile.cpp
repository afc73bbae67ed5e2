#include "ElfFile.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view kMagic = "\x7F"
                                    "ELF";
constexpr std::size_t kClassAt = 4;
constexpr std::size_t kByteOrderAt = 5;
constexpr unsigned char kClass32 = 1;
constexpr unsigned char kClass64 = 2;
constexpr unsigned char kLittleEndian = 1;
constexpr unsigned char kBigEndian = 2;
constexpr std::uint64_t kExtendedIndex = 0xFFFF; // SHN_XINDEX: the real index is in section 0
constexpr std::uint64_t kNoBits = 8;             // SHT_NOBITS: no bytes in the file

// Where the fields lie in one ELF class, and how wide its offsets and sizes are.
struct Format
{
    std::size_t fileHeaderSize;
    std::size_t tableOffsetAt, entrySizeAt, entryCountAt, namesIndexAt; // in the file header
    std::size_t entrySize;
    std::size_t nameAt, typeAt, offsetAt, sizeAt, linkAt; // in a section header
    std::size_t wordSize;
};

constexpr Format kFormat32{52, 0x20, 0x2E, 0x30, 0x32, 40, 0, 4, 16, 20, 24, 4};
constexpr Format kFormat64{64, 0x28, 0x3A, 0x3C, 0x3E, 64, 0, 4, 24, 32, 40, 8};

// Unsigned fields of bytes in the file's byte order; the caller has checked that they lie
// within.
class Fields
{
public:
    Fields(std::string_view bytes, bool bigEndian) : m_bytes(bytes), m_bigEndian(bigEndian) {}

    std::uint64_t at(std::size_t offset, std::size_t width) const
    {
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < width; ++i) {
            const std::size_t index = m_bigEndian ? offset + i : offset + width - 1 - i;
            value = (value << 8) | static_cast<unsigned char>(m_bytes[index]);
        }
        return value;
    }

private:
    std::string_view m_bytes;
    bool m_bigEndian;
};

const Format *formatOf(unsigned char elfClass)
{
    switch (elfClass) {
    case kClass32:
        return &kFormat32;
    case kClass64:
        return &kFormat64;
    default:
        return nullptr;
    }
}

std::nullopt_t failWith(int code)
{
    errno = code;
    return std::nullopt;
}

} // namespace

// The section header table and the section names, read whole.
struct ElfFile::Layout
{
    const Format *format = nullptr;
    bool bigEndian = false;
    std::uint64_t tableOffset = 0;
    std::uint64_t entrySize = 0;
    std::uint64_t count = 0;
    std::uint64_t namesIndex = 0;
    std::string table;
    std::string names;

    std::uint64_t field(std::uint64_t section, std::size_t at, std::size_t width) const
    {
        return Fields(table, bigEndian).at(section * entrySize + at, width);
    }
    std::uint64_t word(std::uint64_t section, std::size_t at) const
    {
        return field(section, at, format->wordSize);
    }
    // A name outside the names matches nothing.
    std::string_view name(std::uint64_t section) const
    {
        const std::uint64_t at = field(section, format->nameAt, 4);
        if (at >= names.size())
            return {};
        const std::string_view rest = std::string_view(names).substr(at);
        return rest.substr(0, rest.find('\0'));
    }
};

ElfFile::ElfFile(const std::string &path)
{
    // O_NONBLOCK: opening a FIFO without a writer must not wait.
    m_fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (m_fd < 0)
        return;
    struct stat status = {};
    int code = 0;
    if (::fstat(m_fd, &status) != 0)
        code = errno;
    else if (S_ISDIR(status.st_mode))
        code = EISDIR;
    else if (!S_ISREG(status.st_mode))
        code = ENOEXEC;
    if (code != 0) {
        ::close(m_fd);
        m_fd = -1;
        errno = code;
        return;
    }
    m_size = static_cast<std::uint64_t>(status.st_size);
}

ElfFile::~ElfFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

std::optional<ElfFile::Extent> ElfFile::findSection(std::string_view name) const
{
    const std::optional<Layout> layout = readLayout();
    if (!layout)
        return std::nullopt;
    for (std::uint64_t section = 0; section < layout->count; ++section) {
        if (layout->name(section) != name)
            continue;
        const Format &format = *layout->format;
        const Extent extent{layout->word(section, format.offsetAt),
                            layout->word(section, format.sizeAt)};
        if (layout->field(section, format.typeAt, 4) == kNoBits || extent.size == 0)
            return failWith(ENODATA);
        if (extent.offset > m_size || extent.size > m_size - extent.offset)
            return failWith(ENOEXEC);
        return extent;
    }
    return failWith(ENODATA);
}

bool ElfFile::read(std::uint64_t offset, std::span<std::byte> buffer) const
{
    std::size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t got = ::pread(m_fd, buffer.data() + done, buffer.size() - done,
                                    static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0) {
            errno = EIO; // cut short while we read it
            return false;
        }
        done += static_cast<std::size_t>(got);
    }
    return true;
}

std::optional<ElfFile::Layout> ElfFile::readLayout() const
{
    std::optional<Layout> layout = readFileHeader();
    if (!layout)
        return std::nullopt;
    if (layout->count > m_size / layout->entrySize || layout->namesIndex >= layout->count)
        return failWith(ENOEXEC);
    std::optional<std::string> table =
        readBytes(layout->tableOffset, layout->count * layout->entrySize);
    if (!table)
        return std::nullopt;
    layout->table = std::move(*table);
    const Format &format = *layout->format;
    if (layout->field(layout->namesIndex, format.typeAt, 4) == kNoBits)
        return failWith(ENOEXEC);
    std::optional<std::string> names = readBytes(layout->word(layout->namesIndex, format.offsetAt),
                                                 layout->word(layout->namesIndex, format.sizeAt));
    if (!names)
        return std::nullopt;
    layout->names = std::move(*names);
    return layout;
}

std::optional<ElfFile::Layout> ElfFile::readFileHeader() const
{
    const std::optional<std::string> header = readBytes(0, std::min<std::uint64_t>(m_size, 64));
    if (!header)
        return std::nullopt;
    if (header->size() <= kByteOrderAt || !header->starts_with(kMagic))
        return failWith(ENOEXEC);
    Layout layout;
    const unsigned char elfClass = (*header)[kClassAt];
    const unsigned char byteOrder = (*header)[kByteOrderAt];
    layout.format = formatOf(elfClass);
    if (!layout.format || (byteOrder != kLittleEndian && byteOrder != kBigEndian) ||
        header->size() < layout.format->fileHeaderSize)
        return failWith(ENOEXEC);
    layout.bigEndian = byteOrder == kBigEndian;
    const Format &format = *layout.format;
    const Fields fields(*header, layout.bigEndian);
    layout.tableOffset = fields.at(format.tableOffsetAt, format.wordSize);
    layout.entrySize = fields.at(format.entrySizeAt, 2);
    layout.count = fields.at(format.entryCountAt, 2);
    layout.namesIndex = fields.at(format.namesIndexAt, 2);
    if (layout.tableOffset == 0)
        return failWith(ENODATA);
    if (layout.entrySize < format.entrySize)
        return failWith(ENOEXEC);
    if (layout.count == 0 || layout.namesIndex == kExtendedIndex)
        return readExtendedHeader(std::move(layout));
    return layout;
}

// Counts and indexes too large for the file header are kept in section 0.
std::optional<ElfFile::Layout> ElfFile::readExtendedHeader(Layout layout) const
{
    const std::optional<std::string> first = readBytes(layout.tableOffset, layout.entrySize);
    if (!first)
        return std::nullopt;
    const Format &format = *layout.format;
    const Fields section0(*first, layout.bigEndian);
    if (layout.count == 0)
        layout.count = section0.at(format.sizeAt, format.wordSize);
    if (layout.namesIndex == kExtendedIndex)
        layout.namesIndex = section0.at(format.linkAt, 4);
    return layout;
}

std::optional<std::string> ElfFile::readBytes(std::uint64_t offset, std::uint64_t size) const
{
    if (offset > m_size || size > m_size - offset)
        return failWith(ENOEXEC);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (!read(offset, std::as_writable_bytes(std::span(bytes))))
        return std::nullopt;
    return bytes;
}
