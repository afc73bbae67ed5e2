#include "LoadProgressDialog.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The bar counts in steps, as its range is an int and files pass 2 GiB.
constexpr int kBarSteps = 1000;
constexpr int kTextWidth = 360; // pixels; long paths are elided to it

} // namespace

LoadProgressDialog::LoadProgressDialog(const QString &what, QWidget *parent)
    : QDialog(parent), m_bytes(new QLabel(this)), m_bar(new QProgressBar(this)),
      m_cancel(new QPushButton(tr("Cancel"), this))
{
    setWindowTitle(QGuiApplication::applicationDisplayName());
    setWindowModality(Qt::ApplicationModal);
    auto *title = new QLabel(this);
    title->setText(fontMetrics().elidedText(what, Qt::ElideMiddle, kTextWidth));
    m_bar->setRange(0, kBarSteps);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(m_bar);
    layout->addWidget(m_bytes);
    layout->addWidget(m_cancel, 0, Qt::AlignRight);
    connect(m_cancel, &QPushButton::clicked, this, &LoadProgressDialog::reject);
    setProgress(0, 0);
}

void LoadProgressDialog::setProgress(std::uint64_t done, std::uint64_t total)
{
    const QLocale locale;
    m_bytes->setText(tr("%1 of %2 bytes")
                         .arg(locale.toString(static_cast<qulonglong>(done)),
                              locale.toString(static_cast<qulonglong>(total))));
    const double share = total == 0 ? 0.0 : static_cast<double>(done) / static_cast<double>(total);
    m_bar->setValue(static_cast<int>(share * kBarSteps));
}

void LoadProgressDialog::reject()
{
    m_cancel->setEnabled(false);
    emit cancelRequested();
}
