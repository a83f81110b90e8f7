#pragma once
// The strict reading of a point-table CSV file, for a caller that sends the result to a controller
// without a person looking at the grid first (the CLI's points write). The file must be a point
// table: not empty, a header line of the 17 column captions (in any language: 17 fields, the first
// not a step number), then data lines whose fields parse as their columns say (step, mode, numbers,
// choices, jump). A file that passes is loaded into the working table with every value committed
// through the step rules, in column order, as if typed into the grid: limits and cross rules
// apply, and each value they changed is reported. The window's Open keeps the lenient loading of
// CPointCsv. Stateless; called on the thread that owns the table.
#include <string>
#include <vector>

#include "points/CPointTable.h"
#include "points/StepTypes.h"

namespace kvl::points {

// A value of the file that the step rules changed.
struct CsvLimitedValue {
    int line = 0;          // line of the file, from 1
    int step = 0;
    int column = 0;        // kColMode .. kColJump
    std::string given;     // the file's text
    std::string taken;     // the value as stored, in its view form
    StepMessage message;   // the rule's message, empty key when the limit says it all
    // The file's text is no number of its column at all: the cell took its default instead.
    bool refused = false;
};

struct CsvCheckReport {
    bool accepted = false;
    int line = 0;          // the refused line (from 1); 0 when the whole file is refused
    std::string reason;    // plain words, without the line number
    int steps = 0;         // data lines taken
    std::vector<CsvLimitedValue> limited;
};

class CPointCsvCheck {
public:
    // A data line that parsed: its line (from 1), step and fields as the file gave them (trimmed).
    struct ParsedStep {
        int line = 0;
        int step = 0;
        CPointTable::CellRow fields;
    };

    // Column names as the file's header names them in English ("NO" ... "Comment").
    static const char *ColumnName(int k);

    // Checks `content` against the table's rules. Refused: the table is unchanged. Accepted: the
    // working table is reset (driver copy kept) and holds the file's steps after the step rules,
    // each row marked as after a file load.
    static CsvCheckReport Load(CPointTable &table, const std::string &content);

    // Only the check: whether `content` parses as a point table of this table's size. The table
    // is not touched; for a file whose values are then taken as they are (a backup's table).
    static CsvCheckReport Verify(const CPointTable &table, const std::string &content);

    // True for a header line: 17 comma-separated captions whose first is not a step number.
    static bool IsHeaderLine(const std::string &line);

private:
    static CsvCheckReport Parse(const CPointTable &table, const std::string &content, std::vector<ParsedStep> &steps);
};

} // namespace kvl::points
