#include "monitor/CMonitorModel.h"

#include <utility>

#include "base/CModelTraits.h"
#include "config/CAppValues.h"
#include "config/CLanguageTexts.h"
#include "link/ResultCode.h"
#include "monitor/CMonitorRules.h"
#include "protocol/CServoCommands.h"

namespace kvl {

namespace {

constexpr char kClearQuestionBuiltIn[] = "Clear the alarm history?";
constexpr char kCommandUnitKey[] = "IDC_POS_CMD_UNIT";
constexpr char kCurrentUnitKey[] = "IDC_POS_CUR_UNIT";
constexpr char kRotaryCommandUnitKey[] = "IDC_ZMDA_POS_CMD_UNIT";
constexpr char kRotaryCurrentUnitKey[] = "IDC_ZMDA_POS_CUR_UNIT";
constexpr uint8_t kResetDone = 1;
constexpr uint8_t kHistoryCleared = 1;

// Modes 0 to 5; any other value acts as mode 0.
int ValidMode(int mode)
{
    return (mode >= 0 && mode < CModelTraits::kOperationTypeCount) ? mode : 0;
}

} // namespace

CMonitorModel::CMonitorModel(CServoCommands &commands, const CLanguageTexts &texts, CAppValues &values,
                             int axis, std::string model, int ioMode, Hooks hooks)
    : m_commands(commands), m_texts(texts), m_values(values), m_axis(axis), m_model(std::move(model)),
      m_hooks(std::move(hooks)), m_ioMode(ValidMode(ioMode)), m_historyBytes(kHistoryLength, 0)
{
}

void CMonitorModel::Open()
{
    m_historyBytes.assign(kHistoryLength, 0);
    m_historyLines.clear();
    RunRefresh(Failure::kZero);
    // The history is there to be seen at once, not only after Refresh.
    if (!m_silent)
        RefreshHistory();
}

void CMonitorModel::Refresh()
{
    RunRefresh(Failure::kKeep);
}

void CMonitorModel::RunRefresh(Failure failure)
{
    // Each item stands alone: a read that fails keeps that item's last text and the others go on.
    // Only no answer at all ends the refresh, so a silent axis costs one exchange per refresh;
    // while it is silent that exchange is the short identification probe, and the full refresh
    // comes back with its first answer. The opening still shows its zeros for what it could not read.
    bool loadRead = false;
    bool positionsRead = false;
    if (!m_silent || Probe()) {
        ReadSignals();
        loadRead = !m_silent && ReadLoad();
        positionsRead = !m_silent && ReadPositions();
        if (!m_silent)
            ReadAlarm();
    }
    if (failure == Failure::kZero) {
        if (!loadRead)
            m_loadText = "0";
        if (!positionsRead)
            m_commandText = m_currentText = CMonitorRules::FormatPosition(0, PositionDecimals());
    }
    Changed();
}

bool CMonitorModel::Probe()
{
    std::string model, version, name;
    const int result = m_commands.ReadDeviceType(model, version, name, static_cast<uint8_t>(m_axis), kProbeTimeoutMs);
    // Any reply, even a spoiled one, says that the axis is back.
    m_silent = IsNoAnswer(result);
    return !m_silent;
}

bool CMonitorModel::Note(int result)
{
    if (result == kResultOk)
        m_silent = false;
    else if (IsNoAnswer(result))
        m_silent = true;
    return result == kResultOk;
}

bool CMonitorModel::ReadSignals()
{
    uint32_t word = 0;
    if (!Note(m_commands.ReadIOSignals(word, static_cast<uint8_t>(m_axis), kTimeoutMs)))
        return false;
    m_ioWord = word;
    return true;
}

bool CMonitorModel::ReadLoad()
{
    uint8_t load = 0;
    if (!Note(m_commands.ReadLoadFactor(m_model, load, static_cast<uint8_t>(m_axis), kTimeoutMs)))
        return false;
    m_loadText = std::to_string(load);
    return true;
}

bool CMonitorModel::ReadPositions()
{
    Positions positions;
    if (!Note(m_commands.ReadPositions(positions, static_cast<uint8_t>(m_axis), kTimeoutMs)))
        return false;
    const int decimals = PositionDecimals();
    m_commandText = CMonitorRules::FormatPosition(positions.command, decimals);
    m_currentText = CMonitorRules::FormatPosition(positions.current, decimals);
    return true;
}

bool CMonitorModel::ReadAlarm()
{
    uint8_t code = 0;
    if (!Note(m_commands.ReadAlarmCode(code, static_cast<uint8_t>(m_axis), kTimeoutMs)))
        return false;
    const bool alarm = CMonitorRules::IsAlarm(code);
    const bool raised = alarm && (m_alarmColour != AlarmColour::kRed || code != m_alarmCode);
    m_alarmCode = code;
    m_alarmText = alarm ? kAbnormalText : kNormalText;
    m_alarmColour = alarm ? AlarmColour::kRed : AlarmColour::kGreen;
    // A new alarm has gone into the controller's history: the list shows it without a Refresh.
    if (raised)
        RefreshHistory();
    return true;
}

CMonitorModel::Tick CMonitorModel::OnTick()
{
    if (!m_values.pollingOn)
        return Tick::kIdle;
    if (!IsCurrentAxis())
        return Tick::kStop;
    Refresh();
    return Tick::kRestart;
}

int CMonitorModel::PollPeriodMs() const
{
    return m_silent ? kSilentProbePeriodMs : kPollPeriodMs;
}

void CMonitorModel::Activate()
{
    m_values.currentAxis = m_axis;
}

bool CMonitorModel::IsCurrentAxis() const
{
    return m_values.currentAxis == m_axis;
}

void CMonitorModel::SetIoMode(int mode)
{
    m_ioMode = ValidMode(mode);
    Changed();
}

int CMonitorModel::IoModeOfChoice(const std::string &model, int choice)
{
    return CModelTraits::Of(model).OperationTypeOfChoice(choice);
}

bool CMonitorModel::InputSwitchAllowed(int input) const
{
    return CMonitorRules::InputSwitchAllowed(m_ioMode, input + 1);
}

bool CMonitorModel::SwitchInput(int input)
{
    if (input < 0 || input >= kInputCount || !InputSwitchAllowed(input))
        return false;
    const bool shownOn = SignalOn(true, input + 1);
    uint8_t status = 0;
    if (Note(m_commands.SetInputSignal(input, !shownOn, status, static_cast<uint8_t>(m_axis), kTimeoutMs)) &&
        status != 0)
        m_ioWord ^= 1u << input;
    Changed();
    return true;
}

void CMonitorModel::ResetAlarm()
{
    uint8_t status = 0;
    const bool done = Note(m_commands.AlarmReset(status, static_cast<uint8_t>(m_axis), kTimeoutMs)) &&
                      status == kResetDone;
    // The colour stays until the next poll reads the alarm again.
    m_alarmText = done ? kNormalText : kAbnormalText;
    Changed();
}

void CMonitorModel::RefreshHistory()
{
    std::vector<uint8_t> history;
    if (!Note(m_commands.ReadAlarmHistory(history, static_cast<uint8_t>(m_axis), kTimeoutMs))) {
        Changed();
        return;
    }
    if (history != m_historyBytes) {
        m_historyBytes = std::move(history);
        RebuildHistoryList();
    }
    Changed();
}

void CMonitorModel::RebuildHistoryList()
{
    m_historyLines.clear();
    for (uint8_t code : m_historyBytes) {
        if (code == CMonitorRules::kEmptyHistorySlot)
            continue;
        std::string line = AlarmLine(code);
        if (!line.empty())
            m_historyLines.push_back(std::move(line));
    }
    ++m_historyRebuilds;
}

void CMonitorModel::ClearHistory()
{
    std::string question = m_texts.Text(kClearQuestionKey, CLanguageTexts::kCommonSection);
    if (question.empty())
        question = kClearQuestionBuiltIn;
    if (!m_hooks.ask || !m_hooks.ask(std::string(), question))
        return;
    uint8_t status = 0;
    if (Note(m_commands.ClearAlarmHistory(status, static_cast<uint8_t>(m_axis), kTimeoutMs)) &&
        status == kHistoryCleared)
        m_historyLines.clear();
    Changed();
}

std::string CMonitorModel::WindowSection() const
{
    return CMonitorRules::WindowSection(m_model);
}

std::string CMonitorModel::AlarmSection() const
{
    return CMonitorRules::AlarmSection(m_model);
}

const char *CMonitorModel::CommandUnitKey() const
{
    return CModelTraits::Of(m_model).IsRotary() ? kRotaryCommandUnitKey : kCommandUnitKey;
}

const char *CMonitorModel::CurrentUnitKey() const
{
    return CModelTraits::Of(m_model).IsRotary() ? kRotaryCurrentUnitKey : kCurrentUnitKey;
}

std::string CMonitorModel::SignalKey(bool input, int number) const
{
    return CMonitorRules::SignalKey(m_ioMode, input, number);
}

bool CMonitorModel::SignalOn(bool input, int number) const
{
    return CMonitorRules::SignalOn(m_ioWord, input, number);
}

int CMonitorModel::PositionDecimals() const
{
    const int setting = (m_axis >= 0 && m_axis < CAppValues::kAxisCount)
                            ? m_values.decimals[static_cast<size_t>(m_axis)]
                            : 0;
    return CMonitorRules::PositionDecimals(m_model, setting);
}

std::string CMonitorModel::NoAnswerText() const
{
    const std::string text = m_texts.Text(kNoAnswerKey, CLanguageTexts::kCommonSection);
    return text.empty() ? kNoAnswerBuiltIn : text;
}

std::string CMonitorModel::AlarmLine(uint8_t code) const
{
    return m_texts.Text(CMonitorRules::AlarmKey(code), AlarmSection());
}

void CMonitorModel::Changed() const
{
    if (m_hooks.changed)
        m_hooks.changed();
}

} // namespace kvl
