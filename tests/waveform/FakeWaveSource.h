#pragma once
// A command source for the capture tests: answers the four capture commands from a script and
// records every call in order. Batches are scripted as the controller sends them (samples of two
// channels interleaved, the first-sample index before halving) and split per channel the way the
// command layer does. Without a scripted batch ReadWaveData answers an empty, unfinished batch.
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "link/ResultCode.h"
#include "waveform/IWaveCommandSource.h"

namespace kvl::test {

struct ScriptedBatch {
    int result = kResultOk;
    bool finished = false;
    std::vector<int16_t> samples;   // as sent: channel 1, channel 2, channel 1, ...
    int32_t firstIndex = 0;         // as sent
    int32_t commandBase = 0;
    int32_t actualBase = 0;
};

class FakeWaveSource : public IWaveCommandSource {
public:
    int scalesResult = kResultOk;
    WaveScales scales{0.0001, 0.001, 0.001, 0.01};
    int startResult = kResultOk;
    uint8_t startStatus = 1;
    int stopResult = kResultOk;
    std::deque<ScriptedBatch> batches;

    // Run inside an exchange, as a window message dispatched while the transport waits.
    std::function<void()> duringScales;
    std::function<void()> duringData;

    std::vector<std::string> calls;   // "scales", "start <sampling> <mask>", "data <channels>", "stop"

    // Appends a batch of samples; returns it for further settings.
    ScriptedBatch &Queue(std::vector<int16_t> samples, bool finished = false, int32_t firstIndex = 0);
    int Count(const std::string &call) const;

    int ReadWaveScales(WaveScales &out) override;
    int StartWaveCapture(uint16_t sampling, uint8_t captureMask, uint8_t &status) override;
    int ReadWaveData(int channels, WaveBatch &batch) override;
    int StopWaveCapture(uint8_t &status) override;
};

} // namespace kvl::test
