// kvlctl points read|write|clear: the point table of an axis and its CSV file.
#include <algorithm>
#include <fstream>
#include <sstream>

#include "base/CModelTraits.h"
#include "cli/CCliSession.h"
#include "cli/CProgressLine.h"
#include "cli/CliCommands.h"
#include "cli/CliFormat.h"
#include "config/CAppSettings.h"
#include "config/CIniEx.h"
#include "config/TextLines.h"
#include "config/CSaveFailure.h"
#include "link/CCommImplement.h"
#include "link/ResultCode.h"
#include "params/ParamNumbers.h"
#include "points/CPointCsv.h"
#include "points/CPointCsvCheck.h"
#include "points/CPointTable.h"
#include "points/CPointTableSetup.h"
#include "points/CPointWritePlan.h"
#include "points/CStepRules.h"
#include "protocol/CBusScanner.h"
#include "protocol/CServoCommands.h"

namespace kvl::cli {
namespace {

using namespace kvl::points;

constexpr int kTimeoutMs = CServoCommands::kTimeoutMs;
// The CLI shows no grid: steps keep every decimal the controller's resolution holds.
constexpr int kFinestDecimals = 2;

// The language texts the step rules and the CSV header use, as bytes of the language's code page.
CStepTexts StepTexts(CCliSession &session, const std::string &model)
{
    if (!session.SettingsLoaded())
        return CStepTexts{};
    return CPointTableSetup::Texts(session.Settings(), model);
}

// Text of (key, section) or the built-in wording when the language file has none.
std::string Message(CCliSession &session, const std::string &key, const std::string &section,
                    const std::string &builtIn)
{
    const std::string text = session.Text(key, section);
    return text.empty() ? builtIn : text;
}

struct AxisTable {
    std::string model;
    CStepContext context;
};

// Model and operation type of the axis: what decides the record form and the step count.
int ReadAxisTable(CCliSession &session, uint8_t axis, AxisTable &table)
{
    DeviceIdentity identity;
    int result = session.Identify(axis, identity);
    if (result != kResultOk)
        return session.FailIdentify(axis, result);
    result = CPointTableSetup::ReadOnlineContext(session.Commands(), axis, identity.model, kFinestDecimals,
                                                 table.context);
    if (result != kResultOk)
        return session.Fail(axis, "read operation type (parameter 36)", result, kTimeoutMs);
    table.model = identity.model;
    if (session.SettingsLoaded())
        CPointTableSetup::ReadStoredLimits(session.Settings(), table.context);
    return CCliSession::kExitOk;
}

// Hands the bytes of the bulk read to a progress line while the read runs.
class BulkReadProgressScope {
public:
    BulkReadProgressScope(CCommImplement &facade, CProgressLine &progress) : m_facade(facade)
    {
        LinkHooks hooks = m_facade.Hooks();
        hooks.bulkReadProgress = [&progress](int received) { progress.Bytes(received); };
        m_facade.SetHooks(std::move(hooks));
    }
    ~BulkReadProgressScope()
    {
        LinkHooks hooks = m_facade.Hooks();
        hooks.bulkReadProgress = nullptr;
        m_facade.SetHooks(std::move(hooks));
    }
    BulkReadProgressScope(const BulkReadProgressScope &) = delete;
    BulkReadProgressScope &operator=(const BulkReadProgressScope &) = delete;

private:
    CCommImplement &m_facade;
};

// Reads the controller's table into both the working table and the driver copy. A read the
// controller refused or ended early (result 0) is no table: `consequence` says what was left undone.
int ReadControllerTable(CCliSession &session, uint8_t axis, const AxisTable &axisTable, CPointTable &table,
                        const std::string &consequence)
{
    std::vector<std::string> lines;
    int result = kResultOk;
    {
        CProgressLine progress(session.Err(), session.ErrIsTerminal(), "reading the point table");
        BulkReadProgressScope hook(session.Facade(), progress);
        result = session.Commands().ReadAllSteps(axisTable.model, lines, axis, kTimeoutMs);
    }
    if (result == kResultRefused)
        return session.FailAxis(axis, "read point table: the controller refused the read or ended it "
                                      "before the end of its table (0); " + consequence);
    if (result != kResultOk)
        return session.Fail(axis, "read point table", result, kTimeoutMs);
    std::string joined;
    for (const auto &line : lines)
        joined += line + "\n";
    table.ImportReadLines(joined);
    return CCliSession::kExitOk;
}

int RunRead(CCliSession &session, uint8_t axis, const std::string &path)
{
    AxisTable axisTable;
    if (int code = ReadAxisTable(session, axis, axisTable))
        return code;
    const CStepRules rules(axisTable.context, StepTexts(session, axisTable.model));
    CPointTable table(rules);
    table.Reset(false);
    const std::string target = CPointCsv::WithDefaultExtension(path);
    if (int code = ReadControllerTable(session, axis, axisTable, table, "no file was written"))
        return code;
    if (!CPointCsv::Save(table, target))
        return session.FailText(CSaveFailure::Last(target).CliText());
    int defined = 0;
    for (int s = 0; s < table.StepCount(); ++s)
        defined += table.Working(s).IsEmpty() ? 0 : 1;
    if (session.Json())
        session.PrintJson({{"axis", axis}, {"file", target}, {"steps", defined}, {"tableSize", table.StepCount()}});
    else
        session.Result("read " + Count(defined, "step", "steps") + " of " + std::to_string(table.StepCount()) +
                       " into " + target);
    return CCliSession::kExitOk;
}

// The refusals of a write: servo on, or the controller running its program in automatic mode.
int CheckWritable(CCliSession &session, uint8_t axis)
{
    uint8_t servo = 0;
    int result = session.Commands().ReadServoState(servo, axis, kTimeoutMs);
    if (result != kResultOk)
        return session.Fail(axis, "read servo state", result, kTimeoutMs);
    if (servo)
        return session.FailAxis(axis, Message(session, "IDS_WARN_SERVOON_PROG_INPUT", "COMMON",
                                        "the servo is on: switch it off before writing the point table"));
    uint8_t manual = 1;
    result = session.Commands().ReadRunMode(manual, axis, kTimeoutMs);
    if (result == kResultOk && manual == 0)
        return session.FailAxis(axis, Message(session, "ID_PROG_WRITE_WARN_AUTO", CPointTableSetup::kTextSection,
                                        "the controller is in automatic mode: writing is refused"));
    return CCliSession::kExitOk;
}

// "axis 0: line 5, step 3: Speed 99999 was limited to 2000 (the rule's message)" for each value
// the step rules changed on the way in.
void ReportLimited(CCliSession &session, uint8_t axis, const std::vector<CsvLimitedValue> &limited)
{
    for (const CsvLimitedValue &value : limited) {
        session.Err() << "kvlctl: " << AxisLabel(axis) << (value.refused ? ": " : ": warning: ") << "line "
                      << value.line << ", step " << value.step << ": " << CPointCsvCheck::ColumnName(value.column)
                      << (value.refused ? " \"" + value.given + "\" is no number"
                                        : ' ' + value.given + " was limited to " + value.taken);
        const std::string why = value.message.key.empty() ? std::string()
                                                          : session.Text(value.message.key, value.message.section);
        if (!why.empty())
            session.Err() << " (" << why << ')';
        session.Err() << '\n';
    }
}

// Loads the file into the working table: strictly (a point table or nothing, values through the
// step rules), or with --force as the window's Open loads it.
int LoadFile(CCliSession &session, uint8_t axis, const std::string &path, bool force, CPointTable &table,
             int &limitedCount)
{
    CCodePageText file;
    const CsvLoadResult opened = CPointCsv::ReadFile(path, CPointCsv::CodePageOf(table), file);
    if (opened != CsvLoadResult::Loaded) {
        const StepMessage message = CPointCsv::LoadFailureMessage(opened);
        return session.FailText("cannot read " + path + ": " +
                                Message(session, message.key, message.section, "file operation failed"));
    }
    const std::string content = file.ToUtf8();
    if (EndsMidLine(content))
        return session.FailAxis(axis, path + " line " + std::to_string(SplitTextLines(content).size()) +
                                          ": the file ends in the middle of this line (cut short?); nothing was written");
    if (force) {
        // As the window's Open loads it: lines that do not fit are skipped, values limited; a
        // value that is no number at all refuses the whole write, as its cell would be a guess.
        std::vector<CsvLimitedValue> limited;
        CPointCsv::LoadText(table, content, &limited);
        const auto refused = std::count_if(limited.begin(), limited.end(),
                                           [](const CsvLimitedValue &value) { return value.refused; });
        ReportLimited(session, axis, limited);
        if (refused > 0)
            return session.FailAxis(axis, path + ": " + std::to_string(refused) +
                                              (refused == 1 ? " value is" : " values are") +
                                              " no number; nothing was written");
        limitedCount = static_cast<int>(limited.size());
        return CCliSession::kExitOk;
    }
    const CsvCheckReport report = CPointCsvCheck::Load(table, content);
    if (!report.accepted) {
        const std::string where = report.line > 0 ? " line " + std::to_string(report.line) : std::string();
        return session.FailAxis(axis, path + where + ": " + report.reason + "; nothing was written");
    }
    ReportLimited(session, axis, report.limited);
    limitedCount = static_cast<int>(report.limited.size());
    return CCliSession::kExitOk;
}

int RunWrite(CCliSession &session, uint8_t axis, const std::string &path, bool force)
{
    if (int code = CheckWritable(session, axis))
        return code;
    AxisTable axisTable;
    if (int code = ReadAxisTable(session, axis, axisTable))
        return code;
    const CStepRules rules(axisTable.context, StepTexts(session, axisTable.model));
    CPointTable table(rules);
    table.Reset(false);
    // Only the steps that differ from what the controller holds are sent.
    if (int code = ReadControllerTable(session, axis, axisTable, table, "nothing was written"))
        return code;
    int limited = 0;
    if (int code = LoadFile(session, axis, path, force, table, limited))
        return code;
    int32_t pushLimit = 0;
    if (CModelTraits::Of(axisTable.model).HasPushLimit()) {
        const int result = session.Commands().ReadParameter(kParamPushLimit, pushLimit, axis, kTimeoutMs);
        if (result != kResultOk)
            return session.Fail(axis, "read push limit (parameter 151)", result, kTimeoutMs);
    }
    CPointWritePlan plan = CPointWritePlan::Build(table, pushLimit);
    int sent = 0, cleared = 0, failed = 0, done = 0;
    CProgressLine progress(session.Err(), session.ErrIsTerminal(), "writing steps");
    const int total = static_cast<int>(plan.Items().size());
    for (const StepWriteItem &item : plan.Items()) {
        progress.Count(++done, total);
        int result = kResultOk;
        if (item.action == StepWriteAction::FieldMissing)
            continue;
        if (item.action == StepWriteAction::Clear)
            result = session.Commands().WriteStepValues(item.step + 1, StepRecord{}, axis, kTimeoutMs);
        else
            result = session.Commands().WriteStep(item.values.ToRecord(), axisTable.model, axis, kTimeoutMs);
        CPointWritePlan::ApplyResult(table, item, result == kResultOk);
        if (result != kResultOk) {
            ++failed;
            progress.Done();
            session.Fail(axis, "write step " + std::to_string(item.step), result, kTimeoutMs);
        } else {
            ++(item.action == StepWriteAction::Clear ? cleared : sent);
        }
    }
    progress.Done();
    for (const StepMessage &message : plan.Messages()) {
        const std::string text = session.Text(message.key, message.section);
        session.Err() << "kvlctl: " << AxisLabel(axis) << ": "
                      << (text.empty() ? (message.key == "IDS_WRITE_ERR" ? "a step with an empty field was not written"
                                                                         : "a push value is above the push limit")
                                       : text)
                      << '\n';
    }
    if (session.Json())
        session.PrintJson({{"axis", axis}, {"sent", sent}, {"cleared", cleared}, {"failed", failed},
                           {"limited", limited}, {"fieldMissing", plan.HasFieldMissing()}, {"pushAboveLimit", plan.PushAboveLimit()}});
    else
        session.Result("wrote " + Count(sent, "step", "steps") + ", cleared " + std::to_string(cleared) +
                       ", failed " + std::to_string(failed));
    return (failed || plan.HasFieldMissing()) ? CCliSession::kExitFailure : CCliSession::kExitOk;
}

int RunClear(CCliSession &session, uint8_t axis)
{
    const int result = session.Commands().ClearPointTable(axis, kTimeoutMs);
    if (result != kResultOk)
        return session.Fail(axis, "clear point table", result, kTimeoutMs);
    if (session.Json())
        session.PrintJson({{"axis", axis}, {"cleared", true}});
    else
        session.Out() << "point table cleared\n";
    return CCliSession::kExitOk;
}

int RunPoints(CCliSession &session, const CCliArgs &args)
{
    const std::string &action = args.Word(1);
    const bool needsFile = action == "read" || action == "write";
    if ((!needsFile && action != "clear") || (needsFile && args.Word(3).empty()))
        return session.Usage("points read|write AXIS FILE.csv, or points clear AXIS");
    if (action == "write" && !session.InputFileReadable(args.Word(3)))
        return CCliSession::kExitFailure;
    uint8_t axis = 0;
    int exitCode = 0;
    if (!session.OpenAxis(2, axis, exitCode))
        return exitCode;
    if (action == "read")
        return RunRead(session, axis, args.Word(3));
    if (action == "write")
        return RunWrite(session, axis, args.Word(3), args.Flag("force"));
    return RunClear(session, axis);
}

} // namespace

std::vector<CliCommand> PointCommands()
{
    return {
        {"points", "points read|write AXIS FILE.csv [--force] | points clear AXIS",
         "read the point table into a CSV file, write a CSV file to the controller, or clear it",
         "read   reads the whole table and saves it in the point-table CSV format.\n"
         "write  loads the CSV file and sends only the steps that differ from the controller's table;\n"
         "       refused while the servo is on or the controller runs in automatic mode. The file must\n"
         "       be a point table (header line, then one line per step whose fields parse); values\n"
         "       pass the step rules of the axis window and each limited value is listed. --force\n"
         "       loads the file as the window's Open does (lines that do not fit are skipped, values\n"
         "       limited and listed); a value that is no number (nan, 1e308, 12abc) is named and\n"
         "       nothing is written.\n"
         "clear  clears the controller's table.\n\n"
         "examples: kvlctl points read 0 table.csv\n          kvlctl points write 0 table.csv",
         RunPoints},
    };
}

} // namespace kvl::cli
