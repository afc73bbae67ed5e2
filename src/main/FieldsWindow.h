#pragma once

#include <QWidget>

#include <cstddef>

class FieldsModel;
class QLabel;
class QModelIndex;
class QTreeView;

// The tool window beside the main window that shows the record's fields as a tree table. It
// tells which row the user picks and shows the row it is told to; the controller decides.
class FieldsWindow : public QWidget
{
    Q_OBJECT

public:
    explicit FieldsWindow(QWidget *owner);

    FieldsModel *model() const { return m_model; }
    QTreeView *table() const { return m_table; }
    // "Fields – orders.cpy: ORDER-RECORD".
    void setCaption(const QString &copybook, const QString &record);
    // What is amiss with the record, above the table; nothing hides the line.
    void setNote(const QString &note);
    QString note() const;
    // Selects and shows the row without telling rowChosen.
    void selectRow(std::size_t row);
    // Right of owner when the screen has room, else over its right part.
    void placeBeside(const QWidget &owner);
    // Copy: the selected rows as tab-separated lines.
    void copySelection() const;

signals:
    void rowChosen(std::size_t row);

private:
    void chosen(const QModelIndex &index);

    FieldsModel *m_model;
    QLabel *m_note;
    QTreeView *m_table;
    bool m_selecting = false;
};
