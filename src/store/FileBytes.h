#pragma once

#include "FileMapping.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// A loaded file's bytes: mapped, or read into memory where the file cannot be mapped. Mapped
// bytes are the page cache's and may be taken from under us by a file that shrinks; bytes
// read into memory stay as they were read.
class FileBytes
{
public:
    explicit FileBytes(std::string bytes) : m_held(std::move(bytes)) {}
    explicit FileBytes(std::unique_ptr<FileMapping> mapping) : m_mapping(std::move(mapping)) {}

    std::string_view bytes() const { return m_mapping ? m_mapping->bytes() : m_held; }
    // Bytes of the process's own memory they take: none when mapped.
    std::uint64_t heldBytes() const { return m_held.size(); }

    // Whether the bytes can no longer be trusted as the file's: the mapping faulted and was
    // replaced by zeros, or the file is now shorter than what was mapped. Asks the system.
    bool changed() const { return m_mapping && m_mapping->broken(); }
    // The path of the file mapped, for messages; empty for bytes held.
    std::string path() const { return m_mapping ? m_mapping->path() : std::string(); }

private:
    std::string m_held;
    std::unique_ptr<FileMapping> m_mapping;
};
