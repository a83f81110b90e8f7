#include "params/CParamReadAll.h"

#include <algorithm>

#include "base/TextNumber.h"
#include "config/CIniEx.h"
#include "link/ResultCode.h"
#include "params/CParamRules.h"
#include "params/CPollingPause.h"
#include "params/ParamNumbers.h"
#include "protocol/CServoCommands.h"

namespace kvl::params {

namespace {


void LogFailure(const CCommErrorLog *log, int result)
{
    if (log)
        log->Append(result);
}

} // namespace

ParamOutcome CParamReadAll::ReadOne(CServoCommands &commands, const ParamTarget &target,
                                    int number, CParamData &record, const CCommErrorLog *log,
                                    int attempts, int silentAfter, int &timeoutsInRow)
{
    ParamOutcome outcome{number, kResultTimeout, 0};
    const bool isText = record.GetType() == CParamData::kTypeText;
    while (outcome.attempts < std::max(attempts, 1)) {
        ++outcome.attempts;
        if (isText) {
            std::string model, version, name;
            outcome.result = commands.ReadDeviceType(model, version, name, target.address,
                                                     CServoCommands::kTimeoutShortMs);
            if (outcome.result == kResultOk) {
                record.SetTextValue(CParamRules::RecordText(record, name));
                return outcome;
            }
        } else {
            std::int32_t raw = 0;
            outcome.result = commands.ReadParameter(static_cast<std::uint16_t>(number), raw,
                                                    target.address, CServoCommands::kTimeoutMs);
            if (outcome.result == kResultOk) {
                if (CParamRules::ApplyRaw(record, number, target.model, raw))
                    return outcome;
                // A good reply whose value the record cannot take (a selection index it does
                // not have) will not change on asking again.
                outcome.result = kResultBadReply;
                LogFailure(log, outcome.result);
                return outcome;
            }
        }
        LogFailure(log, outcome.result);
        timeoutsInRow = outcome.result == kResultTimeout ? timeoutsInRow + 1 : 0;
        if (silentAfter > 0 && timeoutsInRow >= silentAfter)
            return outcome;
    }
    return outcome;
}

void CParamReadAll::FollowCurrentLimitMax(const ParamTarget &target, CParamListPair &lists,
                                          const ReadAllReport &report, CIniEx *store)
{
    const auto readWell = [&report](int number) {
        return std::any_of(report.outcomes.begin(), report.outcomes.end(), [number](const ParamOutcome &o) {
            return o.number == number && o.result == kResultOk;
        });
    };
    const CParamData &limitMax = lists.Driver().At(kParamCurrentLimitMax);
    if (!readWell(kParamCurrentLimitMax) || limitMax.GetType() != CParamData::kTypeInteger)
        return;
    const int limit = limitMax.IntValue();
    for (CParamList *list : {&lists.Driver(), &lists.File()})
        CParamRules::SetUpperLimit(list->At(kParamCurrentLimit), limit);
    // Parameter 12's "Value" went in limited to the range it had before this controller's own.
    const CParamData &limited = lists.Driver().At(kParamCurrentLimit);
    if (store && readWell(kParamCurrentLimit))
        store->SetString(FormatInt(kParamCurrentLimit), CParamList::kKeyValue,
                         CParamRules::ValueText(limited, kParamCurrentLimit, target.decimalsSetting,
                                                true)
                             .Bytes());
}

ReadAllReport CParamReadAll::Run(CServoCommands &commands, const ParamTarget &target,
                                 CParamListPair &lists, const ReadAllOptions &options)
{
    CPollingPause pause(options.values);
    ReadAllReport report;
    const int count =
        CParamRules::ParameterCount(target.model, CParamRules::VersionText(target.version));
    const bool followsMax = CParamRules::CurrentLimitFollowsMax(target.model);
    const auto named = [&options](int number) {
        return std::find(options.only.begin(), options.only.end(), number) != options.only.end();
    };
    // Parameter 12's range is this controller's parameter 102: read it along with 12.
    const bool withLimitMax = followsMax && named(kParamCurrentLimit);
    std::vector<int> numbers;
    for (const int number : CParamRules::Numbers(count)) {
        const bool wanted = options.only.empty() || named(number) ||
                            (withLimitMax && number == kParamCurrentLimitMax);
        if (wanted && !lists.Driver().At(number).IsEmpty())
            numbers.push_back(number);
    }
    const CCodePageText operationTypeBefore =
        lists.Driver().At(kParamOperationType).SelectedText();

    const int total = static_cast<int>(numbers.size());
    report.asked = total;
    int timeoutsInRow = 0;
    int i = 0;
    for (; i < total && !report.silent; ++i) {
        const int number = numbers[static_cast<std::size_t>(i)];
        CParamData &driver = lists.Driver().At(number);
        // Read into a copy so that a parameter that fails keeps all its old values.
        CParamData read = driver;
        const ParamOutcome outcome =
            ReadOne(commands, target, number, read, options.log, options.attempts, options.silentAfterTimeouts,
                    timeoutsInRow);
        report.outcomes.push_back(outcome);
        if (outcome.result != kResultTimeout)
            timeoutsInRow = 0; // the controller answered
        if (outcome.result == kResultOk) {
            driver = read;
            CParamListPair::CopyValue(driver, lists.File().At(number));
            if (options.store)
                options.store->SetString(
                    FormatInt(number), CParamList::kKeyValue,
                    CParamRules::ValueText(driver, number, target.decimalsSetting, true).Bytes());
            if (number == kParamJogSpeed)
                report.notices.push_back({ParamNotice::Kind::JogSpeedChanged, false, {}});
            else if (number == kParamFeedAmount)
                report.notices.push_back({ParamNotice::Kind::FeedAmountChanged, false, {}});
            else if (number == kParamOperationType &&
                     driver.SelectedText() != operationTypeBefore)
                report.notices.push_back({ParamNotice::Kind::OperationTypeChanged, false, {}});
        } else {
            ++report.failures;
            report.notRead.push_back(number);
            report.silent = options.silentAfterTimeouts > 0 && timeoutsInRow >= options.silentAfterTimeouts;
        }
        if (options.progress)
            options.progress(i + 1, total);
    }
    // Those the run did not come to after the controller fell silent.
    report.notRead.insert(report.notRead.end(), numbers.begin() + i, numbers.end());
    if (followsMax)
        FollowCurrentLimitMax(target, lists, report, options.store);
    if (options.store)
        report.storeSaved = options.store->Save();
    if (report.failures > 0)
        report.message = {"IDS_WARNMSG_READPARAM", kSectionCommonUpper};
    return report;
}

} // namespace kvl::params
