#include "waveform/CServoWaveSource.h"

#include "protocol/CServoCommands.h"

namespace kvl {

CServoWaveSource::CServoWaveSource(CServoCommands *commands, uint8_t axis) : m_commands(commands), m_axis(axis) {}

int CServoWaveSource::ReadWaveScales(WaveScales &scales)
{
    return m_commands->ReadWaveScales(scales, m_axis, kTimeoutScalesMs);
}

int CServoWaveSource::StartWaveCapture(uint16_t sampling, uint8_t captureMask, uint8_t &status)
{
    return m_commands->StartWaveCapture(sampling, captureMask, status, m_axis, kTimeoutStartMs);
}

int CServoWaveSource::ReadWaveData(int channels, WaveBatch &batch)
{
    return m_commands->ReadWaveData(channels, batch, m_axis, kTimeoutDataMs);
}

int CServoWaveSource::StopWaveCapture(uint8_t &status)
{
    return m_commands->StopWaveCapture(status, m_axis, kTimeoutStopMs);
}

} // namespace kvl
