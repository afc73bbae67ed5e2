#pragma once

#include "BackgroundLoad.h"
#include "Framing.h"
#include "LayoutChoice.h"
#include "LoadSeams.h"
#include "RecordStore.h"
#include "StatusNotices.h"
#include "ui_main.h"

#include <QFileSystemWatcher>
#include <QMargins>
#include <QString>
#include <QWidget>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class CompareController;
class Encoding;
class EncodingSelector;
class FieldsController;
class FindController;
class RecordNumber;
class QDialog;
class QMenu;
class QMimeData;
class TZuVersInfo;

// The main window: the Open, About and Exit buttons, the record number, the framing selector
// and the record's dump.
class TfrmMain : public QWidget, public Ui::TfrmMain
{
    Q_OBJECT

public:
    // codePage: the one the records are written in, for drawing their characters.
    // arguments: the command line's from the file on, after the program's name and its
    // options; the first names a file to load. framing: the selector's first choice.
    explicit TfrmMain(int codePage, std::vector<std::string> arguments = {},
                      QWidget *parent = nullptr, Framing framing = {}, LoadSeams seams = {});
    ~TfrmMain() override;

    // The box that the About button shows modally; created after this window.
    void SetAboutBox(QDialog *aboutBox) { m_aboutBox = aboutBox; }

    // Find and Go To, over the dump area.
    FindController *Find() const { return m_find; }
    // Two records, or two files record by record, in the dump area.
    CompareController *Compare() const { return m_compare; }
    // The copybook layout of the records and its Fields window.
    FieldsController *Fields() const { return m_fields; }

    // The version resource of the running executable: the caption's and the About box's.
    TZuVersInfo *const ZuVersInfo1;

    void Button1Click();
    void Button2Click();
    void SpinEdit1Change();
    // The framing selector: re-frames the bytes held, without reading the file again.
    void ComboBox1Change();
    void SpinBox1Change();
    void UserFileLoad(const QString &path);
    // path as bytes, for names that are not UTF-8.
    void UserFileLoad(const std::string &path);

    // The encoding the records are shown in; nothing for the locale's. The record on screen is
    // rendered again, at the block in sight, whatever the record box holds.
    void SetEncoding(std::shared_ptr<const Encoding> encoding);
    const Encoding &CurrentEncoding() const;
    // Picks the encoding from the loaded file's bytes, and from every file loaded after it
    // until the user picks one by name; says what it picked in the status line.
    void DetectEncoding();
    // F5: loads the file again, keeping the record number and the block in sight.
    void ReloadFile();
    // Ctrl+L, "Layout…": the dialog, then SetLayout.
    void OpenLayout();
    // Lays the records out by the choice's copybook and shows the Fields window. Records
    // framed as lines become fixed-length records of the layout's length; another framing
    // stays. A copybook that cannot be read is told, and the layout held stays.
    void SetLayout(const LayoutChoice &choice);
    // "No layout": the dump as without one; the framing stays.
    void RemoveLayout();
    // The notice at the status line's right end; empty when none stands.
    QString Notice() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

    // The chosen full path, or nothing when the user cancels; previous is preselected.
    virtual std::optional<QString> ExecuteOpenDialog(const QString &previous);
    // The layout chosen, or nothing when the user cancels; previous fills the dialog.
    virtual std::optional<LayoutChoice> ExecuteLayoutDialog(const LayoutChoice &previous);

private:
    void FormCreate();
    void ConnectRecordNumber();
    void ConnectFind();
    void ConnectCompare();
    void ConnectFields();
    void AddLayoutActions(QMenu &menu);
    std::optional<RecordStore> LoadStore(const std::string &path);
    void FormClose();
    void PointVersionInfoAtExecutable();
    void SetCaptionFromVersion();
    void LoadCommandLineFile();
    static std::string ExpandShortName(const std::string &path);

    std::string LocaleEncodingName() const;
    std::shared_ptr<const Encoding> ShownEncoding() const;
    void CreateEncodingControls(const QString &localeName);
    void PickEncoding(const QString &name);
    void DetectLoadedEncoding();
    void ShowNotices();
    void PlaceStatusLine();
    void ConnectRecordKeys();
    void StepRecord(bool backwards);
    void ShowCursorByte();
    void OpenChosenFile(const QString &path);
    void ShowLoadedRecords(const std::string &path);
    void ShowStoreLabels(const std::string &path);
    void HoldStore(RecordStore store, const std::string &path);
    void WatchLoadedFile();
    void FileChangedOnDisk(const QString &path);
    void FileChangedUnderneath();
    Framing ChosenFraming() const;
    void ShowFraming(const Framing &framing);
    void Reframe(const Framing &framing);
    void RenderRecord(std::uint64_t number);
    // The record on screen, cut again as the encoding and the layout say, at the block in sight.
    void RedrawRecord();
    static std::optional<QString> droppedFile(const QMimeData *data);
    static void SetLabelText(QLabel *label, const QString &text);

    const std::vector<std::string> m_arguments;
    QDialog *m_aboutBox = nullptr;
    RecordStore m_records;
    std::string m_recordsPath; // the file m_records holds
    QFileSystemWatcher m_fileWatch;
    bool m_reportingChange = false; // the box telling of a file cut underneath is up
    Framing m_framing;         // for the next load; the store's once a file is held
    LoadSeams m_seams;
    BackgroundLoad m_load;
    int m_codePage;
    std::shared_ptr<const Encoding> m_localeEncoding;
    std::shared_ptr<const Encoding> m_encoding; // nothing for the locale's
    EncodingSelector *m_encodingSelector = nullptr;
    QPushButton *m_detectButton = nullptr;
    QLabel *m_statusLine = nullptr;
    QLabel *m_noticeLine = nullptr; // at the status line's right end
    StatusNotices m_notices;
    bool m_detectEach = false; // Detect runs on every file loaded
    QString m_openDialogFileName;
    QMargins m_memoAnchors; // distances of Memo1 to the client area's edges
    RecordNumber *m_recordNumber = nullptr;
    FindController *m_find = nullptr;
    CompareController *m_compare = nullptr;
    FieldsController *m_fields = nullptr;
};
