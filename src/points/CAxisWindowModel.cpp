#include "points/CAxisWindowModel.h"

#include <algorithm>

#include <cstdio>

#include "base/CModelTraits.h"
#include "base/TextNumber.h"
#include "config/CAppSettings.h"
#include "config/CAppValues.h"
#include "config/CLanguageTexts.h"
#include "link/ResultCode.h"
#include "params/CParamReadAll.h"
#include "params/ParamNumbers.h"
#include "points/AxisWindowState.h"
#include "points/CAxisManualOperation.h"
#include "points/CAxisStatusPoller.h"
#include "points/CAxisStepRules.h"
#include "protocol/CBusScanner.h"
#include "protocol/CServoCommands.h"

namespace kvl::points {
namespace {

constexpr int kOperationTypeCount = 6;   // "SCRIPT_0" .. "SCRIPT_5"; any other type "SCRIPT_6"
constexpr const char *kToolVersionLine = "V-FLOW Ver 1.122";
// The line that names the parameters not read at opening: ("IDS_PARAM_NOT_READ", "Common") with
// the count (%d) and the numbers (%s), or ("IDS_PARAM_NONE_READ", "Common") when none was read.
constexpr char kNotReadKey[] = "IDS_PARAM_NOT_READ";
constexpr char kNotReadBuiltIn[] =
    "Parameters not read from the controller (%d), shown with the parameter file's values: %s";
constexpr char kNoneReadKey[] = "IDS_PARAM_NONE_READ";
constexpr char kNoneReadBuiltIn[] =
    "No parameter could be read from the controller: every parameter value shown is the parameter file's.";
// Numbers the line lists before it ends in "...".
constexpr std::size_t kNoticeNumbers = 24;

void ReplaceFirst(std::string &text, const std::string &what, const std::string &with)
{
    const std::size_t at = text.find(what);
    if (at != std::string::npos)
        text.replace(at, what.size(), with);
}

// "1234" shows as "1.23" (two digits) or, in the service message, "1.234" (three).
std::string DottedVersion(const std::string &version, std::size_t digits)
{
    if (version.empty())
        return version;
    return version.substr(0, 1) + "." + version.substr(1, digits);
}

} // namespace

struct CAxisWindowModel::State {
    State(CServoCommands &commands, CAppSettings &settings, CAppValues &values, AxisIdentity identity,
          Hooks hooks)
        : data(commands, settings, values, std::move(identity), std::move(hooks)), poller(data), manual(data)
    {
    }

    AxisWindowState data;
    CAxisStatusPoller poller;
    CAxisManualOperation manual;
};

CAxisWindowModel::CAxisWindowModel(CServoCommands &commands, CAppSettings &settings, CAppValues &values,
                                   AxisIdentity identity, Hooks hooks)
    : m_state(std::make_unique<State>(commands, settings, values, std::move(identity), std::move(hooks)))
{
}

CAxisWindowModel::~CAxisWindowModel()
{
    // The last way out of a jog: the window went without reporting one.
    m_state->manual.EndJog();
}

bool CAxisWindowModel::Open()
{
    AxisWindowState &s = m_state->data;
    const auto slot = static_cast<std::size_t>(s.identity.axis);
    if (CModelTraits::Of(s.identity.model).Is(CModelTraits::Model::MDCX))
        s.values.decimals.at(slot) = 2;
    s.paramsNotRead.clear();
    s.paramsAsked = 0;
    if (!s.identity.offline) {
        std::string model, version, name;
        const int identified = s.commands.ReadDeviceType(model, version, name, s.Address(), kIdentifyTimeoutMs);
        if (identified == kResultOk) {
            s.identity.model = model;
            s.identity.version = version;
            s.identity.name = name;
        }
        // One lost identification proves nothing: the parameters are read all the same (what the
        // link handed over names the model), and their reads tell whether the axis is silent.
        s.silent = IsNoAnswer(identified);
    }
    const DeviceIdentity who{true, s.identity.model, s.identity.offline ? std::string() : s.identity.version,
                             s.identity.name};
    s.paramsOpen = s.params.Open(s.settings, s.Address(), who, s.values.accessLevel.at(slot));
    if (s.paramsOpen && !s.identity.offline) {
        params::ParamTarget target = s.params.Target();
        target.decimalsSetting = s.values.decimals.at(slot);
        params::ReadAllOptions options;
        options.store = &s.params.Store();
        options.values = &s.values;
        options.progress = s.hooks.progress;
        // Each parameter once; a read that fails keeps the file's value and is named in the window.
        options.attempts = kOpeningAttempts;
        options.silentAfterTimeouts = kOpeningSilentTimeouts;
        const params::ReadAllReport report = params::CParamReadAll::Run(s.commands, target, s.params.Lists(), options);
        s.silent = report.silent;
        s.paramsNotRead = report.notRead;
        s.paramsAsked = report.asked;
    }
    // What the opening read holds nothing of the user's.
    if (s.paramsOpen)
        s.params.Lists().KeepEdits();
    m_state->manual.ShowStoredJogSpeed();
    m_state->manual.ShowStoredFeedAmount();
    Parameter5Changed();
    RebuildTable(true);
    if (!s.identity.offline && !s.silent)
        m_state->poller.OpeningPass();
    s.Changed();
    return s.paramsOpen;
}

const std::vector<int> &CAxisWindowModel::ParametersNotRead() const
{
    return m_state->data.paramsNotRead;
}

std::string CAxisWindowModel::ParametersNotReadText() const
{
    const AxisWindowState &s = m_state->data;
    if (s.paramsNotRead.empty())
        return {};
    const CLanguageTexts &texts = s.settings.Texts();
    if (static_cast<int>(s.paramsNotRead.size()) >= s.paramsAsked) {
        const std::string text = texts.Text(kNoneReadKey, CLanguageTexts::kCommonSection);
        return text.empty() ? kNoneReadBuiltIn : text;
    }
    std::string numbers;
    for (std::size_t i = 0; i < s.paramsNotRead.size(); ++i) {
        if (i == kNoticeNumbers) {
            numbers += ", ...";
            break;
        }
        numbers += (i ? ", " : "") + FormatInt(s.paramsNotRead[i]);
    }
    std::string text = texts.Text(kNotReadKey, CLanguageTexts::kCommonSection);
    if (text.empty())
        text = kNotReadBuiltIn;
    ReplaceFirst(text, "%d", FormatInt(static_cast<int>(s.paramsNotRead.size())));
    ReplaceFirst(text, "%s", numbers);
    return text;
}

std::string CAxisWindowModel::ParametersNotReadList() const
{
    const AxisWindowState &s = m_state->data;
    std::string lines;
    for (const int number : s.paramsNotRead) {
        if (!lines.empty())
            lines += "\n";
        lines += FormatInt(number);
        if (s.paramsOpen)
            lines += "  " + s.params.Lists().Driver().At(number).DisplayName().ToUtf8();
    }
    return lines;
}

void CAxisWindowModel::RebuildTable(bool keepDriver)
{
    AxisWindowState &s = m_state->data;
    const CStepContext context = CAxisStepRules::Context(s);
    s.operationType = context.operationType;
    s.table.SetRules(CAxisStepRules::Rules(s, context));
    s.table.Reset(keepDriver);
    s.startRow = 1;
}

// --- identity and boxes

const AxisIdentity &CAxisWindowModel::Identity() const { return m_state->data.identity; }
bool CAxisWindowModel::Offline() const { return m_state->data.identity.offline; }
int CAxisWindowModel::OperationType() const { return m_state->data.operationType; }

std::string CAxisWindowModel::AxisText() const
{
    char text[8];
    // The offline window's slot is no address: its box shows 0 as it always did.
    std::snprintf(text, sizeof text, "%X", Offline() ? 0 : m_state->data.identity.axis);
    return text;
}

std::string CAxisWindowModel::TypeText() const { return "TYPE" + FormatInt(m_state->data.operationType); }

std::string CAxisWindowModel::VersionText() const { return DottedVersion(m_state->data.identity.version, 2); }

std::string CAxisWindowModel::DescriptionKey() const
{
    const int type = m_state->data.operationType;
    return "SCRIPT_" + FormatInt(type >= 0 && type < kOperationTypeCount ? type : kOperationTypeCount);
}

int CAxisWindowModel::PositionDecimals() const { return m_state->poller.PositionDecimals(); }
params::CAxisParamSetup &CAxisWindowModel::Params() { return m_state->data.params; }
CPointTable &CAxisWindowModel::Table() { return m_state->data.table; }
const CPointTable &CAxisWindowModel::Table() const { return m_state->data.table; }

// --- status display

bool CAxisWindowModel::ServoLamp() const { return m_state->data.servoOn; }
bool CAxisWindowModel::HomeLamp() const { return m_state->data.homeDone; }
bool CAxisWindowModel::AutoLamp() const { return m_state->data.autoMode; }
bool CAxisWindowModel::ManualLamp() const { return m_state->data.manualMode; }

CAxisWindowModel::AlarmBox CAxisWindowModel::Alarm() const
{
    return m_state->data.silent ? AlarmBox::kSilent : m_state->data.alarm;
}

bool CAxisWindowModel::Running() const { return m_state->data.running; }
bool CAxisWindowModel::Paused() const { return m_state->data.paused; }
bool CAxisWindowModel::Jogging() const { return m_state->data.jogging; }
bool CAxisWindowModel::Silent() const { return m_state->data.silent; }
void CAxisWindowModel::SetServoState(bool on) { m_state->data.servoOn = on; }
std::string CAxisWindowModel::AbsText() const { return m_state->poller.AbsText(); }
std::string CAxisWindowModel::IncText() const { return m_state->poller.IncText(); }
int CAxisWindowModel::StartRow() const { return m_state->data.startRow; }

void CAxisWindowModel::SetStartRow(int row)
{
    if (row >= 1 && row <= m_state->data.table.StepCount())
        m_state->data.startRow = row;
}

CAxisWindowModel::Controls CAxisWindowModel::ControlStates() const
{
    const AxisWindowState &s = m_state->data;
    Controls c;
    c.open = c.save = c.print = c.views = c.back = c.wave = c.param = true;
    if (s.identity.offline)
        return c;
    c.monitor = c.coordinateReset = c.programReset = true;
    c.read = true;
    const bool held = s.forwardHeld || s.reverseHeld;
    if (!s.servoOn) {
        c.servoOn = true;
        c.jogBox = c.feedBox = c.spins = c.write = c.teach = true;
    } else if (!s.running) {
        c.servoOff = c.home = c.start = true;
        c.jogBox = c.feedBox = c.spins = c.teach = true;
        c.jog = c.feed = !s.paused;
        c.open = false;
    } else {
        c.servoOff = true;
        c.jog = c.feed = held;
        c.start = s.paused;
        c.pause = !s.paused;
        c.open = false;
    }
    // A jog in progress keeps its speed and the feed amount as they were sent.
    if (s.jogging || held)
        c.jogBox = c.feedBox = c.spins = false;
    return c;
}

// --- polling

void CAxisWindowModel::Activate()
{
    if (!m_state->data.identity.offline)
        m_state->data.values.currentAxis = m_state->data.identity.axis;
}

bool CAxisWindowModel::IsCurrentAxis() const
{
    return m_state->data.values.currentAxis == m_state->data.identity.axis;
}

CAxisWindowModel::Tick CAxisWindowModel::OnTick(Timer timer)
{
    AxisWindowState &s = m_state->data;
    if (s.identity.offline)
        return Tick::kIdle;
    const bool polling = s.values.pollingOn;
    if (!polling || !IsCurrentAxis()) {
        // Without its ticks a jog would outlive its button.
        if (timer == Timer::kJog)
            m_state->manual.EndJog();
        return polling ? Tick::kStopAll : Tick::kIdle;
    }
    // A held jog's keep-alive comes first: the status poll waits for the release, and a motion
    // read goes out only where the line leaves room for it between two keep-alives.
    const bool jogHeld = m_state->manual.JogHeld();
    const bool roomForMotion = !jogHeld || m_state->manual.LastKeepAliveMs() <= kJogPeriodMs / kJogRoomShare;
    switch (timer) {
    case Timer::kStatus:
        if (!jogHeld)
            m_state->poller.StatusTick();
        break;
    case Timer::kMotion:
        if (!s.silent && roomForMotion)
            m_state->poller.MotionTick();
        break;
    case Timer::kJog:
        if (!s.silent)
            m_state->manual.KeepAlive();
        break;
    }
    s.Changed();
    return Tick::kRestart;
}

int CAxisWindowModel::TimerPeriodMs(Timer timer) const
{
    switch (timer) {
    case Timer::kStatus: return m_state->data.silent ? kSilentProbePeriodMs : kStatusPeriodMs;
    case Timer::kMotion: return kMotionPeriodMs;
    // Every kJogPeriodMs from one keep-alive to the next, as far as the line allows.
    case Timer::kJog: return std::max(0, kJogPeriodMs - m_state->manual.LastKeepAliveMs());
    }
    return kStatusPeriodMs;
}

void CAxisWindowModel::ResetCoordinate()
{
    m_state->poller.ResetCoordinate();
    m_state->data.Changed();
}

// --- operation type, parameter notifications

void CAxisWindowModel::OperationTypeChanged(bool clearController)
{
    AxisWindowState &s = m_state->data;
    RebuildTable(!clearController);
    if (clearController && !s.identity.offline)
        s.commands.ClearPointTable(s.Address(), CServoCommands::kTimeoutMs);
    s.Changed();
}

void CAxisWindowModel::ParametersChanged()
{
    CAxisStepRules::Refresh(m_state->data);
    m_state->data.Changed();
}

void CAxisWindowModel::ParametersRead(const std::vector<int> &numbers)
{
    std::vector<int> &notRead = m_state->data.paramsNotRead;
    const auto before = notRead.size();
    notRead.erase(std::remove_if(notRead.begin(), notRead.end(),
                                 [&numbers](int number) {
                                     return std::find(numbers.begin(), numbers.end(), number) != numbers.end();
                                 }),
                  notRead.end());
    if (notRead.size() != before)
        m_state->data.Changed();
}

void CAxisWindowModel::Parameter5Changed()
{
    AxisWindowState &s = m_state->data;
    s.directionPictureSet = 0;
    if (!s.paramsOpen)
        return;
    CIniEx &store = s.params.Store();
    const std::string section = FormatInt(kParamDirection);
    const std::string value = store.GetString(section, "Value", "");
    const int count = store.GetInt(section, "SelItemCount", 0);
    for (int i = 1; i <= count; ++i) {
        if (store.GetString(section, "SelItem" + FormatInt(i), "") == value) {
            s.directionPictureSet = i == 1 ? 0 : 1;
            break;
        }
    }
    s.Changed();
}

int CAxisWindowModel::DirectionPictureSet() const { return m_state->data.directionPictureSet; }

void CAxisWindowModel::JogSpeedChanged()
{
    m_state->manual.ShowStoredJogSpeed();
    m_state->data.Changed();
}

void CAxisWindowModel::FeedAmountChanged()
{
    m_state->manual.ShowStoredFeedAmount();
    m_state->data.Changed();
}

void CAxisWindowModel::DeviceNameChanged(const std::string &name)
{
    m_state->data.identity.name = name;
    m_state->data.Changed();
}

void CAxisWindowModel::SetParameterListHooks(
    std::function<bool(int number, double &min, double &max)> paramRange,
    std::function<bool(int number, double &value)> paramValue,
    std::function<void(int number, bool ok, const std::string &text)> paramWritten)
{
    Hooks &hooks = m_state->data.hooks;
    hooks.paramRange = std::move(paramRange);
    hooks.paramValue = std::move(paramValue);
    hooks.paramWritten = std::move(paramWritten);
}

// --- manual operation

void CAxisWindowModel::ServoOn() { m_state->manual.ServoOn(); }
void CAxisWindowModel::ServoOff() { m_state->manual.ServoOff(); }
void CAxisWindowModel::HomeStart() { m_state->manual.HomeStart(); }
void CAxisWindowModel::ProgramStart() { m_state->manual.ProgramStart(); }
void CAxisWindowModel::ProgramPause() { m_state->manual.ProgramPause(); }
void CAxisWindowModel::ProgramReset() { m_state->manual.ProgramReset(); }
void CAxisWindowModel::JogPress(JogDirection direction) { m_state->manual.JogPress(direction); }
void CAxisWindowModel::JogRelease(JogDirection direction) { m_state->manual.JogRelease(direction); }
void CAxisWindowModel::EndJog() { m_state->manual.EndJog(); }
void CAxisWindowModel::Feed(JogDirection direction) { m_state->manual.Feed(direction); }
const std::string &CAxisWindowModel::JogSpeedBox() const { return m_state->data.jogBox; }
void CAxisWindowModel::SetJogSpeedBox(const std::string &text) { m_state->data.jogBox = text; }
const std::string &CAxisWindowModel::FeedBox() const { return m_state->data.feedBox; }
void CAxisWindowModel::SetFeedBox(const std::string &text) { m_state->data.feedBox = text; }
void CAxisWindowModel::LeaveFeedBox() { m_state->manual.LeaveFeedBox(); }
void CAxisWindowModel::SpinJogSpeed(int steps) { m_state->manual.SpinJogSpeed(steps); }
void CAxisWindowModel::SpinFeed(int steps) { m_state->manual.SpinFeed(steps); }
CAxisWindowModel::TeachTarget CAxisWindowModel::Target() const { return m_state->data.target; }
void CAxisWindowModel::SetTarget(TeachTarget target) { m_state->data.target = target; }
CAxisWindowModel::TeachMode CAxisWindowModel::Mode() const { return m_state->data.mode; }
void CAxisWindowModel::SetMode(TeachMode mode) { m_state->data.mode = mode; }

int CAxisWindowModel::Teach(int selectedRow, bool wholeRowSelected)
{
    AxisWindowState &s = m_state->data;
    CPointTable &table = s.table;
    const int step = selectedRow - 1;
    if (s.identity.offline || !wholeRowSelected || !table.IsStep(step))
        return selectedRow;
    if (table.Working(step).IsEmpty())
        table.CreateRow(step);
    const bool abs = s.mode == TeachMode::kAbs;
    const int column = static_cast<int>(s.target);
    CKVL_VER2_ProgData &record = table.Working(step);
    const CStepRules &rules = table.Rules();
    record.SetFieldText(kColMode, abs ? "ABS" : "INC", rules.Texts());
    record.SetFieldText(column, abs ? AbsText() : IncText(), rules.Texts());
    for (const int k : {static_cast<int>(kColMode), column}) {
        table.SetCell(step, k, rules.ViewText(k, record.FieldText(k)));
        table.SetMarked(step, k, table.Differs(step, k));
    }
    s.Changed();
    const bool advances = s.target != TeachTarget::kPAreaA;
    return advances && table.IsStep(step + 1) ? selectedRow + 1 : selectedRow;
}

// --- menu

std::optional<std::string> CAxisWindowModel::ServiceReturnMessage() const
{
    const AxisWindowState &s = m_state->data;
    if (s.settings.DebugLevel() != CAppSettings::kServiceLevel)
        return std::nullopt;
    std::string text;
    if (!s.identity.offline)
        text = s.identity.model + " Ver " + DottedVersion(s.identity.version, 3) + "\n";
    return text + kToolVersionLine;
}

} // namespace kvl::points
