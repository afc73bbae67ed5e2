#include "ErrorBox.h"

#include "FullStop.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

#include <exception>
#include <new>

void ErrorBox::show(const std::string &message)
{
    // A control holding the mouse (a spin button held down) would otherwise keep it
    // while the box is up.
    if (QWidget *grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    QMessageBox box(QMessageBox::Critical, QGuiApplication::applicationDisplayName(),
                    QString::fromStdString(withFullStop(message)), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

void ErrorBox::showCurrentException()
{
    try {
        throw;
    } catch (const std::bad_alloc &) {
        show("メモリが足りません");
    } catch (const std::exception &failure) {
        show(failure.what());
    } catch (...) {
        show("Unknown exception");
    }
}
