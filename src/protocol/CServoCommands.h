#pragma once
// The command layer: every request the tool sends to a controller or to the gateway unit, built,
// exchanged through the communication facade and checked before any value is handed out.
//
// Every command makes exactly one facade exchange (ReadDeviceType chains a second command) and
// returns a result code (link/ResultCode.h): -200 success, a transport code as it came, -205 for a
// malformed reply, a refused argument or a zero status the command treats as failure, -206 for a
// parameter reply that answers another number, and 0 for the controller's refusal pattern (or the
// end-of-table frame of ReadAllSteps). Arguments: the values sent, then the output places, then
// the axis address (0..15, or 0xF1 for the gateway), then the timeout in milliseconds. Outputs are
// written only on -200, except where a command says otherwise.
//
// The application owns one instance; it holds the facade pointer and never owns the facade. Call
// it from the thread that makes the exchanges (the user-interface thread, or the CLI's main thread).
// The implementation is split by command family into CServoCommands*.cpp.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/ResultCode.h"
#include "protocol/ServoTypes.h"
#include "protocol/WriteRefusal.h"

namespace kvl {

class CComm;
class IWriteGate;

class CServoCommands {
public:
    // Timeouts the callers use.
    static constexpr int kTimeoutMs = 200;           // every command not listed below
    static constexpr int kTimeoutShortMs = 30;       // ReadDeviceType probes, wave scales/start, unit tables
    static constexpr int kTimeoutWaveDataMs = 80;    // ReadWaveData, an inter-byte timeout
    static constexpr int kSettleMs = 20;             // settle interval of every exchange but ReadWaveData

    explicit CServoCommands(CComm *comm);

    // ---- The write gate (IWriteGate.h) ----
    // Not owned; null checks nothing. Every parameter, step and unit-table write asks it first and
    // returns kResultOutOfRange, sending nothing, when it refuses.
    void SetWriteGate(IWriteGate *gate) { m_gate = gate; }
    IWriteGate *WriteGate() const { return m_gate; }
    // Called with every refusal, as it happens (a face shows or prints it).
    using RefusalHook = std::function<void(const WriteRefusal &)>;
    void SetRefusalHook(RefusalHook hook) { m_refusalHook = std::move(hook); }
    // The last refusal of this command layer (meaningful after a kResultOutOfRange).
    const WriteRefusal &LastRefusal() const { return m_lastRefusal; }

    // ---- Port operations, passed to the facade ----
    // Selects serial mode and opens port number `port` at `speed` bit/s: 1 open, 0 not.
    int OpenPort(int port, int speed);
    void ClosePort();
    int IsPortOpen();   // 1 or 0
    // Why the last OpenPort failed (missing, busy, not permitted); kNone after a good one.
    PortOpenCause PortOpenFailure();

    // ---- Identification and status ----
    // Model text from the type code, then ReadVersionAndName with 200 ms whatever `timeoutMs` was;
    // returns the second result. `model` is already set when the second request fails; a CRC
    // failure of either reply empties `name`.
    int ReadDeviceType(std::string &model, std::string &version, std::string &name, uint8_t axis,
                       int timeoutMs);
    // Version: the 4 characters as sent; name: up to 16 characters, ended at the first zero byte.
    int ReadVersionAndName(std::string &version, std::string &name, uint8_t axis, int timeoutMs);
    // Refuses a name longer than 16 bytes with -205 before sending; hands back the status byte.
    int WriteDeviceName(const std::string &name, uint8_t &status, uint8_t axis, int timeoutMs);
    int ReadServoState(uint8_t &servoOn, uint8_t axis, int timeoutMs);
    int ReadHomeDone(uint8_t &homeDone, uint8_t axis, int timeoutMs);
    int ReadPositions(Positions &positions, uint8_t axis, int timeoutMs);
    int ReadRunMode(uint8_t &manual, uint8_t axis, int timeoutMs);    // non-zero manual, 0 automatic
    int ReadCurrentStep(int &step, uint8_t axis, int timeoutMs);      // wire numbering, sign-extended
    int ReadOperationStatus(OperationStatus &status, uint8_t axis, int timeoutMs);

    // ---- Parameters (reads: -206 when the echoed number is another; 0 refused) ----
    int ReadParameter(uint16_t number, int32_t &value, uint8_t axis, int timeoutMs);
    int ReadParameterBytes(uint16_t number, std::array<uint8_t, 4> &bytes, uint8_t axis, int timeoutMs);
    int ReadParameterCodePair(uint16_t number, CodePair &pair, uint8_t axis, int timeoutMs);
    // Writes: -200 when the status is non-zero, -205 when zero, 0 refused.
    int WriteParameter(uint16_t number, int32_t value, uint8_t axis, int timeoutMs);
    int WriteParameterBytes(uint16_t number, const std::array<uint8_t, 4> &bytes, uint8_t axis,
                            int timeoutMs);
    int WriteParameterCodePair(uint16_t number, const CodePair &pair, uint8_t axis, int timeoutMs);
    // Value byte 0 of a code pair: group from the high nibble, code limited to 3.
    static CodePair DecodeCodePair(uint8_t valueByte0);

    // ---- Point table (steps and jumps in wire numbering; `model` picks the record form) ----
    // The whole table as text lines (CStepCodec::FormatLine, no line ends). 0 when the stream ends
    // in an empty refused frame; `lines` is replaced only on -200.
    int ReadAllSteps(const std::string &model, std::vector<std::string> &lines, uint8_t axis,
                     int timeoutMs);
    int ReadStep(int addressedStep, const std::string &model, StepRecord &record, uint8_t axis,
                 int timeoutMs);
    // record.step is both the addressed step and the record step number; zero status gives -205.
    int WriteStep(const StepRecord &record, const std::string &model, uint8_t axis, int timeoutMs);
    // Short form with the record step number 0; all values 0 clear the addressed step.
    int WriteStepValues(int addressedStep, const StepRecord &values, uint8_t axis, int timeoutMs);
    int ClearPointTable(uint8_t axis, int timeoutMs);

    // ---- Motion and operation (each hands back the status byte) ----
    int ServoOn(uint8_t &status, uint8_t axis, int timeoutMs);
    int ServoOff(uint8_t &status, uint8_t axis, int timeoutMs);
    int HomeReturn(uint8_t mode, uint8_t &status, uint8_t axis, int timeoutMs);   // 1 home, 0 manual
    int StartProgram(uint16_t startStep, uint8_t &status, uint8_t axis, int timeoutMs);
    int Stop(uint8_t &status, uint8_t axis, int timeoutMs);
    // The sign of `signedSpeed` picks the direction: > 0 positive (1), otherwise negative (2).
    int JogStart(int signedSpeed, uint8_t &status, uint8_t axis, int timeoutMs);
    int InchingMove(int signedSpeed, uint8_t &status, uint8_t axis, int timeoutMs);

    // ---- Monitor and alarms ----
    int ReadIOSignals(uint32_t &signalWord, uint8_t axis, int timeoutMs);
    // Input 0..15 (anything else is refused with -205 before sending).
    int SetInputSignal(int input, bool on, uint8_t &status, uint8_t axis, int timeoutMs);
    int ReadLoadFactor(const std::string &model, uint8_t &loadPercent, uint8_t axis, int timeoutMs);
    int ReadAlarmCode(uint8_t &code, uint8_t axis, int timeoutMs);
    int AlarmReset(uint8_t &status, uint8_t axis, int timeoutMs);
    // The 50 history slots in the order sent; history.size() is their count.
    int ReadAlarmHistory(std::vector<uint8_t> &history, uint8_t axis, int timeoutMs);
    int ClearAlarmHistory(uint8_t &status, uint8_t axis, int timeoutMs);

    // ---- Waveform capture ----
    int ReadWaveScales(WaveScales &scales, uint8_t axis, int timeoutMs);
    int StartWaveCapture(uint16_t sampling, uint8_t captureMask, uint8_t &status, uint8_t axis,
                         int timeoutMs);
    // One batch; `channels` is 1 or 2 (two channels: pairs split, count and first index halved).
    // The sample arrays are sized from the reply, never from a caller's guess.
    int ReadWaveData(int channels, WaveBatch &batch, uint8_t axis, int timeoutMs);
    int StopWaveCapture(uint8_t &status, uint8_t axis, int timeoutMs);

    // ---- Auto-tuning ----
    // direction 1 motor side, 0 anti-motor side; quality 1 requested. Zero status gives -205.
    int StartAutoTuning(uint16_t step, uint8_t direction, uint8_t quality, uint8_t axis, int timeoutMs);
    int ReadAutoTuningStatus(AutoTuningStatus &status, uint8_t axis, int timeoutMs);

    // ---- Gateway unit (codes the reader does not know read as 0, none) ----
    int ReadUnitDeviceList(UnitDeviceList &list, uint8_t axis, int timeoutMs);
    int WriteUnitDeviceList(const UnitDeviceList &list, uint8_t &status, uint8_t axis, int timeoutMs);
    int ReadUnitDeviceTables(UnitDeviceTables &tables, uint8_t axis, int timeoutMs);
    int WriteUnitDeviceTables(const UnitDeviceTables &tables, uint8_t &status, uint8_t axis,
                              int timeoutMs);
    int ReadRemoteState(uint8_t &state, uint8_t axis, int timeoutMs);

private:
    // Whether a bad CRC with 0F 00 00 after the command byte is the controller's refusal (0).
    enum class Refusal { kNotApplicable, kApplies };

    // Received bytes of one exchange; sized to the transport's receive limit.
    struct Reply {
        Reply();
        const uint8_t *Data() const;   // first byte after the command byte
        std::unique_ptr<uint8_t[]> bytes;
        int count = 0;
    };

    // One exchange of a built request; returns the facade's result.
    int Exchange(uint8_t axis, uint8_t command, const std::vector<uint8_t> &payload, int expected,
                 int timeoutMs, int settleMs, Reply &reply);
    // Exchange, then the reply checks up to the CRC (with the refusal pattern where it applies).
    int Transact(uint8_t axis, uint8_t command, const std::vector<uint8_t> &payload, int replyLength,
                 int timeoutMs, Refusal refusal, Reply &reply);
    // The checks of a received frame of `replyLength` bytes: length, start byte, axis, command
    // echo, CR LF, CRC (refusal pattern where it applies).
    static int CheckFrame(const Reply &reply, uint8_t axis, uint8_t command, int replyLength,
                          Refusal refusal);
    // A command whose reply is one status byte handed back to the caller.
    int StatusCommand(uint8_t command, const std::vector<uint8_t> &payload, uint8_t &status,
                      uint8_t axis, int timeoutMs, int replyLength = 8);
    // A command whose reply is one status byte the controller sets to acknowledge: a zero status
    // is a bad reply.
    int AcknowledgedCommand(uint8_t command, const std::vector<uint8_t> &payload, int replyLength,
                            Refusal refusal, uint8_t axis, int timeoutMs);
    // A parameter read: the echo check and the four value bytes.
    int ReadParameterRaw(uint16_t number, std::array<uint8_t, 4> &bytes, uint8_t axis, int timeoutMs);
    int WriteParameterRaw(uint16_t number, const std::array<uint8_t, 4> &bytes, uint8_t axis,
                          int timeoutMs);
    // Scans the bulk read's bytes into lines: -200, 0 at the end-of-table frame, -205 corrupt.
    static int ScanStepStream(const Reply &reply, uint8_t axis, bool longForm, std::vector<std::string> &lines);

    // False, after keeping and announcing the refusal, when the gate refused.
    bool Admitted(const std::optional<WriteRefusal> &refusal);

    CComm *m_comm;   // not owned
    IWriteGate *m_gate = nullptr;   // not owned
    RefusalHook m_refusalHook;
    WriteRefusal m_lastRefusal;
};

} // namespace kvl
