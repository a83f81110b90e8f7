#pragma once
// CParamGridModel: the parameter list's six-column grid as a Qt table model over
// CParamListModel's rows (number, name, unit, range, controller value, file value). Rows whose
// two values differ are highlighted, rows greyed at the access level are grey, a value the
// axis window failed to write or that read back different is red. Read-only: the in-cell editing
// goes through CParamGridEditor. User-interface thread only.
#include <QAbstractTableModel>
#include <QColor>
#include <QStringList>

namespace kvl::params {

class CParamListModel;

class CParamGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static inline const QColor kMarkedColour{255, 255, 160};
    static inline const QColor kGreyColour{200, 200, 200};
    static inline const QColor kFailedTextColour{255, 0, 0};

    explicit CParamGridModel(const CParamListModel &model, QObject *parent = nullptr);

    void SetCaptions(const QStringList &captions);
    // Shows the model again: other rows reset the view, otherwise every cell is redrawn.
    void Refresh();
    // The parameter number shown in `row` (0-based); 0 when none.
    int NumberAt(int row) const;
    // The row (0-based) showing `number`; -1 when it is not shown.
    int RowOf(int number) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const CParamListModel &m_model;
    QStringList m_captions;
    std::vector<int> m_shown;
};

} // namespace kvl::params
