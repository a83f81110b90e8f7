#include "params/CParamWriter.h"

#include <cmath>
#include <string>

#include "base/CEventLog.h"
#include "base/TextNumber.h"
#include "config/CIniEx.h"
#include "link/ResultCode.h"
#include "params/CParamListRules.h"
#include "params/CParamRules.h"
#include "params/CPollingPause.h"
#include "params/ParamNumbers.h"
#include "protocol/CServoCommands.h"
#include "protocol/ServoTypes.h"

namespace kvl::params {

namespace {

constexpr std::uint8_t kRunModeAutomatic = 0;
constexpr std::uint8_t kServoOffDone = 1;

bool IsNumericOrSelection(const CParamData &record)
{
    const int type = record.GetType();
    return type == CParamData::kTypeInteger || type == CParamData::kTypeReal ||
           type == CParamData::kTypeSelection;
}

// An integer value of an integer or real record (reals truncated toward zero).
int WholeValue(const CParamData &record)
{
    if (record.GetType() == CParamData::kTypeReal)
        return static_cast<int>(std::trunc(record.RealValue()));
    return record.IntValue();
}

std::string SectionName(int number)
{
    return FormatInt(number);
}

// The parameter's "Value" text as the list stores it after an exchange.
void StoreValue(CIniEx *store, const ParamTarget &target, int number, const CParamData &record)
{
    if (store)
        store->SetString(SectionName(number), CParamList::kKeyValue,
                         CParamRules::ValueText(record, number, target.decimalsSetting, true).Bytes());
}

void AddMessage(WriteReport &report, ParamMessage message)
{
    for (const ParamMessage &shown : report.messages) {
        if (shown == message)
            return;
    }
    report.messages.push_back(std::move(message));
}

} // namespace

int CParamWriter::ReadAxisFlags(CServoCommands &commands, std::uint8_t address, bool &servoOn,
                                bool &programActive)
{
    std::uint8_t servo = 0;
    int result = commands.ReadServoState(servo, address, CServoCommands::kTimeoutMs);
    if (result != kResultOk)
        return result;
    OperationStatus status;
    result = commands.ReadOperationStatus(status, address, CServoCommands::kTimeoutMs);
    if (result != kResultOk)
        return result;
    servoOn = servo != 0;
    programActive = status.ProgramRunning() || status.Paused();
    return kResultOk;
}

bool CParamWriter::NeedsCaution(const CParamListPair &lists, int count, bool servoOn,
                                bool programActive)
{
    if (!servoOn)
        return false;
    for (const int number : CParamRules::Numbers(count)) {
        const CParamData &file = lists.File().At(number);
        if (!IsNumericOrSelection(file) ||
            !CParamListRules::WriteDiffers(lists.Driver().At(number), file))
            continue;
        const int caution = file.WriteCaution();
        if (caution == CParamData::kCautionServoOn ||
            (caution == CParamData::kCautionProgramActive && programActive))
            return true;
    }
    return false;
}

std::vector<int> CParamWriter::PendingNumbers(const CParamListPair &lists, int count, int level)
{
    std::vector<int> numbers;
    for (const int number : CParamRules::Numbers(count)) {
        const CParamData &driver = lists.Driver().At(number);
        const CParamData &file = lists.File().At(number);
        if (driver.IsEmpty() || !CParamListRules::MayWrite(file, level))
            continue;
        if (CParamListRules::WriteDiffers(driver, file))
            numbers.push_back(number);
    }
    return numbers;
}

int CParamWriter::PushCheckSteps(int ioMode)
{
    return CModelTraits::StepCount(ioMode);
}

int CParamWriter::WriteOne(CServoCommands &commands, const ParamTarget &target, int number,
                           const CParamData &record)
{
    if (record.GetType() == CParamData::kTypeText) {
        std::uint8_t status = 0;
        const int result = commands.WriteDeviceName(record.TextValue().Bytes(), status, target.address,
                                                    CServoCommands::kTimeoutMs);
        // The controller answers a name it did not take with a zero status.
        if (result == kResultOk && status == 0)
            return kResultBadReply;
        return result;
    }
    std::int32_t raw = 0;
    if (!CParamRules::RawFromRecord(record, number, target.model, raw))
        return kResultBadReply;
    return commands.WriteParameter(static_cast<std::uint16_t>(number), raw, target.address,
                                   CServoCommands::kTimeoutMs);
}

void CParamWriter::AfterGoodWrite(const ParamTarget &target, int number, CParamListPair &lists,
                                  CIniEx *store, WriteReport &report)
{
    CParamData &driver = lists.Driver().At(number);
    const CParamData &file = lists.File().At(number);
    CParamListPair::CopyValue(file, driver);
    StoreValue(store, target, number, driver);
    if (number == kParamJogSpeed)
        report.notices.push_back({ParamNotice::Kind::JogSpeedChanged, false, {}});
    else if (number == kParamFeedAmount)
        report.notices.push_back({ParamNotice::Kind::FeedAmountChanged, false, {}});
    else if (driver.GetType() == CParamData::kTypeText)
        report.notices.push_back(
            {ParamNotice::Kind::DeviceNameChanged, false, driver.TextValue()});
}

void CParamWriter::ApplyCurrentLimitMax(CServoCommands &commands, const ParamTarget &target,
                                        CParamListPair &lists, CIniEx *store, WriteReport &report)
{
    const CParamData &limitRecord = lists.Driver().At(kParamCurrentLimitMax);
    if (limitRecord.IsEmpty())
        return;
    const int limit = WholeValue(limitRecord);
    // The new limit is this controller's: it goes into its lists, not into the model's shared
    // file, where it would lower parameter 12 of every other controller of the model.
    for (CParamList *list : {&lists.Driver(), &lists.File()}) {
        if (!CParamRules::SetUpperLimit(list->At(kParamCurrentLimit), limit))
            return;
    }

    CParamData &driver = lists.Driver().At(kParamCurrentLimit);
    CParamData &file = lists.File().At(kParamCurrentLimit);
    if (driver.IntValue() <= limit) {
        if (file.IntValue() > limit)
            file.SetIntValue(limit);
        return;
    }
    const int result = commands.WriteParameter(kParamCurrentLimit, limit, target.address,
                                               CServoCommands::kTimeoutMs);
    report.outcomes.push_back({kParamCurrentLimit, result, 1});
    if (result != kResultOk) {
        ++report.failures;
        AddMessage(report, {"ID_PMT_WRITE_FAILED", kSectionList});
        return;
    }
    driver.SetIntValue(limit);
    if (file.IntValue() > limit)
        file.SetIntValue(limit);
    StoreValue(store, target, kParamCurrentLimit, driver);
    AddMessage(report, {"IDS_INPUT_CHK_6", kSectionCommon});
}

void CParamWriter::CheckPushLimit(const CParamListPair &lists, const WriteOptions &options,
                                  WriteReport &report)
{
    if (!options.pushAbove)
        return;
    const int limit = options.store
                          ? options.store->GetInt(SectionName(kParamPushLimit),
                                                  CParamList::kKeyValue, 0)
                          : WholeValue(lists.Driver().At(kParamPushLimit));
    const CParamData &operationType = lists.Driver().At(kParamOperationType);
    const int ioMode = operationType.GetType() == CParamData::kTypeSelection
                           ? operationType.SelectedIndex()
                           : operationType.IntValue();
    if (options.pushAbove(limit, PushCheckSteps(ioMode)))
        AddMessage(report, {"IDS_WARNMSG_PUSH_OUTRANGE", kSectionList});
}

WriteReport CParamWriter::Run(CServoCommands &commands, const ParamTarget &target,
                              CParamListPair &lists, const WriteOptions &options)
{
    const WriteReport report = RunWrites(commands, target, lists, options);
    LogReport(target, report);
    return report;
}

void CParamWriter::LogReport(const ParamTarget &target, const WriteReport &report)
{
    std::string text = "axis " + std::to_string(target.address) + " (" + target.model + "): ";
    switch (report.status) {
    case WriteStatus::RefusedAutomatic:
        text += "parameters not written: the controller runs in automatic mode";
        break;
    case WriteStatus::Cancelled:
        text += "parameters not written: the caution was declined";
        break;
    case WriteStatus::ServoOffFailed:
        text += "parameters not written: the servo did not switch off";
        break;
    case WriteStatus::Done: {
        const int written = static_cast<int>(report.outcomes.size()) - report.failures;
        text += "wrote " + std::to_string(written) + (written == 1 ? " parameter" : " parameters");
        if (report.failures > 0) {
            text += ", " + std::to_string(report.failures) + " not taken:";
            for (const ParamOutcome &outcome : report.outcomes) {
                if (outcome.result != kResultOk)
                    text += " " + std::to_string(outcome.number) + " (" + ResultText(outcome.result) + ")";
            }
        }
        break;
    }
    }
    CEventLog::Write("write", text);
}

WriteReport CParamWriter::RunWrites(CServoCommands &commands, const ParamTarget &target,
                                    CParamListPair &lists, const WriteOptions &options)
{
    CPollingPause pause(options.values);
    WriteReport report;
    std::uint8_t manual = 1;
    if (commands.ReadRunMode(manual, target.address, CServoCommands::kTimeoutMs) == kResultOk &&
        manual == kRunModeAutomatic) {
        report.status = WriteStatus::RefusedAutomatic;
        report.messages.push_back({"ID_PMT_WRITE_WARN_AUTO", kSectionList});
        return report;
    }

    const int count =
        CParamRules::ParameterCount(target.model, CParamRules::VersionText(target.version));
    if (NeedsCaution(lists, count, options.servoOn, options.programActive)) {
        report.cautionAsked = true;
        if (!options.confirmCaution ||
            !options.confirmCaution({"ID_PMT_WRITE_WARN", kSectionList})) {
            report.status = WriteStatus::Cancelled;
            return report;
        }
        std::uint8_t status = 0;
        if (commands.ServoOff(status, target.address, CServoCommands::kTimeoutMs) != kResultOk ||
            status != kServoOffDone) {
            report.status = WriteStatus::ServoOffFailed;
            return report;
        }
    }

    const std::vector<int> numbers = PendingNumbers(lists, count, target.accessLevel);
    bool operationTypeWritten = false;
    bool directionWritten = false;
    bool currentLimitMaxWritten = false;
    bool lastParameterWritten = false;
    const int total = static_cast<int>(numbers.size());
    for (int i = 0; i < total; ++i) {
        const int number = numbers[static_cast<std::size_t>(i)];
        const int result = WriteOne(commands, target, number, lists.File().At(number));
        report.outcomes.push_back({number, result, 1});
        if (result == kResultOk) {
            AfterGoodWrite(target, number, lists, options.store, report);
            operationTypeWritten |= number == kParamOperationType;
            directionWritten |= number == kParamDirection;
            currentLimitMaxWritten |= number == kParamCurrentLimitMax;
            lastParameterWritten |= number == count;
        } else {
            ++report.failures;
        }
        if (options.progress)
            options.progress(i + 1, total);
    }

    if (operationTypeWritten)
        report.notices.push_back({ParamNotice::Kind::OperationTypeChanged, true, {}});
    if (directionWritten)
        report.notices.push_back({ParamNotice::Kind::DirectionChanged, false, {}});
    if (report.failures > 0)
        AddMessage(report, {"ID_PMT_WRITE_FAILED", kSectionList});

    const CModelTraits model = CModelTraits::Of(target.model);
    if (currentLimitMaxWritten && model.IsMdbOrMdc())
        ApplyCurrentLimitMax(commands, target, lists, options.store, report);
    // Old MDB and MDC firmware (151 parameters) has no push limit to check.
    const bool pushLimitModel = model.HasPushLimit() && (!model.IsMdbOrMdc() || count == CParamRules::kCountMdbMdc);
    if (lastParameterWritten && pushLimitModel)
        CheckPushLimit(lists, options, report);

    if (options.store)
        report.storeSaved = options.store->Save();
    return report;
}

} // namespace kvl::params
