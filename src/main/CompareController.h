#pragma once

#include "CompareDialog.h"
#include "CompareDump.h"
#include "RecordStore.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class CompareBar;
class DumpView;
class Encoding;
class FieldsController;
class FileComparison;
class RecordNumber;

// Compare for the main window: the shown record against another record, of the loaded file
// or of another one, or the loaded file against another record by record. The dump area shows
// the pair; the compare bar over it tells where they come from and how they differ.
class CompareController : public QObject
{
    Q_OBJECT

public:
    // The other file's records, framed as the loaded file's; nothing when the load was
    // cancelled. Throws what the load threw.
    using Loader = std::function<std::optional<RecordStore>(const std::string &path)>;

    // store and path: the loaded file's, as the window holds them.
    CompareController(const RecordStore &store, const std::string &path, RecordNumber *number,
                      DumpView *view, std::shared_ptr<const Encoding> encoding, Loader load,
                      CompareDialog::Chooser choose);
    ~CompareController() override;

    // Made on first use, so that until then the window's tab order is as laid out.
    CompareBar *bar();
    bool active() const { return m_mode != Mode::None; }
    bool comparingFiles() const { return m_mode == Mode::Files; }

    // "Compare…": the dialog, then compareWith.
    void openCompare();
    // The shown record against the chosen one; bad input leaves the view as it was and says why.
    void compareWith(const CompareChoice &choice);
    // "Compare files…": the file dialog, then compareFiles.
    void openCompareFiles();
    void compareFiles(const QString &path);
    // F7 and Shift+F7: the next or previous differing column from the cursor's.
    void stepDifference(bool backwards);
    // Ctrl+F7 and Ctrl+Shift+F7: the next or previous differing record; Ctrl+F7 opens
    // "Compare files…" when no files are compared.
    void stepRecord(bool backwards);
    // The window has shown record index (from 0): comparing files, the view shows that pair;
    // two records compared are left.
    void recordShown(std::size_t index);
    // Esc: back to the record as it is shown without comparing.
    void leave();

    // Before the store changes: the comparison ends, without showing a record.
    void forgetStore();
    void setEncoding(std::shared_ptr<const Encoding> encoding);
    // The layout that cuts both records, and names the fields that differ.
    void setFields(FieldsController *fields) { m_fields = fields; }
    // The pair compared is shown anew, as the encoding and the layout cut it now.
    void redraw();

signals:
    // The comparison ended: the window shows the chosen record again.
    void left();
    // Record A's file was cut short underneath the comparison.
    void fileChangedUnderneath();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Mode { None, Records, Files };

    // What the dump area shows against each other.
    struct Pair
    {
        Record a;
        Record b;
        CompareSource sourceA;
        CompareSource sourceB;
    };

    std::optional<RecordStore> loadOther(const QString &path);
    std::optional<std::size_t> shownRecord() const;
    CompareSource sourceOf(const std::string &path, const RecordStore &store,
                           std::size_t index) const;
    Pair pairOf(const RecordStore &storeB, const std::string &pathB, std::size_t indexA,
                std::size_t indexB) const;
    void show(Pair pair);
    void showFileRecord(std::size_t index);
    void goToFileRecord(std::size_t index);
    void fail(const QString &message);
    void end();
    void place();

    const RecordStore &m_store;
    const std::string &m_path;
    RecordNumber *m_number;
    DumpView *m_view;
    std::shared_ptr<const Encoding> m_encoding;
    FieldsController *m_fields = nullptr;
    Loader m_load;
    CompareDialog::Chooser m_choose;
    CompareBar *m_bar = nullptr;
    Mode m_mode = Mode::None;
    std::optional<Pair> m_pair;
    CompareChoice m_lastChoice;
    QString m_lastFile;
    // Comparing files: the other file, the comparison and the record shown.
    std::unique_ptr<RecordStore> m_other;
    std::string m_otherPath;
    std::unique_ptr<FileComparison> m_files;
    QString m_counts;
    std::size_t m_index = 0;
};
