#include "FakeWaveSource.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace kvl::test {

ScriptedBatch &FakeWaveSource::Queue(std::vector<int16_t> samples, bool finished, int32_t firstIndex)
{
    ScriptedBatch batch;
    batch.samples = std::move(samples);
    batch.finished = finished;
    batch.firstIndex = firstIndex;
    batches.push_back(std::move(batch));
    return batches.back();
}

int FakeWaveSource::Count(const std::string &call) const
{
    return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

int FakeWaveSource::ReadWaveScales(WaveScales &out)
{
    calls.push_back("scales");
    if (duringScales)
        duringScales();
    if (scalesResult == kResultOk)
        out = scales;
    return scalesResult;
}

int FakeWaveSource::StartWaveCapture(uint16_t sampling, uint8_t captureMask, uint8_t &status)
{
    char text[48];
    std::snprintf(text, sizeof(text), "start %u 0x%02X", static_cast<unsigned>(sampling),
                  static_cast<unsigned>(captureMask));
    calls.push_back(text);
    if (startResult == kResultOk)
        status = startStatus;
    return startResult;
}

int FakeWaveSource::ReadWaveData(int channels, WaveBatch &batch)
{
    calls.push_back("data " + std::to_string(channels));
    if (duringData)
        duringData();
    if (batches.empty())
        return kResultOk;   // an empty batch leaves `batch` as the caller had it
    const ScriptedBatch scripted = batches.front();
    batches.pop_front();
    if (scripted.result != kResultOk)
        return scripted.result;
    const int count = static_cast<int>(scripted.samples.size());
    batch.finished = scripted.finished;
    batch.channel1.clear();
    batch.channel2.clear();
    if (channels == 1) {
        batch.count = count;
        batch.channel1 = scripted.samples;
    } else {
        batch.count = count / 2;
        for (int k = 0; k < batch.count; ++k) {
            batch.channel1.push_back(scripted.samples[static_cast<std::size_t>(2 * k)]);
            batch.channel2.push_back(scripted.samples[static_cast<std::size_t>(2 * k + 1)]);
        }
    }
    if (count != 0) {
        batch.firstIndex = channels == 2 ? scripted.firstIndex / 2 : scripted.firstIndex;
        batch.commandBase = scripted.commandBase;
        batch.actualBase = scripted.actualBase;
    }
    return kResultOk;
}

int FakeWaveSource::StopWaveCapture(uint8_t &status)
{
    calls.push_back("stop");
    status = 1;
    return stopResult;
}

} // namespace kvl::test
