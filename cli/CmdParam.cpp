// kvlctl param get|set|save|load: the parameters of an axis, in the user's units, and their files.
#include <iomanip>

#include "cli/CCliSession.h"
#include "cli/CProgressLine.h"
#include "cli/CliCommands.h"
#include "cli/CliFormat.h"
#include "config/CAppSettings.h"
#include "config/CCodePage.h"
#include "config/CSaveFailure.h"
#include "link/ResultCode.h"
#include "params/CAxisParamSetup.h"
#include "params/CCommErrorLog.h"
#include "params/CParamEditCheck.h"
#include "params/CParamFile.h"
#include "params/CParamListRules.h"
#include "params/CParamReadAll.h"
#include "params/CParamWriter.h"
#include "protocol/CBusScanner.h"
#include "protocol/CServoCommands.h"

namespace kvl::cli {
namespace {

using namespace kvl::params;

std::string Message(CCliSession &session, const ParamMessage &message, const std::string &builtIn)
{
    const std::string text = message.Empty() ? std::string() : session.Text(message.key, message.section);
    return text.empty() ? builtIn : text;
}

// Identifies the axis and loads its parameter file. Returns an exit code (0 when ready).
int PrepareAxis(CCliSession &session, uint8_t axis, int level, CAxisParamSetup &params)
{
    DeviceIdentity identity;
    const int result = session.Identify(axis, identity);
    if (result != kResultOk)
        return session.FailIdentify(axis, result);
    if (!session.SettingsLoaded() || !params.Open(session.Settings(), axis, identity, level))
        return session.FailText("no parameter file for " + identity.model + " in the system folder" +
                                (session.SettingsProblem().empty() ? std::string(" (is --system right?)")
                                                                   : " (" + session.SettingsProblem() + ")"));
    return CCliSession::kExitOk;
}

// The refusal of a number the axis' model does not have, naming the numbers it has
// ("the MDC has no parameter 60 (MDC: 1-49 and 100-182)").
int FailNoSuchParameter(CCliSession &session, const CAxisParamSetup &params, int number)
{
    return session.FailAxis(params.Target().address, "the " + params.Target().model + " has no parameter " +
                            std::to_string(number) + " (" + params.Target().model + ": " +
                            params.NumberRangesText() + ")");
}

// Reads `numbers` (all when empty) from the controller into both lists.
int ReadFromController(CCliSession &session, CAxisParamSetup &params, const std::vector<int> &numbers)
{
    const CCommErrorLog log(session.LogFolder());
    ReadAllOptions options;
    options.values = &session.Values();
    options.store = &params.Store();
    options.log = &log;
    options.only = numbers;
    CProgressLine progress(session.Err(), session.ErrIsTerminal(), "reading parameters");
    options.progress = [&progress](int done, int total) { progress.Count(done, total); };
    const ReadAllReport report = CParamReadAll::Run(session.Commands(), params.Target(), params.Lists(), options);
    progress.Done();
    for (const ParamOutcome &outcome : report.outcomes) {
        if (outcome.result != kResultOk)
            session.Fail(params.Target().address, "read parameter " + std::to_string(outcome.number), outcome.result,
                         CServoCommands::kTimeoutMs);
    }
    return report.Complete() ? CCliSession::kExitOk : CCliSession::kExitFailure;
}

int LevelOption(CCliSession &session, const CCliArgs &args, int &level)
{
    level = CParamListRules::kLevelNormal;
    if (auto text = args.Option("level");
        text && (!ParseInt(*text, level) || level < 0 || level > CParamListRules::kLevelCustomSp))
        return session.Usage("--level must be 0, 1 or 2");
    return CCliSession::kExitOk;
}

nlohmann::json ParameterJson(const CAxisParamSetup &params, int number)
{
    const CParamData &record = params.Lists().Driver().At(number);
    return {{"number", number},
            {"name", record.DisplayName().ToUtf8()},
            {"value", CParamRules::ValueText(record, number, 0, false).ToUtf8()}, // as the controller holds it
            {"unit", record.UnitName().ToUtf8()}};
}

int RunGet(CCliSession &session, const CCliArgs &args, uint8_t axis)
{
    std::vector<int> numbers;
    for (size_t i = 3; i < args.words.size(); ++i) {
        int n = 0;
        if (!ParseInt(args.words[i], n))
            return session.Usage("parameter numbers are whole numbers: param get AXIS N...");
        numbers.push_back(n);
    }
    if (numbers.empty())
        return session.Usage("param get AXIS N...");
    CAxisParamSetup params;
    if (int code = PrepareAxis(session, axis, CParamListRules::kLevelNormal, params))
        return code;
    for (int n : numbers) {
        if (!params.HasParameter(n))
            return FailNoSuchParameter(session, params, n);
    }
    const int code = ReadFromController(session, params, numbers);
    if (code != CCliSession::kExitOk)
        return code;
    if (session.Json()) {
        nlohmann::json list = nlohmann::json::array();
        for (int n : numbers)
            list.push_back(ParameterJson(params, n));
        session.PrintJson({{"axis", axis}, {"parameters", list}});
        return CCliSession::kExitOk;
    }
    for (int n : numbers) {
        const nlohmann::json p = ParameterJson(params, n);
        session.Out() << std::setw(3) << n << "  " << p["name"].get<std::string>() << " = "
                      << p["value"].get<std::string>();
        const std::string unit = p["unit"].get<std::string>();
        if (!unit.empty() && unit != "-")
            session.Out() << ' ' << unit;
        session.Out() << '\n';
    }
    return CCliSession::kExitOk;
}

// Writes the file list's changed values; the servo caution is a question (--yes answers it).
int WriteChanged(CCliSession &session, CAxisParamSetup &params)
{
    const uint8_t axis = params.Target().address;
    WriteOptions options;
    options.values = &session.Values();
    int result = CParamWriter::ReadAxisFlags(session.Commands(), axis, options.servoOn, options.programActive);
    if (result != kResultOk)
        return session.Fail(axis, "read servo and run state", result, CServoCommands::kTimeoutMs);
    options.store = &params.Store();
    auto answer = CCliPrompt::Answer::kYes;
    options.confirmCaution = [&](const ParamMessage &text) {
        answer = session.Prompt().Ask(AxisLabel(axis),
                                      Message(session, text, "Writing switches the servo off. Continue?"));
        return answer == CCliPrompt::Answer::kYes;
    };
    CProgressLine progress(session.Err(), session.ErrIsTerminal(), "writing parameters");
    options.progress = [&progress](int done, int total) { progress.Count(done, total); };
    const WriteReport report = CParamWriter::Run(session.Commands(), params.Target(), params.Lists(), options);
    progress.Done();
    for (const ParamOutcome &outcome : report.outcomes) {
        if (outcome.result != kResultOk)
            session.Fail(axis, "write parameter " + std::to_string(outcome.number), outcome.result,
                         CServoCommands::kTimeoutMs);
    }
    for (const ParamMessage &message : report.messages)
        session.Note(axis, Message(session, message, message.key));
    switch (report.status) {
    case WriteStatus::RefusedAutomatic:
        return session.FailAxis(axis, "the controller runs in automatic mode: nothing written");
    case WriteStatus::Cancelled:
        // The prompt has said why when nobody could answer.
        return answer == CCliPrompt::Answer::kNoTerminal ? CCliSession::kExitFailure
                                                         : session.FailAxis(axis, "nothing written");
    case WriteStatus::ServoOffFailed:
        return session.FailAxis(axis, "the servo did not switch off: nothing written");
    case WriteStatus::Done:
        break;
    }
    if (session.Json()) {
        nlohmann::json written = nlohmann::json::array();
        for (const ParamOutcome &outcome : report.outcomes)
            written.push_back({{"number", outcome.number}, {"result", outcome.result}});
        session.PrintJson({{"axis", axis}, {"written", written}, {"failures", report.failures}});
    } else {
        session.Result("wrote " +
                       Count(static_cast<long long>(report.outcomes.size()) - report.failures, "parameter",
                             "parameters") +
                       ", failed " + std::to_string(report.failures));
    }
    return report.Complete() ? CCliSession::kExitOk : CCliSession::kExitFailure;
}

int RunSet(CCliSession &session, const CCliArgs &args, uint8_t axis)
{
    int number = 0;
    if (!ParseInt(args.Word(3), number) || args.words.size() < 5)
        return session.Usage("param set AXIS N VALUE");
    int level = 0;
    if (int code = LevelOption(session, args, level))
        return code;
    CAxisParamSetup params;
    if (int code = PrepareAxis(session, axis, level, params))
        return code;
    if (!params.HasParameter(number))
        return FailNoSuchParameter(session, params, number);
    if (int code = ReadFromController(session, params, {number}))
        return code;
    // The value comes in UTF-8; the records hold the language's code page. A selection also
    // takes the index of its choice.
    const CParamData &record = params.Lists().File().At(number);
    CCodePageText text = CCodePageText::FromUtf8(args.Word(4), params.Lists().File().CodePage());
    int index = -1;
    if (record.GetType() == CParamData::kTypeSelection && ParseInt(args.Word(4), index) && index >= 0 &&
        index < record.ChoiceCount())
        text = record.Choices()[static_cast<size_t>(index)];
    auto answer = CCliPrompt::Answer::kYes;
    const auto confirm = [&](const ParamMessage &message, const ParamMessage &) {
        answer = session.Prompt().Ask(AxisLabel(axis), Message(session, message, message.key));
        return answer == CCliPrompt::Answer::kYes;
    };
    const EditResult edit = CParamEditCheck::Commit(params.Lists().File(), number, text, level, 0, confirm);
    switch (edit.status) {
    case EditStatus::Applied:
        return WriteChanged(session, params);
    case EditStatus::Cancelled:
        // The prompt has said why when nobody could answer.
        return answer == CCliPrompt::Answer::kNoTerminal
                   ? CCliSession::kExitFailure
                   : session.FailAxis(axis, "parameter " + std::to_string(number) + " not changed");
    case EditStatus::Unchanged:
        if (!session.Json())
            session.Out() << "parameter " << number << " already holds that value\n";
        else
            session.PrintJson({{"axis", axis}, {"written", nlohmann::json::array()}, {"failures", 0}});
        return CCliSession::kExitOk;
    case EditStatus::NotEditable:
        return session.FailAxis(axis, "parameter " + std::to_string(number) +
                                " cannot be changed at this access level");
    case EditStatus::NoSuchChoice: {
        std::string choices;
        for (size_t i = 0; i < record.Choices().size(); ++i)
            choices += "\n  " + std::to_string(i) + "  " + record.Choices()[i].ToUtf8();
        return session.FailAxis(axis, "\"" + args.Word(4) + "\" is none of the choices:" + choices);
    }
    case EditStatus::OutOfRange:
        return session.FailAxis(axis, args.Word(4) + " is outside the range " +
                                CParamListRules::RangeText(record, number, 0));
    case EditStatus::PairOrder:
        return session.FailAxis(axis, Message(session, edit.message, "the value breaks the order of its pair"));
    default:
        return session.FailAxis(axis, "\"" + args.Word(4) + "\" is not a value for parameter " +
                                std::to_string(number));
    }
}

// The access level, the axis' parameter file and every value the controller holds.
int PrepareAndReadAll(CCliSession &session, const CCliArgs &args, uint8_t axis, CAxisParamSetup &params)
{
    int level = 0;
    if (int code = LevelOption(session, args, level))
        return code;
    if (int code = PrepareAxis(session, axis, level, params))
        return code;
    return ReadFromController(session, params, {});
}

int RunSave(CCliSession &session, const CCliArgs &args, uint8_t axis)
{
    CAxisParamSetup params;
    if (int code = PrepareAndReadAll(session, args, axis, params))
        return code;
    const int level = params.Target().accessLevel;
    params.Lists().CopyDriverToFile();
    const std::string path = CParamFile::WithDatExtension(args.Word(3));
    if (!CParamFile::Save(path, params.Lists().File(), params.Target(), ParamDate::Today()))
        return session.FailText(CSaveFailure::Last(path).CliText());
    const auto saved = CParamFile::SavedNumbers(params.Lists().File(), params.Count(), level);
    if (session.Json())
        session.PrintJson({{"axis", axis}, {"file", path}, {"parameters", saved.size()}});
    else
        session.Result("saved " + Count(static_cast<long long>(saved.size()), "parameter", "parameters") + " to " +
                       path);
    return CCliSession::kExitOk;
}

int RunLoad(CCliSession &session, const CCliArgs &args, uint8_t axis)
{
    CAxisParamSetup params;
    if (int code = PrepareAndReadAll(session, args, axis, params))
        return code;
    const std::string &path = args.Word(3);
    const ParamLoadReport loaded = CParamFile::Load(params.Lists().File(), path, params.Target());
    switch (loaded.status) {
    case ParamFileStatus::Loaded:
        break;
    case ParamFileStatus::NotParamFile:
        return session.FailAxis(axis, "cannot load " + path + ": not a parameter file (" +
                                          (loaded.blank ? "it is empty" : "its second line names no model") + ")");
    case ParamFileStatus::ModelMismatch:
        return session.FailAxis(axis, "cannot load " + path + ": the file was made for the " + loaded.fileModel + ", " +
                                AxisLabel(axis) + " is an " + params.Target().model);
    default:
        return session.FailAxis(axis, "cannot load " + path + ": " +
                                Message(session, loaded.message, "file operation failed"));
    }
    if (!loaded.refused.empty()) {
        for (const ParamRefusedLine &refused : loaded.refused)
            session.Err() << "kvlctl: " << path << " line " << refused.line
                          << (refused.cut ? ": the file ends in the middle of this line (cut short?): "
                                          : ": no value the parameter takes: ")
                          << refused.text.ToUtf8() << '\n';
        return session.FailAxis(axis, "cannot load " + path + ": nothing was written");
    }
    const CParamEditCheck::PairRefusal order =
        CParamEditCheck::LoadPairRefusal(params.Lists().File(), params.Lists().Driver());
    if (!order.Empty())
        return session.FailText(
            "cannot load " + path + ": parameters " + std::to_string(order.upper) + " and " +
            std::to_string(order.lower) + " would be out of order: " +
            Message(session, order.message,
                    "parameter " + std::to_string(order.upper) + " must stay greater than parameter " +
                        std::to_string(order.lower)));
    return WriteChanged(session, params);
}

int RunParam(CCliSession &session, const CCliArgs &args)
{
    const std::string &action = args.Word(1);
    const bool file = action == "save" || action == "load";
    if (action != "get" && action != "set" && !file)
        return session.Usage("param get|set|save|load AXIS ...");
    if (file && args.Word(3).empty())
        return session.Usage("param " + action + " AXIS FILE.dat");
    if (action == "load" && !session.InputFileReadable(args.Word(3)))
        return CCliSession::kExitFailure;
    uint8_t axis = 0;
    int exitCode = 0;
    if (!session.OpenAxis(2, axis, exitCode))
        return exitCode;
    if (action == "get")
        return RunGet(session, args, axis);
    if (action == "set")
        return RunSet(session, args, axis);
    if (action == "save")
        return RunSave(session, args, axis);
    return RunLoad(session, args, axis);
}

} // namespace

std::vector<CliCommand> ParamCommands()
{
    return {
        {"param", "param get AXIS N... | set AXIS N VALUE | save|load AXIS FILE.dat [--level 0|1|2] [--yes]",
         "read, change, save or load the parameters of an axis",
         "get   prints parameters in the user's units (as the parameter list shows them).\n"
         "set   changes one parameter: a number in the user's units, a choice by its text or its\n"
         "      index, or the device name; the edit rules of the parameter list apply.\n"
         "save  reads every parameter and saves the parameter file (--level: 0 normal, 1 Custom,\n"
         "      2 Custom SP decides which parameters go into the file).\n"
         "load  reads the file (refused when it was made for another model) and writes only the\n"
         "      values that differ from the controller. Nothing is written when a line holds no\n"
         "      value its parameter takes (no number, outside the range, no choice index): each\n"
         "      such line is named.\n"
         "Writing while the servo is on switches it off first, and some parameters ask before they\n"
         "change: each question waits for y or n on a terminal; --yes answers yes, and without a\n"
         "terminal (a script) the command changes nothing unless --yes is given.\n\n"
         "examples: kvlctl param get 1 16 31\n"
         "          kvlctl param set 1 16 25.5\n"
         "          kvlctl param save 1 axis1.dat\n"
         "          kvlctl param load 1 axis1.dat",
         RunParam},
    };
}

} // namespace kvl::cli
