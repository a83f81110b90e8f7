#include "points/CPointPrintout.h"

#include <array>
#include <ctime>

#include "base/TextColumns.h"
#include "base/TextNumber.h"

namespace kvl::points {

namespace {

// Field widths of "%3s,%7s,%9s,%5s,%3s,%3s,%4s,%3s,%9s,%9s,%9s,%9s,%8s,%5s,%6s,%4s,%s".
constexpr std::array<size_t, kStepColumnCount> kRowWidths = {3, 7, 9, 5, 3, 3, 4, 3, 9, 9, 9, 9, 8, 5, 6, 4, 0};

constexpr const char *kColumnLine = " NO,ABS/INC, Position,Speed,ACC,DCC,Push,Thr,Pos Range, P area A, P area B,"
                                    "ACC/DCC M,  Stop M,Std T,Repeat,Jump,  Comment";

std::string TwoDigits(int value)
{
    std::string text = FormatInt(value);
    return text.size() < 2 ? "0" + text : text;
}

} // namespace

PrintDate CPointPrintout::Today()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    if (localtime_s(&local, &now) != 0)
        return {};
#else
    if (!localtime_r(&now, &local))
        return {};
#endif
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::string CPointPrintout::DateLine(const PrintDate &date)
{
    return FormatInt(date.year) + "/" + TwoDigits(date.month) + TwoDigits(date.day);
}

std::string CPointPrintout::ColumnLine() { return kColumnLine; }

std::string CPointPrintout::RowLine(const CPointTable::CellRow &cells)
{
    std::string line;
    for (int k = 0; k < kStepColumnCount; ++k) {
        if (k != 0)
            line += ',';
        // Japanese and Chinese choice texts take two columns a character in the printout's font.
        const std::size_t columns = TextColumns(cells[k]);
        if (columns < kRowWidths[k])
            line.append(kRowWidths[k] - columns, ' ');
        line += cells[k];
    }
    return line;
}

std::vector<std::string> CPointPrintout::Lines(const CPointTable &table, const PrintDate &date)
{
    std::vector<std::string> lines = {DateLine(date), std::string(), ColumnLine()};
    for (int step = 0; step < table.StepCount(); ++step) {
        bool shows = false;
        for (int k = kColMode; k <= kColJump; ++k)
            shows = shows || !table.Cell(step, k).empty();
        if (!shows)
            continue;
        CPointTable::CellRow cells;
        for (int k = 0; k < kStepColumnCount; ++k)
            cells[k] = table.Cell(step, k);
        lines.push_back(RowLine(cells));
    }
    return lines;
}

} // namespace kvl::points
