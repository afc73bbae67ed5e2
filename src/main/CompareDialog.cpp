#include "CompareDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include <algorithm>
#include <climits>

CompareDialog::CompareDialog(Chooser choose, QWidget *parent)
    : QDialog(parent), m_choose(std::move(choose)),
      m_thisFile(new QRadioButton(tr("Another record of this &file"), this)),
      m_otherFile(new QRadioButton(tr("A record of an&other file:"), this)),
      m_path(new QLineEdit(this)), m_browse(new QPushButton(tr("&Browse\u2026"), this)),
      m_record(new QSpinBox(this))
{
    setWindowTitle(tr("Compare"));
    m_thisFile->setChecked(true);
    m_path->setMinimumWidth(260);
    // Any number: one beyond the other side is told of when the comparison starts.
    m_record->setRange(1, INT_MAX);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto *layout = new QGridLayout(this);
    layout->addWidget(m_thisFile, 0, 0, 1, 3);
    layout->addWidget(m_otherFile, 1, 0, 1, 3);
    layout->addWidget(m_path, 2, 0, 1, 2);
    layout->addWidget(m_browse, 2, 2);
    auto *recordLabel = new QLabel(tr("&Record:"), this);
    recordLabel->setBuddy(m_record);
    layout->addWidget(recordLabel, 3, 0);
    layout->addWidget(m_record, 3, 1);
    layout->addWidget(buttons, 4, 0, 1, 3);

    connect(m_browse, &QPushButton::clicked, this, &CompareDialog::browseForFile);
    connect(m_otherFile, &QRadioButton::toggled, this, &CompareDialog::showFileChoice);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    showFileChoice();
}

void CompareDialog::setChoice(const CompareChoice &choice)
{
    (choice.path ? m_otherFile : m_thisFile)->setChecked(true);
    m_path->setText(choice.path.value_or(QString()));
    m_record->setValue(static_cast<int>(std::clamp<std::int64_t>(choice.record, 1, INT_MAX)));
    // The number is what is most often typed: Ctrl+D, the number, Enter.
    m_record->setFocus();
    m_record->selectAll();
}

CompareChoice CompareDialog::choice() const
{
    CompareChoice choice;
    if (m_otherFile->isChecked())
        choice.path = m_path->text();
    choice.record = m_record->value();
    return choice;
}

void CompareDialog::browseForFile()
{
    if (const std::optional<QString> chosen = m_choose(m_path->text())) {
        m_path->setText(*chosen);
        m_otherFile->setChecked(true);
    }
}

void CompareDialog::showFileChoice()
{
    m_path->setEnabled(m_otherFile->isChecked());
}
