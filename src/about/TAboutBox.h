#pragma once

#include "ui_about.h"

#include <QDialog>
#include <QPoint>

#include <string>

class DesktopShell;
class TZuVersInfo;

// The modal About box: the program's icon, description, version and copyright line from its
// version resource, and the maker's two addresses, which a double click opens. Created once,
// hidden, and only shown and hidden after that.
class TAboutBox : public QDialog, public Ui::TAboutBox
{
    Q_OBJECT

public:
    // Pixels: the window is this much wider than the copyright line; the OK button's right edge
    // lies this far inside the client area's.
    static constexpr int kWidthBeyondCopyright = 40;
    static constexpr int kOkButtonInset = 15;
    // Pixels right of and below the main window's corner, wherever the box was moved.
    static constexpr QPoint kOffsetFromMainWindow{16, 16};

    // versionInfo: the main window's, pointed at the executable; mainWindow: the box's anchor.
    TAboutBox(TZuVersInfo &versionInfo, const QWidget &mainWindow);
    TAboutBox(TZuVersInfo &versionInfo, const QWidget &mainWindow, DesktopShell &shell);
    ~TAboutBox() override;

    void Comment1DblClick();
    void Comment2DblClick();

protected:
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void FormActivate();
    void FormCreate(TZuVersInfo &versionInfo);
    static void SetLabelText(QLabel *label, const std::string &text);

    const QWidget &m_mainWindow;
    DesktopShell &m_shell;
};
