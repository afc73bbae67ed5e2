#include "ByteClasses.h"
#include "QarvoApplication.h"
#include "QarvoIcon.h"
#include "TAboutBox.h"
#include "TfrmMain.h"
#include "UserLocale.h"

#include <QSettings>

int main(int argc, char **argv)
{
    const UserLocale locale = UserLocale::fromEnvironment();
    // Before any window exists, and read-only from then on.
    ByteClasses::setProcessWide(ByteClasses::forLocale(locale));
    QarvoApplication application(argc, argv);
    // The viewer writes no file, yet Qt's file dialog saves its state in the user's settings
    // as it closes. Those settings are put where no file can ever be made: below a device.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
    QarvoApplication::setWindowIcon(QarvoIcon::icon());
    // As bytes, for names in any encoding, and after the application took out its own options.
    TfrmMain frmMain(locale.ansiCodePage(), std::vector<std::string>(argv + 1, argv + argc));
    // After the main window's creation handler, which points its version information at us.
    TAboutBox AboutBox(*frmMain.ZuVersInfo1, frmMain);
    frmMain.SetAboutBox(&AboutBox);
    frmMain.show();
    return QarvoApplication::exec();
}
