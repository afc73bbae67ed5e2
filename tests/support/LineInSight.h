#pragma once

#include "DumpView.h"

#include <QFontMetricsF>
#include <QScrollBar>

#include <cmath>

// Whether line of view stands whole in its viewport and, when bar shows, clear of its rows.
inline bool lineInSight(const DumpView &view, std::size_t line, const QWidget *bar = nullptr)
{
    const int height = static_cast<int>(std::ceil(QFontMetricsF(view.font()).lineSpacing()));
    const std::size_t first = view.firstVisibleLine();
    if (line < first)
        return false;
    const QRect viewport = view.viewport()->geometry();
    const int top = viewport.top() + static_cast<int>(line - first) * height;
    const QRect rows(viewport.left(), top, viewport.width(), height);
    if (!viewport.contains(rows))
        return false;
    return !bar || !bar->isVisible() || rows.top() > bar->geometry().bottom() ||
           rows.bottom() < bar->geometry().top();
}
