#pragma once

#include "LayoutChoice.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QLineEdit;

// "Layout…": the copybook and the choices qarvo-dump takes with it: the 01 record, the
// copybook's format, the byte order of COMP-5, the floats and PIC N.
class LayoutDialog : public QDialog
{
    Q_OBJECT

public:
    LayoutDialog(const LayoutChoice &previous, QWidget *parent);

    LayoutChoice choice() const;
    // The choice, or nothing when the user cancels or gives no copybook.
    static std::optional<LayoutChoice> execute(QWidget *parent, const LayoutChoice &previous);

private:
    void browse();
    // The copybook's 01 records, when it can be read; its faults wait for OK.
    void listRecords();
    static QComboBox *choices(const QStringList &texts, int current);

    QLineEdit *m_copybook;
    QComboBox *m_record;
    QComboBox *m_format;
    QComboBox *m_binary;
    QComboBox *m_floats;
    QComboBox *m_nsymbol;
};
