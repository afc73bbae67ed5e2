#pragma once

#include <QApplication>

// The application: its title, and the guard that shows a failure escaping any event handler
// in the error box and lets the event loop go on.
class QarvoApplication : public QApplication
{
    Q_OBJECT

public:
    QarvoApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};
