#include "FieldsModel.h"

#include <QBrush>
#include <QColor>

#include <set>

namespace {

// As the dump marks ill-formed bytes and differences.
const QColor kInvalid(230, 40, 40, 110);
const QColor kDiffers(220, 0, 220, 120);

QString fromUtf8(const std::string &text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

FieldsModel::FieldsModel(QObject *parent) : QAbstractItemModel(parent)
{}

void FieldsModel::show(std::shared_ptr<const RecordFields> fields,
                       std::shared_ptr<const RecordFields> other,
                       std::shared_ptr<const FieldComparison> comparison)
{
    const bool sameShape = m_fields && fields &&
                           (m_comparison != nullptr) == (comparison != nullptr) &&
                           m_fields->sameShape(*fields);
    if (!sameShape)
        beginResetModel();
    m_fields = std::move(fields);
    m_other = std::move(other);
    m_comparison = std::move(comparison);
    m_differs.assign(m_fields ? m_fields->rows().size() : 0, false);
    if (m_comparison) {
        for (const std::size_t at : m_comparison->differing())
            m_differs.at(at) = true;
    }
    if (!sameShape) {
        learnShape();
        endResetModel();
        return;
    }
    for (std::size_t holder = 0; holder < m_children.size(); ++holder) {
        const std::vector<std::size_t> &children = m_children[holder];
        if (!children.empty())
            emit dataChanged(indexOfRow(children.front(), 0),
                             indexOfRow(children.back(), columnCount() - 1));
    }
}

void FieldsModel::clear()
{
    show(nullptr);
}

void FieldsModel::learnShape()
{
    const std::size_t count = m_fields ? m_fields->rows().size() : 0;
    m_children.assign(count + 1, {});
    m_position.assign(count, 0);
    for (std::size_t at = 0; at < count; ++at) {
        const std::size_t parent = m_fields->rows()[at].parent;
        std::vector<std::size_t> &siblings =
            m_children[parent == FieldRow::kNoParent ? count : parent];
        m_position[at] = static_cast<int>(siblings.size());
        siblings.push_back(at);
    }
}

QModelIndex FieldsModel::indexOfRow(std::size_t row, int column) const
{
    if (row >= m_position.size())
        return {};
    return createIndex(m_position[row], column, static_cast<quintptr>(row));
}

std::optional<std::size_t> FieldsModel::rowOf(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this)
        return std::nullopt;
    return static_cast<std::size_t>(index.internalId());
}

QString FieldsModel::tabSeparated(const QModelIndexList &indexes) const
{
    std::set<std::size_t> rows;
    for (const QModelIndex &index : indexes) {
        if (const std::optional<std::size_t> row = rowOf(index))
            rows.insert(*row);
    }
    QString text;
    for (const std::size_t row : rows)
        text += fromUtf8(m_fields->rows()[row].tabSeparated()) + QLatin1Char('\n');
    return text;
}

QModelIndex FieldsModel::index(int row, int column, const QModelIndex &parent) const
{
    if (row < 0 || column < 0 || column >= ColumnCount || m_children.empty())
        return {};
    const std::size_t holder =
        parent.isValid() ? static_cast<std::size_t>(parent.internalId()) : m_children.size() - 1;
    const std::vector<std::size_t> &children = m_children[holder];
    if (static_cast<std::size_t>(row) >= children.size())
        return {};
    return createIndex(row, column, static_cast<quintptr>(children[static_cast<std::size_t>(row)]));
}

QModelIndex FieldsModel::parent(const QModelIndex &child) const
{
    const std::optional<std::size_t> row = rowOf(child);
    if (!row)
        return {};
    const std::size_t parent = m_fields->rows()[*row].parent;
    return parent == FieldRow::kNoParent ? QModelIndex() : indexOfRow(parent, 0);
}

int FieldsModel::rowCount(const QModelIndex &parent) const
{
    if (m_children.empty() || (parent.isValid() && parent.column() != 0))
        return 0;
    const std::size_t holder =
        parent.isValid() ? static_cast<std::size_t>(parent.internalId()) : m_children.size() - 1;
    return static_cast<int>(m_children[holder].size());
}

int FieldsModel::columnCount(const QModelIndex &) const
{
    return m_comparison ? ColumnCount : ColumnCount - 1;
}

QVariant FieldsModel::data(const QModelIndex &index, int role) const
{
    const std::optional<std::size_t> at = rowOf(index);
    if (!at)
        return {};
    const FieldRow &row = m_fields->rows()[*at];
    switch (role) {
    case Qt::DisplayRole:
        return text(row, *at, index.column());
    case Qt::TextAlignmentRole:
        return index.column() == Offset || index.column() == Length
                   ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                   : QVariant();
    case Qt::BackgroundRole:
        if (m_differs[*at])
            return QBrush(kDiffers);
        if (row.state == FieldRow::State::Invalid && index.column() == Value)
            return QBrush(kInvalid);
        return {};
    default:
        return {};
    }
}

QString FieldsModel::text(const FieldRow &row, std::size_t at, int column) const
{
    switch (column) {
    case Level:
        return fromUtf8(row.level());
    case Name:
        return fromUtf8(row.name);
    case Offset:
        return QString::number(row.offset);
    case Length:
        return QString::number(row.length);
    case Picture:
        return fromUtf8(row.picture);
    case Bytes:
        return fromUtf8(row.hex);
    case Value:
        return fromUtf8(row.shownValue());
    case OtherValue:
        if (const FieldRow *other = m_comparison ? m_comparison->counterpart(at) : nullptr)
            return fromUtf8(other->shownValue());
        return {};
    default:
        return {};
    }
}

QVariant FieldsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char *const kTitles[] = {"Level",   "Name",  "Offset", "Length",
                                          "Picture", "Bytes", "Value",  "B's value"};
    if (section == Value && m_comparison)
        return tr("A's value");
    return section >= 0 && section < ColumnCount ? tr(kTitles[section]) : QVariant();
}
