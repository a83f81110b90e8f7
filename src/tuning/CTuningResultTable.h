#pragma once
// CTuningResultTable: the tuning results as a Qt table over CTuningResults. Row 0 holds the corner
// heading and the record numbers of the five columns in view; rows 1 to 13 the record rows. Column
// 0 holds the row headings (rows 1 to 11 span columns 0 and 1; the last two rows share one group
// heading in column 0, their own headings in column 1); columns 2 to 6 the records in view. The
// newest record's column is cyan when it is in view. User-interface thread.
#include <QAbstractTableModel>
#include <QString>

#include <vector>

namespace kvl::tuning {

class CTuningResults;

class CTuningResultTable : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kHeadingColumns = 2;
    static constexpr int kGroupedRows = 2;   // the two status rows under one group heading

    CTuningResultTable(const CTuningResults &results, QObject *parent);

    // Headings: the corner, the 13 row headings and the group heading of the last two rows.
    void SetHeadings(const QString &corner, const std::vector<QString> &rows, const QString &group);
    // Everything shown again (after a new record, a scroll or Clear).
    void Refresh();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    QString Text(int row, int column) const;

    const CTuningResults &m_results;
    QString m_corner;
    std::vector<QString> m_rows;
    QString m_group;
};

} // namespace kvl::tuning
