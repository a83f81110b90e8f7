#pragma once
// CRestoreDiffModel: the table of the restore dialog over a CRestoreChoice: one row per
// difference, columns device, item, backup value, bus value. The device column carries the
// device's tick box on each of its rows (ticking one row ticks the device); a refused device
// shows why and has no tick box. Locked once the restore ran. Owned by the restore dialog;
// user-interface thread only.
#include <QAbstractTableModel>
#include <QStringList>

#include <functional>

#include "backup/CRestoreChoice.h"

namespace kvl {

class CRestoreDiffModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kDevice, kItem, kBackupValue, kBusValue, kColumnCount };
    // How a device is named in the table ("Axis 1 (MDB)"), in the current language.
    using DeviceText = std::function<QString(int address, const std::string &model)>;
    // Why a refused device is refused, in the current language.
    using RefusalText = std::function<QString(backup::Difference::Kind kind)>;
    // What differs ("Step 3"), and the text of a step that holds nothing, in the current language.
    using ItemText = std::function<QString(const backup::Difference &difference)>;

    CRestoreDiffModel(backup::CRestoreChoice choice, QObject *parent = nullptr);

    const backup::CRestoreChoice &Choice() const { return m_choice; }
    // Column heads, device, item and empty-step texts of the current language; redraws the table.
    void SetTexts(const QStringList &heads, DeviceText device, RefusalText refusal, ItemText item,
                  const QString &emptyStep);
    // After the restore: the ticks stay as they were and can no longer change.
    void SetLocked(bool locked);
    // Ticks or unticks the device of `address` as a click on its box does; false when it cannot.
    bool SetTicked(int address, bool ticked);
    // The first row of the device of `address`; -1 when it has none.
    int FirstRow(int address) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    void tickedChanged();

private:
    QString DeviceCell(const backup::Difference &difference) const;
    QString ValueCell(const std::string &value) const;

    backup::CRestoreChoice m_choice;
    QStringList m_heads;
    DeviceText m_device;
    RefusalText m_refusal;
    ItemText m_item;
    QString m_emptyStep;
    bool m_locked = false;
};

} // namespace kvl
