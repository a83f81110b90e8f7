#pragma once
// Command bytes and fixed reply lengths of every bus command, grouped by family, plus the model
// code table. The command layer builds requests from these and the device simulator answers with
// them, so both sides share one definition. Reply lengths count the whole frame (start byte to LF).
// Which model uses the long record forms is CModelTraits::UsesLongRecord.
// Plain constants and pure functions: any thread may use them.
#include <cstddef>
#include <cstdint>

#include "base/CModelTraits.h"

namespace kvl::cmd {

// ---- Replies shared by many commands -----------------------------------------------------------
constexpr int kReplyLenStatus = 8;          // EF axis cmd status CRC CRC 0D 0A
// A refused request is answered with 0x0F 0x00 0x00 after the command byte (and so a bad CRC).
constexpr uint8_t kRefusalByte0 = 0x0F;
constexpr uint8_t kRefusalByte1 = 0x00;
constexpr uint8_t kRefusalByte2 = 0x00;

// ---- Identification and status -----------------------------------------------------------------
constexpr uint8_t kCmdReadDeviceType = 0x01;
constexpr uint8_t kCmdWriteDeviceName = 0x03;
constexpr uint8_t kCmdReadVersionAndName = 0x04;
constexpr uint8_t kCmdReadServoState = 0x15;
constexpr uint8_t kCmdReadHomeDone = 0x16;
constexpr uint8_t kCmdReadPositions = 0x17;
constexpr uint8_t kCmdReadRunMode = 0x18;
constexpr uint8_t kCmdReadCurrentStep = 0x1A;
constexpr uint8_t kCmdReadOperationStatus = 0x1B;

constexpr int kReplyLenReadDeviceType = 9;        // data: unused byte, device type code
constexpr int kReplyLenReadVersionAndName = 27;   // data: 4 version chars, 16 name chars
constexpr int kReplyLenWriteDeviceName = 8;
constexpr int kReplyLenReadServoState = 8;
constexpr int kReplyLenReadHomeDone = 8;
constexpr int kReplyLenReadPositions = 15;        // data: current position, command position
constexpr int kReplyLenReadRunMode = 8;
constexpr int kReplyLenReadCurrentStep = 9;       // data: int16 step
constexpr int kReplyLenReadOperationStatus = 11;  // data: flags, state byte, int16

constexpr size_t kVersionTextLen = 4;
constexpr size_t kNameTextLen = 16;
constexpr size_t kDeviceTypeCodeIndex = 1;        // data byte holding the device type code
constexpr int kOperationFlagCount = 6;            // bits 0..5 of the operation flags byte

// ---- Parameters --------------------------------------------------------------------------------
constexpr uint8_t kCmdReadParameter = 0x24;       // '$'
constexpr uint8_t kCmdWriteParameter = 0x25;      // '%'

constexpr int kReplyLenReadParameter = 13;        // data: number echo (2), value (4)
constexpr int kReplyLenWriteParameter = 8;

// ---- Point table -------------------------------------------------------------------------------
constexpr uint8_t kCmdReadAllSteps = 0x1F;        // payload 00 00: every step
constexpr uint8_t kCmdReadStep = 0x1F;            // payload: uint16 addressed step, 1-based
constexpr uint8_t kCmdWriteStep = 0x20;
constexpr uint8_t kCmdWriteStepValues = 0x20;
constexpr uint8_t kCmdClearPointTable = 0x21;

constexpr uint16_t kReadAllStepsSelector = 0;
constexpr size_t kStepRecordLenLong = 44;         // models "MDB", "MDC", "MDC-X"
constexpr size_t kStepRecordLenShort = 42;        // every other model
constexpr int kReplyLenStepFrameLong = 51;        // EF axis 1F record CRC CRC 0D 0A
constexpr int kReplyLenStepFrameShort = 49;
constexpr int kReplyLenReadStepLong = kReplyLenStepFrameLong;
constexpr int kReplyLenReadStepShort = kReplyLenStepFrameShort;
constexpr int kReplyLenWriteStep = 8;
constexpr int kReplyLenClearPointTable = 8;
constexpr int kReplyLenStepAck = 8;               // acknowledgement frame inside the bulk stream
constexpr uint8_t kStepModeAbs = 1;               // any other mode byte reads as INC
constexpr uint8_t kStepModeInc = 0;

// ---- Motion and operation ----------------------------------------------------------------------
constexpr uint8_t kCmdServoOn = 0x0B;
constexpr uint8_t kCmdServoOff = 0x0C;
constexpr uint8_t kCmdHomeReturn = 0x0D;
constexpr uint8_t kCmdStartProgram = 0x0E;
constexpr uint8_t kCmdStop = 0x0F;
constexpr uint8_t kCmdJogStart = 0x10;
constexpr uint8_t kCmdInchingMove = 0x11;

constexpr int kReplyLenMotion = 8;                // every motion command: one status byte
constexpr uint8_t kDirectionPositive = 1;
constexpr uint8_t kDirectionNegative = 2;
constexpr uint8_t kHomeModeManual = 0;
constexpr uint8_t kHomeModeReturn = 1;

// ---- Monitor and alarms ------------------------------------------------------------------------
constexpr uint8_t kCmdReadIOSignals = 0x19;
constexpr uint8_t kCmdSetInputSignal = 0x2A;
constexpr uint8_t kCmdReadLoadFactor = 0x34;
constexpr uint8_t kCmdReadAlarmCode = 0x5B;
constexpr uint8_t kCmdAlarmReset = 0x5C;
constexpr uint8_t kCmdReadAlarmHistory = 0x5D;
constexpr uint8_t kCmdClearAlarmHistory = 0x5E;

constexpr int kReplyLenReadIOSignals = 11;        // data: uint32 signal word
constexpr int kReplyLenSetInputSignal = 8;
constexpr int kReplyLenReadLoadFactorLong = 9;    // models "MDB", "MDC", "MDC-X"
constexpr int kReplyLenReadLoadFactorShort = 8;
constexpr int kReplyLenReadAlarmCode = 8;
constexpr int kReplyLenAlarmReset = 8;
constexpr int kReplyLenReadAlarmHistory = 57;     // data: 50 alarm codes
constexpr int kReplyLenClearAlarmHistory = 8;

constexpr uint8_t kInputSwitchOnBit = 0x80;       // bit 7 on/off, bits 0..6 input number
constexpr uint8_t kInputNumberMask = 0x7F;
constexpr uint8_t kAlarmNone = 0xFF;              // 0xFF and 0xFE both mean no alarm
constexpr uint8_t kAlarmNoneAlt = 0xFE;
constexpr uint8_t kAlarmHistoryEmptySlot = 0xFF;
constexpr size_t kAlarmHistoryLen = 50;

// ---- Waveform capture --------------------------------------------------------------------------
constexpr uint8_t kCmdReadWaveScales = 0x35;
constexpr uint8_t kCmdStartWaveCapture = 0x36;
constexpr uint8_t kCmdReadWaveData = 0x37;
constexpr uint8_t kCmdStopWaveCapture = 0x38;

constexpr int kReplyLenReadWaveScales = 23;       // data: four int32 scale values
constexpr int kReplyLenStartWaveCapture = 8;
constexpr int kReplyLenReadWaveDataEmpty = 21;    // plus 2 bytes per sample
constexpr int kReplyLenStopWaveCapture = 8;
constexpr int kWaveSampleBytes = 2;
constexpr uint16_t kWaveFinishedBit = 0x8000;     // header word: recording finished
constexpr uint16_t kWaveCountMask = 0x7FFF;       // header word: samples in this reply
constexpr size_t kWaveSamplesOffset = 14;         // reply-data offset of the first sample
constexpr int kWaveSettleMs = 100;                // the only command that settles longer

// ---- Auto-tuning -------------------------------------------------------------------------------
constexpr uint8_t kCmdStartAutoTuning = 0x50;
constexpr uint8_t kCmdReadAutoTuningStatus = 0x51;

constexpr int kReplyLenStartAutoTuning = 8;
constexpr int kReplyLenReadAutoTuningStatus = 13; // data: two states, two int16

// ---- Network gateway unit ----------------------------------------------------------------------
constexpr uint8_t kCmdWriteUnitDeviceList = 0xC9;
constexpr uint8_t kCmdReadUnitDeviceList = 0xCA;
constexpr uint8_t kCmdReadRemoteState = 0xCB;
constexpr uint8_t kCmdWriteUnitDeviceTables = 0xD2;
constexpr uint8_t kCmdReadUnitDeviceTables = 0xD3;

constexpr int kReplyLenReadUnitDeviceList = 23;   // data: 16-byte device list
constexpr int kReplyLenWriteUnitDeviceList = 8;
constexpr int kReplyLenReadUnitDeviceTables = 39; // data: device list, input-mode table
constexpr int kReplyLenWriteUnitDeviceTables = 8;
constexpr int kReplyLenReadRemoteState = 8;
constexpr size_t kUnitStationCount = 16;

// ---- Model codes (defined with the model traits, named here for the command layer) ------------
using kvl::kDeviceListAny;
using kvl::kDeviceListNone;
using kvl::kModelCodeGWX;
using kvl::kModelCodeMDA;
using kvl::kModelCodeMDAY;
using kvl::kModelCodeMDAZ;
using kvl::kModelCodeMDB;
using kvl::kModelCodeMDC;
using kvl::kModelCodeMDCX;
using kvl::ModelCodeFromText;
using kvl::ModelTextFromCode;
using kvl::NormalizeDeviceListCode;

} // namespace kvl::cmd
