#include "ByteClasses.h"
#include "QarvoApplication.h"
#include "TfrmMain.h"
#include "UserLocale.h"

int main(int argc, char **argv)
{
    const UserLocale locale = UserLocale::fromEnvironment();
    // Before any window exists, and read-only from then on.
    ByteClasses::setProcessWide(ByteClasses::forLocale(locale));
    QarvoApplication application(argc, argv);
    TfrmMain frmMain(locale.ansiCodePage());
    frmMain.show();
    return QarvoApplication::exec();
}
