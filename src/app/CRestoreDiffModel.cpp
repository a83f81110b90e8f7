#include "app/CRestoreDiffModel.h"

#include <QBrush>
#include <QPalette>

#include <utility>

#include "backup/CBusDiff.h"

namespace kvl {

namespace {
constexpr const char *kBuiltInHeads[] = {"Device", "Item", "Backup value", "Bus value"};
} // namespace

CRestoreDiffModel::CRestoreDiffModel(backup::CRestoreChoice choice, QObject *parent)
    : QAbstractTableModel(parent), m_choice(std::move(choice))
{
    for (const char *head : kBuiltInHeads)
        m_heads << QString::fromLatin1(head);
}

void CRestoreDiffModel::SetTexts(const QStringList &heads, DeviceText device, RefusalText refusal, ItemText item,
                                  const QString &emptyStep)
{
    if (heads.size() == kColumnCount)
        m_heads = heads;
    m_device = std::move(device);
    m_refusal = std::move(refusal);
    m_item = std::move(item);
    m_emptyStep = emptyStep;
    emit headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, kColumnCount - 1));
}

void CRestoreDiffModel::SetLocked(bool locked)
{
    m_locked = locked;
    if (rowCount() > 0)
        emit dataChanged(index(0, kDevice), index(rowCount() - 1, kDevice));
}

bool CRestoreDiffModel::SetTicked(int address, bool ticked)
{
    if (m_locked || !m_choice.SetTicked(address, ticked))
        return false;
    const auto &rows = m_choice.Differences();
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        if (rows[static_cast<size_t>(r)].address == address)
            emit dataChanged(index(r, kDevice), index(r, kDevice), {Qt::CheckStateRole});
    emit tickedChanged();
    return true;
}

int CRestoreDiffModel::FirstRow(int address) const
{
    const auto &rows = m_choice.Differences();
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        if (rows[static_cast<size_t>(r)].address == address)
            return r;
    return -1;
}

int CRestoreDiffModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_choice.Differences().size());
}

int CRestoreDiffModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QString CRestoreDiffModel::DeviceCell(const backup::Difference &difference) const
{
    QString text = m_device ? m_device(difference.address, difference.model)
                            : QString::fromStdString(backup::DeviceLabel(difference.address) + " (" +
                                                     difference.model + ")");
    const backup::CRestoreChoice::Device *device = m_choice.FindDevice(difference.address);
    if (device && !device->writable)
        text += QStringLiteral(": ") + (m_refusal ? m_refusal(device->refusal)
                                                  : QString::fromLatin1(backup::KindName(device->refusal)));
    return text;
}

QString CRestoreDiffModel::ValueCell(const std::string &value) const
{
    if (value == backup::CBusDiff::kEmptyStep && !m_emptyStep.isEmpty())
        return m_emptyStep;
    return QString::fromStdString(value);
}

QVariant CRestoreDiffModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const backup::Difference &d = m_choice.Differences()[static_cast<size_t>(index.row())];
    const backup::CRestoreChoice::Device *device = m_choice.FindDevice(d.address);
    const bool writable = device && device->writable;
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        switch (index.column()) {
        case kDevice:
            return DeviceCell(d);
        case kItem:
            return m_item ? m_item(d) : QString::fromStdString(d.item);
        case kBackupValue:
            return ValueCell(d.backupValue);
        case kBusValue:
            return ValueCell(d.busValue);
        default:
            return {};
        }
    }
    if (role == Qt::CheckStateRole && index.column() == kDevice && writable)
        return m_choice.Ticked(d.address) ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::ForegroundRole && !writable)
        return QPalette().brush(QPalette::Disabled, QPalette::Text);
    return {};
}

bool CRestoreDiffModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::CheckStateRole || index.column() != kDevice)
        return false;
    const backup::Difference &d = m_choice.Differences()[static_cast<size_t>(index.row())];
    return SetTicked(d.address, value.toInt() == Qt::Checked);
}

Qt::ItemFlags CRestoreDiffModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() != kDevice)
        return flags;
    const backup::Difference &d = m_choice.Differences()[static_cast<size_t>(index.row())];
    const backup::CRestoreChoice::Device *device = m_choice.FindDevice(d.address);
    if (device && device->writable && !m_locked)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant CRestoreDiffModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= m_heads.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    return m_heads[section];
}

} // namespace kvl
