#pragma once

#include "FieldComparison.h"
#include "RecordFields.h"

#include <QAbstractItemModel>

#include <memory>
#include <optional>
#include <vector>

// The Fields window's tree table over one record's fields: a row for each item, groups and
// tables holding theirs. While two records are compared, B's values stand beside A's and the
// fields that differ are marked.
class FieldsModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    enum Column { Level, Name, Offset, Length, Picture, Bytes, Value, OtherValue, ColumnCount };

    explicit FieldsModel(QObject *parent = nullptr);

    // Rows of the same shape as those shown are changed in place, so that what is folded and
    // selected stays. While comparing: B's fields, and A's against them.
    void show(std::shared_ptr<const RecordFields> fields,
              std::shared_ptr<const RecordFields> other = nullptr,
              std::shared_ptr<const FieldComparison> comparison = nullptr);
    void clear();
    const RecordFields *fields() const { return m_fields.get(); }

    QModelIndex indexOfRow(std::size_t row, int column = Name) const;
    std::optional<std::size_t> rowOf(const QModelIndex &index) const;
    // The rows of indexes, each once, as tab-separated lines.
    QString tabSeparated(const QModelIndexList &indexes) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    void learnShape();
    QString text(const FieldRow &row, std::size_t at, int column) const;

    std::shared_ptr<const RecordFields> m_fields;
    std::shared_ptr<const RecordFields> m_other; // which m_comparison refers to
    std::shared_ptr<const FieldComparison> m_comparison;
    std::vector<bool> m_differs;
    std::vector<std::vector<std::size_t>> m_children; // of each row; the top level last
    std::vector<int> m_position;                      // of each row among its parent's
};
