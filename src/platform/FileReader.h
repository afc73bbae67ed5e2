#pragma once

#include "ByteSource.h"

#include <cstdint>
#include <string>

// A regular file opened for reading as a whole. Holds the file open for its lifetime.
class FileReader : public ByteSource
{
public:
    // Opens the file at path. Throws Failure "ファイル %s は開けません" (%s the path as given)
    // when it is missing or unreadable, is not a regular file (folders, FIFOs, sockets and
    // devices would block or never end; they are refused without being opened), or another
    // process holds it open for writing.
    // Linux cannot deny writers that come later; the check covers those already there.
    explicit FileReader(const std::string &path);
    ~FileReader() override;

    FileReader(const FileReader &) = delete;
    FileReader &operator=(const FileReader &) = delete;

    // Bytes in the file when it was opened.
    std::uint64_t size() const override { return m_size; }

    // The file's bytes from its start, at most size() of them: a file that grows meanwhile
    // gives the size taken at the opening, one that shrinks gives the bytes still there.
    // Throws std::bad_alloc when the buffer cannot be had, Failure when reading fails.
    std::string readAll() const;
    // Straight into out, with no buffer between: a big read writes its memory only once.
    std::size_t readAt(std::uint64_t offset, char *out, std::size_t count) const override;
    std::unique_ptr<FileMapping> map() const override;

private:
    void inspect();
    void refuseIfWritten() const;
    [[noreturn]] void fail() const;

    std::string m_path;
    int m_fd = -1;
    std::uint64_t m_size = 0;
};
