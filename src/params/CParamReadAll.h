#pragma once
// CParamReadAll: the parameter list's "read from controller". Every parameter the axis has
// (1..49, 100..N, whatever its hide class) is read through the command layer, up to ten
// attempts each; every failed attempt goes to the communication log. A good value goes into
// both lists and, as its text limited to the range, into "Value" of the axis' parameter store,
// which is saved at the end. A parameter that still fails keeps its old values. Parameter 12's
// upper limit then follows parameter 102 as read (102 is read along when only 12 is asked for),
// in both lists and never in the store's definitions. Used by the parameter list window, the
// command-line tool and (one attempt each, the run ended by a silent controller) the opening of an
// axis window; the thread that makes the exchanges.
#include <vector>

#include "params/CCommErrorLog.h"
#include "params/CParamListPair.h"
#include "params/ParamTransferTypes.h"
#include "params/ParamTypes.h"

namespace kvl {
struct CAppValues;
class CIniEx;
class CServoCommands;
} // namespace kvl

namespace kvl::params {

// Attempts per parameter of the parameter list's read.
inline constexpr int kReadAllAttempts = 10;

struct ReadAllOptions {
    CIniEx *store = nullptr;           // the axis' parameter store; none: no "Value" kept
    const CCommErrorLog *log = nullptr; // none: failed attempts are not logged
    CAppValues *values = nullptr;       // the application's: polling is off meanwhile; none: no switch
    ProgressFn progress;
    // Only these numbers (in the usual order, those the axis has); empty: every parameter.
    std::vector<int> only;
    // Above 0: this many timed-out attempts in a row end the run (the controller has gone
    // silent; the rest keep their old values). 0: every parameter gets all its attempts.
    int silentAfterTimeouts = 0;
    // Attempts per parameter (the list's read: kAttempts; the opening of an axis window: one).
    int attempts = kReadAllAttempts;
};

struct ReadAllReport {
    std::vector<ParamOutcome> outcomes; // one per parameter read, in order
    int failures = 0;
    std::vector<ParamNotice> notices;
    ParamMessage message; // ("IDS_WARNMSG_READPARAM", "COMMON") when any parameter failed
    bool storeSaved = true; // false when the store could not be written
    bool silent = false;    // the run ended early: the controller stopped answering
    // Every parameter asked for whose value was not read (it failed, or the run ended before it),
    // in the usual order: these keep the values they had.
    std::vector<int> notRead;
    int asked = 0;          // parameters asked for

    bool Complete() const { return failures == 0; }
};

class CParamReadAll {
public:
    static constexpr int kAttempts = kReadAllAttempts;

    static ReadAllReport Run(CServoCommands &commands, const ParamTarget &target,
                             CParamListPair &lists, const ReadAllOptions &options);

private:
    // Reads one parameter into the driver record; the result code and the attempts it took.
    // `timeoutsInRow` counts timed-out attempts across parameters; with `silentAfter` above 0 the
    // attempts end when it reaches that.
    static ParamOutcome ReadOne(CServoCommands &commands, const ParamTarget &target, int number,
                                CParamData &record, const CCommErrorLog *log, int attempts,
                                int silentAfter, int &timeoutsInRow);
    // Parameter 12's upper limit from parameter 102 as this read got it, in both lists.
    static void FollowCurrentLimitMax(const ParamTarget &target, CParamListPair &lists,
                                      const ReadAllReport &report, CIniEx *store);
};

} // namespace kvl::params
