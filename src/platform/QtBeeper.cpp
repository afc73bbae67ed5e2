#include "QtBeeper.h"

#include <QApplication>

void QtBeeper::beep()
{
    QApplication::beep();
}

QtBeeper &QtBeeper::shared()
{
    static QtBeeper beeper;
    return beeper;
}
