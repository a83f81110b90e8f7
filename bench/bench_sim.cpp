// Exchanges through the tool's transport and command layer against the simulator's demo bus, at
// each bus speed, unpaced and paced at the wire time of the line (10 bits per byte, 0.2 ms device
// turnaround). Prints per speed the median time of a status read (7-byte request, 8-byte reply)
// and of a parameter read (9 / 13 bytes), next to the physical limit of the line:
//   sim_status_read_paced_115200_us <n> us
//   sim_status_read_wire_limit_115200_us <n> us
#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "link/CCommImplement.h"
#include "link/CPortResolver.h"
#include "link/ResultCode.h"
#include "protocol/CServoCommands.h"
#include "sim/BusRunner.h"

namespace {

constexpr int kExchanges = 300;
constexpr int kWarmUp = 20;
constexpr int kPort = 1;
constexpr uint8_t kAxis = 2;
constexpr int kTimeoutMs = 200;
constexpr int kBitsPerByte = 10;
constexpr double kTurnaroundUs = 200.0;

double WireLimitUs(int requestBytes, int replyBytes, int baud)
{
    return (requestBytes + replyBytes) * kBitsPerByte * 1e6 / baud + kTurnaroundUs;
}

// Median of `kExchanges` timed calls of `exchange`; -1 when any call fails.
double MedianUs(const std::function<int()> &exchange)
{
    for (int i = 0; i < kWarmUp; ++i)
        if (exchange() != kvl::kResultOk)
            return -1;
    std::vector<double> times;
    for (int i = 0; i < kExchanges; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (exchange() != kvl::kResultOk)
            return -1;
        times.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    std::nth_element(times.begin(), times.begin() + static_cast<long>(times.size() / 2), times.end());
    return times[times.size() / 2];
}

bool Measure(int baud, bool pace)
{
    kvl::sim::BusRunner::Settings settings;
    settings.baud = baud;
    settings.pace = pace;
    kvl::sim::BusRunner runner(kvl::sim::SimBus::CreateDemo(), settings);
    std::string error;
    if (!runner.Open(&error) || !runner.Start()) {
        std::fprintf(stderr, "bench_sim: %s\n", error.c_str());
        return false;
    }
    kvl::CCommImplement comm;
    comm.Ports().SetPath(kPort, runner.SlavePath());
    kvl::CServoCommands commands(&comm);
    if (commands.OpenPort(kPort, baud) != 1) {
        std::fprintf(stderr, "bench_sim: cannot open %s\n", runner.SlavePath().c_str());
        return false;
    }
    uint8_t servo = 0;
    int32_t value = 0;
    const double status = MedianUs([&] { return commands.ReadServoState(servo, kAxis, kTimeoutMs); });
    const double parameter = MedianUs([&] { return commands.ReadParameter(16, value, kAxis, kTimeoutMs); });
    commands.ClosePort();
    runner.Stop();
    if (status < 0 || parameter < 0) {
        std::fprintf(stderr, "bench_sim: an exchange failed at %d bit/s\n", baud);
        return false;
    }
    const char *mode = pace ? "paced" : "unpaced";
    std::printf("sim_status_read_%s_%d_us %.0f us\n", mode, baud, status);
    std::printf("sim_parameter_read_%s_%d_us %.0f us\n", mode, baud, parameter);
    if (pace) {
        std::printf("sim_status_read_wire_limit_%d_us %.0f us\n", baud, WireLimitUs(7, 8, baud));
        std::printf("sim_parameter_read_wire_limit_%d_us %.0f us\n", baud, WireLimitUs(9, 13, baud));
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    bool ok = Measure(115200, false);
    for (int baud : {38400, 57600, 115200})
        ok = Measure(baud, true) && ok;
    return ok ? 0 : 1;
}
