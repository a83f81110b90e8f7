#pragma once
// CParamWriter: the parameter list's "write to controller". Refuses while the controller runs in
// automatic mode; asks once (through a callback) before writing while the servo is on, and then
// switches the servo off; writes, one exchange each and no retries, every parameter whose file
// value differs from its driver value and whose hide class allows writing at the access level;
// copies each good value into the driver list and the parameter store; then applies the
// follow-ups (parameter 102 limits parameter 12 in this axis' lists, not in the model's shared
// file; the last parameter checks the point table's push values against parameter 151). Used by
// the parameter list window and the command-line tool; the thread that makes the exchanges.
#include <cstdint>
#include <functional>
#include <vector>

#include "params/CParamListPair.h"
#include "params/ParamTransferTypes.h"
#include "params/ParamTypes.h"

namespace kvl {
struct CAppValues;
class CIniEx;
class CServoCommands;
} // namespace kvl

namespace kvl::params {

struct WriteOptions {
    // The axis window's servo flag and whether a program is running or paused on the axis.
    bool servoOn = false;
    bool programActive = false;
    // Asks the write caution (OK/Cancel, empty title); a missing callback cancels.
    std::function<bool(const ParamMessage &text)> confirmCaution;
    CIniEx *store = nullptr; // the axis' parameter store; none: no "Value" kept
    CAppValues *values = nullptr; // the application's: polling is off meanwhile; none: no switch
    // Whether a used step numbered 1..lastStep of the axis' point table pushes harder than
    // `limit`; none: the check is skipped (no point table at hand).
    std::function<bool(int limit, int lastStep)> pushAbove;
    ProgressFn progress;
};

enum class WriteStatus {
    Done,             // the loop ran (some writes may have failed: see failures)
    RefusedAutomatic, // the controller runs in automatic mode; nothing written
    Cancelled,        // the write caution was declined; nothing written
    ServoOffFailed,   // ServoOff after the caution did not answer 1; nothing written
};

struct WriteReport {
    WriteStatus status = WriteStatus::Done;
    std::vector<ParamOutcome> outcomes; // one per parameter written, in order
    int failures = 0;
    bool cautionAsked = false;
    std::vector<ParamNotice> notices;
    std::vector<ParamMessage> messages; // to show in order, empty title, OK only
    bool storeSaved = true;

    bool Complete() const { return status == WriteStatus::Done && failures == 0; }
};

class CParamWriter {
public:
    // The controller's servo and program state as the axis window keeps it, read afresh (for a
    // caller without an axis window). Returns the first failing result code, or -200.
    static int ReadAxisFlags(CServoCommands &commands, std::uint8_t address, bool &servoOn,
                             bool &programActive);

    // Whether any integer, real or selection parameter about to differ needs the caution.
    static bool NeedsCaution(const CParamListPair &lists, int count, bool servoOn,
                             bool programActive);
    // Parameters the write would send, in order.
    static std::vector<int> PendingNumbers(const CParamListPair &lists, int count, int level);
    // Last step examined by the push check for an I/O mode.
    static int PushCheckSteps(int ioMode);

    static WriteReport Run(CServoCommands &commands, const ParamTarget &target,
                           CParamListPair &lists, const WriteOptions &options);

private:
    static WriteReport RunWrites(CServoCommands &commands, const ParamTarget &target, CParamListPair &lists,
                                 const WriteOptions &options);
    // One line of the daily log (CEventLog) for a run.
    static void LogReport(const ParamTarget &target, const WriteReport &report);
    // One write of the file value of `number`; the result code (-200 success).
    static int WriteOne(CServoCommands &commands, const ParamTarget &target, int number,
                        const CParamData &record);
    static void AfterGoodWrite(const ParamTarget &target, int number, CParamListPair &lists,
                               CIniEx *store, WriteReport &report);
    static void ApplyCurrentLimitMax(CServoCommands &commands, const ParamTarget &target,
                                     CParamListPair &lists, CIniEx *store, WriteReport &report);
    static void CheckPushLimit(const CParamListPair &lists, const WriteOptions &options,
                               WriteReport &report);
};

} // namespace kvl::params
