#pragma once
// CPointLoadLimits: what an edit would allow, applied to a row loaded from a point-table file.
// The file's lines are split and taken as before (CPointCsv::LoadText); then each value of
// columns 2 to 15 passes through the step rules, in column order, as if typed into its cell:
// limits, the cross rules of push, standard time, repeat and stop mode, the jump's range, the
// choice columns' entries. A value the rules leave as it is keeps the file's text; a value they
// change takes the committed text and is listed, so the window can mark the cell and say which
// values were limited. A text that is no number of its column (not finite, an exponent, trailing
// characters) is not read as 0 but refused: the cell takes its default and is listed as refused.
// Stateless; the thread that owns the table.
#include <string>
#include <vector>

#include "points/CPointCsvCheck.h"
#include "points/CPointTable.h"

namespace kvl::points {

class CPointLoadLimits {
public:
    // Most lines the message lists; the rest are counted.
    static constexpr size_t kMessageLines = 20;

    // Passes `record` (the whole-row set of the line's fields) through the rules; `fileFields` are
    // the line's fields as the file gave them. Each value changed is appended to `limited`. Only
    // the columns firstColumn..lastColumn are passed (a pasted block); the others stay as they are.
    static void Apply(const CStepRules &rules, int line, int step, const CPointTable::CellRow &fileFields,
                      CKVL_VER2_ProgData &record, std::vector<CsvLimitedValue> &limited,
                      int firstColumn = kColPosition, int lastColumn = kColJump);

    // The language texts of the message: a heading, one line a value with %1 step, %2 column
    // caption, %3 the file's value, %4 the value kept, and a closing line for the values not
    // listed (%1 their count).
    struct Wording {
        std::string heading;
        std::string line;
        std::string more;
    };
    // The message after a load: the heading, then up to kMessageLines lines, then the closing
    // line. Empty when nothing was limited.
    static std::string Describe(const std::vector<CsvLimitedValue> &limited, const CStepTexts &texts,
                                const Wording &wording);
};

} // namespace kvl::points
