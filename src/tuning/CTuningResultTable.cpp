#include "tuning/CTuningResultTable.h"

#include <QBrush>
#include <QColor>

#include "tuning/CTuningResults.h"

namespace kvl::tuning {

namespace {

const QColor kHighlight(0, 255, 255);
const QColor kCell(255, 255, 255);

} // namespace

CTuningResultTable::CTuningResultTable(const CTuningResults &results, QObject *parent)
    : QAbstractTableModel(parent), m_results(results)
{
}

void CTuningResultTable::SetHeadings(const QString &corner, const std::vector<QString> &rows, const QString &group)
{
    m_corner = corner;
    m_rows = rows;
    m_group = group;
    Refresh();
}

void CTuningResultTable::Refresh()
{
    Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

int CTuningResultTable::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : CTuningResults::kRows + 1;
}

int CTuningResultTable::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kHeadingColumns + CTuningResults::kViewColumns;
}

QString CTuningResultTable::Text(int row, int column) const
{
    const int firstGrouped = CTuningResults::kRows - kGroupedRows + 1;
    if (row == 0) {
        if (column == 0)
            return m_corner;
        if (column < kHeadingColumns)
            return {};
        return QString::fromStdString(m_results.ColumnHeading(column - kHeadingColumns));
    }
    const size_t record = static_cast<size_t>(row - 1);
    if (column == 0)
        return row >= firstGrouped ? m_group : (record < m_rows.size() ? m_rows[record] : QString());
    if (column == 1)
        return row >= firstGrouped && record < m_rows.size() ? m_rows[record] : QString();
    return QString::fromStdString(m_results.ColumnRecord(column - kHeadingColumns)[record]);
}

QVariant CTuningResultTable::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const int row = index.row();
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return Text(row, column);
    case Qt::BackgroundRole:
        if (row == 0 || column < kHeadingColumns)
            return {};
        if (column - kHeadingColumns + 1 == m_results.HighlightedColumn())
            return QBrush(kHighlight);
        return QBrush(kCell);
    case Qt::TextAlignmentRole:
        if (column >= kHeadingColumns || row == 0)
            return QVariant::fromValue(Qt::AlignCenter);
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

} // namespace kvl::tuning
