#pragma once
// Small text helpers of the command line: hex dumps, axis addresses, numbers.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "protocol/ServoTypes.h"

namespace kvl::cli {

// "EF 03 01 10 21 0D 0A": upper-case hex bytes separated by blanks.
std::string HexBytes(const uint8_t *data, size_t length);
// Reads hex bytes given as separate words ("EF", "0x1f") or run together ("23 00" / "2300").
bool ParseHexBytes(const std::vector<std::string> &words, std::vector<uint8_t> &bytes);
// AXIS: 0 to 15 in decimal or hexadecimal (0x0 to 0xF), or "gw" for the gateway (0xF1).
bool ParseAxis(const std::string &text, uint8_t &axis);
// "axis 3", or "gateway" for 0xF1.
std::string AxisLabel(uint8_t axis);
// The whole text a whole number of the int range, in decimal or 0x hexadecimal; false for
// anything else (trailing characters, a number that does not fit).
bool ParseInt(const std::string &text, int &value);
// The whole text a finite decimal number ("2.5"; no exponent, "nan" or "inf").
bool ParseDouble(const std::string &text, double &value);
// "1 step", "3 steps": a count with its noun in the singular or the plural.
std::string Count(long long count, const char *one, const char *many);
// "on"/"off" (also 1/0).
bool ParseOnOff(const std::string &text, bool &on);

// Name of operation flag `bit` (0 to 5): "moving", "in position", "home done", "operating",
// "alarm", "paused"; `camelCase` gives the JSON key ("inPosition").
std::string OperationFlagName(size_t bit, bool camelCase = false);
// "moving off, in position on, home done on, operating off, alarm off, paused off".
std::string OperationFlagsText(const OperationStatus &status);
// A program runs when the operating flag is set in the automatic run mode and it is not paused:
// homing, jog and inching set the operating flag in the manual mode.
bool ProgramRunning(const OperationStatus &status, bool manualMode);
// "running", "paused" or "not running".
std::string ProgramStateText(const OperationStatus &status, bool manualMode);

} // namespace kvl::cli
