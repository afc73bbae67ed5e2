#include "CompareBar.h"

#include <QGridLayout>
#include <QLabel>
#include <QToolButton>

namespace {

QLabel *plainLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

CompareBar::CompareBar(QWidget *parent)
    : QFrame(parent), m_sources(plainLabel(this)), m_summary(plainLabel(this)),
      m_status(plainLabel(this)), m_close(new QToolButton(this))
{
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);
    m_close->setText(QStringLiteral("\u00D7"));
    m_close->setAutoRaise(true);
    m_close->setFocusPolicy(Qt::NoFocus);
    m_close->setToolTip(tr("Leave the comparison (Esc)"));

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(6, 4, 4, 4);
    layout->setHorizontalSpacing(4);
    layout->setVerticalSpacing(2);
    layout->addWidget(new QLabel(tr("Compare"), this), 0, 0, Qt::AlignTop);
    layout->addWidget(m_sources, 0, 1);
    layout->addWidget(m_close, 0, 2, Qt::AlignTop);
    layout->addWidget(m_summary, 1, 1, 1, 2);
    layout->addWidget(m_status, 2, 1, 1, 2);
    connect(m_close, &QToolButton::clicked, this, &CompareBar::closeRequested);
    hide();
}

void CompareBar::open()
{
    adjustSize();
    show();
    raise();
}

void CompareBar::setSources(const QString &a, const QString &b)
{
    m_sources->setText(a + QLatin1Char('\n') + b);
    m_sources->setVisible(!a.isEmpty() || !b.isEmpty());
}

void CompareBar::setSummary(const QString &summary)
{
    m_summary->setText(summary);
    m_summary->setVisible(!summary.isEmpty());
}

void CompareBar::setStatus(const QString &status)
{
    m_status->setText(status);
    m_status->setVisible(!status.isEmpty());
}

QString CompareBar::sources() const
{
    return m_sources->text();
}

QString CompareBar::summary() const
{
    return m_summary->text();
}

QString CompareBar::status() const
{
    return m_status->text();
}
