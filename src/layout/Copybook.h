#pragma once

#include "CopybookReader.h"
#include "Item.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// A copybook's records, read and parsed; COPY members come from the copybook's own folder.
class Copybook
{
public:
    // Throws CopybookError for text that cannot be read, std::runtime_error for a file.
    static Copybook load(const std::string &path, CopybookReader::Format format);
    // text alone: a COPY in it is an error.
    static Copybook parse(std::string_view text, CopybookReader::Format format);

    const std::vector<std::unique_ptr<Item>> &records() const { return m_records; }
    // The 01 or 77 entry called name, the first one for an empty name; throws
    // std::invalid_argument when there is none.
    const Item &record(std::string_view name) const;

private:
    std::vector<std::unique_ptr<std::string>> m_files; // named in tokens, items and errors
    std::vector<std::unique_ptr<Item>> m_records;
};
