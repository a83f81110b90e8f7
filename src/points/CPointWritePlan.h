#pragma once
// What a Write to the controller does with each step: nothing, clear the step (the user emptied
// it), send it, or count a write error (a defined step with an empty field). Values are handed
// out in the controller's numbering (step + 1, jump + 1, end = 0), ready for the step-write
// commands. Built and applied by the axis window or the CLI on the thread that owns the table.
#include <string>
#include <vector>

#include "points/CPointTable.h"
#include "points/StepTypes.h"
#include "protocol/ServoTypes.h"

namespace kvl::points {

enum class StepWriteAction { Clear, Send, FieldMissing };

// A step's values as the step-write command takes them.
struct StepWireValues {
    int wireStep = 1;  // table step + 1
    bool abs = true;   // false: INC
    double position = 0.0;
    int speed = 0;
    double acc = 0.0;
    double dcc = 0.0;
    int push = 0;
    int threshold = 0;
    double posRange = 0.0;
    double pAreaA = 0.0;
    double pAreaB = 0.0;
    int accDecMode = 0;
    int stopMode = 0;
    int stdTime = 0;
    int repeat = 0;
    int wireJump = 0;  // 0 = end, otherwise table step + 1

    // The record the step-write command sends.
    StepRecord ToRecord() const;
};

struct StepWriteItem {
    int step = 0;                 // table step
    StepWriteAction action = StepWriteAction::Send;
    StepWireValues values;        // Send only
    bool pushAboveLimit = false;  // Send on MDB/MDC/MDC-X with a push above the limit
};

class CPointWritePlan {
public:
    // Plans the write of every step that differs from the driver copy. A driver copy without steps
    // is first given empty records. pushLimit is the stored value of parameter 151.
    static CPointWritePlan Build(CPointTable &table, int pushLimit);

    // The wire values of the working record of a step.
    static StepWireValues WireValues(const CKVL_VER2_ProgData &record, int step, const CStepTexts &texts);

    // Steps to act on, in ascending order; unchanged steps are not listed.
    const std::vector<StepWriteItem> &Items() const { return m_items; }

    // Takes the outcome of one item: a cleared step becomes empty in the driver copy; a sent step
    // is copied into the driver copy and its cells 1 to 15 lose their mark. A failure changes nothing.
    static void ApplyResult(CPointTable &table, const StepWriteItem &item, bool succeeded);

    bool HasFieldMissing() const;
    bool PushAboveLimit() const;
    // Messages after the write: ("IDS_WRITE_ERR", "COMMON") for a step with an empty field, then
    // ("IDS_WARNMSG_PUSH_OUTRANGE", "IDD_KVL_VER2_PMTLIST_DIALOG") for a push above the limit.
    std::vector<StepMessage> Messages() const;

private:
    std::vector<StepWriteItem> m_items;
};

} // namespace kvl::points
