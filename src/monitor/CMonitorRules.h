#pragma once
// Rules of the motor monitor that are not drawing (the I/O mode is the axis' operation type,
// CModelTraits::OperationTypeOfChoice): which inputs the PC may switch in each I/O
// mode, the language keys of the signal names and alarm texts, the section of the window's
// texts by model, and the position format. Qt-free; the monitor window and the command line
// share it. Stateless; any thread.
#include <cstdint>
#include <string>

namespace kvl {

class CMonitorRules {
public:
    static constexpr int kSignalCount = 16;        // inputs, and outputs, each numbered 1 to 16
    static constexpr uint8_t kNoAlarm = 0xFF;
    static constexpr uint8_t kNoAlarmToo = 0xFE;
    static constexpr uint8_t kEmptyHistorySlot = 0xFF;
    static constexpr char kWindowSection[] = "IDD_KVL_VER2_MTRMONITOR_DIALOG";

    // Whether input `input` (1 to 16) may be switched from the PC in I/O mode `mode`.
    static bool InputSwitchAllowed(int mode, int input);
    // "IDC_RADIO_M1_I_1": the signal name key of input or output `number` (1 to 16) in `mode`.
    static std::string SignalKey(int mode, bool input, int number);
    // Bit of the signal word: input n is bit n-1, output n is bit 15+n.
    static bool SignalOn(uint32_t word, bool input, int number);
    // The window's text section: with "_MDB", "_MDC" or "_MDC-X" for those models.
    static std::string WindowSection(const std::string &model);
    // "AlarmMDB", "AlarmMDC", "AlarmXMDC", else "AlarmMDA".
    static std::string AlarmSection(const std::string &model);
    // "ALARM%d" of an alarm code.
    static std::string AlarmKey(int code);
    static bool IsAlarm(uint8_t code) { return code != kNoAlarm && code != kNoAlarmToo; }
    // Decimals of the position display: 3 for MDB and MDC, else the decimals setting + 2.
    static int PositionDecimals(const std::string &model, int decimalsSetting);
    // A raw position in 0.0001 units with `decimals` decimals; never "-0.000".
    static std::string FormatPosition(int32_t raw, int decimals);
};

} // namespace kvl
