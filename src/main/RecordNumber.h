#pragma once

#include <QObject>

#include <cstdint>
#include <optional>

class TSpinEdit;

// The number of the record on screen, from 1. The spin edit holds it wherever its range
// reaches, so that every change takes the spin edit's road. A record past that range, in a
// file of more than 2,147,483,647 records, is shown without it: its number is written in the
// box, and the window is told to show it.
class RecordNumber : public QObject
{
    Q_OBJECT

public:
    explicit RecordNumber(TSpinEdit *spin);

    // Nothing while no record of count is shown.
    std::optional<std::uint64_t> shown(std::uint64_t count) const;
    // number: from 1.
    void show(std::uint64_t number);
    // The spin edit changed by its own road: it holds the number again.
    void followSpin() { m_beyondSpin.reset(); }

signals:
    void beyondSpinChosen(std::uint64_t number);

private:
    TSpinEdit *m_spin;
    std::optional<std::uint64_t> m_beyondSpin;
};
