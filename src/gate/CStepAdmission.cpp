#include "gate/CStepAdmission.h"

#include <cmath>
#include <string>

#include "base/TextNumber.h"
#include "points/CKVL_VER2_ProgData.h"
#include "points/CStepRules.h"

namespace kvl {
namespace {

using points::CKVL_VER2_ProgData;
using points::CStepRules;

constexpr int kWireModeAbs = 1;      // the record's mode: 1 ABS, anything else INC
constexpr int kJumpToEnd = 0;        // a wire jump of 0 ends the program
constexpr double kTolerance = 1e-9;  // reals arrive as doubles of their decimal texts
constexpr int kPositionDecimals = 4;
constexpr int kAccDecimals = 2;

// ACC and DCC of 0 and P-areas of 0 are the "not set" values the editor's new rows carry; they are
// no harm to the controller, so the gate lets them through where the editor's lower bound is above.
bool ZeroAllowed(int column)
{
    return column == points::kColAcc || column == points::kColDcc || column == points::kColPAreaA ||
           column == points::kColPAreaB;
}

int Decimals(int column)
{
    if (column == points::kColAcc || column == points::kColDcc)
        return kAccDecimals;
    return CKVL_VER2_ProgData::IsRealColumn(column) ? kPositionDecimals : 0;
}

std::string Text(double value, int column)
{
    if (!std::isfinite(value))
        return std::isnan(value) ? "nan" : (value > 0 ? "inf" : "-inf");
    return FormatFixed(value, Decimals(column));
}

bool IsClear(const StepRecord &r)
{
    StepRecord zero;
    zero.step = r.step;
    return r.mode == zero.mode && r.position == 0.0 && r.speed == 0.0 && r.acc == 0.0 && r.dcc == 0.0 &&
           r.push == 0 && r.threshold == 0 && r.range == 0.0 && r.areaA == 0.0 && r.areaB == 0.0 &&
           r.accDecMode == 0 && r.stopMode == 0 && r.standardTime == 0 && r.repeat == 0 && r.jump == 0;
}

} // namespace

std::optional<WriteRefusal> CStepAdmission::Check(std::uint8_t axis, const points::CStepContext &context,
                                                  int addressedStep, const StepRecord &record)
{
    const CStepRules rules(context, points::CStepTexts{});
    const int steps = rules.StepCount();
    WriteRefusal refusal;
    refusal.axis = axis;
    refusal.item = WriteRefusal::Item::kStep;
    refusal.model = context.model;
    refusal.number = addressedStep - 1;
    if (addressedStep < 1 || addressedStep > steps) {
        refusal.cause = WriteRefusal::Cause::kNoSuchItem;
        refusal.column = points::kColStep;
        return refusal;
    }
    if (IsClear(record))
        return std::nullopt;

    CKVL_VER2_ProgData row;
    row.SetFieldText(points::kColMode, record.mode == kWireModeAbs ? "ABS" : "INC", points::CStepTexts{});
    const struct {
        int column;
        double value;
    } values[] = {
        {points::kColPosition, record.position}, {points::kColSpeed, record.speed},
        {points::kColAcc, record.acc},           {points::kColDcc, record.dcc},
        {points::kColPush, static_cast<double>(record.push)},
        {points::kColThreshold, static_cast<double>(record.threshold)},
        {points::kColPosRange, record.range},    {points::kColPAreaA, record.areaA},
        {points::kColPAreaB, record.areaB},
        {points::kColStdTime, static_cast<double>(record.standardTime)},
        {points::kColRepeat, static_cast<double>(record.repeat)},
    };
    for (const auto &[column, value] : values) {
        const points::CellEditor editor = rules.Editor(column, row);
        if (!editor.limited)
            continue;
        const double min = ZeroAllowed(column) ? std::min(0.0, editor.min) : editor.min;
        if (value >= min - kTolerance && value <= editor.max + kTolerance)
            continue;
        refusal.column = column;
        refusal.value = Text(value, column);
        refusal.min = Text(min, column);
        refusal.max = Text(editor.max, column);
        return refusal;
    }

    const struct {
        int column;
        int value;
        int count;
    } choices[] = {{points::kColAccDecMode, record.accDecMode, points::kSpeedModeCount},
                   {points::kColStopMode, record.stopMode, points::kStopModeCount}};
    for (const auto &[column, value, count] : choices) {
        if (value >= 0 && value < count)
            continue;
        refusal.column = column;
        refusal.cause = WriteRefusal::Cause::kNotAChoice;
        refusal.value = FormatInt(value);
        return refusal;
    }
    if (record.jump != kJumpToEnd && (record.jump < 1 || record.jump > steps)) {
        refusal.column = points::kColJump;
        refusal.value = FormatInt(record.jump - 1);
        refusal.min = FormatInt(0);
        refusal.max = FormatInt(steps - 1);
        return refusal;
    }
    return std::nullopt;
}

} // namespace kvl
