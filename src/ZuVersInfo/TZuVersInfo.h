#pragma once

#include <QObject>

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// Answers questions about the version resource of one file, by default the running program's.
// The first question reads the whole resource; the copy is kept for the component's life and
// every later answer comes from it, whatever FileName says by then. Texts are UTF-8; paths are
// bytes as the file system holds them.
class TZuVersInfo : public QObject
{
    Q_OBJECT

public:
    // The standard string keys of a version resource, by index.
    static constexpr std::array<const char *, 8> kVersionKeys{
        "CompanyName",    "FileDescription",  "FileVersion", "InternalName",
        "LegalCopyright", "OriginalFilename", "ProductName", "ProductVersion"};

    // FileName starts as the running executable's long path.
    explicit TZuVersInfo(QObject *owner = nullptr);
    ~TZuVersInfo() override;

    const std::string &FileName() const { return m_fileName; }
    // Names the file that the first question reads; nothing is read or dropped here.
    void SetFileName(const std::string &fileName) { m_fileName = fileName; }
    // Whether a saved layout keeps FileName: exactly when it names the running executable,
    // both compared in their long form, byte for byte.
    bool IsFileNameStored() const;

    // The value at subBlock ("\VarFileInfo\Translation", "\StringFileInfo\041103A4\FileVersion")
    // with the characters the resource counts for it, a string's terminating zero included.
    // Throws Failure "QueryVersionInfo:" and the system's text when the resource cannot be read
    // (and asks the file again next time) or lacks subBlock.
    std::string QueryVersionInfo(const std::string &subBlock);
    // The value of key in the string table of the chosen translation: the last one in the
    // user's language, else the first. Throws as QueryVersionInfo does.
    std::string GetVersionString(const std::string &key);
    // GetVersionString of kVersionKeys[index]; std::out_of_range past the table.
    std::string GetVersionItem(std::size_t index);

private:
    std::string TranslationKey();
    void ReadVersionData();

    std::optional<std::vector<std::byte>> m_versionData;
    std::string m_fileName;
};

// The absolute form of path, "" when it has none. Throws Failure "GetFullPathName:" and the
// system's text when that form is too long to name a file.
std::string FullPathOf(const std::string &path);
// The stored name of the entry that path's last element names, or that element when there
// is none.
std::string LongNameOf(const std::string &path);
// The absolute form of path with every element in its stored form, as far as it exists.
// "" when path has no absolute form.
std::string LongPathOf(const std::string &path);
