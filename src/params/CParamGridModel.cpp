#include "params/CParamGridModel.h"

#include <QBrush>

#include <algorithm>

#include "params/CParamListModel.h"

namespace kvl::params {

CParamGridModel::CParamGridModel(const CParamListModel &model, QObject *parent)
    : QAbstractTableModel(parent), m_model(model), m_shown(model.Rows())
{
}

void CParamGridModel::SetCaptions(const QStringList &captions)
{
    m_captions = captions;
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, CParamListModel::kColumnCount - 1);
}

void CParamGridModel::Refresh()
{
    if (m_shown != m_model.Rows()) {
        beginResetModel();
        m_shown = m_model.Rows();
        endResetModel();
        return;
    }
    if (!m_shown.empty())
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, CParamListModel::kColumnCount - 1));
}

int CParamGridModel::NumberAt(int row) const
{
    return row >= 0 && row < rowCount() ? m_shown[static_cast<size_t>(row)] : 0;
}

int CParamGridModel::RowOf(int number) const
{
    const auto it = std::find(m_shown.begin(), m_shown.end(), number);
    return it == m_shown.end() ? -1 : static_cast<int>(it - m_shown.begin());
}

int CParamGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_shown.size());
}

int CParamGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : CParamListModel::kColumnCount;
}

QVariant CParamGridModel::data(const QModelIndex &index, int role) const
{
    const int number = NumberAt(index.row());
    if (!index.isValid() || number == 0)
        return {};
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(m_model.CellText(number, column));
    case Qt::BackgroundRole:
        if (m_model.Greyed(number))
            return QBrush(kGreyColour);
        if (m_model.Marked(number))
            return QBrush(kMarkedColour);
        return {};
    case Qt::ForegroundRole:
        if ((column == CParamListModel::kColFile && m_model.WriteFailed(number)) ||
            (column == CParamListModel::kColDriver && m_model.VerifyMismatch(number)))
            return QBrush(kFailedTextColour);
        return {};
    case Qt::TextAlignmentRole:
        if (column == CParamListModel::kColNumber || column >= CParamListModel::kColRange)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant CParamGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section < m_captions.size() ? m_captions[section] : QVariant();
    return {};
}

} // namespace kvl::params
