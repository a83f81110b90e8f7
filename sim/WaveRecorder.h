#pragma once
// The controller's waveform recorder: samples up to two internal signals every `sampling` ticks
// of 0.1 ms into its buffer and hands them out in ReadWaveData batches. Owned by one AxisDevice;
// bus thread only.
#include <cstdint>
#include <vector>

namespace kvl::sim {

class WaveRecorder {
public:
    static constexpr int kRecordLength = 4000;      // samples per channel the buffer holds
    static constexpr int kMaxBatchValues = 1000;    // 16-bit values per ReadWaveData reply

    // Capture bits of the signals, in the order the channels are sent.
    static constexpr uint8_t kActualPosition = 0x01;
    static constexpr uint8_t kCommandPosition = 0x02;
    static constexpr uint8_t kPositionDeviation = 0x04;
    static constexpr uint8_t kActualCurrent = 0x08;
    static constexpr uint8_t kActualSpeed = 0x10;
    static constexpr uint8_t kCommandSpeed = 0x20;
    static constexpr uint8_t kSpeedDeviation = 0x40;
    static constexpr uint8_t kCommandCurrent = 0x80;

    // One tick's signals: positions in counts of 0.0001, speeds in mm/s, currents in mA.
    struct Signals {
        int64_t actualPosition = 0;
        int64_t commandPosition = 0;
        double actualSpeed = 0;
        double commandSpeed = 0;
        double actualCurrent = 0;
        double commandCurrent = 0;
    };

    // ReadWaveScales data: ns per sampling unit, two position scales, the speed scale.
    static std::vector<uint8_t> ScalesData();

    // Starts a new recording; false for a mask of no channel or more than two.
    bool Start(uint16_t sampling, uint8_t mask, const Signals &now);
    void Stop();
    bool Recording() const { return m_recording; }
    // Called every tick of the simulation.
    void Tick(const Signals &now);
    // The next ReadWaveData reply data; marks what it carries as delivered.
    std::vector<uint8_t> TakeBatch();

    int ChannelCount() const { return static_cast<int>(m_channels.size()); }
    int RecordedSamples() const { return m_recorded; }

private:
    int16_t Value(uint8_t bit, const Signals &s);

    bool m_recording = false;
    bool m_finished = true;
    uint16_t m_sampling = 1;
    int m_tickCount = 0;
    std::vector<uint8_t> m_channels;
    std::vector<int16_t> m_values;             // interleaved by channel
    std::vector<int32_t> m_actualBase;         // reported actual position before each sample
    std::vector<int32_t> m_commandBase;
    int64_t m_reportedActual = 0;              // position the samples so far add up to
    int64_t m_reportedCommand = 0;
    int m_recorded = 0;
    int m_delivered = 0;                       // samples per channel already sent
};

} // namespace kvl::sim
