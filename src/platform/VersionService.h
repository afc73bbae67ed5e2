#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// The version service over ELF files: an executable carries its VS_VERSIONINFO block, as a
// resource compiler wrote it, in a section of its own. Failures leave their code in errno,
// the platform's last error, as the Windows calls leave theirs for GetLastError.
class VersionService
{
public:
    // The section that carries the block.
    static const char *const kSection;

    // The block's size in bytes, or 0 when path cannot be read (open()'s error), is no ELF
    // file (ENOEXEC), has no such section (ENODATA) or one larger than a block can be
    // (EFBIG: a block's length is 16 bits).
    static std::uint32_t fileVersionInfoSize(const std::string &path);

    // Fills block with path's block, cut to block's size; room left over is zeroed. False
    // with errno set as above when the file can no longer be read.
    static bool fileVersionInfo(const std::string &path, std::span<std::byte> block);

    // The user's default language identifier, from the locale (C and POSIX: 0x0409).
    static std::uint16_t userDefaultLangId();

    // The system's message for errno, without trailing spaces, control characters and full
    // stops: "No data available" for ENODATA.
    static std::string lastErrorText();
};
