#pragma once

#include "QtPrinters.h"
#include "TfrmMain.h"

#include <ostream>

// What a load and a rendering may change on the main window, to see that a step changed none
// of it.
struct WindowSnapshot
{
    QString label1, label2, label3, spinText;
    int maxValue = 0;
    bool spinEnabled = false;
    QString dump;

    static WindowSnapshot of(TfrmMain &window)
    {
        window.Memo1->selectAll();
        return {window.Label1->text(),        window.Label2->text(),
                window.Label3->text(),        window.SpinEdit1->text(),
                window.SpinEdit1->MaxValue(), window.SpinEdit1->isEnabled(),
                window.Memo1->selectedText()};
    }

    bool operator==(const WindowSnapshot &) const = default;
    friend void PrintTo(const WindowSnapshot &shown, std::ostream *out)
    {
        *out << "{" << shown.label1.toStdString() << " | " << shown.label2.toStdString() << " | "
             << shown.label3.toStdString() << " | spin " << shown.spinText.toStdString() << " of "
             << shown.maxValue << (shown.spinEnabled ? " enabled" : " disabled") << " | dump "
             << shown.dump.left(200).toStdString() << "}";
    }
};
