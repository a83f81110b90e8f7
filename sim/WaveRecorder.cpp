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
    channels_ = channels;
    sampling_ = std::max<uint16_t>(sampling, 1);
    values_.clear();
    actualBase_.clear();
    commandBase_.clear();
    reportedActual_ = now.actualPosition;
    reportedCommand_ = now.commandPosition;
    recorded_ = 0;
    delivered_ = 0;
    tickCount_ = 0;
    recording_ = true;
    finished_ = false;
    return true;
}

void WaveRecorder::Stop()
{
    recording_ = false;
    finished_ = true;
}

// Positions travel as increments from the previous sample; an increment too large for 16 bits is
// carried into the next samples so that their sum still reaches the real position.
int16_t WaveRecorder::Value(uint8_t bit, const Signals &s)
{
    switch (bit) {
    case kActualPosition: {
        const int16_t step = Clamp16(static_cast<double>(s.actualPosition - reportedActual_));
        reportedActual_ += step;
        return step;
    }
    case kCommandPosition: {
        const int16_t step = Clamp16(static_cast<double>(s.commandPosition - reportedCommand_));
        reportedCommand_ += step;
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
    if (!recording_)
        return;
    if (++tickCount_ < sampling_)
        return;
    tickCount_ = 0;
    actualBase_.push_back(static_cast<int32_t>(reportedActual_));
    commandBase_.push_back(static_cast<int32_t>(reportedCommand_));
    for (uint8_t bit : channels_)
        values_.push_back(Value(bit, now));
    if (++recorded_ >= kRecordLength)
        recording_ = false;
}

std::vector<uint8_t> WaveRecorder::TakeBatch()
{
    const int channels = std::max(ChannelCount(), 1);
    const int pending = recorded_ - delivered_;
    const int samples = std::min(pending, kMaxBatchValues / channels);
    const bool done = finished_ || recorded_ >= kRecordLength;
    const bool last = done && samples == pending;

    std::vector<uint8_t> data;
    const int valueCount = samples * channels;
    frame::PutU16(data, static_cast<uint16_t>(valueCount | (last ? kFinishedFlag : 0)));
    if (samples == 0) {
        data.resize(data.size() + 12, 0x00);
        return data;
    }
    frame::PutI32(data, delivered_ * channels);
    frame::PutI32(data, commandBase_[static_cast<size_t>(delivered_)]);
    frame::PutI32(data, actualBase_[static_cast<size_t>(delivered_)]);
    const size_t first = static_cast<size_t>(delivered_) * static_cast<size_t>(channels);
    for (size_t i = 0; i < static_cast<size_t>(valueCount); ++i)
        frame::PutU16(data, static_cast<uint16_t>(values_[first + i]));
    delivered_ += samples;
    return data;
}

} // namespace kvl::sim
