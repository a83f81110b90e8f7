#include "points/CPointWritePlan.h"

#include <algorithm>

#include "base/CModelTraits.h"
#include "base/TextNumber.h"

namespace kvl::points {

StepRecord StepWireValues::ToRecord() const
{
    StepRecord record;
    record.step = wireStep;
    record.mode = abs ? 1 : 0;
    record.position = position;
    record.speed = speed;
    record.acc = acc;
    record.dcc = dcc;
    record.push = push;
    record.threshold = threshold;
    record.range = posRange;
    record.areaA = pAreaA;
    record.areaB = pAreaB;
    record.accDecMode = accDecMode;
    record.stopMode = stopMode;
    record.standardTime = stdTime;
    record.repeat = repeat;
    record.jump = wireJump;
    return record;
}

StepWireValues CPointWritePlan::WireValues(const CKVL_VER2_ProgData &record, int step, const CStepTexts &texts)
{
    StepWireValues v;
    v.wireStep = step + 1;
    const std::string &mode = record.Mode();
    v.abs = mode == "ABS" || mode == "A" || (!texts.modeTexts[0].empty() && mode == texts.modeTexts[0]);
    v.position = LeadingReal(record.FieldText(kColPosition));
    v.speed = record.Speed();
    v.acc = LeadingReal(record.FieldText(kColAcc));
    v.dcc = LeadingReal(record.FieldText(kColDcc));
    v.push = record.Push();
    v.threshold = record.Threshold();
    v.posRange = LeadingReal(record.FieldText(kColPosRange));
    v.pAreaA = LeadingReal(record.FieldText(kColPAreaA));
    v.pAreaB = LeadingReal(record.FieldText(kColPAreaB));
    v.accDecMode = record.AccDecMode();
    v.stopMode = record.StopMode();
    v.stdTime = record.StdTime();
    v.repeat = record.Repeat();
    v.wireJump = record.Jump() == "E" ? 0 : LeadingInt(record.Jump()) + 1;
    return v;
}

CPointWritePlan CPointWritePlan::Build(CPointTable &table, int pushLimit)
{
    table.EnsureDriverSized();
    const bool checkPush = CModelTraits::Of(table.Rules().Context().model).HasPushLimit();
    CPointWritePlan plan;
    for (int step = 0; step < table.StepCount(); ++step) {
        const CKVL_VER2_ProgData &w = table.Working(step);
        const CKVL_VER2_ProgData &d = table.Driver(step);
        if (w.IsEmpty()) {
            if (!d.IsEmpty())
                plan.m_items.push_back({step, StepWriteAction::Clear, {}, false});
            continue;
        }
        if (!d.IsEmpty() && w.Equals(d, true))
            continue;
        bool complete = true;
        for (int k = kColMode; k <= kColJump; ++k)
            complete = complete && !w.FieldText(k).empty();
        if (!complete) {
            plan.m_items.push_back({step, StepWriteAction::FieldMissing, {}, false});
            continue;
        }
        StepWriteItem item{step, StepWriteAction::Send, WireValues(w, step, table.Rules().Texts()), false};
        item.pushAboveLimit = checkPush && w.Push() > pushLimit;
        plan.m_items.push_back(item);
    }
    return plan;
}

void CPointWritePlan::ApplyResult(CPointTable &table, const StepWriteItem &item, bool succeeded)
{
    if (!succeeded || !table.IsStep(item.step))
        return;
    if (item.action == StepWriteAction::Clear) {
        table.SetDriverEmpty(item.step);
    } else if (item.action == StepWriteAction::Send) {
        table.SetDriver(item.step, table.Working(item.step));
        for (int k = kColMode; k <= kColJump; ++k)
            table.SetMarked(item.step, k, false);
    }
}

bool CPointWritePlan::HasFieldMissing() const
{
    return std::any_of(m_items.begin(), m_items.end(),
                       [](const StepWriteItem &i) { return i.action == StepWriteAction::FieldMissing; });
}

bool CPointWritePlan::PushAboveLimit() const
{
    return std::any_of(m_items.begin(), m_items.end(), [](const StepWriteItem &i) { return i.pushAboveLimit; });
}

std::vector<StepMessage> CPointWritePlan::Messages() const
{
    std::vector<StepMessage> messages;
    if (HasFieldMissing())
        messages.push_back({"IDS_WRITE_ERR", "COMMON"});
    if (PushAboveLimit())
        messages.push_back({"IDS_WARNMSG_PUSH_OUTRANGE", "IDD_KVL_VER2_PMTLIST_DIALOG"});
    return messages;
}

} // namespace kvl::points
