#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

class QWidget;

// The Open dialog: Qt's own, so that it can be placed, one file, any name, every file listed.
class OpenFileDialog
{
public:
    // The chosen full path, or nothing when the user cancels. previous is preselected.
    static std::optional<QString> execute(QWidget *parent, const QString &previous);
    // Centred horizontally on the monitor, its top at a third of the height left free.
    static QPoint placement(const QRect &monitor, const QSize &dialog);
};
