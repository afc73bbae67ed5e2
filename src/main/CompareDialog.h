#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

// What to compare the shown record with: a record of the loaded file, or of another file.
struct CompareChoice
{
    std::optional<QString> path; // the other file's; nothing for the loaded one
    std::int64_t record = 1;     // from 1
};

// The small dialog behind "Compare…": this file or another one (typed, or found with
// Browse…), and the record number.
class CompareDialog : public QDialog
{
    Q_OBJECT

public:
    // Browse…'s file dialog: the chosen path, or nothing; the previous one is preselected.
    using Chooser = std::function<std::optional<QString>(const QString &previous)>;

    CompareDialog(Chooser choose, QWidget *parent = nullptr);

    void setChoice(const CompareChoice &choice);
    CompareChoice choice() const;

    QPushButton *browse() const { return m_browse; }
    QSpinBox *record() const { return m_record; }

private:
    void browseForFile();
    void showFileChoice();

    Chooser m_choose;
    QRadioButton *m_thisFile;
    QRadioButton *m_otherFile;
    QLineEdit *m_path;
    QPushButton *m_browse;
    QSpinBox *m_record;
};
