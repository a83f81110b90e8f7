#include "points/CAxisStatusPoller.h"

#include <chrono>

#include "base/CModelTraits.h"
#include "base/TextNumber.h"
#include "config/CAppValues.h"
#include "link/ResultCode.h"
#include "points/AxisWindowState.h"
#include "protocol/CServoCommands.h"
#include "protocol/CommandCodes.h"

namespace kvl::points {
namespace {

constexpr double kPositionUnitsPerValue = 10000.0;
constexpr int kSettingDecimalsOffset = 2;

} // namespace

bool CAxisStatusPoller::Run(std::initializer_list<std::function<int()>> reads)
{
    for (const auto &read : reads) {
        const int result = read();
        if (IsNoAnswer(result)) {
            // A controller that does not answer would hold the window for every further read.
            m_state.silent = true;
            if (result == kResultTimeout)
                m_state.lateUntil = std::chrono::steady_clock::now() + std::chrono::milliseconds(CServoCommands::kTimeoutMs);
            return false;
        }
        // Anything else came back from the controller: it is not silent. A read that failed
        // otherwise (a spoiled or wrong-length reply) keeps its own item and the others go on.
        m_state.silent = false;
    }
    return true;
}

bool CAxisStatusPoller::Probe()
{
    std::string model, version, name;
    const int result = m_state.commands.ReadDeviceType(model, version, name, m_state.Address(),
                                                       CServoCommands::kTimeoutShortMs);
    m_state.silent = IsNoAnswer(result);
    return !m_state.silent;
}

void CAxisStatusPoller::OpeningPass()
{
    Run({[this] { return ReadServo(); }, [this] { return ReadHome(); }, [this] { return ReadRunMode(); },
         [this] { return ReadPositions(); }, [this] { return ReadAlarm(); }});
}

void CAxisStatusPoller::StatusTick()
{
    // A silent axis is asked only with the short identification read; its answer brings the
    // status reads back at once. Not while the read that found the silence may still be answered
    // late: the transport would wait for that answer first.
    if (m_state.silent && (std::chrono::steady_clock::now() < m_state.lateUntil || !Probe()))
        return;
    Run({[this] { return ReadServo(); }, [this] { return ReadHome(); }, [this] { return ReadRunMode(); },
         [this] { return ReadAlarm(); }});
}

void CAxisStatusPoller::MotionTick()
{
    Run({[this] { return ReadOperation(); }, [this] { return ReadPositions(); },
         [this] { return m_state.running ? ReadStep() : kResultOk; }});
}

int CAxisStatusPoller::ReadServo()
{
    uint8_t on = 0;
    const int result = m_state.commands.ReadServoState(on, m_state.Address(), CServoCommands::kTimeoutMs);
    if (result == kResultOk)
        m_state.servoOn = on != 0;
    return result;
}

int CAxisStatusPoller::ReadHome()
{
    uint8_t done = 0;
    const int result = m_state.commands.ReadHomeDone(done, m_state.Address(), CServoCommands::kTimeoutMs);
    if (result != kResultOk)
        return result;
    m_state.homeDone = done != 0;
    if (!m_state.homeDone) {
        m_state.homeSeen = false;
    } else if (!m_state.homeSeen) {
        // A completed home return starts the program from its first step again.
        m_state.homeSeen = true;
        m_state.startRow = 1;
    }
    return result;
}

int CAxisStatusPoller::ReadRunMode()
{
    uint8_t manual = 0;
    const int result = m_state.commands.ReadRunMode(manual, m_state.Address(), CServoCommands::kTimeoutMs);
    if (result == kResultOk) {
        m_state.autoMode = manual == 0;
        m_state.manualMode = manual != 0;
    }
    return result;
}

int CAxisStatusPoller::ReadPositions()
{
    Positions positions;
    const int result = m_state.commands.ReadPositions(positions, m_state.Address(), CServoCommands::kTimeoutMs);
    if (result == kResultOk)
        m_state.position = positions.current;
    return result;
}

int CAxisStatusPoller::ReadAlarm()
{
    uint8_t code = 0;
    const int result = m_state.commands.ReadAlarmCode(code, m_state.Address(), CServoCommands::kTimeoutMs);
    if (result != kResultOk)
        return result;
    using AlarmBox = CAxisWindowModel::AlarmBox;
    if (code != cmd::kAlarmNone && code != cmd::kAlarmNoneAlt)
        m_state.alarm = AlarmBox::kAbnormal;
    else
        m_state.alarm = m_state.paused ? AlarmBox::kPause : AlarmBox::kNormal;
    return result;
}

int CAxisStatusPoller::ReadOperation()
{
    OperationStatus status;
    const int result = m_state.commands.ReadOperationStatus(status, m_state.Address(), CServoCommands::kTimeoutMs);
    if (result != kResultOk)
        return result;
    m_state.running = status.ProgramRunning();
    if (!m_state.running)
        m_state.jogging = false;
    m_state.paused = status.Paused();
    return result;
}

int CAxisStatusPoller::ReadStep()
{
    int step = 0;
    const int result = m_state.commands.ReadCurrentStep(step, m_state.Address(), CServoCommands::kTimeoutMs);
    if (result != kResultOk)
        return result;
    // The controller counts steps from 1, as the grid counts its rows.
    if (step != m_state.startRow && step != 0 && m_state.homeSeen && !m_state.jogging &&
        step <= m_state.table.StepCount())
        m_state.startRow = step;
    return result;
}

int CAxisStatusPoller::PositionDecimals() const
{
    const int setting = m_state.values.decimals.at(static_cast<size_t>(m_state.identity.axis));
    return CModelTraits::Of(m_state.identity.model).PositionDecimals(setting + kSettingDecimalsOffset);
}

std::string CAxisStatusPoller::PositionText(std::int64_t raw, int decimals)
{
    std::string text = FormatFixed(static_cast<double>(raw) / kPositionUnitsPerValue, decimals);
    if (!text.empty() && text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos)
        text.erase(0, 1);
    return text;
}

std::string CAxisStatusPoller::AbsText() const
{
    return PositionText(m_state.position, PositionDecimals());
}

std::string CAxisStatusPoller::IncText() const
{
    return PositionText(static_cast<std::int64_t>(m_state.position) - m_state.reference, PositionDecimals());
}

void CAxisStatusPoller::ResetCoordinate()
{
    if (!m_state.identity.offline)
        m_state.reference = m_state.position;
}

} // namespace kvl::points
