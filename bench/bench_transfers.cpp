// Bulk transfers against the simulator at 115200 bit/s with real wire timing (--pace): reading
// every parameter of an MDC axis, writing and reading a 512-step point table. Prints each time
// and the ideal time of the same bytes on the wire (10 bits a byte, plus the device's 0.2 ms
// turnaround per exchange) as "name value s" lines.
#include <QCoreApplication>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <vector>

#include "CountingComm.h"
#include "link/CCommImplement.h"
#include "link/CPortResolver.h"
#include "link/ResultCode.h"
#include "params/CParamRules.h"
#include "protocol/CServoCommands.h"
#include "protocol/CommandCodes.h"
#include "sim/AxisDevice.h"
#include "sim/BusRunner.h"
#include "sim/SimOptions.h"

using kvl::bench::CountingComm;

namespace {

constexpr int kBaud = 115200;
constexpr uint8_t kAxis = 2;                 // the demo bus' MDC
constexpr uint16_t kParamOperationType = 36;
constexpr int32_t kOperationType512 = 3;
constexpr int kSteps = 512;
constexpr int kTimeoutMs = 200;

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void Print(const char *name, double seconds, double wire)
{
    std::printf("%s_s %.4f s\n%s_wire_s %.4f s\n%s_ratio %.3f x\n", name, seconds, name, wire, name, seconds / wire);
}

bool Fail(const char *what, int code)
{
    std::fprintf(stderr, "bench_transfers: %s failed (%d)\n", what, code);
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    kvl::sim::SimOptions options;
    std::string error;
    if (!options.Parse({"--pace", "--baud", std::to_string(kBaud)}, &error))
        return Fail(error.c_str(), 0), 1;
    kvl::sim::BusRunner sim(options.BuildBus(), options.runner);
    if (!sim.Open(&error) || !sim.Start())
        return Fail(("simulator: " + error).c_str(), 0), 1;

    kvl::CCommImplement facade;
    CountingComm counting(facade);
    kvl::CServoCommands commands(&counting);
    const int port = facade.Ports().AssignNumber(sim.SlavePath());
    if (commands.OpenPort(port, kBaud) != 1)
        return Fail("open port", 0), 1;
    std::string model, version, name;
    int result = commands.ReadDeviceType(model, version, name, kAxis, kTimeoutMs);
    if (result != kvl::kResultOk)
        return Fail("identify", result), 1;

    // Every parameter of the axis, one exchange each.
    const int count = kvl::params::CParamRules::ParameterCount(model, kvl::params::CParamRules::VersionText(version));
    counting.Reset();
    auto start = std::chrono::steady_clock::now();
    for (int number : kvl::params::CParamRules::Numbers(count)) {
        int32_t value = 0;
        result = commands.ReadParameter(static_cast<uint16_t>(number), value, kAxis, kTimeoutMs);
        if (result != kvl::kResultOk)
            return Fail("read parameter", result), 1;
    }
    Print("param_read_all", Seconds(start), counting.WireSeconds(kBaud));

    // A table of 512 steps, every step written.
    result = commands.WriteParameter(kParamOperationType, kOperationType512, kAxis, kTimeoutMs);
    if (result != kvl::kResultOk)
        return Fail("set operation type", result), 1;
    counting.Reset();
    start = std::chrono::steady_clock::now();
    for (int step = 1; step <= kSteps; ++step) {
        kvl::StepRecord record;
        record.step = step;
        record.mode = step % 2;
        record.position = step * 0.5;
        record.speed = 100;
        record.acc = 0.3;
        record.dcc = 0.3;
        record.range = 0.1;
        record.repeat = 1;
        record.jump = step < kSteps ? step + 1 : 0;
        result = commands.WriteStep(record, model, kAxis, kTimeoutMs);
        if (result != kvl::kResultOk)
            return Fail("write step", result), 1;
    }
    Print("points_write_512", Seconds(start), counting.WireSeconds(kBaud));

    // The whole table in one bulk read; its trailing padding is trimmed before the count.
    counting.Reset();
    std::vector<std::string> lines;
    start = std::chrono::steady_clock::now();
    result = commands.ReadAllSteps(model, lines, kAxis, kTimeoutMs);
    const double readSeconds = Seconds(start);
    if (result != kvl::kResultOk || lines.size() < kSteps)
        return Fail("read all steps", result), 1;
    Print("points_read_512", readSeconds,
          counting.WireSeconds(kBaud, static_cast<long long>(kvl::sim::AxisDevice::kBulkReadPaddingLength)));
    sim.Stop();
    return 0;
}
