#include "points/CPointGridModel.h"

#include <QBrush>

namespace kvl::points {

namespace {
// Operation types without pushing: no push or threshold column.
bool WithoutPushing(int operationType)
{
    return operationType == 1 || operationType == 5;
}
} // namespace

CPointGridModel::CPointGridModel(const CPointTable &table, std::function<int()> startRow, QObject *parent)
    : QAbstractTableModel(parent), m_table(table), m_startRow(std::move(startRow)), m_shownRows(table.StepCount())
{
}

void CPointGridModel::SetCaptions(const QStringList &captions)
{
    m_captions = captions;
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
}

void CPointGridModel::Refresh()
{
    if (m_table.StepCount() != m_shownRows) {
        beginResetModel();
        m_shownRows = m_table.StepCount();
        endResetModel();
        return;
    }
    if (m_shownRows > 0)
        Q_EMIT dataChanged(index(0, 0), index(m_shownRows - 1, kColumnCount - 1));
}

bool CPointGridModel::ColumnShown(int column, int operationType, bool shortView)
{
    if ((column == kColPush || column == kColThreshold) && WithoutPushing(operationType))
        return false;
    return !(shortView && column >= kColPush && column <= kColRepeat);
}

int CPointGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_shownRows;
}

int CPointGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant CPointGridModel::data(const QModelIndex &index, int role) const
{
    const int step = index.row();
    const int column = index.column();
    if (!index.isValid() || !m_table.IsStep(step) || column < 0 || column >= kColumnCount)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(m_table.Cell(step, column));
    case Qt::ForegroundRole:
        return m_table.Marked(step, column) ? QBrush(kMarkedColour) : QVariant();
    case Qt::BackgroundRole:
        if (m_startRow && m_startRow() == step + 1)
            return QBrush(kStartRowColour);
        return column == kColStep ? QBrush(QColor(Qt::lightGray).lighter(115)) : QVariant();
    case Qt::TextAlignmentRole:
        return column == kColComment ? QVariant(Qt::AlignLeft | Qt::AlignVCenter) : QVariant(Qt::AlignCenter);
    default:
        return {};
    }
}

QVariant CPointGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return section < m_captions.size() ? m_captions.at(section) : QString::number(section);
}

} // namespace kvl::points
