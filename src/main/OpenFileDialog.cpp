#include "OpenFileDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QScreen>

namespace {

QScreen *activeScreen(QWidget *parent)
{
    if (QWidget *active = QApplication::activeWindow())
        return active->screen();
    return parent ? parent->screen() : QGuiApplication::primaryScreen();
}

} // namespace

std::optional<QString> OpenFileDialog::execute(QWidget *parent, const QString &previous)
{
    QFileDialog dialog(parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!previous.isEmpty()) {
        const QFileInfo file(previous);
        dialog.setDirectory(file.absolutePath());
        dialog.selectFile(file.fileName());
    }
    dialog.adjustSize();
    if (QScreen *screen = activeScreen(parent))
        dialog.move(placement(screen->geometry(), dialog.size()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

QPoint OpenFileDialog::placement(const QRect &monitor, const QSize &dialog)
{
    return {monitor.left() + (monitor.width() - dialog.width()) / 2,
            monitor.top() + (monitor.height() - dialog.height()) / 3};
}
