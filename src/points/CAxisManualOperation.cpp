#include "points/CAxisManualOperation.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <thread>

#include "base/CModelTraits.h"
#include "base/DecimalScale.h"
#include "base/TextNumber.h"
#include "config/CIniEx.h"
#include "config/CAppValues.h"
#include "link/ResultCode.h"
#include "params/CParamRules.h"
#include "params/ParamNumbers.h"
#include "points/AxisWindowState.h"
#include "points/CAxisStepRules.h"
#include "protocol/CServoCommands.h"
#include "protocol/CommandCodes.h"

namespace kvl::points {
namespace {

constexpr uint8_t kAcknowledged = 1;
constexpr int kFeedDecimalsShort = 3;
constexpr int kFeedDecimalsFine = 4;
constexpr int kFeedDecimalsOther = 1;
// A feed amount that differs from the parameter list's by less is the same.
constexpr double kFeedSameWithin = 1e-9;
constexpr const char *kKeyValue = "Value";

std::string Section(int number)
{
    return FormatInt(number);
}

} // namespace

int CAxisManualOperation::FeedDecimals(const std::string &model)
{
    const CModelTraits traits = CModelTraits::Of(model);
    if (traits.IsMdbOrMdc())
        return kFeedDecimalsShort;
    return traits.Is(CModelTraits::Model::MDCX) ? kFeedDecimalsFine : kFeedDecimalsOther;
}

std::string CAxisManualOperation::FeedText(double value) const
{
    return FormatFixed(value, FeedDecimals(m_state.identity.model));
}

void CAxisManualOperation::ShowStoredJogSpeed()
{
    m_state.jogBox = FormatInt(m_state.params.Store().GetInt(Section(kParamJogSpeed), kKeyValue, 0));
}

void CAxisManualOperation::ShowStoredFeedAmount()
{
    m_state.feedBox = FeedText(m_state.params.Store().GetDouble(Section(kParamFeedAmount), kKeyValue, 0.0));
}

void CAxisManualOperation::SwitchServo(bool on)
{
    if (m_state.identity.offline)
        return;
    uint8_t status = 0;
    const uint8_t axis = m_state.Address();
    const int result = on ? m_state.commands.ServoOn(status, axis, CServoCommands::kTimeoutMs)
                          : m_state.commands.ServoOff(status, axis, CServoCommands::kTimeoutMs);
    if (!on && result == kResultOk && status == kAcknowledged)
        m_state.running = false;
    // The controller needs a moment before its servo state tells the truth.
    if (m_state.hooks.wait)
        m_state.hooks.wait(CAxisWindowModel::kServoConfirmDelayMs);
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(CAxisWindowModel::kServoConfirmDelayMs));
    uint8_t servo = 0;
    if (m_state.commands.ReadServoState(servo, axis, CServoCommands::kTimeoutMs) == kResultOk)
        m_state.servoOn = servo != 0;
    m_state.Changed();
}

void CAxisManualOperation::ServoOn()
{
    SwitchServo(true);
}

void CAxisManualOperation::ServoOff()
{
    SwitchServo(false);
}

void CAxisManualOperation::HomeStart()
{
    if (m_state.identity.offline)
        return;
    uint8_t status = 0;
    // The home lamp follows from the polling; the reply says nothing more.
    m_state.commands.HomeReturn(cmd::kHomeModeReturn, status, m_state.Address(), CServoCommands::kTimeoutMs);
}

void CAxisManualOperation::ProgramStart()
{
    if (m_state.identity.offline)
        return;
    uint8_t status = 0;
    // Grid row r shows the step the controller numbers r.
    const int result = m_state.commands.StartProgram(static_cast<uint16_t>(m_state.startRow), status,
                                                     m_state.Address(), CServoCommands::kTimeoutMs);
    if (result == kResultOk && status != 0) {
        m_state.running = true;
        m_state.paused = false;
        m_state.alarm = CAxisWindowModel::AlarmBox::kNormal;
    }
    m_state.Changed();
}

void CAxisManualOperation::ProgramPause()
{
    if (m_state.identity.offline)
        return;
    uint8_t status = 0;
    const int result = m_state.commands.Stop(status, m_state.Address(), CServoCommands::kTimeoutMs);
    if (result == kResultOk && status != 0)
        m_state.paused = true;
    m_state.alarm = m_state.paused ? CAxisWindowModel::AlarmBox::kPause : CAxisWindowModel::AlarmBox::kNormal;
    m_state.Changed();
}

void CAxisManualOperation::ProgramReset()
{
    if (m_state.identity.offline)
        return;
    uint8_t status = 0;
    const int result = m_state.commands.AlarmReset(status, m_state.Address(), CServoCommands::kTimeoutMs);
    m_state.alarm = result == kResultOk && status == kAcknowledged ? CAxisWindowModel::AlarmBox::kNormal
                                                                   : CAxisWindowModel::AlarmBox::kAbnormal;
    m_state.Changed();
}

void CAxisManualOperation::Range(int number, double fallbackMax, double &min, double &max) const
{
    min = 0.0;
    max = fallbackMax;
    double low = 0.0;
    double high = 0.0;
    if (m_state.hooks.paramRange && m_state.hooks.paramRange(number, low, high)) {
        min = low;
        max = high;
    }
}

void CAxisManualOperation::WriteParameter(int number, int raw, const std::string &text)
{
    const int result = m_state.commands.WriteParameter(static_cast<uint16_t>(number), raw, m_state.Address(),
                                                       CServoCommands::kTimeoutMs);
    const bool ok = result == kResultOk;
    if (ok && m_state.paramsOpen) {
        // A jog speed or feed amount: digits, alike in every code page.
        params::CParamData &record = m_state.params.Lists().Driver().At(number);
        record.SetByText(params::CParamRules::RecordText(record, text));
        CIniEx &store = m_state.params.Store();
        store.SetString(Section(number), kKeyValue, text);
        store.Save();
        CAxisStepRules::Refresh(m_state);
    }
    if (m_state.hooks.paramWritten)
        m_state.hooks.paramWritten(number, ok, text);
}

int CAxisManualOperation::ApplyJogSpeedRule(bool rewriteBox)
{
    double min = 0.0;
    double max = 0.0;
    Range(kParamJogSpeed, CAxisWindowModel::kJogSpeedFallbackMax, min, max);
    const int typed = LeadingInt(m_state.jogBox);
    const int speed = static_cast<int>(std::clamp<double>(typed, min, max));
    if (rewriteBox)
        m_state.jogBox = FormatInt(speed);
    double current = 0.0;
    if (m_state.hooks.paramValue && m_state.hooks.paramValue(kParamJogSpeed, current) &&
        speed != static_cast<int>(current))
        WriteParameter(kParamJogSpeed, speed, FormatInt(speed));
    return speed;
}

int CAxisManualOperation::StoredJogSpeed() const
{
    return m_state.params.Store().GetInt(Section(kParamJogSpeed), kKeyValue, 0);
}

int CAxisManualOperation::SignedSpeed(JogDirection direction) const
{
    // The command sends only the direction of the sign; a stored speed of 0 must not turn a
    // forward jog into a reverse one.
    const int speed = std::max(StoredJogSpeed(), 1);
    return direction == JogDirection::kForward ? speed : -speed;
}

void CAxisManualOperation::SendStop()
{
    uint8_t status = 0;
    m_state.commands.Stop(status, m_state.Address(), CServoCommands::kTimeoutMs);
}

void CAxisManualOperation::JogPress(JogDirection direction)
{
    if (m_state.identity.offline)
        return;
    ApplyJogSpeedRule(direction == JogDirection::kForward);
    uint8_t status = 0;
    m_state.commands.JogStart(SignedSpeed(direction), status, m_state.Address(), CServoCommands::kTimeoutMs);
    // Held even when the controller refused: the release must still send Stop.
    m_state.jogging = true;
    (direction == JogDirection::kForward ? m_state.forwardHeld : m_state.reverseHeld) = true;
    m_state.Changed();
}

void CAxisManualOperation::JogRelease(JogDirection direction)
{
    if (m_state.identity.offline)
        return;
    SendStop();
    m_state.jogging = false;
    (direction == JogDirection::kForward ? m_state.forwardHeld : m_state.reverseHeld) = false;
    m_state.running = false;
    m_state.Changed();
}

bool CAxisManualOperation::JogActive() const
{
    return m_state.jogging || m_state.forwardHeld || m_state.reverseHeld;
}

bool CAxisManualOperation::JogHeld() const
{
    return m_state.forwardHeld || m_state.reverseHeld;
}

void CAxisManualOperation::EndJog()
{
    if (m_state.identity.offline || !JogActive())
        return;
    SendStop();
    m_state.jogging = false;
    m_state.forwardHeld = false;
    m_state.reverseHeld = false;
    m_state.running = false;
    m_state.Changed();
}

void CAxisManualOperation::KeepAlive()
{
    if (m_state.identity.offline || !m_state.servoOn || !(m_state.forwardHeld || m_state.reverseHeld))
        return;
    const JogDirection direction = m_state.forwardHeld ? JogDirection::kForward : JogDirection::kReverse;
    uint8_t status = 0;
    const auto sent = std::chrono::steady_clock::now();
    const int result =
        m_state.commands.JogStart(SignedSpeed(direction), status, m_state.Address(), CServoCommands::kTimeoutMs);
    m_lastKeepAliveMs = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - sent).count());
    if (result == kResultOk)
        return;
    // A keep-alive that did not get through leaves the axis without its button.
    m_state.silent = true;
    EndJog();
}

void CAxisManualOperation::Feed(JogDirection direction)
{
    if (m_state.identity.offline)
        return;
    double min = 0.0;
    double max = 0.0;
    Range(kParamFeedAmount, CAxisWindowModel::kFeedClickFallbackMax, min, max);
    const double amount = std::clamp(LeadingReal(m_state.feedBox), min, max);
    m_state.feedBox = FeedText(amount);
    double current = 0.0;
    if (m_state.hooks.paramValue && m_state.hooks.paramValue(kParamFeedAmount, current) &&
        std::fabs(amount - current) >= kFeedSameWithin) {
        const auto &record = m_state.params.Driver().At(kParamFeedAmount);
        const auto factor = params::CParamRules::Factor(kParamFeedAmount, m_state.identity.model, record.Precision());
        WriteParameter(kParamFeedAmount, params::CParamRules::ValueToRaw(amount, factor), m_state.feedBox);
    }
    ApplyJogSpeedRule(true);
    uint8_t status = 0;
    m_state.commands.InchingMove(SignedSpeed(direction), status, m_state.Address(), CServoCommands::kTimeoutMs);
    m_state.Changed();
}

void CAxisManualOperation::SpinJogSpeed(int steps)
{
    double min = 0.0;
    double max = 0.0;
    Range(kParamJogSpeed, CAxisWindowModel::kJogSpeedFallbackMax, min, max);
    const double speed = std::clamp<double>(static_cast<double>(LeadingInt(m_state.jogBox)) + steps, min, max);
    m_state.jogBox = FormatInt(static_cast<int>(speed));
    m_state.Changed();
}

void CAxisManualOperation::SpinFeed(int steps)
{
    double min = 0.0;
    double max = 0.0;
    Range(kParamFeedAmount, CAxisWindowModel::kFeedBoxFallbackMax, min, max);
    const double step = std::pow(10.0, -FeedDecimals(m_state.identity.model));
    m_state.feedBox = FeedText(std::clamp(LeadingReal(m_state.feedBox) + steps * step, min, max));
    m_state.Changed();
}

void CAxisManualOperation::LeaveFeedBox()
{
    double min = 0.0;
    double max = 0.0;
    Range(kParamFeedAmount, CAxisWindowModel::kFeedBoxFallbackMax, min, max);
    const int decimals = FeedDecimals(m_state.identity.model);
    const auto scale = static_cast<std::int64_t>(std::llround(std::pow(10.0, decimals)));
    const double limited = std::clamp(LeadingReal(m_state.feedBox), min, max);
    // Cut, not rounded: 0.25 with one decimal stays 0.2.
    const double cut = static_cast<double>(decimalscale::TruncateScaled(limited, scale)) / static_cast<double>(scale);
    m_state.feedBox = FeedText(cut);
    m_state.Changed();
}

} // namespace kvl::points
