// The parameter list window against the simulator at 115200 bit/s with real wire timing (--pace),
// on the demo bus' MDC:
//   window_param_read_all_ratio: Read of every parameter through the window (busy indicator,
//     progress, grid refresh, parameter store saved) against the wire time of the same bytes;
//   window_param_write20_verify_ratio: Write of 20 changed parameters with the read-back of each,
//     through the window, against the wire time of its bytes.
// Wire time: 10 bits a byte plus the device's turnaround per exchange. Each figure is printed as
// a "name value unit" line.
#include <QApplication>
#include <QTemporaryDir>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "common/CBusyIndicator.h"
#include "common/CWindowContext.h"
#include "common/CWindowRegistry.h"
#include "config/CAppSettings.h"
#include "config/CAppValues.h"
#include "BenchBus.h"
#include "link/CCommImplement.h"
#include "link/CPortResolver.h"
#include "link/ResultCode.h"
#include "params/CKVL_VER2_ParameterListDlg.h"
#include "params/CParamEditCheck.h"
#include "params/CParamListPair.h"
#include "params/CParamListRules.h"
#include "params/CParamRules.h"
#include "points/CAxisWindowModel.h"
#include "points/CKVL_VER2_ProgStepDlg.h"
#include "protocol/CServoCommands.h"
#include "sim/BusRunner.h"
#include "sim/SimOptions.h"

using kvl::bench::CountingComm;

namespace {

constexpr int kBaud = kvl::bench::BenchBus::kBaud;
constexpr uint8_t kAxis = 2; // the demo bus' MDC
constexpr int kRounds = 3;
constexpr int kWriteCount = 20;

int Fail(const char *what, int code = 0)
{
    std::fprintf(stderr, "bench_param_window: %s failed (%d)\n", what, code);
    return 1;
}

// Integer parameters written at level 0 that ask no confirmation and belong to no ordered pair
// or follow-up: changing them changes nothing else.
std::vector<int> PlainIntegers(const kvl::params::CParamListPair &lists, int count)
{
    std::vector<int> numbers;
    for (const int number : kvl::params::CParamRules::Numbers(count)) {
        const kvl::params::CParamData &record = lists.File().At(number);
        if (record.GetType() != kvl::params::CParamData::kTypeInteger || !record.IsWritable() ||
            !kvl::params::CParamListRules::MayWrite(record, 0) || record.IntMin() >= record.IntMax() ||
            !kvl::params::CParamEditCheck::ConfirmationFor(number).Empty() || number <= 4 ||
            number == kvl::kParamCurrentLimit || number == kvl::kParamCurrentLimitMax ||
            number == kvl::kParamJogSpeed || number == count)
            continue;
        numbers.push_back(number);
        if (static_cast<int>(numbers.size()) == kWriteCount)
            break;
    }
    return numbers;
}

// Waits until the busy indicator takes a new run: it refuses one within 100 ms of the last.
void WaitBusyReady(kvl::CBusyIndicator &busy)
{
    while (!busy.Begin(true, kvl::CBusyGuard::kDefaultWindowMs))
        QCoreApplication::processEvents();
    busy.End(false);
}

// Seconds of `run` over kRounds calls (after `prepare`, not timed), and its wire seconds.
template <class Prepare, class Run>
void PrintRatio(const char *name, CountingComm &counting, Prepare prepare, Run run)
{
    double seconds = 0.0;
    counting.Reset();
    for (int round = 0; round < kRounds; ++round) {
        prepare();
        const auto start = std::chrono::steady_clock::now();
        run();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double wire = counting.WireSeconds(kBaud);
    std::printf("%s_ms %.1f ms\n%s_wire_ms %.1f ms\n%s_ratio %.3f x\n", name, seconds * 1000.0 / kRounds, name,
                wire * 1000.0 / kRounds, name, seconds / wire);
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
    CountingComm &counting = bus.Counting();

    kvl::points::AxisIdentity identity;
    identity.axis = kAxis;
    const int identified = commands.ReadDeviceType(identity.model, identity.version, identity.name, kAxis,
                                                   kvl::points::CAxisWindowModel::kIdentifyTimeoutMs);
    if (identified != kvl::kResultOk)
        return Fail("identify", identified);

    kvl::points::CKVL_VER2_ProgStepDlg axisWindow(context, identity);
    if (!axisWindow.Open())
        return Fail("open the axis");
    kvl::params::CKVL_VER2_ParameterListDlg::AxisLink link;
    link.window = &axisWindow;
    link.model = &axisWindow.Model();
    kvl::params::CKVL_VER2_ParameterListDlg list(context, std::move(link));
    list.show();
    // The axis window's polling stays off: only the list uses the bus here.
    context.Values().currentAxis = -1;

    const int count = list.Model().Count();
    bool readWell = true;
    const auto ready = [&context] { WaitBusyReady(context.Busy()); };
    PrintRatio("window_param_read_all", counting, ready, [&] {
        const kvl::params::CParamListModel::ReadResult result = list.Model().Read();
        readWell &= result.ran && result.failures == 0;
    });

    const std::vector<int> numbers = PlainIntegers(list.Lists(), count);
    if (static_cast<int>(numbers.size()) != kWriteCount)
        return Fail("choice of parameters", static_cast<int>(numbers.size()));
    bool wroteWell = true;
    const auto change = [&] {
        ready();
        for (const int number : numbers) {
            kvl::params::CParamData &record = list.Lists().File().At(number);
            const int value = record.IntValue();
            record.SetIntValue(value < record.IntMax() ? value + 1 : value - 1);
        }
    };
    PrintRatio("window_param_write20_verify", counting, change, [&] {
        const kvl::params::CParamListModel::WriteResult result = list.Model().Write();
        wroteWell &= result.ran && static_cast<int>(result.written.size()) == kWriteCount && result.mismatches.empty();
    });
    if (!readWell || !wroteWell)
        return Fail("read or write");
    return 0;
}
