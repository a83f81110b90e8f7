#pragma once
// CAppValues: the application-wide values of one run that several windows and procedures share:
// the start folder, the current language, the service switch, the status-polling switch, the
// current axis, the gateway-present flag, the last printer and the per-axis tables (decimals,
// parameter access level, model match). The application object (the GUI's CKVL_ControlApp,
// kvlctl's session) owns one and hands it by reference to whoever reads or sets a value. The
// transport's own state (busy, padding mode, hooks, trace) is the facade's, not here. Plain
// values, no Qt; the thread that owns the application object.
#include <array>
#include <string>

namespace kvl {

struct CAppValues {
    static constexpr int kAxisCount = 16;
    // The offline axis window keeps its decimals and access level in a slot of its own, so that
    // an online axis 0 never takes them.
    static constexpr int kOfflineSlot = kAxisCount;
    static constexpr int kSlotCount = kAxisCount + 1;

    std::string startFolder;     // the program folder; the trace log goes to <startFolder>/log
    int language = 2;            // 1 Japanese, 2 English, 3 Chinese
    bool serviceMode = false;
    bool pollingOn = true;       // periodic status reads may run
    int currentAxis = -1;
    bool gatewayPresent = false;
    std::string lastPrinter;

    std::array<int, kSlotCount> decimals{};     // point-table decimals setting 0..2 per axis slot
    std::array<int, kSlotCount> accessLevel{};  // parameter access level 0..2 per axis slot
    std::array<bool, kSlotCount> modelMatch{};  // gateway station list agrees with the axis model
};

} // namespace kvl
