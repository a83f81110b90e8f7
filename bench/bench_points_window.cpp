// Read and Write of a 512-step point table through the axis window, against the simulator at
// 115200 bit/s with real wire timing (--pace), on the demo bus' MDC set to operation type 3:
//   window_points_write_512_ratio: pressing Write with every step changed (512 WriteStep
//     exchanges, the busy indicator's "n of N", the grid redrawn) against the wire time of the
//     same bytes (10 bits a byte, plus the device's turnaround per exchange);
//   window_points_read_512_ratio: pressing Read (one bulk read of 512 step frames and its
//     padding, both tables and the grid filled) against its wire time;
//   grid_fill_512_ms: the shown window's grid filled with 512 rows and painted.
// Each figure is printed as a "name value unit" line.
#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>
#include <QTemporaryDir>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "BenchBus.h"
#include "common/CBusyIndicator.h"
#include "common/CWindowContext.h"
#include "common/CWindowRegistry.h"
#include "config/CAppSettings.h"
#include "config/CAppValues.h"
#include "link/CCommForwarder.h"
#include "link/CCommImplement.h"
#include "link/CPortResolver.h"
#include "link/ResultCode.h"
#include "points/CKVL_VER2_ProgStepDlg.h"
#include "points/CPointTableActions.h"
#include "protocol/CServoCommands.h"
#include "sim/AxisDevice.h"
#include "sim/BusRunner.h"
#include "sim/SimOptions.h"

using kvl::bench::CountingComm;

namespace {

constexpr int kBaud = kvl::bench::BenchBus::kBaud;
constexpr uint8_t kAxis = 2;            // the demo bus' MDC
constexpr int kOperationType512 = 3;
constexpr int kSteps = 512;
constexpr int kBusyGuardMs = 120;       // past the busy indicator's 100 ms guard

int Fail(const char *what, int code = 0)
{
    std::fprintf(stderr, "bench_points_window: %s failed (%d)\n", what, code);
    return 1;
}

double Seconds(const std::function<void()> &run)
{
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Lets the event loop run until the busy indicator takes a new run again.
void PastBusyGuard()
{
    QElapsedTimer since;
    since.start();
    while (since.elapsed() < kBusyGuardMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, kBusyGuardMs);
}

void FillTable(kvl::points::CPointTable &table)
{
    for (int step = 0; step < table.StepCount(); ++step) {
        table.CreateRow(step);
        table.CommitCell(step, kvl::points::kColPosition, std::to_string(step % 90) + ".5");
        table.CommitCell(step, kvl::points::kColSpeed, std::to_string(10 + step % 200));
        table.CommitCell(step, kvl::points::kColJump, std::to_string((step + 1) % table.StepCount()));
    }
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
    const bool typed = sim.WithBus([](kvl::sim::SimBus &bus) {
        kvl::sim::AxisDevice *axis = bus.Axis(kAxis);
        if (!axis)
            return false;
        axis->Table().Clear();
        return axis->Parameters().Set(36, kOperationType512);
    });
    if (!typed)
        return Fail("operation type 3 on the simulated axis");

    kvl::points::AxisIdentity identity;
    identity.axis = kAxis;
    const int identified = commands.ReadDeviceType(identity.model, identity.version, identity.name, kAxis,
                                                   kvl::points::CAxisWindowModel::kIdentifyTimeoutMs);
    if (identified != kvl::kResultOk)
        return Fail("identify", identified);

    kvl::points::CKVL_VER2_ProgStepDlg window(context, identity);
    window.Open();
    window.show();
    window.Model().Activate();
    kvl::points::CPointTable &table = window.Model().Table();
    if (table.StepCount() != kSteps)
        return Fail("a 512-step table", table.StepCount());
    QCoreApplication::processEvents();

    FillTable(table);
    const double fill = Seconds([&] {
        window.RefreshView();
        window.Grid()->viewport()->repaint();
    });
    std::printf("grid_fill_512_ms %.1f ms\n", fill * 1000.0);

    PastBusyGuard();
    counting.Reset();
    const double write = Seconds([&] { window.PressWrite(); });
    const double writeWire = counting.WireSeconds(kBaud);
    if (window.TableActions().Transfer().LastWrite().sent != kSteps)
        return Fail("write of 512 steps", window.TableActions().Transfer().LastWrite().sent);
    std::printf("window_points_write_512_ms %.1f ms\nwindow_points_write_512_wire_ms %.1f ms\n"
                "window_points_write_512_ratio %.3f x\n",
                write * 1000.0, writeWire * 1000.0, write / writeWire);

    PastBusyGuard();
    counting.Reset();
    const double read = Seconds([&] { window.PressRead(); });
    const double readWire = counting.WireSeconds(kBaud);
    if (table.Driver(kSteps - 1).IsEmpty())
        return Fail("read of 512 steps");
    std::printf("window_points_read_512_ms %.1f ms\nwindow_points_read_512_wire_ms %.1f ms\n"
                "window_points_read_512_ratio %.3f x\n",
                read * 1000.0, readWire * 1000.0, read / readWire);

    window.hide();
    return 0;
}
