// The whole-bus backup against the simulator's demo bus at 115200 bit/s with real wire timing
// (--pace): six controllers, each with the largest table its model has and every step of it
// defined, and the gateway unit; the scan, every parameter, the tables and the unit settings,
// written into a folder. Prints the time, the wire time of the same bytes (10 bits a byte, the
// device's 0.2 ms turnaround per exchange, the padding after each bulk table read) and their
// ratio as "name value unit" lines.
#include <QCoreApplication>
#include <QTemporaryDir>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "CountingComm.h"
#include "backup/CBusBackup.h"
#include "base/CModelTraits.h"
#include "config/CAppSettings.h"
#include "config/CAppValues.h"
#include "link/CCommImplement.h"
#include "link/CPortResolver.h"
#include "points/CStepRules.h"
#include "protocol/CServoCommands.h"
#include "sim/AxisDevice.h"
#include "sim/BusRunner.h"
#include "sim/PointTable.h"
#include "sim/SimOptions.h"

namespace {

constexpr int kBaud = 115200;
constexpr int kAxes = 6;
constexpr int kOperationTypeParameter = 36;
constexpr int kLargestRawOperationType = 5;

int Fail(const std::string &what)
{
    std::fprintf(stderr, "bench_backup: %s\n", what.c_str());
    return 1;
}

// Gives the axis the largest table its model takes and defines every step of it.
int FillTable(kvl::sim::AxisDevice &axis)
{
    const kvl::CModelTraits model = kvl::CModelTraits::Of(axis.Model().text);
    int bestRaw = -1, bestSteps = 0;
    for (int raw = 0; raw <= kLargestRawOperationType; ++raw) {
        const int steps = kvl::points::CStepRules::StepCount(model.OperationTypeOfRaw(raw));
        if (steps > bestSteps && axis.Parameters().Set(kOperationTypeParameter, raw)) {
            bestRaw = raw;
            bestSteps = steps;
        }
    }
    axis.Parameters().Set(kOperationTypeParameter, bestRaw);
    for (int step = 1; step <= bestSteps; ++step) {
        kvl::sim::StepRecord record;
        record.number = static_cast<int16_t>(step);
        record.mode = static_cast<uint8_t>(step % 2);
        record.position = step * 2500;
        record.speed = 10000;
        record.acc = 30;
        record.dcc = 30;
        record.positionRange = 1000;
        record.repeat = 1;
        record.jump = static_cast<int16_t>(step < bestSteps ? step + 1 : 0);
        axis.Table().SetStep(step, record);
    }
    return bestSteps;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QTemporaryDir scratch;
    const std::filesystem::path system = std::filesystem::path(scratch.path().toStdString()) / "system";
    std::error_code copyError;
    std::filesystem::copy(std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()) / "system",
                          system, std::filesystem::copy_options::recursive, copyError);
    if (!scratch.isValid() || copyError)
        return Fail("cannot copy the system folder beside the program");
    kvl::CAppValues values;
    kvl::CAppSettings settings(values, system.string());
    if (!settings.Start(0))
        return Fail("cannot open the settings of the system folder");

    kvl::sim::SimOptions options;
    std::string error;
    if (!options.Parse({"--pace", "--baud", std::to_string(kBaud)}, &error))
        return Fail(error);
    kvl::sim::BusRunner sim(options.BuildBus(), options.runner);
    int steps = 0;
    sim.WithBus([&steps](kvl::sim::SimBus &bus) {
        for (int a = 0; a < kAxes; ++a)
            steps += FillTable(*bus.Axis(static_cast<uint8_t>(a)));
    });
    if (!sim.Open(&error) || !sim.Start())
        return Fail("simulator: " + error);

    kvl::CCommImplement facade;
    kvl::bench::CountingComm counting(facade);
    kvl::CServoCommands commands(&counting);
    const int port = facade.Ports().AssignNumber(sim.SlavePath());
    if (commands.OpenPort(port, kBaud) != 1)
        return Fail("cannot open the simulator's port");

    kvl::backup::CBusBackup backup(commands, settings);
    kvl::backup::CBusBackup::Options run;
    run.toolVersion = "bench";
    const auto start = std::chrono::steady_clock::now();
    double scanSeconds = 0.0;
    run.found = [&](const kvl::LinkResult &) {
        scanSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    const auto report = backup.Run(port, kBaud, (std::filesystem::path(scratch.path().toStdString()) / "backup").string(), run);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!report.Complete() || report.devices != kAxes + 1 || report.steps != steps)
        return Fail("backup incomplete: " + report.failure + " (" + std::to_string(report.devices) + " devices, " +
                    std::to_string(report.steps) + " of " + std::to_string(steps) + " steps)");
    const double wire = counting.WireSeconds(
        kBaud, static_cast<long long>(kAxes * kvl::sim::AxisDevice::kBulkReadPaddingLength));
    std::printf("backup_6_axes_s %.4f s\nbackup_6_axes_wire_s %.4f s\nbackup_6_axes_ratio %.3f ratio\n", seconds, wire,
                seconds / wire);
    std::printf("backup_6_axes_scan_s %.4f s\nbackup_6_axes_steps %d steps\nbackup_6_axes_parameters %d parameters\n",
                scanSeconds, steps, report.parameters);
    sim.Stop();
    return 0;
}
