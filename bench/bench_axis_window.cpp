// Status polling of the axis window against the simulator at 115200 bit/s with real wire timing
// (--pace), on the demo bus' MDC:
//   status_tick_100ms_ratio, status_tick_1s_ratio: the mean time of one motion tick and one status
//     tick of the axis window's model against the wire time of the same bytes (10 bits a byte, plus
//     the device's turnaround per exchange);
//   monitor_refresh_ratio: the same for one refresh of the motor monitor's model;
//   the axis window itself, shown offscreen and polling, with the axis silenced half-way: the
//     longest gap between two beats of a 5 ms probe timer on the event loop, by what the window
//     was doing. ui_stall_answering_max_ms while the axis answered; ui_stall_silent_max_ms once
//     the window knew the axis silent (its probes, once a second); ui_stall_max_ms the longer of
//     the two, the window's stall while it polls. ui_stall_silence_onset_ms is the one gap in which
//     the window found the axis silent: one poll read waiting out its 200 ms time-out, once per
//     silence (ui_stall_overall_max_ms counts it in).
// Each figure is printed as a "name value unit" line.
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <string>

#include "common/CBusyIndicator.h"
#include "common/CWindowContext.h"
#include "common/CWindowRegistry.h"
#include "config/CAppSettings.h"
#include "config/CAppValues.h"
#include "BenchBus.h"
#include "link/CCommImplement.h"
#include "link/CPortResolver.h"
#include "link/ResultCode.h"
#include "monitor/CMonitorModel.h"
#include "points/CAxisWindowModel.h"
#include "points/CKVL_VER2_ProgStepDlg.h"
#include "protocol/CServoCommands.h"
#include "sim/BusRunner.h"
#include "sim/SimOptions.h"

using kvl::bench::CountingComm;

namespace {

constexpr int kBaud = kvl::bench::BenchBus::kBaud;
constexpr uint8_t kAxis = 2;          // the demo bus' MDC
constexpr int kTicks = 50;
constexpr int kProbePeriodMs = 5;
constexpr int kHealthyRunMs = 1500;
constexpr int kSilentRunMs = 3500;

int Fail(const char *what, int code = 0)
{
    std::fprintf(stderr, "bench_axis_window: %s failed (%d)\n", what, code);
    return 1;
}

// Mean time of `run` over kTicks calls against the wire time of their bytes.
template <class Run>
void PrintRatio(const char *name, CountingComm &counting, Run run)
{
    counting.Reset();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kTicks; ++i)
        run();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double wire = counting.WireSeconds(kBaud);
    std::printf("%s_ms %.3f ms\n%s_wire_ms %.3f ms\n%s_ratio %.3f x\n", name, seconds * 1000.0 / kTicks, name,
                wire * 1000.0 / kTicks, name, seconds / wire);
}

// The axis window on the bus: the longest gap between two probe beats while it polls, with the
// axis going silent half-way.
struct Stalls {
    double longestMs = 0.0;     // the whole run
    double answeringMs = 0.0;   // both beats saw the axis answering
    double onsetMs = 0.0;       // the gap in which the window found the axis silent
    double silentMs = 0.0;      // both beats saw the axis silent
};

// The axis window on the bus: the longest gaps between two probe beats while it polls, with the
// axis going silent half-way.
Stalls LongestStalls(kvl::bench::BenchBus &context, kvl::sim::BusRunner &sim, const kvl::points::AxisIdentity &identity)
{
    kvl::points::CKVL_VER2_ProgStepDlg window(context, identity);
    window.Open();
    window.show();
    window.Model().Activate();

    QElapsedTimer sinceBeat;
    Stalls stalls;
    bool silentBefore = window.Model().Silent();
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const bool silent = window.Model().Silent();
        if (sinceBeat.isValid()) {
            const double gapMs = sinceBeat.nsecsElapsed() / 1e6;
            stalls.longestMs = std::max(stalls.longestMs, gapMs);
            double &kind = silentBefore ? stalls.silentMs : silent ? stalls.onsetMs : stalls.answeringMs;
            kind = std::max(kind, gapMs);
        }
        silentBefore = silent;
        sinceBeat.start();
    });
    probe.start(kProbePeriodMs);
    QTimer::singleShot(kHealthyRunMs, [&] { sim.SetSilent(kAxis, true); });
    QTimer::singleShot(kHealthyRunMs + kSilentRunMs, qApp, &QCoreApplication::quit);
    QApplication::exec();
    probe.stop();
    window.hide();
    sim.SetSilent(kAxis, false);
    return stalls;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");

    kvl::bench::BenchBus bus;
    std::string error;
    if (!bus.Start(error))
        return Fail(error.c_str());
    kvl::bench::BenchBus &context = bus;
    kvl::CServoCommands &commands = bus.Commands();
    kvl::sim::BusRunner &sim = bus.Sim();
    CountingComm &counting = bus.Counting();

    kvl::points::AxisIdentity identity;
    identity.axis = kAxis;
    const int identified = commands.ReadDeviceType(identity.model, identity.version, identity.name, kAxis,
                                                   kvl::points::CAxisWindowModel::kIdentifyTimeoutMs);
    if (identified != kvl::kResultOk)
        return Fail("identify", identified);

    {
        kvl::points::CAxisWindowModel model(commands, context.Settings(), context.Values(), identity);
        if (!model.Open())
            return Fail("open the axis");
        model.Activate();
        using Timer = kvl::points::CAxisWindowModel::Timer;
        PrintRatio("status_tick_100ms", counting, [&] { model.OnTick(Timer::kMotion); });
        PrintRatio("status_tick_1s", counting, [&] { model.OnTick(Timer::kStatus); });
        if (model.Silent())
            return Fail("status ticks (the axis went silent)");

        kvl::CMonitorModel monitor(commands, context.Settings().Texts(), context.Values(), kAxis, identity.model,
                                   model.OperationType());
        monitor.Open();
        PrintRatio("monitor_refresh", counting, [&] { monitor.Refresh(); });
        if (monitor.Silent())
            return Fail("monitor refresh (the axis went silent)");
    }

    const Stalls stalls = LongestStalls(context, sim, identity);
    std::printf("ui_stall_max_ms %.1f ms\nui_stall_answering_max_ms %.1f ms\nui_stall_silent_max_ms %.1f ms\n"
                "ui_stall_silence_onset_ms %.1f ms\nui_stall_overall_max_ms %.1f ms\n",
                std::max(stalls.answeringMs, stalls.silentMs), stalls.answeringMs, stalls.silentMs, stalls.onsetMs,
                stalls.longestMs);
    return 0;
}
