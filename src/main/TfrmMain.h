#pragma once

#include "RecordStore.h"
#include "ui_main.h"

#include <QMargins>
#include <QString>
#include <QWidget>

#include <optional>

class QMimeData;

// The main window: the Open, About and Exit buttons, the record number and the record's dump.
class TfrmMain : public QWidget, public Ui::TfrmMain
{
    Q_OBJECT

public:
    // codePage: the one the records are written in, for drawing their characters.
    explicit TfrmMain(int codePage, QWidget *parent = nullptr);
    ~TfrmMain() override;

    void Button1Click();
    void Button2Click();
    void SpinEdit1Change();
    void UserFileLoad(const QString &path);

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

    // The chosen full path, or nothing when the user cancels; previous is preselected.
    virtual std::optional<QString> ExecuteOpenDialog(const QString &previous);

private:
    void FormCreate();
    void FormClose();
    void PointVersionInfoAtExecutable();
    void SetCaptionFromVersion();
    void LoadCommandLineFile();

    void OpenChosenFile(const QString &path);
    void RenderRecord(int number);
    static std::optional<QString> droppedFile(const QMimeData *data);
    static void SetLabelText(QLabel *label, const QString &text);

    RecordStore m_records;
    QString m_openDialogFileName;
    QMargins m_memoAnchors; // distances of Memo1 to the client area's edges
};
