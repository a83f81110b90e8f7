// kvlctl points read|write|clear: the point table of an axis and its CSV file.
#include <fstream>
#include <sstream>

#include "app/CBusScanner.h"
#include "cli/CCliSession.h"
#include "cli/CliCommands.h"
#include "cli/CliFormat.h"
#include "config/CAppSettings.h"
#include "link/ResultCode.h"
#include "points/CPointCsv.h"
#include "points/CPointTable.h"
#include "points/CPointWritePlan.h"
#include "points/CStepRules.h"
#include "protocol/CServoCommands.h"

namespace kvl::cli {
namespace {

using namespace kvl::points;

constexpr int kTimeoutMs = CServoCommands::kTimeoutMs;
constexpr uint16_t kParamOperationType = 36;
constexpr uint16_t kParamPushLimit = 151;
constexpr char kStepSection[] = "IDD_KVL_VER2_PROGSTEP_DIALOG";

// The language texts the step rules and the CSV header use, as bytes of the language's code page.
CStepTexts StepTexts(CCliSession &session, const std::string &model)
{
    CStepTexts texts;
    if (!session.SettingsLoaded())
        return texts;
    const CLanguageTexts &language = session.Settings().Texts();
    texts.language = session.Settings().Language();
    auto raw = [&](const std::string &key) { return language.RawText(key, kStepSection); };
    for (int i = 0; i < 2; ++i) {
        texts.modeTexts[i] = raw("ID_TYPE_MODE_" + std::to_string(i));
        texts.speedModeTexts[i] = raw("ID_SPEED_MODE_" + std::to_string(i));
    }
    for (int i = 0; i < kStopModeCount; ++i)
        texts.stopModeTexts[i] = raw("ID_STOP_MODE_" + std::to_string(i));
    texts.checkAbsText = raw("IDC_CHECK_ABS");
    const std::string prefix = model == "MDA-Z" ? "GRID_ZMDA_C" : "GRID_C";
    for (int k = 0; k < kStepColumnCount; ++k)
        texts.columnCaptions[k] = raw(prefix + std::to_string(k + 1));
    return texts;
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
        return session.Fail(axis, "identify", result, CBusScanner::kProbeTimeoutMs);
    int32_t type = 0;
    result = session.Commands().ReadParameter(kParamOperationType, type, axis, kTimeoutMs);
    if (result != kResultOk)
        return session.Fail(axis, "read operation type (parameter 36)", result, kTimeoutMs);
    table.model = identity.model;
    table.context.model = identity.model;
    table.context.online = true;
    table.context.operationType = CStepRules::OperationTypeFromParam36(identity.model, type);
    return CCliSession::kExitOk;
}

// Reads the controller's table into both the working table and the driver copy.
int ReadControllerTable(CCliSession &session, uint8_t axis, const AxisTable &axisTable, CPointTable &table)
{
    std::vector<std::string> lines;
    const int result = session.Commands().ReadAllSteps(axisTable.model, lines, axis, kTimeoutMs);
    if (result != kResultOk && result != kResultRefused)
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
    if (int code = ReadControllerTable(session, axis, axisTable, table))
        return code;
    const std::string target = CPointCsv::WithDefaultExtension(path);
    if (!CPointCsv::Save(table, target))
        return session.FailText("cannot write " + target + ": " +
                                Message(session, "IDS_ERRMSG_FILEOPRATIONFAIL", "Common", "file operation failed"));
    int defined = 0;
    for (int s = 0; s < table.StepCount(); ++s)
        defined += table.Working(s).IsEmpty() ? 0 : 1;
    if (session.Json())
        session.PrintJson({{"axis", axis}, {"file", target}, {"steps", defined}, {"tableSize", table.StepCount()}});
    else
        session.Out() << "read " << defined << " steps of " << table.StepCount() << " into " << target << '\n';
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
        return session.FailText(AxisLabel(axis) + ": " +
                                Message(session, "IDS_WARN_SERVOON_PROG_INPUT", "COMMON",
                                        "the servo is on: switch it off before writing the point table"));
    uint8_t manual = 1;
    result = session.Commands().ReadRunMode(manual, axis, kTimeoutMs);
    if (result == kResultOk && manual == 0)
        return session.FailText(AxisLabel(axis) + ": " +
                                Message(session, "ID_PROG_WRITE_WARN_AUTO", kStepSection,
                                        "the controller is in automatic mode: writing is refused"));
    return CCliSession::kExitOk;
}

StepRecord ToWireRecord(const StepWireValues &v)
{
    StepRecord record;
    record.step = v.wireStep;
    record.mode = v.abs ? 1 : 0;
    record.position = v.position;
    record.speed = v.speed;
    record.acc = v.acc;
    record.dcc = v.dcc;
    record.push = v.push;
    record.threshold = v.threshold;
    record.range = v.posRange;
    record.areaA = v.pAreaA;
    record.areaB = v.pAreaB;
    record.accDecMode = v.accDecMode;
    record.stopMode = v.stopMode;
    record.standardTime = v.stdTime;
    record.repeat = v.repeat;
    record.jump = v.wireJump;
    return record;
}

int RunWrite(CCliSession &session, uint8_t axis, const std::string &path)
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
    if (int code = ReadControllerTable(session, axis, axisTable, table))
        return code;
    const CsvLoadResult loaded = CPointCsv::Load(table, path);
    if (loaded != CsvLoadResult::Loaded) {
        const StepMessage message = CPointCsv::LoadFailureMessage(loaded);
        return session.FailText("cannot read " + path + ": " +
                                Message(session, message.key, message.section, "file operation failed"));
    }
    int32_t pushLimit = 0;
    if (CStepRules::IsLongModel(axisTable.model)) {
        const int result = session.Commands().ReadParameter(kParamPushLimit, pushLimit, axis, kTimeoutMs);
        if (result != kResultOk)
            return session.Fail(axis, "read push limit (parameter 151)", result, kTimeoutMs);
    }
    CPointWritePlan plan = CPointWritePlan::Build(table, pushLimit);
    int sent = 0, cleared = 0, failed = 0;
    for (const StepWriteItem &item : plan.Items()) {
        int result = kResultOk;
        if (item.action == StepWriteAction::FieldMissing)
            continue;
        if (item.action == StepWriteAction::Clear)
            result = session.Commands().WriteStepValues(item.step + 1, StepRecord{}, axis, kTimeoutMs);
        else
            result = session.Commands().WriteStep(ToWireRecord(item.values), axisTable.model, axis, kTimeoutMs);
        CPointWritePlan::ApplyResult(table, item, result == kResultOk);
        if (result != kResultOk) {
            ++failed;
            session.Fail(axis, "write step " + std::to_string(item.step), result, kTimeoutMs);
        } else {
            ++(item.action == StepWriteAction::Clear ? cleared : sent);
        }
    }
    for (const StepMessage &message : plan.Messages()) {
        const std::string text = session.Text(message.key, message.section);
        session.Err() << AxisLabel(axis) << ": "
                      << (text.empty() ? (message.key == "IDS_WRITE_ERR" ? "a step with an empty field was not written"
                                                                         : "a push value is above the push limit")
                                       : text)
                      << '\n';
    }
    if (session.Json())
        session.PrintJson({{"axis", axis}, {"sent", sent}, {"cleared", cleared}, {"failed", failed},
                           {"fieldMissing", plan.HasFieldMissing()}, {"pushAboveLimit", plan.PushAboveLimit()}});
    else
        session.Out() << "wrote " << sent << " steps, cleared " << cleared << ", failed " << failed << '\n';
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
    uint8_t axis = 0;
    int exitCode = 0;
    if (!session.OpenAxis(2, axis, exitCode))
        return exitCode;
    if (action == "read")
        return RunRead(session, axis, args.Word(3));
    if (action == "write")
        return RunWrite(session, axis, args.Word(3));
    return RunClear(session, axis);
}

} // namespace

std::vector<CliCommand> PointCommands()
{
    return {
        {"points", "points read|write AXIS FILE.csv | points clear AXIS",
         "read the point table into a CSV file, write a CSV file to the controller, or clear it",
         "read   reads the whole table and saves it in the point-table CSV format.\n"
         "write  loads the CSV file and sends only the steps that differ from the controller's table;\n"
         "       refused while the servo is on or the controller runs in automatic mode.\n"
         "clear  clears the controller's table.\n\n"
         "examples: kvlctl points read 0 table.csv\n          kvlctl points write 0 table.csv",
         RunPoints},
    };
}

} // namespace kvl::cli
