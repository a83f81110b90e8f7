#pragma once
// CServoWaveSource: the capture's commands sent through the command layer to one axis, with the
// waveform window's timeouts (30 ms for scales and start, 80 ms between bytes of a batch, 200 ms
// for stop). Holds a pointer to the application's CServoCommands, which it never owns. Called
// on the thread that makes the exchanges.
#include "waveform/IWaveCommandSource.h"

namespace kvl {

class CServoCommands;

class CServoWaveSource : public IWaveCommandSource {
public:
    static constexpr int kTimeoutScalesMs = 30;
    static constexpr int kTimeoutStartMs = 30;
    static constexpr int kTimeoutDataMs = 80;
    static constexpr int kTimeoutStopMs = 200;

    CServoWaveSource(CServoCommands *commands, uint8_t axis);

    uint8_t Axis() const { return m_axis; }

    int ReadWaveScales(WaveScales &scales) override;
    int StartWaveCapture(uint16_t sampling, uint8_t captureMask, uint8_t &status) override;
    int ReadWaveData(int channels, WaveBatch &batch) override;
    int StopWaveCapture(uint8_t &status) override;

private:
    CServoCommands *m_commands;
    uint8_t m_axis;
};

} // namespace kvl
