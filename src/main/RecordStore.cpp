#include "RecordStore.h"

#include "Failure.h"
#include "FileReader.h"

#include <new>

void RecordStore::load(const std::string &path)
{
    try {
        auto file = std::make_shared<const std::string>(readFile(path));
        RecordIndex index(*file, m_memoryLimit - file->size());
        m_file.swap(file);
        m_index.swap(index);
    } catch (const std::bad_alloc &) {
        throw Failure("メモリが足りません");
    }
}

std::string RecordStore::readFile(const std::string &path) const
{
    const FileReader reader(path);
    if (reader.size() > m_memoryLimit)
        throw std::bad_alloc();
    return reader.readAll();
}

std::size_t RecordStore::count() const
{
    return m_index.count();
}

Record RecordStore::record(std::int64_t index) const
{
    if (index < 0 || static_cast<std::uint64_t>(index) >= count())
        throw Failure("リストのインデックスが範囲を超えています (" + std::to_string(index) + ")");
    return {m_file, m_index.record(*m_file, static_cast<std::size_t>(index))};
}
