#pragma once
// Application-wide values that the core reads and the faces (GUI, CLI, tests) set: the start
// folder, the trace and service flags, the transport's busy and padding-mode flags, and the hooks
// a face installs for what the core cannot do itself (show the communication warning, dispatch
// pending window messages during a long receive). One instance per process, used from the
// thread that makes the exchanges.
#include <array>
#include <functional>
#include <string>

namespace kvl {

class CAppState {
public:
    static constexpr int kAxisCount = 16;

    static CAppState &Instance();

    std::string startFolder;     // the program folder; the trace log goes to <startFolder>/log
    int language = 2;            // 1 Japanese, 2 English, 3 Chinese
    bool traceOn = false;        // write the trace log of every exchange
    bool serviceMode = false;
    bool busy = false;           // an exchange is in progress (guards re-entry on one thread)
    bool paddingMode = false;    // the bulk point-table read ends its data with 0xFF padding
    bool pollingOn = true;       // periodic status reads may run
    int currentAxis = -1;
    bool gatewayPresent = false;
    std::string lastPrinter;

    std::array<int, kAxisCount> decimals{};     // point-table decimals setting 0..2 per axis
    std::array<int, kAxisCount> accessLevel{};  // parameter access level 0..2 per axis
    std::array<bool, kAxisCount> modelMatch{};  // gateway station list agrees with the axis model

    // Shows the communication warning after ten timeouts in a row; returns when the user closed it.
    std::function<void()> commWarning;
    // Dispatches pending window messages; called by the waveform reader while it waits for bytes.
    std::function<void()> pumpEvents;
    // Told the bytes received so far while a padded bulk read comes in (a face's progress).
    std::function<void(int received)> bulkReadProgress;

    // Back to start values; hooks are removed. For tests and for a fresh run.
    void Reset();
};

} // namespace kvl
