#pragma once
// IWaveCommandSource: the four controller commands a waveform capture run needs, bound to one
// axis and to the run's timeouts. CServoWaveSource passes them to the command layer; tests play
// scripted replies through their own implementation. Each call returns a result code
// (link/ResultCode.h); outputs are meaningful only on -200. Called on the capture's thread.
#include <cstdint>

#include "protocol/ServoTypes.h"

namespace kvl {

class IWaveCommandSource {
public:
    virtual ~IWaveCommandSource() = default;

    virtual int ReadWaveScales(WaveScales &scales) = 0;
    // `status` non-zero: the controller started recording.
    virtual int StartWaveCapture(uint16_t sampling, uint8_t captureMask, uint8_t &status) = 0;
    // One batch with `channels` (1 or 2) interleaved channels, split per channel.
    virtual int ReadWaveData(int channels, WaveBatch &batch) = 0;
    virtual int StopWaveCapture(uint8_t &status) = 0;
};

} // namespace kvl
