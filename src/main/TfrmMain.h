#pragma once

#include "RecordStore.h"
#include "ui_main.h"

#include <QMargins>
#include <QString>
#include <QWidget>

#include <optional>
#include <string>
#include <vector>

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

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

    // The chosen full path, or nothing when the user cancels; previous is preselected.
    virtual std::optional<QString> ExecuteOpenDialog(const QString &previous);

private:
    void FormCreate();
    void ConnectFind(int codePage);
    void FormClose();
    void PointVersionInfoAtExecutable();
    void SetCaptionFromVersion();
    void LoadCommandLineFile();
    static std::string ExpandShortName(const std::string &path);

    void OpenChosenFile(const QString &path);
    void RenderRecord(int number);
    static std::optional<QString> droppedFile(const QMimeData *data);
    static void SetLabelText(QLabel *label, const QString &text);

    const std::vector<std::string> m_arguments;
    QDialog *m_aboutBox = nullptr;
    RecordStore m_records;
    QString m_openDialogFileName;
    QMargins m_memoAnchors; // distances of Memo1 to the client area's edges
    FindController *m_find = nullptr;
};
