#include "sim/BusRunner.h"

#include <chrono>
#include <cmath>
#include <set>

#include "protocol/CommandCodes.h"
#include "protocol/Frame.h"
#include "sim/GatewayDevice.h"

namespace kvl::sim {
namespace {

constexpr int kPollMs = 2;
constexpr size_t kReadChunk = 4096;
constexpr double kMicrosPerSecond = 1e6;
constexpr int64_t kLongestSleepMicros = 500;

// Gateway code of a PC line speed (parameter 3), 0 for a speed the unit cannot run.
int SpeedCode(int baud)
{
    switch (baud) {
    case 38400: return 1;
    case 57600: return 2;
    case 115200: return 3;
    default: return 0;
    }
}

void SleepUntil(int64_t micros, int64_t now)
{
    if (micros > now)
        std::this_thread::sleep_for(std::chrono::microseconds(micros - now));
}

} // namespace

BusRunner::BusRunner(std::unique_ptr<SimBus> bus, Settings settings)
    : m_bus(std::move(bus)), m_settings(std::move(settings)), m_faults(m_settings.faults, m_settings.seed),
      m_baud(m_settings.baud)
{
    // The gateway's own speed setting starts at the bus speed, so writing it later moves the bus.
    if (GatewayDevice *gateway = m_bus->Gateway())
        if (const int code = SpeedCode(m_settings.baud))
            gateway->Parameters().Set(unitparam::kSpeedToPc, code);
    m_lastRequestedSpeed = m_bus->RequestedBusSpeed();
}

BusRunner::~BusRunner()
{
    Stop();
}

bool BusRunner::Open(std::string *error)
{
    if (m_pty.Open())
        return true;
    if (error)
        *error = m_pty.Error();
    return false;
}

int64_t BusRunner::NowMicros()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

bool BusRunner::Start()
{
    if (!m_pty.IsOpen() || m_thread.joinable())
        return false;
    m_stop = false;
    m_thread = std::thread([this] { Run(m_stop); });
    return true;
}

void BusRunner::Stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

void BusRunner::SetSilent(uint8_t address, bool silent)
{
    std::lock_guard<std::mutex> lock(m_faultsMutex);
    m_faults.SetSilent(address, silent);
}

void BusRunner::SetReplyDelay(int ms)
{
    std::lock_guard<std::mutex> lock(m_faultsMutex);
    m_faults.SetDelay(ms);
}

void BusRunner::SetWrongLength(uint8_t address, uint8_t command, bool on)
{
    std::lock_guard<std::mutex> lock(m_faultsMutex);
    m_faults.SetWrongLength(address, command, on);
}

std::vector<uint8_t> BusRunner::CommandsReceived(uint8_t address) const
{
    std::lock_guard<std::mutex> lock(m_receivedMutex);
    std::vector<uint8_t> commands;
    for (const LoggedRequest &request : m_received)
        if (request.address == address)
            commands.push_back(request.command);
    return commands;
}

std::vector<BusRunner::LoggedRequest> BusRunner::RequestLog() const
{
    std::lock_guard<std::mutex> lock(m_receivedMutex);
    return {m_received.begin(), m_received.end()};
}

bool BusRunner::IsWrite(uint8_t command)
{
    static const std::set<uint8_t> kWrites{
        cmd::kCmdWriteDeviceName, cmd::kCmdWriteParameter,  cmd::kCmdWriteStep,        cmd::kCmdClearPointTable,
        cmd::kCmdServoOn,         cmd::kCmdServoOff,        cmd::kCmdHomeReturn,       cmd::kCmdStartProgram,
        cmd::kCmdJogStart,        cmd::kCmdInchingMove,     cmd::kCmdSetInputSignal,   cmd::kCmdAlarmReset,
        cmd::kCmdClearAlarmHistory, cmd::kCmdWriteUnitDeviceList, cmd::kCmdWriteUnitDeviceTables,
    };
    return kWrites.count(command) != 0;
}

std::vector<BusRunner::LoggedRequest> BusRunner::WritesReceived() const
{
    std::vector<LoggedRequest> writes;
    for (LoggedRequest &request : RequestLog())
        if (IsWrite(request.command))
            writes.push_back(std::move(request));
    return writes;
}

void BusRunner::ClearCommandsReceived()
{
    std::lock_guard<std::mutex> lock(m_receivedMutex);
    m_received.clear();
}

void BusRunner::AdvanceClock()
{
    const int64_t now = NowMicros();
    if (m_lastAdvanceMicros == 0)
        m_lastAdvanceMicros = now;
    std::lock_guard<std::mutex> lock(m_busMutex);
    m_bus->Advance(now - m_lastAdvanceMicros);
    m_lastAdvanceMicros = now;
}

void BusRunner::Run(const std::atomic<bool> &stop)
{
    std::vector<uint8_t> buffer(kReadChunk);
    m_runningStop = &stop;
    m_lastAdvanceMicros = NowMicros();
    while (!stop.load()) {
        const int n = m_pty.Read(buffer.data(), buffer.size(), kPollMs);
        AdvanceClock();
        if (n < 0) {
            // No slave side open at the moment: wait for the tool to open it.
            std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
            continue;
        }
        if (n == 0)
            continue;
        m_assembler.Feed(buffer.data(), static_cast<size_t>(n), NowMicros());
        while (auto request = m_assembler.Next())
            Serve(*request);
    }
}

void BusRunner::Serve(const FrameAssembler::Request &request)
{
    // On a real line a receiver at the wrong speed sees only garbage; the devices keep quiet.
    if (m_pty.SlaveSpeed() != m_baud.load()) {
        ++m_gated;
        return;
    }
    const uint8_t address = request.bytes[frame::kOffsetAxis];
    {
        std::lock_guard<std::mutex> lock(m_receivedMutex);
        LoggedRequest logged{address, request.bytes[frame::kOffsetCommand], {}};
        if (request.bytes.size() > frame::kFrameOverhead)
            logged.payload.assign(request.bytes.begin() + frame::kOffsetData,
                                  request.bytes.begin() + static_cast<std::ptrdiff_t>(
                                                              request.bytes.size() - (frame::kFrameOverhead - frame::kOffsetData)));
        m_received.push_back(std::move(logged));
        if (m_received.size() > kReceivedKept)
            m_received.pop_front();
    }
    std::vector<uint8_t> reply;
    int requested = 0;
    {
        std::lock_guard<std::mutex> lock(m_busMutex);
        reply = m_bus->Dispatch(request.bytes.data(), request.bytes.size());
        requested = m_bus->RequestedBusSpeed();
    }
    std::vector<FaultInjector::Chunk> chunks;
    {
        std::lock_guard<std::mutex> lock(m_faultsMutex);
        chunks = m_faults.Shape(address, std::move(reply));
    }
    if (!chunks.empty())
        ++m_answered;
    // The reply still goes out at the speed the request came in.
    const double byteMicros = kBitsPerByte * kMicrosPerSecond / m_baud.load();
    int64_t ready = NowMicros();
    if (m_settings.pace) {
        const int64_t wireDone = request.firstByteMicros + std::llround(static_cast<double>(request.bytes.size()) * byteMicros);
        ready = std::max(ready, wireDone) + kTurnaroundMicros;
    }
    // A write of the gateway's PC speed moves the bus once this reply is out; the gate takes the
    // new speed from the next request on.
    if (requested != 0 && requested != m_lastRequestedSpeed) {
        m_lastRequestedSpeed = requested;
        m_baud = requested;
    }
    Send(chunks, ready, byteMicros);
    if (!chunks.empty() && m_faults.StreamsAfter(address))
        StreamNoise(byteMicros);
    ++m_sent;
}

// The line goes on carrying bytes at the bus speed; the requests that come meanwhile wait in
// the pty and are served afterwards, one by one.
void BusRunner::StreamNoise(double byteMicros)
{
    const auto count = static_cast<int>(FaultInjector::kStreamMs * 1000.0 / byteMicros);
    WritePaced(m_faults.RandomBytes(count), NowMicros(), byteMicros);
}

void BusRunner::Send(const std::vector<FaultInjector::Chunk> &chunks, int64_t readyMicros, double byteMicros)
{
    int64_t at = readyMicros;
    for (const auto &chunk : chunks) {
        at += chunk.delayMicros;
        SleepUntil(at, NowMicros());
        if (m_settings.pace)
            WritePaced(chunk.bytes, at, byteMicros);
        else
            m_pty.Write(chunk.bytes.data(), chunk.bytes.size());
        at = std::max(at, NowMicros());
    }
}

// Writes each byte when its last bit would have left a real line at the bus speed; false when
// the runner was stopped first.
bool BusRunner::WritePaced(const std::vector<uint8_t> &bytes, int64_t startMicros, double byteMicros)
{
    size_t sent = 0;
    while (sent < bytes.size()) {
        if (m_runningStop->load())
            return false;
        const int64_t now = NowMicros();
        const auto due = std::min<int64_t>(static_cast<int64_t>((now - startMicros) / byteMicros),
                                           static_cast<int64_t>(bytes.size()));
        if (due > static_cast<int64_t>(sent)) {
            m_pty.Write(bytes.data() + sent, static_cast<size_t>(due) - sent);
            sent = static_cast<size_t>(due);
            continue;
        }
        const int64_t next = startMicros + std::llround(static_cast<double>(sent + 1) * byteMicros);
        std::this_thread::sleep_for(std::chrono::microseconds(std::min(next - now, kLongestSleepMicros)));
    }
    return true;
}

} // namespace kvl::sim
