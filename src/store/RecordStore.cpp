#include "RecordStore.h"

#include "Failure.h"
#include "FileReader.h"
#include "LargePages.h"
#include "LineSplitter.h"
#include "RdwSplitter.h"
#include "ReadAhead.h"

#include <algorithm>
#include <new>
#include <optional>
#include <tuple>

namespace {

template <class Action> auto failingAsOutOfMemory(Action action)
{
    try {
        return action();
    } catch (const std::bad_alloc &) {
        throw Failure("メモリが足りません");
    }
}

} // namespace

void RecordStore::load(const std::string &path)
{
    load(path, Framing::lines());
}

void RecordStore::load(const std::string &path, const Framing &framing, LoadControl *control)
{
    const FileReader reader(path);
    load(reader, framing, control);
}

void RecordStore::load(const ByteSource &source, const Framing &framing, LoadControl *control)
{
    failingAsOutOfMemory([&] {
        std::shared_ptr<const FileBytes> file;
        RecordIndex index;
        if (std::unique_ptr<FileMapping> mapping = source.map()) {
            file = std::make_shared<const FileBytes>(std::move(mapping));
            if (control)
                control->begin(file->bytes().size());
            index = frame(file->bytes(), framing, m_memoryLimit, control);
            if (control)
                control->advance(file->bytes().size());
        } else {
            std::tie(file, index) = read(source, framing, control);
        }
        throwIfChanged(*file);
        m_file = std::move(file);
        m_framing = framing;
        m_index.swap(index);
    });
}

void RecordStore::throwIfChanged() const
{
    if (m_file)
        throwIfChanged(*m_file);
}

void RecordStore::throwIfChanged(const FileBytes &file)
{
    if (file.changed())
        throw Failure("ファイル " + file.path() + " は読み込み中に変更されました");
}

// For a source that cannot be mapped: its bytes copied into memory, lines split as the
// pieces arrive, while they are in cache.
std::pair<std::shared_ptr<const FileBytes>, RecordIndex>
RecordStore::read(const ByteSource &source, const Framing &framing, LoadControl *control) const
{
    const std::uint64_t size = source.size();
    std::string bytes;
    if (size > m_memoryLimit || size > bytes.max_size())
        throw std::bad_alloc();
    bytes.reserve(static_cast<std::size_t>(size));
    LargePages::prefer(bytes.data(), bytes.capacity());
    if (control)
        control->begin(size);
    RecordIndex index;
    {
        std::optional<LineSplitter> splitter;
        if (framing.kind == Framing::Kind::Lines)
            splitter.emplace(index, size, m_memoryLimit - size);
        ReadAhead reader(source, bytes, control);
        for (ReadAhead::Arrived arrived{"", false}; !arrived.complete;) {
            arrived = reader.wait(arrived.bytes.size());
            if (splitter)
                splitter->take(arrived.bytes, arrived.complete);
            if (control)
                control->advance(arrived.bytes.size());
        }
    }
    if (framing.kind != Framing::Kind::Lines)
        index = frame(bytes, framing, m_memoryLimit - size, control);
    return {std::make_shared<const FileBytes>(std::move(bytes)), std::move(index)};
}

RecordStore RecordStore::reframed(const Framing &framing, LoadControl *control) const
{
    return framed(m_file, framing, control, m_memoryLimit);
}

RecordStore RecordStore::framed(std::shared_ptr<const FileBytes> file, const Framing &framing,
                                LoadControl *control, std::uint64_t memoryLimit)
{
    return failingAsOutOfMemory([&] {
        RecordStore store(memoryLimit);
        store.m_file = std::move(file);
        const std::string_view bytes = store.bytes();
        if (control)
            control->begin(bytes.size());
        const std::uint64_t held = store.m_file ? store.m_file->heldBytes() : 0;
        store.m_index = frame(bytes, framing, memoryLimit - held, control);
        store.m_framing = framing;
        store.throwIfChanged();
        return store;
    });
}

RecordIndex RecordStore::frame(std::string_view file, const Framing &framing,
                               std::uint64_t memoryLimit, LoadControl *control)
{
    RecordIndex index;
    switch (framing.kind) {
    case Framing::Kind::Lines:
        index = LineSplitter::split(file, memoryLimit, control);
        break;
    case Framing::Kind::FixedLength:
        break;
    case Framing::Kind::Rdw:
        index = RdwSplitter::split(file, memoryLimit, control);
        break;
    }
    return index;
}

std::size_t RecordStore::count() const
{
    if (m_framing.kind != Framing::Kind::FixedLength)
        return m_index.count();
    const std::size_t size = bytes().size();
    return size / m_framing.length + (size % m_framing.length != 0);
}

std::size_t RecordStore::recordAt(std::uint64_t offset) const
{
    if (m_framing.kind != Framing::Kind::FixedLength)
        return m_index.recordAt(offset);
    return static_cast<std::size_t>(std::min<std::uint64_t>(offset / m_framing.length, count()));
}

Record RecordStore::record(std::int64_t index) const
{
    if (index < 0 || static_cast<std::uint64_t>(index) >= count())
        throw Failure("リストのインデックスが範囲を超えています (" + std::to_string(index) + ")");
    const auto at = static_cast<std::size_t>(index);
    const std::string_view file = bytes();
    switch (m_framing.kind) {
    case Framing::Kind::FixedLength:
        return {m_file, file.substr(at * m_framing.length, m_framing.length)};
    case Framing::Kind::Rdw:
        return {m_file, RdwSplitter::record(file, m_index.start(at))};
    case Framing::Kind::Lines:
        break;
    }
    return {m_file, m_index.record(file, at)};
}
