#pragma once
// Shared vocabulary of the point table: column numbers, the rule context (model, decimals
// setting, operation type, online flag, the parameter values the rules read) and the
// language-dependent texts. Plain data: every caller (editor window, CLI, tests) fills it from
// whatever source it has. Any thread may use these types; they hold no shared state.
#include <array>
#include <string>
#include <vector>

namespace kvl::points {

// Column numbers of the grid and of the CSV file; column k shows field k of a step.
enum StepColumn : int {
    kColStep = 0,
    kColMode = 1,
    kColPosition = 2,
    kColSpeed = 3,
    kColAcc = 4,
    kColDcc = 5,
    kColPush = 6,
    kColThreshold = 7,
    kColPosRange = 8,
    kColPAreaA = 9,
    kColPAreaB = 10,
    kColAccDecMode = 11,
    kColStopMode = 12,
    kColStdTime = 13,
    kColRepeat = 14,
    kColJump = 15,
    kColComment = 16,
};
constexpr int kStepColumnCount = 17;

constexpr int kSpeedModeCount = 2;  // acc/dec mode choices 0 and 1
constexpr int kStopModeCount = 5;   // stop mode choices 0 to 4
constexpr int kStopModePushing = 4; // the only stop mode that goes with pushing

// Language-dependent texts the rules show or recognise. An empty text means "no language text":
// the rules then fall back to the built-in forms ("ABS"/"INC", "0".."4").
struct CStepTexts {
    int language = 2;                                    // 1 Japanese, 2 English, 3 Chinese
    std::array<std::string, 2> modeTexts;                // ID_TYPE_MODE_0 / _1
    std::array<std::string, kSpeedModeCount> speedModeTexts; // ID_SPEED_MODE_0 / _1
    std::array<std::string, kStopModeCount> stopModeTexts;   // ID_STOP_MODE_0 .. _4
    std::string checkAbsText;                            // IDC_CHECK_ABS, used by the CSV header
    std::array<std::string, kStepColumnCount> columnCaptions; // GRID_C1 .. GRID_C17 (or GRID_ZMDA_...)
};

// Everything the rules read besides the texts. Parameter values are in the user's units.
struct CStepContext {
    std::string model = "MDA"; // "MDA", "MDB", "MDC", "MDC-X", "MDA-Y", "MDA-Z"
    int decimals = 0;          // per-axis decimals setting 0..2; shown decimals are setting + 2
    int operationType = 0;     // 0..5, fixes the step count
    bool online = false;

    // Stored values ("Value" of the parameter store) that bound the edits.
    double storedSoftLimitUpper = 9999.9999;  // upper position bound (ABS steps, P-areas)
    double storedSoftLimitLower = -9999.9999; // lower position bound
    double storedMaxSpeed = 9999.0;           // speed maximum
    int storedPushLimit = 300;                // push / threshold maximum and the write push limit

    // Current values of the axis' parameter list that seed the online column defaults.
    double defaultSpeed = 0.0;         // speed default together with the maximum speed
    double defaultAcceleration = 0.0;  // ACC/DCC default, real value
    int defaultAccelerationInt = 0;    // ACC/DCC default, the record's integer value
    double defaultPositionRange = 0.0; // position range default
    int defaultStopMode = 0;           // stop mode default
    double maxSpeed = 0.0;             // speed default together with the default speed
};

// A message to show, named by its language key and section.
struct StepMessage {
    std::string key;
    std::string section;
    bool operator==(const StepMessage &other) const = default;
};

// Block of grid cells; rows are grid rows (row r shows step r - 1), columns 0..16.
struct CellBlock {
    int rowFirst = 1;
    int rowLast = 1;
    int colFirst = 1;
    int colLast = 1;
};

} // namespace kvl::points
