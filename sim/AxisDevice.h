#pragma once
// One simulated controller on the bus: identification, parameters, point table, motion (servo,
// homing, jog, inching, program), I/O, alarms, waveform recorder and auto-tuning, answering every
// command in the controller's reply formats. Owned by the SimBus; bus thread only.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "sim/AlarmLog.h"
#include "sim/AutoTuner.h"
#include "sim/MotionAxis.h"
#include "sim/ParameterStore.h"
#include "sim/PointTable.h"
#include "sim/ProgramRunner.h"
#include "sim/SimDevice.h"
#include "sim/WaveRecorder.h"

namespace kvl::sim {

class AxisDevice : public SimDevice {
public:
    // Bits of the I/O word's output half (bit 16 = output 1).
    static constexpr uint32_t kOutServoOn = 1u << 16;
    static constexpr uint32_t kOutHomeDone = 1u << 17;
    static constexpr uint32_t kOutInPosition = 1u << 18;
    static constexpr uint32_t kOutAlarm = 1u << 19;
    static constexpr uint32_t kOutBusy = 1u << 20;
    static constexpr uint32_t kOutZone = 1u << 21;
    static constexpr uint32_t kOutPaused = 1u << 22;
    static constexpr uint32_t kOutRunning = 1u << 23;
    // Bits of the ReadOperationStatus flags byte.
    static constexpr uint8_t kFlagBusy = 0x01;
    static constexpr uint8_t kFlagInPosition = 0x02;
    static constexpr uint8_t kFlagHomeDone = 0x04;
    static constexpr uint8_t kFlagOperating = 0x08;
    static constexpr uint8_t kFlagAlarm = 0x10;
    static constexpr uint8_t kFlagPaused = 0x20;
    // Run of 0xFF the bulk step read ends with; the reader waits for at least 40 of them.
    static constexpr size_t kBulkReadPaddingLength = 48;
    // A jog stops when no JogStart has come for this long.
    static constexpr int kJogKeepAliveMs = 100;

    AxisDevice(uint8_t address, const ModelInfo &model, const std::string &version, const std::string &name);

    uint8_t Address() const override { return m_address; }
    const ModelInfo &Model() const override { return m_model; }
    std::vector<uint8_t> Handle(uint8_t command, const uint8_t *payload, size_t length) override;
    void Advance(int64_t micros) override;
    nlohmann::json SaveState() const override;
    void LoadState(const nlohmann::json &state) override;

    // Read access for tests and the demo display.
    const std::string &Name() const { return m_name; }
    const std::string &Version() const { return m_version; }
    const MotionAxis &Motion() const { return m_motion; }
    const ParameterStore &Parameters() const { return m_params; }
    ParameterStore &Parameters() { return m_params; }
    PointTable &Table() { return m_table; }
    const AlarmLog &Alarms() const { return m_alarms; }
    // Tests raise an alarm or fill the history directly.
    AlarmLog &Alarms() { return m_alarms; }
    bool HomeDone() const { return m_homeDone; }
    // The auto-tuner's states and values, for tests.
    const AutoTuner &Tuner() const { return m_tuner; }
    // Tests: a write of parameter `number` is acknowledged, but `stored` is kept in place of the
    // value sent (a controller that adjusts or ignores a value).
    void StoreInsteadOnWrite(int number, int32_t stored) { m_storeInstead[number] = stored; }
    // Test hook: a write of parameter `number` is answered with a zero status and changes nothing
    // (a controller that refuses one value).
    void RefuseParameterWrite(int number) { m_refusedWrites.insert(number); }
    // Test hook: a read of parameter `number` is answered with the refusal pattern.
    void RefuseParameterRead(int number) { m_refusedReads.insert(number); }
    // Test hook: the name the controller answers with, as if someone had written it.
    void SetName(const std::string &name) { m_name = name.substr(0, 16); }
    bool ProgramActive() const { return m_program.Active(); }
    // Test hooks: the run mode reads automatic although no program runs (a start input held);
    // a frame the bulk step read sends after the table's own (a record the table cannot hold,
    // such as record step number 0).
    void SetAutomaticMode(bool automatic) { m_automatic = automatic; }
    void AddBulkReadFrame(uint16_t addressed, const StepRecord &record) { m_extraBulkFrames.push_back({addressed, record}); }
    // Tests: what ReadRemoteState answers (1 while an upper controller operates the axis remotely).
    void SetRemoteState(uint8_t state) { m_remoteState = state; }
    int StepCount() const;
    uint32_t IoWord() const;
    int32_t ActualCounts() const;
    int32_t CommandCounts() const;

private:
    using Handler = std::vector<uint8_t> (AxisDevice::*)(uint8_t, const uint8_t *, size_t);
    static const std::map<uint8_t, Handler> &Handlers();

    // Identification and status
    std::vector<uint8_t> OnReadDeviceType(uint8_t c, const uint8_t *p, size_t n);
    std::vector<uint8_t> OnReadVersionAndName(uint8_t c, const uint8_t *p, size_t n);
    std::vector<uint8_t> OnWriteDeviceName(uint8_t c, const uint8_t *p, size_t n);
    std::vector<uint8_t> OnReadFlag(uint8_t c, const uint8_t *p, size_t n);
    std::vector<uint8_t> OnReadPositions(uint8_t c, const uint8_t *p, size_t n);
    std::vector<uint8_t> OnReadCurrentStep(uint8_t c, const uint8_t *p, size_t n);
    std::vector<uint8_t> OnReadOperationStatus(uint8_t c, const uint8_t *p, size_t n);
    // Parameters and point table
    std::vector<uint8_t> OnReadParameter(uint8_t c, const uint8_t *p, size_t n);
    std::vector<uint8_t> OnWriteParameter(uint8_t c, const uint8_t *p, size_t n);
    std::vector<uint8_t> OnReadSteps(uint8_t c, const uint8_t *p, size_t n);
    std::vector<uint8_t> OnWriteStep(uint8_t c, const uint8_t *p, size_t n);
    std::vector<uint8_t> OnClearPointTable(uint8_t c, const uint8_t *p, size_t n);
    // Motion
    std::vector<uint8_t> OnServo(uint8_t c, const uint8_t *p, size_t n);
    std::vector<uint8_t> OnHomeReturn(uint8_t c, const uint8_t *p, size_t n);
    std::vector<uint8_t> OnStartProgram(uint8_t c, const uint8_t *p, size_t n);
    std::vector<uint8_t> OnStop(uint8_t c, const uint8_t *p, size_t n);
    std::vector<uint8_t> OnJogStart(uint8_t c, const uint8_t *p, size_t n);
    std::vector<uint8_t> OnInchingMove(uint8_t c, const uint8_t *p, size_t n);
    // Monitor and alarms
    std::vector<uint8_t> OnReadIOSignals(uint8_t c, const uint8_t *p, size_t n);
    std::vector<uint8_t> OnSetInputSignal(uint8_t c, const uint8_t *p, size_t n);
    std::vector<uint8_t> OnReadLoadFactor(uint8_t c, const uint8_t *p, size_t n);
    std::vector<uint8_t> OnAlarm(uint8_t c, const uint8_t *p, size_t n);
    // Waveform and tuning
    std::vector<uint8_t> OnWave(uint8_t c, const uint8_t *p, size_t n);
    std::vector<uint8_t> OnStartAutoTuning(uint8_t c, const uint8_t *p, size_t n);
    std::vector<uint8_t> OnReadAutoTuningStatus(uint8_t c, const uint8_t *p, size_t n);
    std::vector<uint8_t> OnReadRemoteState(uint8_t c, const uint8_t *p, size_t n);

    std::vector<uint8_t> Status(uint8_t command, bool ok) const;
    std::vector<uint8_t> BulkRead() const;
    void Tick();
    bool Quiescent() const;
    AxisLimits Limits() const;
    bool Operating() const;
    bool InPosition() const;
    uint8_t StateByte() const;
    uint8_t LoadFactor() const;
    double JogSpeed() const;
    void RaiseAlarm(uint8_t code);
    void StopEverything();
    WaveRecorder::Signals CurrentSignals() const;

    uint8_t m_address;
    ModelInfo m_model;
    std::string m_version;
    std::string m_name;
    ParameterStore m_params;
    std::map<int, int32_t> m_storeInstead;
    std::set<int> m_refusedWrites;
    std::set<int> m_refusedReads;
    uint8_t m_remoteState = 0;
    PointTable m_table;
    bool m_automatic = false;
    std::vector<std::pair<uint16_t, StepRecord>> m_extraBulkFrames;
    MotionAxis m_motion;
    ProgramRunner m_program;
    AutoTuner m_tuner;
    AlarmLog m_alarms;
    WaveRecorder m_wave;
    bool m_homeDone = false;
    bool m_homing = false;
    bool m_inching = false;
    uint16_t m_inputs = 0;
    int64_t m_ticks = 0;
    int64_t m_jogDeadline = 0;
    int64_t m_pendingMicros = 0;
};

} // namespace kvl::sim
