// libFuzzer target for the reply checks of the fixed-length commands. The first input byte picks
// the command (low 7 bits) and whether the reply gets a matching CRC (high bit); the rest is the
// reply the facade hands back. Checks: no read past the reply (ASan),
// a known result code, outputs within their stated ranges, and outputs untouched unless -200.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "protocol/CServoCommands.h"

using kvl::fuzz::Check;

namespace {

constexpr uint8_t kAxis = 3;
constexpr int kTimeoutMs = 200;
constexpr std::size_t kNameLimit = 16;
constexpr std::size_t kVersionLength = 4;
constexpr std::size_t kAlarmSlots = 50;
constexpr int kCodeLimit = 3;

bool IsBit(int v) { return v == 0 || v == 1; }

using Probe = std::function<void(kvl::CServoCommands &)>;

// One probe per reply form: the command and the properties of its outputs.
const std::vector<Probe> &Probes()
{
    static const std::vector<Probe> probes = {
        [](kvl::CServoCommands &c) {
            std::string version = "v", name = "n";
            const int r = c.ReadVersionAndName(version, name, kAxis, kTimeoutMs);
            Check(kvl::fuzz::IsCommandResult(r));
            if (r == -200)
                Check(version.size() == kVersionLength && name.size() <= kNameLimit &&
                      name.find('\0') == std::string::npos);
            else
                Check(version == "v");
        },
        [](kvl::CServoCommands &c) {
            std::string model, version, name;
            Check(kvl::fuzz::IsCommandResult(c.ReadDeviceType(model, version, name, kAxis, kTimeoutMs)));
            Check(name.size() <= kNameLimit);
        },
        [](kvl::CServoCommands &c) {
            uint8_t v = 0xA5;
            const int r = c.ReadServoState(v, kAxis, kTimeoutMs);
            Check(kvl::fuzz::IsCommandResult(r) && (r == -200 || v == 0xA5));
        },
        [](kvl::CServoCommands &c) {
            kvl::Positions p{11, 22};
            const int r = c.ReadPositions(p, kAxis, kTimeoutMs);
            Check(kvl::fuzz::IsCommandResult(r) && (r == -200 || (p.command == 11 && p.current == 22)));
        },
        [](kvl::CServoCommands &c) {
            int step = -7;
            const int r = c.ReadCurrentStep(step, kAxis, kTimeoutMs);
            Check(kvl::fuzz::IsCommandResult(r) && (r == -200 || step == -7));
        },
        [](kvl::CServoCommands &c) {
            kvl::OperationStatus s;
            s.state = 77;
            const int r = c.ReadOperationStatus(s, kAxis, kTimeoutMs);
            Check(kvl::fuzz::IsCommandResult(r));
            if (r == -200) {
                for (int f : s.flags)
                    Check(IsBit(f));
                Check(s.state >= 0 && s.state <= 0xFF && s.value >= INT16_MIN && s.value <= INT16_MAX);
            } else {
                Check(s.state == 77);
            }
        },
        [](kvl::CServoCommands &c) {
            int32_t v = 5;
            const int r = c.ReadParameter(12, v, kAxis, kTimeoutMs);
            Check(kvl::fuzz::IsCommandResult(r) && (r == -200 || v == 5));
        },
        [](kvl::CServoCommands &c) {
            kvl::CodePair pair{9, 9};
            const int r = c.ReadParameterCodePair(300, pair, kAxis, kTimeoutMs);
            Check(kvl::fuzz::IsCommandResult(r));
            if (r == -200)
                Check(pair.code >= 0 && pair.code <= kCodeLimit && pair.group >= 0 && pair.group <= 0x0F);
            else
                Check(pair.code == 9 && pair.group == 9);
        },
        [](kvl::CServoCommands &c) {
            Check(kvl::fuzz::IsCommandResult(c.WriteParameter(12, 1234, kAxis, kTimeoutMs)));
        },
        [](kvl::CServoCommands &c) {
            kvl::StepRecord record;
            record.step = 99;
            const int r = c.ReadStep(3, "MDB", record, kAxis, kTimeoutMs);
            Check(kvl::fuzz::IsCommandResult(r) && (r == -200 || record.step == 99));
        },
        [](kvl::CServoCommands &c) {
            kvl::StepRecord record;
            record.step = 99;
            const int r = c.ReadStep(3, "MDA", record, kAxis, kTimeoutMs);
            Check(kvl::fuzz::IsCommandResult(r) && (r == -200 || record.step == 99));
        },
        [](kvl::CServoCommands &c) {
            uint8_t status = 0;
            Check(kvl::fuzz::IsCommandResult(c.ServoOn(status, kAxis, kTimeoutMs)));
        },
        [](kvl::CServoCommands &c) {
            uint32_t word = 0x12345678;
            const int r = c.ReadIOSignals(word, kAxis, kTimeoutMs);
            Check(kvl::fuzz::IsCommandResult(r) && (r == -200 || word == 0x12345678));
        },
        [](kvl::CServoCommands &c) {
            uint8_t load = 0xA5;
            const int r = c.ReadLoadFactor("MDB", load, kAxis, kTimeoutMs);
            Check(kvl::fuzz::IsCommandResult(r) && (r == -200 || load == 0xA5));
        },
        [](kvl::CServoCommands &c) {
            std::vector<uint8_t> history{1};
            const int r = c.ReadAlarmHistory(history, kAxis, kTimeoutMs);
            Check(kvl::fuzz::IsCommandResult(r));
            Check(r == -200 ? history.size() == kAlarmSlots : history.size() == 1);
        },
        [](kvl::CServoCommands &c) {
            kvl::WaveScales scales;
            scales.timeStep = 42.0;
            const int r = c.ReadWaveScales(scales, kAxis, kTimeoutMs);
            Check(kvl::fuzz::IsCommandResult(r) && (r == -200 || scales.timeStep == 42.0));
        },
        [](kvl::CServoCommands &c) {
            kvl::AutoTuningStatus s;
            s.value1 = 1 << 20;
            const int r = c.ReadAutoTuningStatus(s, kAxis, kTimeoutMs);
            Check(kvl::fuzz::IsCommandResult(r) && (r == -200 || s.value1 == 1 << 20));
        },
        [](kvl::CServoCommands &c) {
            kvl::UnitDeviceTables tables;
            tables.inputModes[0] = 0xEE;
            const int r = c.ReadUnitDeviceTables(tables, 0xF1, kTimeoutMs);
            Check(kvl::fuzz::IsCommandResult(r) && (r == -200 || tables.inputModes[0] == 0xEE));
        },
        [](kvl::CServoCommands &c) {
            uint8_t state = 0xEE;
            const int r = c.ReadRemoteState(state, 0xF1, kTimeoutMs);
            Check(kvl::fuzz::IsCommandResult(r) && (r == -200 || state == 0xEE));
        },
    };
    return probes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const auto &probes = Probes();
    std::vector<uint8_t> reply(data + 1, data + size);
    if (data[0] & 0x80)
        reply = kvl::fuzz::WithMatchingCrc(std::move(reply));
    kvl::fuzz::ReplyComm comm(std::move(reply));
    kvl::CServoCommands commands(&comm);
    probes[(data[0] & 0x7F) % probes.size()](commands);
    return 0;
}
