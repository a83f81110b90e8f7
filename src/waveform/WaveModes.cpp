#include "waveform/WaveModes.h"

#include <array>
#include <cstdio>

#include "base/CModelTraits.h"

namespace kvl::wave {
namespace {

// Capture bits by mode. Actual current (7) sits between position deviation and actual speed.
constexpr std::array<uint8_t, kModeCount> kCaptureBits = {0x00, 0x01, 0x02, 0x04, 0x10,
                                                           0x20, 0x40, 0x08, 0x80, 0x00};
constexpr int kFirstCapturedMode = 1;
constexpr int kLastCapturedMode = 8;

enum class UnitFamily { kNone, kPosition, kSpeed, kCurrent };

UnitFamily FamilyOf(int mode)
{
    if (mode >= kModeActualPosition && mode <= kModePositionDeviation)
        return UnitFamily::kPosition;
    if (mode >= kModeActualSpeed && mode <= kModeSpeedDeviation)
        return UnitFamily::kSpeed;
    if (mode >= kModeActualCurrent && mode <= kModeCurrentDeviation)
        return UnitFamily::kCurrent;
    return UnitFamily::kNone;
}

const char *UnitOf(UnitFamily family, bool rotary)
{
    switch (family) {
    case UnitFamily::kPosition:
        return rotary ? "deg" : "mm";
    case UnitFamily::kSpeed:
        return rotary ? "deg/s" : "mm/s";
    case UnitFamily::kCurrent:
        return "mA";
    default:
        return "";
    }
}

// Language keys of a chart text that names the vertical axes, per axis: the linear models' key
// and the rotary model's.
struct AxisKeys {
    const char *linear;
    const char *rotary;
};
constexpr AxisKeys kAxisTitleKeys[] = {
    {"IDS_ROG_LABEL_POS", "IDS_ZMDA_ROG_LABEL_POS"},
    {"IDS_ROG_LABEL_SPD", "IDS_ZMDA_ROG_LABEL_SPD"},
    {"IDS_ROG_LABEL_CUR", "IDS_ROG_LABEL_CUR"},
};
constexpr AxisKeys kDivisionUnitKeys[] = {
    {"IDC_STATIC_ROG_POS_UNIT", "IDC_ZMDA_STATIC_ROG_POS_UNIT"},
    {"IDC_STATIC_ROG_SPD_UNIT", "IDC_ZMDA_STATIC_ROG_SPD_UNIT"},
    {"", ""},
};

std::string KeyForAxis(const AxisKeys (&keys)[3], ValueAxis axis, const std::string &model)
{
    const AxisKeys &entry = keys[static_cast<size_t>(axis)];
    return IsRotary(model) ? entry.rotary : entry.linear;
}

std::string Format(const char *format, double value, const char *unit)
{
    char text[64];
    std::snprintf(text, sizeof(text), format, value, unit);
    return text;
}

} // namespace

bool IsValidMode(int mode) { return mode >= 0 && mode < kModeCount; }

bool IsRotary(const std::string &model) { return CModelTraits::Of(model).IsRotary(); }

uint8_t CaptureBit(int mode) { return IsValidMode(mode) ? kCaptureBits[static_cast<size_t>(mode)] : 0; }

ValueAxis AxisForMode(int mode)
{
    switch (FamilyOf(mode)) {
    case UnitFamily::kSpeed:
        return ValueAxis::kSpeed;
    case UnitFamily::kCurrent:
        return ValueAxis::kCurrent;
    default:
        return ValueAxis::kPosition;
    }
}

std::string UnitForMode(int mode, const std::string &model)
{
    return UnitOf(FamilyOf(mode), IsRotary(model));
}

CaptureRequest CaptureRequestFor(int mode0, int mode1)
{
    CaptureRequest request;
    for (int mode = kFirstCapturedMode; mode <= kLastCapturedMode; ++mode) {
        if (mode0 == mode || mode1 == mode) {
            request.mask = static_cast<uint8_t>(request.mask | CaptureBit(mode));
            ++request.channels;
        }
    }
    return request;
}

StreamChoice StreamsFor(int mode0, int mode1, int channels)
{
    if (channels != 2)
        return {0, 0};
    if (CaptureBit(mode0) > CaptureBit(mode1))
        return {1, 0};
    return {0, 1};
}

std::string ModeNameKey(int mode) { return "IDS_CH_MODE" + std::to_string(mode); }

std::string FormatOffset(int mode, const std::string &model, double offset)
{
    if (mode == kModeNone)
        return Format("%.0f%s", offset, "");
    // Positions in whole units, the rest with three decimals; a mode outside the list reads as a
    // current.
    UnitFamily family = FamilyOf(mode);
    if (family == UnitFamily::kNone)
        family = UnitFamily::kCurrent;
    const char *unit = UnitOf(family, IsRotary(model));
    return Format(family == UnitFamily::kPosition ? "%.0f %s" : "%.3f %s", offset, unit);
}

std::string OffsetUnitLabel(int mode, const std::string &model)
{
    if (mode == kModeCurrentDeviation)
        return "";
    return UnitForMode(mode, model);
}

int PropertyModeCount(const std::string &model)
{
    constexpr int kModesUpToCurrent = kModeActualCurrent + 1;
    constexpr int kModesWithCurrentCommand = kModeCurrentCommand + 1;
    if (CModelTraits::Of(model).UsesLongRecord())
        return kModesWithCurrentCommand;
    return kModesUpToCurrent;
}

std::string AxisTitleKey(ValueAxis axis, const std::string &model)
{
    return KeyForAxis(kAxisTitleKeys, axis, model);
}

std::string DecorateAxisTitle(ValueAxis axis, const std::string &text)
{
    if (axis == ValueAxis::kCurrent)
        return text + " ";
    if (axis == ValueAxis::kPosition)
        return " " + text;
    return text;
}

std::string DivisionUnitLabelKey(ValueAxis axis, const std::string &model)
{
    return KeyForAxis(kDivisionUnitKeys, axis, model);
}

} // namespace kvl::wave
