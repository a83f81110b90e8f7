#include "tuning/CAutoTuningModel.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "base/CModelTraits.h"
#include "config/CLanguageTexts.h"
#include "protocol/CServoCommands.h"

namespace kvl::tuning {

namespace {

using Field = CTuningFields::Field;

// Alarm codes the controller sends when it has no alarm.
constexpr uint8_t kNoAlarm = 255;
constexpr uint8_t kNoAlarmToo = 254;

// Parameters a finished run wrote, recorded after the load inertia ratio (rows 1 to 5).
constexpr uint16_t kResultParams[] = {40, 41, 42, 117, 118};

std::string Fixed(double value, const char *format)
{
    char text[48];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

bool IsState(int state)
{
    return state >= 1 && state <= 4;
}

} // namespace

CAutoTuningModel::CAutoTuningModel(CServoCommands &commands, const CLanguageTexts &texts, int axis, std::string model,
                                   int operationType, bool offline, AxisLink axisLink, Hooks hooks)
    : m_commands(commands), m_texts(texts), m_axis(axis), m_address(static_cast<uint8_t>(axis)),
      m_model(std::move(model)), m_operationType(operationType), m_offline(offline), m_axisLink(std::move(axisLink)),
      m_hooks(std::move(hooks))
{
}

bool CAutoTuningModel::Tunes() const
{
    return CModelTraits::Of(m_model).IsMdbOrMdc();
}

bool CAutoTuningModel::Polls() const
{
    return Acts();
}

bool CAutoTuningModel::Running() const
{
    return m_qualityPrevious == kStateRunning || m_tuningPrevious == kStateRunning;
}

void CAutoTuningModel::Open()
{
    m_fields.Reset();
    Read();
    m_refreshTexts = true;
    if (!m_offline) {
        AutoTuningStatus status;
        if (m_commands.ReadAutoTuningStatus(status, m_address, kTimeoutMs) == kResultOk) {
            m_qualityPrevious = status.qualityState;
            m_tuningPrevious = status.tuningState;
        }
    }
    Changed();
}

void CAutoTuningModel::Poll()
{
    if (!Polls())
        return;
    AutoTuningStatus status;
    const int result = m_commands.ReadAutoTuningStatus(status, m_address, kTimeoutMs);
    if (result != kResultOk) {
        // A lost reply leaves the last texts. A run the controller no longer reports on for more
        // than a second cannot be watched: it is told to stop (it may hear it), and the user why.
        if (Running() && ++m_unansweredPolls >= kUnansweredPollsBeforeStop) {
            StopRun();
            m_unansweredPolls = 0;
            // Stop is sent once: until the controller answers again its states are unknown, so
            // later ticks make one exchange only.
            m_qualityPrevious = m_tuningPrevious = kStateUnknown;
            Changed();
            Message("IDS_TUNING_STOPPED_NO_REPLY", kSection);
        }
        return;
    }
    m_unansweredPolls = 0;
    const int q = status.qualityState;
    const int t = status.tuningState;
    if (q != m_qualityPrevious || m_refreshTexts) {
        if (IsState(q))
            m_qualityShown = q;
        m_qualityPrevious = q;
    }
    if (t == kStateFinished && t != m_tuningPrevious && !m_refreshTexts)
        CollectResult(status.value1, status.value2);
    if (t != m_tuningPrevious || m_refreshTexts) {
        if (IsState(t))
            m_tuningShown = t;
        m_tuningPrevious = t;
    }
    m_refreshTexts = false;
    ReadServoState();
    ShowDriverStatus();
    Changed();
}

void CAutoTuningModel::Start()
{
    if (m_offline)
        return;
    SetStepText(m_stepText);
    m_commands.StartAutoTuning(static_cast<uint16_t>(StepNumber() + 1), static_cast<uint8_t>(m_direction),
                               m_quality ? 1 : 0, m_address, kTimeoutMs);
    m_written = true;
    Changed();
}

void CAutoTuningModel::Stop()
{
    if (!Acts())
        return;
    uint8_t status = 0;
    m_commands.Stop(status, m_address, kTimeoutMs);
    Changed();
}

bool CAutoTuningModel::StopRun()
{
    if (m_offline || !Running())
        return false;
    uint8_t status = 0;
    m_commands.Stop(status, m_address, kTimeoutMs);
    return true;
}

void CAutoTuningModel::Reset()
{
    if (!Acts())
        return;
    uint8_t status = 0;
    m_commands.AlarmReset(status, m_address, kTimeoutMs);
    ShowDriverStatus();
    Changed();
}

void CAutoTuningModel::ServoOn()
{
    SwitchServo(true);
}

void CAutoTuningModel::ServoOff()
{
    SwitchServo(false);
}

void CAutoTuningModel::SwitchServo(bool on)
{
    if (m_offline)
        return;
    uint8_t status = 0;
    if (on)
        m_commands.ServoOn(status, m_address, kTimeoutMs);
    else
        m_commands.ServoOff(status, m_address, kTimeoutMs);
    // The controller takes a moment to switch; the state read after it tells what happened.
    if (m_hooks.wait)
        m_hooks.wait(kServoConfirmDelayMs);
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(kServoConfirmDelayMs));
    ReadServoState();
    Changed();
}

void CAutoTuningModel::ReadServoState()
{
    uint8_t on = 0;
    if (m_commands.ReadServoState(on, m_address, kTimeoutMs) == kResultOk && m_axisLink.servoRead)
        m_axisLink.servoRead(on != 0);
}

void CAutoTuningModel::ShowDriverStatus()
{
    uint8_t code = 0;
    if (m_commands.ReadAlarmCode(code, m_address, kTimeoutMs) != kResultOk)
        return;
    if (code == kNoAlarm || code == kNoAlarmToo) {
        const bool paused = m_axisLink.programPaused && m_axisLink.programPaused();
        m_driverText = paused ? kPauseText : kNormalText;
        m_driverColour = paused ? Colour::kYellow : Colour::kGreen;
    } else {
        m_driverText = kAbnormalText;
        m_driverColour = Colour::kRed;
    }
}

void CAutoTuningModel::Read()
{
    if (!Acts())
        return;
    // The controller's order: 171, 172, 119, 173, then the stiffness 174.
    int32_t raw = 0;
    for (Field field : {Field::kStroke, Field::kAcceleration, Field::kLoadInertia, Field::kSettlingTime}) {
        if (m_commands.ReadParameter(CTuningFields::ParameterOf(field), raw, m_address, kTimeoutMs) == kResultOk)
            m_fields.TakeRead(field, raw);
    }
    if (m_commands.ReadParameter(CTuningFields::kParamStiffness, raw, m_address, kTimeoutMs) == kResultOk)
        m_fields.TakeReadStiffness(raw);
    Changed();
}

bool CAutoTuningModel::Write()
{
    if (!Acts())
        return false;
    if (!m_fields.SettlingTimeValid()) {
        Message("ID_PMT_WRITE_WARN1", kSection);
        return false;
    }
    // A ratio outside its range would reach the controller as any number the field can hold
    // (x1000 past the 32-bit range); one the controller reported is not written back.
    if (m_fields.Changed(Field::kLoadInertia) && !m_fields.InRange(Field::kLoadInertia)) {
        Message("ID_PMT_WRITE_WARN2", kSection);
        return false;
    }
    uint8_t servo = 0;
    if (m_commands.ReadServoState(servo, m_address, kTimeoutMs) == kResultOk && servo != 0) {
        const std::string question = m_texts.Text("ID_PMT_WRITE_WARN_AUTO", "IDD_KVL_VER2_PMTLIST_DIALOG");
        if (!question.empty()) {
            if (!m_hooks.ask || !m_hooks.ask(question))
                return false;
            uint8_t status = 0;
            if (m_commands.ServoOff(status, m_address, kTimeoutMs) != kResultOk || status != 1)
                return false;
            if (m_axisLink.servoRead)
                m_axisLink.servoRead(false);
        }
    }
    std::vector<Field> order;
    if (!m_quality)
        order = {Field::kStroke, Field::kAcceleration};
    order.push_back(Field::kLoadInertia);
    order.push_back(Field::kSettlingTime);
    for (Field field : order) {
        if (!m_fields.Changed(field))
            continue;
        if (m_commands.WriteParameter(CTuningFields::ParameterOf(field), m_fields.RawOf(field), m_address,
                                      kTimeoutMs) == kResultOk) {
            m_written = true;
            m_fields.TakeWritten(field);
        }
    }
    if (m_fields.StiffnessChanged() &&
        m_commands.WriteParameter(CTuningFields::kParamStiffness, m_fields.Stiffness(), m_address, kTimeoutMs) ==
            kResultOk) {
        m_written = true;
        m_fields.TakeWrittenStiffness();
    }
    Changed();
    return true;
}

int32_t CAutoTuningModel::ReadOrZero(uint16_t number)
{
    int32_t raw = 0;
    if (m_commands.ReadParameter(number, raw, m_address, kTimeoutMs) != kResultOk)
        return 0;
    return raw;
}

void CAutoTuningModel::CollectResult(int firstValue, int secondValue)
{
    if (!Acts())
        return;
    StepRecord step;
    if (m_commands.ReadStep(StepNumber() + 1, m_model, step, m_address, kTimeoutMs) != kResultOk) {
        Message("IDS_WARNMSG_READPROG", "COMMON");
        return;
    }
    CTuningResults::Record record;
    record[0] = Fixed(ReadOrZero(CTuningFields::kParamLoadInertia) / 1000.0, "%.3f");
    for (size_t i = 0; i < std::size(kResultParams); ++i)
        record[1 + i] = std::to_string(ReadOrZero(kResultParams[i]));
    record[6] = Fixed(step.position, "%.4f");
    record[7] = Fixed(step.speed, "%.4f");
    record[8] = Fixed(step.acc, "%.4f");
    record[9] = Fixed(step.dcc, "%.4f");
    record[10] = std::to_string(StepNumber());
    record[11] = std::to_string(CTuningResults::RoundUpToTen(firstValue));
    record[12] = std::to_string(CTuningResults::RoundUpToTen(secondValue));
    m_results.Add(record);
    Read();
}

void CAutoTuningModel::ClearResults()
{
    m_results.Clear();
    Changed();
}

void CAutoTuningModel::Shown()
{
    m_written = false;
    m_refreshTexts = true;
}

bool CAutoTuningModel::TakeParametersWritten()
{
    const bool written = m_written;
    m_written = false;
    return written;
}

int CAutoTuningModel::StepCount() const
{
    return CModelTraits::StepCount(m_operationType);
}

void CAutoTuningModel::SetStepText(const std::string &text)
{
    std::string digits;
    for (char c : text)
        if (c >= '0' && c <= '9' && digits.size() < 3)
            digits += c;
    m_stepText = digits;
}

int CAutoTuningModel::StepNumber() const
{
    const int step = m_stepText.empty() ? 0 : std::stoi(m_stepText);
    return std::clamp(step, 0, StepCount() - 1);
}

void CAutoTuningModel::SetQuality(bool on)
{
    m_quality = on;
    Changed();
}

void CAutoTuningModel::SetMoveDirection(Direction direction)
{
    m_direction = direction;
}

CAutoTuningModel::Controls CAutoTuningModel::ControlStates() const
{
    Controls c;
    c.strokeGroupVisible = !m_quality;
    c.loadInertiaEditable = m_quality;
    c.closeAllowed = !Running();
    if (m_offline) {
        c.stepField = c.settlingField = true;
        return c;
    }
    c.read = c.write = true;
    const bool servoOn = m_axisLink.servoOn && m_axisLink.servoOn();
    c.servoOn = !servoOn;
    c.servoOff = servoOn;
    // A tuning run moves the axis: it can be stopped from here while it lasts.
    c.stop = Running();
    if (!servoOn)
        return c;
    const bool running = m_axisLink.programRunning && m_axisLink.programRunning();
    const bool paused = m_axisLink.programPaused && m_axisLink.programPaused();
    if (running) {
        c.start = paused;
        c.stop = c.stop || !paused;
    } else {
        c.start = true;
    }
    c.stepField = c.settlingField = !Running();
    return c;
}

std::string CAutoTuningModel::StateText(const char *prefix, int state) const
{
    if (!IsState(state))
        return {};
    return m_texts.Text(std::string(prefix) + std::to_string(state), kSection);
}

std::string CAutoTuningModel::TuningStateText() const
{
    return StateText("IDC_AUTO_TUNE_STATUS", m_tuningShown);
}

std::string CAutoTuningModel::QualityStateText() const
{
    return StateText("IDC_QUALITY_ESTIMATION2_STATUS", m_qualityShown);
}

CAutoTuningModel::Colour CAutoTuningModel::StateColour(int state)
{
    switch (state) {
    case 2:
        return Colour::kYellow;
    case 3:
        return Colour::kGreen;
    case 4:
        return Colour::kRed;
    default:
        return Colour::kWhite;
    }
}

std::vector<std::string> CAutoTuningModel::RowHeadings() const
{
    std::vector<std::string> rows;
    for (int row = 1; row <= 11; ++row)
        rows.push_back(m_texts.Text("IDS_TABLE_ROW" + std::to_string(row) + "_TITLE", kSection));
    rows.push_back(m_texts.Text("IDS_TABLE_ROW14_TITLE", kSection));
    rows.push_back(m_texts.Text("IDS_TABLE_ROW15_TITLE", kSection));
    return rows;
}

void CAutoTuningModel::Message(const std::string &key, const std::string &section)
{
    if (m_hooks.message)
        m_hooks.message(m_texts.Text(key, section));
}

void CAutoTuningModel::Changed()
{
    if (m_hooks.changed)
        m_hooks.changed();
}

} // namespace kvl::tuning
