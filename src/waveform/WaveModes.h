#pragma once
// Channel modes of the waveform chart and the rules that hang on them: which capture bit asks the
// controller for a mode, which vertical axis and unit a mode uses on a given model, how the two
// live series map to capture channels, and the language keys of the chart's titles and labels.
// Pure functions over plain values; any thread.
#include <cstdint>
#include <string>

namespace kvl::wave {

// ChannelMode 0..9: none, actual position, position command, position deviation, actual speed,
// speed command, speed deviation, actual current, current command, current deviation.
enum ChannelMode : int {
    kModeNone = 0,
    kModeActualPosition = 1,
    kModePositionCommand = 2,
    kModePositionDeviation = 3,
    kModeActualSpeed = 4,
    kModeSpeedCommand = 5,
    kModeSpeedDeviation = 6,
    kModeActualCurrent = 7,
    kModeCurrentCommand = 8,
    kModeCurrentDeviation = 9,
};
constexpr int kModeCount = 10;

// The three vertical axes of the chart, one per unit family.
enum class ValueAxis { kPosition, kSpeed, kCurrent };

bool IsValidMode(int mode);
// The rotary model (CModelTraits::IsRotary): degrees instead of millimetres.
bool IsRotary(const std::string &model);

// Capture bit of a mode (0x01, 0x02, 0x04, 0x10, 0x20, 0x40, 0x08, 0x80 for modes 1..8); 0 for
// modes 0 and 9 and for anything outside 0..9.
uint8_t CaptureBit(int mode);

// The vertical axis a mode is drawn on: 1..3 (and 0) position, 4..6 speed, 7..9 current. Anything
// outside 0..9 goes to the position axis, as a loaded file's unknown mode would.
ValueAxis AxisForMode(int mode);

// Unit of a mode on a model: "mm"/"deg" for 1..3, "mm/s"/"deg/s" for 4..6, "mA" for 7..9, and ""
// for mode 0 and anything outside 0..9.
std::string UnitForMode(int mode, const std::string &model);

// The capture request of a run: the mask to send and the number of channels the controller will
// interleave. Modes 1..8 are taken in mode order; a mode that either live series has adds its bit
// once, so two series with the same mode share one channel.
struct CaptureRequest {
    uint8_t mask = 0;
    int channels = 0;
};
CaptureRequest CaptureRequestFor(int mode0, int mode1);

// Which received stream each live series reads. With one channel both read the first stream.
// With two the controller sends them in ascending capture-bit order, so series 0 reads the second
// stream when its mode has the higher bit.
struct StreamChoice {
    int series0 = 0;
    int series1 = 0;
};
StreamChoice StreamsFor(int mode0, int mode1, int channels);

// Language key of a mode's display name: "IDS_CH_MODE%d" (section "Common").
std::string ModeNameKey(int mode);

// The series list's offset column: "%.0f mm", "%.3f deg/s", "%.3f mA", "%.0f" for mode 0.
std::string FormatOffset(int mode, const std::string &model, double offset);

// The unit label beside the line property window's offset: "mm"/"deg" for 1..3, "mm/s"/"deg/s"
// for 4..6, "mA" for 7 and 8, "" otherwise.
std::string OffsetUnitLabel(int mode, const std::string &model);

// How many modes the line property window offers: 0..7, plus 8 on "MDB", "MDC" and "MDC-X".
int PropertyModeCount(const std::string &model);

// Language keys (section "Common") of the axis titles: the time axis, and the vertical axes by
// model. The title shown is the text decorated by DecorateAxisTitle: the current title is
// followed by one space, the position title preceded by one.
constexpr char kTimeAxisTitleKey[] = "IDS_ROG_LABEL_TIME";
std::string AxisTitleKey(ValueAxis axis, const std::string &model);
std::string DecorateAxisTitle(ValueAxis axis, const std::string &text);

// Keys (section "IDD_KVL_ROG_DIALOG") of the unit labels beside the position and speed
// per-division fields, by model; "" for the current axis, whose label is fixed.
std::string DivisionUnitLabelKey(ValueAxis axis, const std::string &model);

} // namespace kvl::wave
