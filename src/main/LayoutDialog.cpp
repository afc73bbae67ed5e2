#include "LayoutDialog.h"

#include "Copybook.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

using Floats = FieldDecoder::Options::Floats;

constexpr int kPathWidth = 360; // most of a usual path in sight

QString fromBytes(const std::string &path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

} // namespace

LayoutDialog::LayoutDialog(const LayoutChoice &previous, QWidget *parent)
    : QDialog(parent), m_copybook(new QLineEdit(fromBytes(previous.copybook), this)),
      m_record(new QComboBox(this)),
      m_format(choices({tr("Fixed (columns 8 to 72)"), tr("Free")},
                       previous.format == CopybookReader::Format::Free)),
      m_binary(
          choices({tr("Big-endian"), tr("Little-endian")}, previous.decoding.littleEndianComp5)),
      m_floats(choices({tr("By the encoding"), tr("IBM hexadecimal"), tr("IEEE 754")},
                       static_cast<int>(previous.decoding.floats))),
      m_nsymbol(choices({tr("Double-byte"), tr("UTF-16 (national)")}, previous.decoding.nationalN))
{
    setWindowTitle(tr("Layout"));
    setObjectName(QStringLiteral("LayoutDialog"));
    m_copybook->setObjectName(QStringLiteral("CopybookPath"));
    m_copybook->setMinimumWidth(kPathWidth);
    m_record->setEditable(true);
    m_record->setObjectName(QStringLiteral("LayoutRecord"));
    auto *browse = new QPushButton(tr("&Browse\u2026"), this);
    auto *path = new QHBoxLayout;
    path->addWidget(m_copybook, 1);
    path->addWidget(browse);
    auto *form = new QFormLayout(this);
    auto *pathLabel = new QLabel(tr("&Copybook:"), this);
    pathLabel->setBuddy(m_copybook);
    form->addRow(pathLabel, path);
    form->addRow(tr("&Record:"), m_record);
    form->addRow(tr("&Format:"), m_format);
    form->addRow(tr("COMP-&5:"), m_binary);
    form->addRow(tr("COMP-1 and COMP-&2:"), m_floats);
    form->addRow(tr("PIC &N:"), m_nsymbol);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    for (QComboBox *box : {m_format, m_binary, m_floats, m_nsymbol})
        box->setParent(this);
    listRecords();
    m_record->setCurrentText(QString::fromStdString(previous.record));
    connect(browse, &QPushButton::clicked, this, &LayoutDialog::browse);
    connect(m_copybook, &QLineEdit::editingFinished, this, &LayoutDialog::listRecords);
    connect(m_format, &QComboBox::currentIndexChanged, this, &LayoutDialog::listRecords);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

LayoutChoice LayoutDialog::choice() const
{
    LayoutChoice choice;
    choice.copybook = QFile::encodeName(m_copybook->text()).toStdString();
    choice.record = m_record->currentText().trimmed().toStdString();
    choice.format = m_format->currentIndex() == 1 ? CopybookReader::Format::Free
                                                  : CopybookReader::Format::Reference;
    choice.decoding.littleEndianComp5 = m_binary->currentIndex() == 1;
    choice.decoding.floats = static_cast<Floats>(m_floats->currentIndex());
    choice.decoding.nationalN = m_nsymbol->currentIndex() == 1;
    return choice;
}

std::optional<LayoutChoice> LayoutDialog::execute(QWidget *parent, const LayoutChoice &previous)
{
    LayoutDialog dialog(previous, parent);
    if (dialog.exec() != QDialog::Accepted || dialog.m_copybook->text().isEmpty())
        return std::nullopt;
    return dialog.choice();
}

void LayoutDialog::browse()
{
    const QString path =
        QFileDialog::getOpenFileName(this, tr("Copybook"), m_copybook->text(),
                                     tr("Copybooks (*.cpy *.cbl *.cob *.copy);;All files (*)"));
    if (path.isEmpty())
        return;
    m_copybook->setText(path);
    listRecords();
}

void LayoutDialog::listRecords()
{
    const QString kept = m_record->currentText();
    m_record->clear();
    m_record->addItem(QString());
    try {
        const Copybook copybook = Copybook::load(choice().copybook, choice().format);
        for (const auto &record : copybook.records()) {
            if (!record->name.empty())
                m_record->addItem(QString::fromStdString(record->name));
        }
    } catch (const std::exception &) {
        // Told with its line and column when the user presses OK.
    }
    m_record->setCurrentText(kept);
}

QComboBox *LayoutDialog::choices(const QStringList &texts, int current)
{
    auto *box = new QComboBox;
    box->addItems(texts);
    box->setCurrentIndex(current);
    return box;
}
