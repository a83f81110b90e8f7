#include "sim/WaveRecorder.h"

#include <algorithm>
#include <cmath>

#include "protocol/Frame.h"

namespace kvl::sim {
namespace {

constexpr int32_t kNanosPerSamplingUnit = 100000;   // 0.1 ms
constexpr int32_t kPositionScaleMicro = 100;        // 0.0001 per count, in millionths
constexpr int32_t kSpeedScale = 10000000;           // 0.1 mm/s per count, in 1e-8
constexpr double kSpeedCountsPerUnit = 10.0;
constexpr uint16_t kFinishedFlag = 0x8000;

int16_t Clamp16(double v)
{
    return static_cast<int16_t>(std::clamp(std::lround(v), -32767L, 32767L));
}

} // namespace

std::vector<uint8_t> WaveRecorder::ScalesData()
{
    std::vector<uint8_t> data;
    frame::PutI32(data, kNanosPerSamplingUnit);
    frame::PutI32(data, kPositionScaleMicro);
    frame::PutI32(data, kPositionScaleMicro);
    frame::PutI32(data, kSpeedScale);
    return data;
}

bool WaveRecorder::Start(uint16_t sampling, uint8_t mask, const Signals &now)
{
    std::vector<uint8_t> channels;
    for (int bit = 0; bit < 8; ++bit)
        if (mask & (1u << bit))
            channels.push_back(static_cast<uint8_t>(1u << bit));
    if (channels.empty() || channels.size() > 2)
        return false;
    m_channels = channels;
    m_sampling = std::max<uint16_t>(sampling, 1);
    m_values.clear();
    m_actualBase.clear();
    m_commandBase.clear();
    m_reportedActual = now.actualPosition;
    m_reportedCommand = now.commandPosition;
    m_recorded = 0;
    m_delivered = 0;
    m_tickCount = 0;
    m_recording = true;
    m_finished = false;
    return true;
}

void WaveRecorder::Stop()
{
    m_recording = false;
    m_finished = true;
}

// Positions travel as increments from the previous sample; an increment too large for 16 bits is
// carried into the next samples so that their sum still reaches the real position.
int16_t WaveRecorder::Value(uint8_t bit, const Signals &s)
{
    switch (bit) {
    case kActualPosition: {
        const int16_t step = Clamp16(static_cast<double>(s.actualPosition - m_reportedActual));
        m_reportedActual += step;
        return step;
    }
    case kCommandPosition: {
        const int16_t step = Clamp16(static_cast<double>(s.commandPosition - m_reportedCommand));
        m_reportedCommand += step;
        return step;
    }
    case kPositionDeviation:
        return Clamp16(static_cast<double>(s.commandPosition - s.actualPosition));
    case kActualCurrent:
        return Clamp16(s.actualCurrent);
    case kActualSpeed:
        return Clamp16(s.actualSpeed * kSpeedCountsPerUnit);
    case kCommandSpeed:
        return Clamp16(s.commandSpeed * kSpeedCountsPerUnit);
    case kSpeedDeviation:
        return Clamp16((s.commandSpeed - s.actualSpeed) * kSpeedCountsPerUnit);
    default:
        return Clamp16(s.commandCurrent);
    }
}

void WaveRecorder::Tick(const Signals &now)
{
    if (!m_recording)
        return;
    if (++m_tickCount < m_sampling)
        return;
    m_tickCount = 0;
    m_actualBase.push_back(static_cast<int32_t>(m_reportedActual));
    m_commandBase.push_back(static_cast<int32_t>(m_reportedCommand));
    for (uint8_t bit : m_channels)
        m_values.push_back(Value(bit, now));
    if (++m_recorded >= kRecordLength)
        m_recording = false;
}

std::vector<uint8_t> WaveRecorder::TakeBatch()
{
    const int channels = std::max(ChannelCount(), 1);
    const int pending = m_recorded - m_delivered;
    const int samples = std::min(pending, kMaxBatchValues / channels);
    const bool done = m_finished || m_recorded >= kRecordLength;
    const bool last = done && samples == pending;

    std::vector<uint8_t> data;
    const int valueCount = samples * channels;
    frame::PutU16(data, static_cast<uint16_t>(valueCount | (last ? kFinishedFlag : 0)));
    if (samples == 0) {
        data.resize(data.size() + 12, 0x00);
        return data;
    }
    frame::PutI32(data, m_delivered * channels);
    frame::PutI32(data, m_commandBase[static_cast<size_t>(m_delivered)]);
    frame::PutI32(data, m_actualBase[static_cast<size_t>(m_delivered)]);
    const size_t first = static_cast<size_t>(m_delivered) * static_cast<size_t>(channels);
    for (size_t i = 0; i < static_cast<size_t>(valueCount); ++i)
        frame::PutU16(data, static_cast<uint16_t>(m_values[first + i]));
    m_delivered += samples;
    return data;
}

} // namespace kvl::sim
