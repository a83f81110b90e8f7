#include "points/CPointTransfer.h"

#include <algorithm>
#include <string>

#include "base/CEventLog.h"
#include "base/CModelTraits.h"
#include "link/ResultCode.h"
#include "params/CPollingPause.h"
#include "points/CPointWritePlan.h"
#include "protocol/CBulkReadWatch.h"
#include "protocol/CServoCommands.h"
#include "protocol/CommandCodes.h"

namespace kvl::points {

namespace {

const StepMessage kConfirmWhileRunning{"IDS_WARNMSG_WRITEPROG", "COMMON"};
const StepMessage kReadFailed{"IDS_WARNMSG_READPROG", "COMMON"};
const StepMessage kServoOnRefusal{"IDS_WARN_SERVOON_PROG_INPUT", "COMMON"};
const StepMessage kAutomaticRefusal{"ID_PROG_WRITE_WARN_AUTO", "IDD_KVL_VER2_PROGSTEP_DIALOG"};
// How a Write ended, said once it is over: %1 steps written, %2 cleared, %3 not written.
const StepMessage kWriteDone{"IDS_WRITE_DONE", "IDD_KVL_VER2_PROGSTEP_DIALOG"};
const StepMessage kWriteNothing{"IDS_WRITE_NOTHING", "IDD_KVL_VER2_PROGSTEP_DIALOG"};
const StepMessage kWritePartly{"IDS_WRITE_PARTLY", "IDD_KVL_VER2_PROGSTEP_DIALOG"};
const StepMessage kWriteNoneSilent{"IDS_WRITE_NONE_SILENT", "IDD_KVL_VER2_PROGSTEP_DIALOG"};
const StepMessage kWriteNoneRefused{"IDS_WRITE_NONE_REFUSED", "IDD_KVL_VER2_PROGSTEP_DIALOG"};
constexpr std::uint8_t kRunModeAutomatic = 0;

} // namespace

CPointTransfer::CPointTransfer(CServoCommands &commands, CAppValues *values, Hooks hooks)
    : m_commands(commands), m_values(values), m_hooks(std::move(hooks))
{
}

int CPointTransfer::ExpectedReadBytes(const std::string &model, int stepCount)
{
    const int frame = CModelTraits::Of(model).UsesLongRecord() ? cmd::kReplyLenStepFrameLong : cmd::kReplyLenStepFrameShort;
    return frame * std::max(stepCount, 0);
}

std::string CPointTransfer::Text(const StepMessage &message) const
{
    return m_hooks.text ? m_hooks.text(message) : std::string();
}

void CPointTransfer::Show(const StepMessage &message) const
{
    const std::string text = Text(message);
    if (!text.empty() && m_hooks.message)
        m_hooks.message(text);
}

bool CPointTransfer::BusyBegin() const
{
    return !m_hooks.busyBegin || m_hooks.busyBegin();
}

void CPointTransfer::BusyEnd() const
{
    if (m_hooks.busyEnd)
        m_hooks.busyEnd();
}

void CPointTransfer::Changed() const
{
    if (m_hooks.changed)
        m_hooks.changed();
}

CPointTransfer::Outcome CPointTransfer::Read(CPointTable &table, const Axis &axis)
{
    if (axis.offline)
        return Outcome::kOffline;
    const params::CPollingPause pause(m_values);
    if (axis.running && m_hooks.confirm && !m_hooks.confirm(Text(kConfirmWhileRunning)))
        return Outcome::kCancelled;
    if (!BusyBegin())
        return Outcome::kBusy;
    std::vector<std::string> lines;
    int result = kResultOk;
    {
        const int expected = ExpectedReadBytes(axis.model, table.StepCount());
        const CBulkReadWatch watch(m_hooks.watchBulkRead, [this, expected](int received) {
            if (m_hooks.progress)
                m_hooks.progress(std::min(received, expected), expected);
        });
        result = m_commands.ReadAllSteps(axis.model, lines, axis.address, kTimeoutMs);
    }
    const std::string who = "axis " + std::to_string(axis.address) + " (" + axis.model + "): ";
    if (result != kResultOk) {
        CEventLog::Write("transfer", who + "point table read failed: " + DescribeResult(result, kTimeoutMs));
        BusyEnd();
        Show(kReadFailed);
        return Outcome::kFailed;
    }
    CEventLog::Write("transfer", who + "point table read (" + std::to_string(lines.size()) + " lines)");
    table.ImportReadLines(lines);
    Changed();
    BusyEnd();
    return Outcome::kDone;
}

CPointTransfer::Outcome CPointTransfer::Write(CPointTable &table, const Axis &axis)
{
    if (axis.offline)
        return Outcome::kOffline;
    m_lastWrite = {};
    const params::CPollingPause pause(m_values);
    if (axis.servoOn) {
        Show(kServoOnRefusal);
        return Outcome::kRefused;
    }
    std::uint8_t manual = 1;
    if (m_commands.ReadRunMode(manual, axis.address, kTimeoutMs) == kResultOk && manual == kRunModeAutomatic &&
        !Text(kAutomaticRefusal).empty()) {
        Show(kAutomaticRefusal);
        return Outcome::kRefused;
    }
    if (!BusyBegin())
        return Outcome::kBusy;
    SendPlan(table, axis);
    BusyEnd();
    return Outcome::kDone;
}

void CPointTransfer::SendPlan(CPointTable &table, const Axis &axis)
{
    // The push limit is parameter 151 as the axis' parameter store holds it.
    const CPointWritePlan plan = CPointWritePlan::Build(table, table.Rules().Context().storedPushLimit);
    const int total = static_cast<int>(plan.Items().size());
    int done = 0;
    for (const StepWriteItem &item : plan.Items()) {
        if (m_hooks.progress)
            m_hooks.progress(++done, total);
        if (item.action == StepWriteAction::FieldMissing) {
            ++m_lastWrite.fieldMissingSteps;
            continue;
        }
        int result = kResultOk;
        if (item.action == StepWriteAction::Clear)
            result = m_commands.WriteStepValues(item.step + 1, StepRecord{}, axis.address, kTimeoutMs);
        else
            result = m_commands.WriteStep(item.values.ToRecord(), axis.model, axis.address, kTimeoutMs);
        CPointWritePlan::ApplyResult(table, item, result == kResultOk);
        if (result != kResultOk) {
            ++m_lastWrite.failed;
            if (result == kResultTimeout)
                ++m_lastWrite.unanswered;
        } else
            ++(item.action == StepWriteAction::Clear ? m_lastWrite.cleared : m_lastWrite.sent);
    }
    m_lastWrite.fieldMissing = plan.HasFieldMissing();
    m_lastWrite.pushAboveLimit = plan.PushAboveLimit();
    CEventLog::Write("write", "axis " + std::to_string(axis.address) + " (" + axis.model + "): point table: " +
                                  std::to_string(m_lastWrite.sent) + " steps written, " +
                                  std::to_string(m_lastWrite.cleared) + " cleared, " +
                                  std::to_string(m_lastWrite.failed) + " failed");
    Changed();
    for (const StepMessage &message : plan.Messages())
        Show(message);
    if (m_lastWrite.failed == 0 && !m_lastWrite.fieldMissing)
        table.KeepEdits(false);
    ShowWriteOutcome();
}

void CPointTransfer::ShowWriteOutcome() const
{
    const WriteReport &report = m_lastWrite;
    const int written = report.sent + report.cleared;
    const int notWritten = report.failed + report.fieldMissingSteps;
    const StepMessage *message = &kWriteDone;
    if (notWritten == 0)
        message = written == 0 ? &kWriteNothing : &kWriteDone;
    else if (written > 0)
        message = &kWritePartly;
    else if (report.failed == 0)
        return; // the plan's own message said which steps lack a field
    else
        message = report.unanswered == report.failed ? &kWriteNoneSilent : &kWriteNoneRefused;
    std::string text = Text(*message);
    if (text.empty() || !m_hooks.message)
        return;
    const int figures[] = {report.sent, report.cleared, notWritten};
    for (int i = 0; i < 3; ++i) {
        const std::string marker = "%" + std::to_string(i + 1);
        for (size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at))
            text.replace(at, marker.size(), std::to_string(figures[i]));
    }
    m_hooks.message(text);
}

} // namespace kvl::points
