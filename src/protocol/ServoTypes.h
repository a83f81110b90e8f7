#pragma once
// Typed values that CServoCommands hands to its callers and takes from them. Plain data: any
// thread may use them; the command layer only fills them on the caller's thread.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kvl {

// Both positions of ReadPositions, in 0.0001 of the axis' position unit.
struct Positions {
    int32_t command = 0;
    int32_t current = 0;
};

// ReadOperationStatus: bits 0..5 of the flags byte (each 0 or 1), the state byte and the int16.
struct OperationStatus {
    static constexpr int kFlagProgramRunning = 3;
    static constexpr int kFlagPaused = 5;

    std::array<int, 6> flags{};
    int state = 0;
    int value = 0;

    bool ProgramRunning() const { return flags[kFlagProgramRunning] != 0; }
    bool Paused() const { return flags[kFlagPaused] != 0; }
};

// A parameter value packed as code + 16 x group in its first byte (the gateway's pages).
struct CodePair {
    int code = 0;
    int group = 0;
};

// One point-table step as it travels, in wire numbering: `step` and `jump` count from 1 and a jump
// of 0 means end. Reals are in the axis' units; the codec scales them (position-like x 10,000,
// speed, ACC and DCC x 100) and truncates toward zero.
struct StepRecord {
    int step = 0;            // record step number; 0 = the step holds no data
    int mode = 0;            // 1 ABS, anything else INC
    double position = 0.0;
    double speed = 0.0;
    double acc = 0.0;
    double dcc = 0.0;
    int push = 0;
    int threshold = 0;
    double range = 0.0;      // position range
    double areaA = 0.0;      // P-area A
    double areaB = 0.0;      // P-area B
    int accDecMode = 0;
    int stopMode = 0;
    int standardTime = 0;
    int repeat = 0;
    int jump = 0;
};

// The four factors of ReadWaveScales, in reply order.
struct WaveScales {
    double timeStep = 0.0;              // seconds per unit of the sampling setting
    double actualPositionScale = 0.0;   // position unit per count
    double commandPositionScale = 0.0;  // position unit per count
    double speedScale = 0.0;            // speed unit per count
};

// One ReadWaveData reply. With two channels `count`, `firstIndex` and the sample arrays are per
// channel. firstIndex and the two bases are written only when the reply carries samples, so a
// caller that keeps one batch across polls keeps the last known values.
struct WaveBatch {
    bool finished = false;
    int count = 0;
    int32_t firstIndex = 0;
    int32_t commandBase = 0;
    int32_t actualBase = 0;
    std::vector<int16_t> channel1;
    std::vector<int16_t> channel2;
};

// ReadAutoTuningStatus: the two states and the two signed values.
struct AutoTuningStatus {
    int qualityState = 0;
    int tuningState = 0;
    int value1 = 0;
    int value2 = 0;
};

// The gateway's per-station tables: expected controller model code and input mode per station.
using UnitDeviceList = std::array<uint8_t, 16>;
struct UnitDeviceTables {
    UnitDeviceList deviceList{};
    std::array<uint8_t, 16> inputModes{};
};

} // namespace kvl
