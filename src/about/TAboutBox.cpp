#include "TAboutBox.h"

#include "ErrorBox.h"
#include "MakerAddresses.h"
#include "QarvoIcon.h"
#include "QtDesktopShell.h"
#include "TZuVersInfo.h"

#include <QKeyEvent>

namespace {

constexpr int kIconPixels = 32;

} // namespace

TAboutBox::TAboutBox(TZuVersInfo &versionInfo, const QWidget &mainWindow)
    : TAboutBox(versionInfo, mainWindow, QtDesktopShell::shared())
{}

TAboutBox::TAboutBox(TZuVersInfo &versionInfo, const QWidget &mainWindow, DesktopShell &shell)
    : m_mainWindow(mainWindow), m_shell(shell)
{
    setupUi(this);
    // A fixed dialog frame: a title and a close button, no icon, no resizing.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(size());
    // The face the main window was laid out in.
    setFont(mainWindow.font());
    QFont bold;
    bold.setBold(true);
    ProductName->setFont(bold);
    ProgramIcon->setPixmap(QarvoIcon::icon().pixmap(kIconPixels, kIconPixels));
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(Comment1, &LinkField::doubleClicked, this, &TAboutBox::Comment1DblClick);
    connect(Comment2, &LinkField::doubleClicked, this, &TAboutBox::Comment2DblClick);
    ErrorBox::guard([&] { FormCreate(versionInfo); });
}

TAboutBox::~TAboutBox() = default;

void TAboutBox::Comment1DblClick()
{
    m_shell.open(Comment1->text());
}

void TAboutBox::Comment2DblClick()
{
    m_shell.open(Comment2->text());
}

void TAboutBox::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

// Enter presses the default button; Esc does nothing, as the box has no cancel button.
void TAboutBox::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        event->accept();
        break;
    default:
        QDialog::keyPressEvent(event);
        break;
    }
}

void TAboutBox::FormActivate()
{
    move(m_mainWindow.pos() + kOffsetFromMainWindow);
}

// A failing step leaves the later ones undone: the texts so far, the laid-out width.
void TAboutBox::FormCreate(TZuVersInfo &versionInfo)
{
    SetLabelText(ProductName, versionInfo.GetVersionItem(1));
    SetLabelText(Version, "Version " + versionInfo.GetVersionItem(2));
    SetLabelText(Copyright, versionInfo.GetVersionItem(4));
    Comment1->setText(QStringLiteral("mailto:") + QString::fromUtf8(MakerAddresses::kMail));
    Comment2->setText(QString::fromUtf8(MakerAddresses::kWeb));
    setFixedSize(Copyright->width() + kWidthBeyondCopyright, height());
    OKButton->move(width() - OKButton->width() - kOkButtonInset, OKButton->y());
}

void TAboutBox::SetLabelText(QLabel *label, const std::string &text)
{
    label->setText(QString::fromStdString(text));
    label->adjustSize();
}
