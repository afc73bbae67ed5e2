#include "EncodingSelector.h"

#include "EncodingCatalog.h"

#include <QSignalBlocker>
#include <QStandardItemModel>

EncodingSelector::EncodingSelector(const QString &localeName, QWidget *parent) : QComboBox(parent)
{
    setMaxVisibleItems(40);
    addGroup(tr("Locale's"));
    addItem(localeName, QString());
    QString group;
    for (const EncodingCatalog::Entry &entry : EncodingCatalog::entries()) {
        if (QString::fromStdString(entry.group) != group) {
            group = QString::fromStdString(entry.group);
            addGroup(group);
        }
        const QString name = QString::fromStdString(entry.name);
        addItem(name, name);
    }
    setCurrentIndex(1);
    connect(this, &QComboBox::activated, this,
            [this](int index) { emit encodingPicked(itemData(index).toString()); });
}

void EncodingSelector::showChosen(const QString &name)
{
    const QSignalBlocker blocker(this);
    const int index = name.isEmpty() ? 1 : findData(name);
    if (index >= 0)
        setCurrentIndex(index);
}

// A heading that cannot be chosen.
void EncodingSelector::addGroup(const QString &title)
{
    addItem(title);
    auto *items = qobject_cast<QStandardItemModel *>(model());
    QStandardItem *heading = items->item(count() - 1);
    heading->setFlags(Qt::NoItemFlags);
    QFont font = heading->font();
    font.setBold(true);
    heading->setFont(font);
}
