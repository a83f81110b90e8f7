#pragma once
// The text lines of a point-table printout: the date line, an empty line, the column line and one
// fixed-width line per step row that shows something in columns 1 to 15 (cell texts as the grid
// shows them). The print job (shared printing component) lays them out on pages. Stateless; any
// thread may call it.
#include <string>
#include <vector>

#include "points/CPointTable.h"

namespace kvl::points {

struct PrintDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

class CPointPrintout {
public:
    static PrintDate Today();
    // "%d/%02d%02d": 2010/0928.
    static std::string DateLine(const PrintDate &date);
    static std::string ColumnLine();
    // The 17 cell texts right-aligned in their widths (in columns of a fixed-pitch font: two for
    // a wide character); longer texts are not cut.
    static std::string RowLine(const CPointTable::CellRow &cells);
    static std::vector<std::string> Lines(const CPointTable &table, const PrintDate &date);
};

} // namespace kvl::points
