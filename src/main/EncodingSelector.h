#pragma once

#include <QComboBox>

#include <string>

// The encodings to choose from, by group: the locale's first, then the catalog's. Its items'
// data is the catalog's name; the locale's has none.
class EncodingSelector : public QComboBox
{
    Q_OBJECT

public:
    explicit EncodingSelector(const QString &localeName, QWidget *parent = nullptr);

    // Shows name (the catalog's, or empty for the locale's) as chosen, without a signal.
    void showChosen(const QString &name);

signals:
    // The user picked an encoding: the catalog's name, or empty for the locale's.
    void encodingPicked(const QString &name);

private:
    void addGroup(const QString &title);
};
