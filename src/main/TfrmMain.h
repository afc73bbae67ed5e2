#pragma once

#include "RecordStore.h"
#include "ui_main.h"

#include <QMargins>
#include <QString>
#include <QWidget>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class Encoding;
class EncodingSelector;
class FindController;
class QDialog;
class QMimeData;
class TZuVersInfo;

// The main window: the Open, About and Exit buttons, the record number and the record's dump.
class TfrmMain : public QWidget, public Ui::TfrmMain
{
    Q_OBJECT

public:
    // codePage: the one the records are written in, for drawing their characters.
    // arguments: the command line's, after the program's name; the first names a file to load.
    explicit TfrmMain(int codePage, std::vector<std::string> arguments = {},
                      QWidget *parent = nullptr);
    ~TfrmMain() override;

    // The box that the About button shows modally; created after this window.
    void SetAboutBox(QDialog *aboutBox) { m_aboutBox = aboutBox; }

    // Find and Go To, over the dump area.
    FindController *Find() const { return m_find; }

    // The version resource of the running executable: the caption's and the About box's.
    TZuVersInfo *const ZuVersInfo1;

    void Button1Click();
    void Button2Click();
    void SpinEdit1Change();
    void UserFileLoad(const QString &path);
    // path as bytes, for names that are not UTF-8.
    void UserFileLoad(const std::string &path);

    // The encoding the records are shown in; nothing for the locale's. The shown record is
    // rendered again, at the block in sight.
    void SetEncoding(std::shared_ptr<const Encoding> encoding);
    const Encoding &CurrentEncoding() const { return *m_encoding; }
    // Picks the encoding from the loaded file's bytes; says what it picked in the status line.
    void DetectEncoding();

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

    // The chosen full path, or nothing when the user cancels; previous is preselected.
    virtual std::optional<QString> ExecuteOpenDialog(const QString &previous);

private:
    void FormCreate();
    void ConnectFind();
    void FormClose();
    void PointVersionInfoAtExecutable();
    void SetCaptionFromVersion();
    void LoadCommandLineFile();
    static std::string ExpandShortName(const std::string &path);

    void CreateEncodingControls(const QString &localeName);
    void PickEncoding(const QString &name);
    void ShowCursorByte();
    void OpenChosenFile(const QString &path);
    void RenderRecord(int number);
    static std::optional<QString> droppedFile(const QMimeData *data);
    static void SetLabelText(QLabel *label, const QString &text);

    const std::vector<std::string> m_arguments;
    QDialog *m_aboutBox = nullptr;
    RecordStore m_records;
    std::shared_ptr<const Encoding> m_localeEncoding;
    std::shared_ptr<const Encoding> m_encoding;
    EncodingSelector *m_encodingSelector = nullptr;
    QPushButton *m_detectButton = nullptr;
    QLabel *m_statusLine = nullptr;
    QString m_openDialogFileName;
    QMargins m_memoAnchors; // distances of Memo1 to the client area's edges
    FindController *m_find = nullptr;
};
