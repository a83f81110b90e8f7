#pragma once
// CBackupTable: one controller's point table as the backup keeps and compares it. The table is
// sized by the operation type (parameter 36) it is given and is filled either from the lines of a
// bulk read or from a point-table CSV file; each step is then said as the CSV's data line, so a
// table read from the bus and one loaded from a backup compare line by line. Owned by whoever
// reads or restores an axis; one thread.
#include <cstdint>
#include <string>
#include <vector>

#include "config/CCodePageText.h"
#include "points/CPointTable.h"
#include "points/StepTypes.h"

namespace kvl {
class CAppSettings;
}

namespace kvl::backup {

class CBackupTable {
public:
    // Steps keep every decimal the controller's resolution holds.
    static constexpr int kFinestDecimals = 2;

    // A table of `model` sized by the raw operation type; texts (the CSV header, mode names) of
    // the settings' language, or the built-in ones without settings.
    CBackupTable(const CAppSettings *settings, const std::string &model, std::int32_t operationTypeRaw);

    // Both the working table and the controller copy take the lines of a bulk read.
    void FromBusLines(const std::vector<std::string> &lines);
    // The working table takes a point-table CSV file's content (the controller copy stays), its
    // values as they are. False, with the table unchanged and `problem` naming the line, when the
    // content does not parse as a point table (CPointCsvCheck): a value that is no number would
    // otherwise be sent as 0.
    bool FromCsv(const CCodePageText &content, std::string &problem);

    // One text per step of the working table: its CSV data line (UTF-8), empty for an empty step.
    std::vector<std::string> Steps() const;
    // The working table as a point-table CSV file.
    CCodePageText Csv() const;

    points::CPointTable &Table() { return m_table; }
    const std::string &Model() const { return m_model; }

private:
    std::string m_model;
    points::CPointTable m_table;
};

} // namespace kvl::backup
