#pragma once
// What the parameter list's bulk read and write report back: the result code of each parameter
// they exchanged, what the axis window must be told afterwards, and the messages to show.
// Plain data; any thread.
#include <functional>
#include <string>
#include <vector>

#include "config/CCodePageText.h"

#include "params/ParamTypes.h"

namespace kvl::params {

// n of N parameters done; called after each parameter so that a window can show progress.
using ProgressFn = std::function<void(int done, int total)>;

// One parameter's exchange: its number, the result code of its last attempt (-200 success) and
// how many attempts it took.
struct ParamOutcome {
    int number = 0;
    int result = 0;
    int attempts = 0;
};

// Something the axis window has to learn after a transfer.
struct ParamNotice {
    enum class Kind {
        JogSpeedChanged,      // parameter 16
        FeedAmountChanged,    // parameter 31
        DeviceNameChanged,    // a text parameter was written; `name` is the new name
        OperationTypeChanged, // parameter 36 took another choice; see clearControllerTable
        DirectionChanged,     // parameter 5 was written with another choice
        ValuesChanged,        // a read, a write or a file load ended: what bounds the steps may differ
        ValuesRead,           // a read from the controller got the values of `numbers`
    };
    Kind kind = Kind::JogSpeedChanged;
    bool clearControllerTable = false; // OperationTypeChanged: also clear the controller's table
    CCodePageText name;                // DeviceNameChanged, as the controller keeps it
    std::vector<int> numbers;          // ValuesRead: the parameters read

    friend bool operator==(const ParamNotice &a, const ParamNotice &b)
    {
        return a.kind == b.kind && a.clearControllerTable == b.clearControllerTable &&
               a.name == b.name && a.numbers == b.numbers;
    }
};

} // namespace kvl::params
