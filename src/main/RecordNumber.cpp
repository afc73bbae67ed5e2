#include "RecordNumber.h"

#include "TSpinEdit.h"

#include <QSignalBlocker>

#include <limits>

RecordNumber::RecordNumber(TSpinEdit *spin) : QObject(spin), m_spin(spin) {}

std::optional<std::uint64_t> RecordNumber::shown(std::uint64_t count) const
{
    const std::uint64_t number =
        m_beyondSpin ? *m_beyondSpin : static_cast<std::uint64_t>(std::max(0, m_spin->Value()));
    if (number < 1 || number > count)
        return std::nullopt;
    return number;
}

void RecordNumber::show(std::uint64_t number)
{
    if (number <= static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
        m_beyondSpin.reset();
        m_spin->SetValue(static_cast<std::int32_t>(number));
        return;
    }
    m_beyondSpin = number;
    {
        // The box cannot hold the number as its value; it only shows it.
        const QSignalBlocker quiet(m_spin);
        m_spin->setText(QString::number(number));
    }
    emit beyondSpinChosen(number);
}
