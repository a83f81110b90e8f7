#pragma once
// CPointGridModel: the axis window's grid as a Qt table model over the point table. Row r of the
// model shows step r (the grid's row r + 1; the header row carries the column captions), 17
// columns: the step number and the 16 fields of a step. Modified cells are red, the start-step
// row light cyan. Read-only; the table and the start-step row belong to the axis window's model,
// this class only shows them. User-interface thread only.
#include <QAbstractTableModel>
#include <QColor>
#include <QStringList>

#include <functional>

#include "points/CPointTable.h"

namespace kvl::points {

class CPointGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kColumnCount = kStepColumnCount;
    static inline const QColor kStartRowColour{128, 255, 255};
    static inline const QColor kMarkedColour{255, 0, 0};

    // `table` outlives this model; `startRow` gives the grid row (1..N) of the start-step highlight.
    CPointGridModel(const CPointTable &table, std::function<int()> startRow, QObject *parent = nullptr);

    // Captions of columns 0 to 16 (the language's GRID_C1.. or GRID_ZMDA_C1.. texts).
    void SetCaptions(const QStringList &captions);
    // Shows the table again: a new row count resets the view, otherwise every cell is redrawn.
    void Refresh();

    // Whether a column has room in the view: push and threshold never under operation types 1
    // and 5, columns 6 to 14 not in the short view.
    static bool ColumnShown(int column, int operationType, bool shortView);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const CPointTable &m_table;
    std::function<int()> m_startRow;
    QStringList m_captions;
    int m_shownRows = 0;
};

} // namespace kvl::points
