#pragma once

#include "ByteSource.h"
#include "FileBytes.h"
#include "Framing.h"
#include "LoadControl.h"
#include "RecordIndex.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

// One record: a view into the bytes of the file it came from, which it keeps alive,
// so that a dump on screen survives the load of another file.
struct Record
{
    std::shared_ptr<const void> file; // the owner of the bytes, a FileBytes from a store
    std::string_view bytes;
};

// The loaded file as a list of records, framed as lines unless told otherwise. The file's
// bytes are held once and whole, past a NUL too, so that they can be framed anew; records
// are views into them. A file is mapped where it can be, so its bytes stay the page cache's;
// should it shrink while held, the bytes past its end read as zeros and changed() tells.
class RecordStore
{
public:
    // memoryLimit: most bytes a load may take for its index and for a file that must be read
    // into memory (mapped bytes do not count); needing more fails as running out of memory
    // does. Lets tests exhaust memory on purpose.
    explicit RecordStore(std::uint64_t memoryLimit = std::numeric_limits<std::uint64_t>::max())
        : m_memoryLimit(memoryLimit)
    {}

    // Replaces the list with the lines of the file at path. On any failure (a Failure
    // carrying the message, "メモリが足りません" when memory runs out, the message of
    // throwIfChanged() when the file shrank during the load) the previous list stays exactly
    // as it was.
    void load(const std::string &path);
    // The same with framing. control, when given, hears of the bytes scanned and can cancel,
    // which throws LoadControl::Cancelled and also leaves the list as it was.
    void load(const std::string &path, const Framing &framing, LoadControl *control = nullptr);
    // The same for a source: mapped when it gives a mapping, else read into memory.
    void load(const ByteSource &source, const Framing &framing, LoadControl *control = nullptr);

    // A store of the bytes held, framed by framing, without reading the file again. Throws
    // as load does (an RDW framing's Failure names the offset and what was wrong).
    RecordStore reframed(const Framing &framing, LoadControl *control = nullptr) const;
    // The same for the bytes of file, which may be held by a store on another thread.
    static RecordStore
    framed(std::shared_ptr<const FileBytes> file, const Framing &framing,
           LoadControl *control = nullptr,
           std::uint64_t memoryLimit = std::numeric_limits<std::uint64_t>::max());

    const Framing &framing() const { return m_framing; }
    // The whole file as held; every record's bytes lie within it.
    std::string_view bytes() const { return m_file ? m_file->bytes() : ""; }
    // The same bytes, kept alive for as long as the caller holds them; null before a load.
    std::shared_ptr<const FileBytes> file() const { return m_file; }

    // Whether the file's bytes can no longer be trusted: it shrank underneath the mapping, so
    // what was read past its new end was zeros, not the file's. Asks the system (one fstat);
    // check before what was read is reported or shown.
    bool changed() const { return m_file && m_file->changed(); }
    // Throws Failure "ファイル %s は読み込み中に変更されました" (%s the path) when changed().
    void throwIfChanged() const;

    std::size_t count() const;
    // Throws Failure "リストのインデックスが範囲を超えています (%d)" outside 0 .. count - 1.
    Record record(std::int64_t index) const;
    // The record (from 0) that holds the byte at offset of bytes(), its line end included (under
    // RDW, the descriptor word of the record after it); count() past the last one.
    std::size_t recordAt(std::uint64_t offset) const;

private:
    std::pair<std::shared_ptr<const FileBytes>, RecordIndex>
    read(const ByteSource &source, const Framing &framing, LoadControl *control) const;
    static void throwIfChanged(const FileBytes &file);
    static RecordIndex frame(std::string_view file, const Framing &framing,
                             std::uint64_t memoryLimit, LoadControl *control);

    std::uint64_t m_memoryLimit;
    std::shared_ptr<const FileBytes> m_file;
    Framing m_framing;
    RecordIndex m_index; // empty for fixed lengths, which need none
};
