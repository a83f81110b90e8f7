#pragma once
// Command bytes the simulated devices answer, and the lengths of the replies they build. The device
// side keeps them in this one place so every handler and test names the same values.
#include <cstddef>
#include <cstdint>

namespace kvl::sim::cmd {

// Identification and status
constexpr uint8_t kReadDeviceType = 0x01;
constexpr uint8_t kWriteDeviceName = 0x03;
constexpr uint8_t kReadVersionAndName = 0x04;
constexpr uint8_t kReadServoState = 0x15;
constexpr uint8_t kReadHomeDone = 0x16;
constexpr uint8_t kReadPositions = 0x17;
constexpr uint8_t kReadRunMode = 0x18;
constexpr uint8_t kReadCurrentStep = 0x1A;
constexpr uint8_t kReadOperationStatus = 0x1B;
// Parameters
constexpr uint8_t kReadParameter = 0x24;
constexpr uint8_t kWriteParameter = 0x25;
// Point table
constexpr uint8_t kReadSteps = 0x1F;
constexpr uint8_t kWriteStep = 0x20;
constexpr uint8_t kClearPointTable = 0x21;
// Motion
constexpr uint8_t kServoOn = 0x0B;
constexpr uint8_t kServoOff = 0x0C;
constexpr uint8_t kHomeReturn = 0x0D;
constexpr uint8_t kStartProgram = 0x0E;
constexpr uint8_t kStop = 0x0F;
constexpr uint8_t kJogStart = 0x10;
constexpr uint8_t kInchingMove = 0x11;
// Monitor and alarms
constexpr uint8_t kReadIOSignals = 0x19;
constexpr uint8_t kSetInputSignal = 0x2A;
constexpr uint8_t kReadLoadFactor = 0x34;
constexpr uint8_t kReadAlarmCode = 0x5B;
constexpr uint8_t kAlarmReset = 0x5C;
constexpr uint8_t kReadAlarmHistory = 0x5D;
constexpr uint8_t kClearAlarmHistory = 0x5E;
// Waveform
constexpr uint8_t kReadWaveScales = 0x35;
constexpr uint8_t kStartWaveCapture = 0x36;
constexpr uint8_t kReadWaveData = 0x37;
constexpr uint8_t kStopWaveCapture = 0x38;
// Auto-tuning
constexpr uint8_t kStartAutoTuning = 0x50;
constexpr uint8_t kReadAutoTuningStatus = 0x51;
// Gateway unit
constexpr uint8_t kWriteUnitDeviceList = 0xC9;
constexpr uint8_t kReadUnitDeviceList = 0xCA;
constexpr uint8_t kReadRemoteState = 0xCB;
constexpr uint8_t kWriteUnitDeviceTables = 0xD2;
constexpr uint8_t kReadUnitDeviceTables = 0xD3;

// Request payload sizes the devices check before acting.
constexpr size_t kNameLength = 16;
constexpr size_t kVersionLength = 4;
constexpr size_t kLongRecordLength = 44;
constexpr size_t kShortRecordLength = 42;
constexpr size_t kAlarmHistoryLength = 50;
constexpr size_t kStationCount = 16;

// Reply data of the wave batch before its samples: header word, first index, two position bases.
constexpr size_t kWaveBatchHeaderLength = 14;
// Run of 0xFF the bulk step read ends with; the reader waits for at least 40 of them.
constexpr size_t kBulkReadPaddingLength = 48;

} // namespace kvl::sim::cmd
