#include "Copybook.h"

#include "CopyStatements.h"
#include "CopybookError.h"
#include "CopybookParser.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace {

constexpr std::uintmax_t kMostBytes = 64 << 20;

std::optional<std::string> fileText(const std::filesystem::path &path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return std::nullopt;
    if (std::filesystem::file_size(path, error) > kMostBytes)
        throw std::runtime_error(path.string() + ": too large for a copybook");
    std::ifstream in(path, std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(in), {}};
    if (!in && !in.eof())
        throw std::runtime_error(path.string() + ": cannot be read");
    return text;
}

// name, name.cpy or name.cbl, as written, then in lower and upper case.
std::optional<std::string> memberText(const std::filesystem::path &folder, std::string name,
                                      std::filesystem::path &found)
{
    std::string lower = name;
    std::string upper = name;
    for (std::size_t i = 0; i < name.size(); ++i) {
        lower[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[i])));
        upper[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[i])));
    }
    for (const std::string &base : {name, lower, upper}) {
        if (base.find('/') != base.npos)
            continue;
        for (const char *suffix : {"", ".cpy", ".cbl", ".CPY", ".CBL"}) {
            found = folder / (base + suffix);
            if (auto text = fileText(found))
                return text;
        }
    }
    return std::nullopt;
}

std::vector<std::unique_ptr<Item>> parsed(std::string_view text, CopybookReader::Format format,
                                          const CopyStatements::Loader &load,
                                          const std::string *file = nullptr)
{
    return CopybookParser::parse(
        CopyStatements::expand(CopybookReader::read(text, format, file), load));
}

} // namespace

Copybook Copybook::load(const std::string &path, CopybookReader::Format format)
{
    const std::optional<std::string> text = fileText(path);
    if (!text)
        throw std::runtime_error(path + ": no such copybook");
    Copybook copybook;
    const auto named = [&copybook](std::string file) {
        copybook.m_files.push_back(std::make_unique<std::string>(std::move(file)));
        return copybook.m_files.back().get();
    };
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    const CopyStatements::Loader load = [&](const Token &name) {
        std::filesystem::path found;
        const std::optional<std::string> member = memberText(folder, name.text, found);
        if (!member)
            throw CopybookError("no member '" + name.text + "' to COPY", name.line, name.column,
                                name.file);
        return CopybookReader::read(*member, format, named(found.string()));
    };
    copybook.m_records = parsed(*text, format, load, named(path));
    return copybook;
}

Copybook Copybook::parse(std::string_view text, CopybookReader::Format format)
{
    Copybook copybook;
    copybook.m_records = parsed(text, format, [](const Token &name) -> std::vector<Token> {
        throw CopybookError("no member '" + name.text + "' to COPY", name.line, name.column,
                            name.file);
    });
    return copybook;
}

const Item &Copybook::record(std::string_view name) const
{
    if (m_records.empty())
        throw std::invalid_argument("the copybook describes no record");
    if (name.empty())
        return *m_records.front();
    for (const auto &record : m_records) {
        if (Item::sameName(record->name, name))
            return *record;
    }
    throw std::invalid_argument("the copybook has no record " + std::string(name));
}
