// The waveform window's costs:
//   chart_replot_6x100k_ms: the median time of one redraw of the chart, 1200 x 600, with six
//     series of 100,000 points each (adaptive sampling on, the default);
//   wave_convert_100k_ms: converting and appending 100,000 two-channel samples from ready batches
//     (no wire), the capture's own work;
//   wave_capture_cpu_share: the share of one core the user-interface thread uses while the window
//     captures for 10 s at the fastest sampling against the simulator paced at 115,200 bit/s (a
//     finished run is started again at once).
// Each figure is printed as a "name value unit" line.
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchBus.h"
#include "common/CBusyIndicator.h"
#include "common/CWindowContext.h"
#include "common/CWindowRegistry.h"
#include "config/CAppSettings.h"
#include "config/CAppValues.h"
#include "config/CLanguageTexts.h"
#include "link/CCommImplement.h"
#include "link/CPortResolver.h"
#include "link/ResultCode.h"
#include "protocol/CServoCommands.h"
#include "sim/BusRunner.h"
#include "sim/SimOptions.h"
#include "waveform/CRogDlg.h"
#include "waveform/CRogModel.h"
#include "waveform/CWaveChart.h"
#include "waveform/IWaveCommandSource.h"
#include "waveform/WaveModes.h"

namespace {

constexpr int kBaud = kvl::bench::BenchBus::kBaud;
constexpr uint8_t kAxis = 2;          // the demo bus' MDC
constexpr int kPoints = 100000;
constexpr int kSeries = 6;
constexpr int kReplots = 21;
constexpr int kChartWidth = 1200;
constexpr int kChartHeight = 600;
constexpr int kBatchSamples = 5000;   // per channel
constexpr int kCaptureMs = 10000;
constexpr int kFastestSampling = 1;

// Scales as a controller gives them, and ready batches of two channels without a wire.
class ReadySource : public kvl::IWaveCommandSource {
public:
    int ReadWaveScales(kvl::WaveScales &scales) override
    {
        scales = {0.0001, 0.0001, 0.0001, 0.1};
        return kvl::kResultOk;
    }
    int StartWaveCapture(uint16_t, uint8_t, uint8_t &status) override
    {
        status = 1;
        m_next = 0;
        return kvl::kResultOk;
    }
    int ReadWaveData(int, kvl::WaveBatch &batch) override
    {
        batch = kvl::WaveBatch{};
        batch.count = kBatchSamples;
        batch.firstIndex = m_next;
        batch.channel1.resize(kBatchSamples);
        batch.channel2.resize(kBatchSamples);
        for (int k = 0; k < kBatchSamples; ++k) {
            batch.channel1[static_cast<size_t>(k)] = static_cast<int16_t>((m_next + k) % 200 - 100);
            batch.channel2[static_cast<size_t>(k)] = static_cast<int16_t>((m_next + k) % 50);
        }
        m_next += kBatchSamples;
        return kvl::kResultOk;
    }
    int StopWaveCapture(uint8_t &status) override
    {
        status = 1;
        return kvl::kResultOk;
    }

private:
    int32_t m_next = 0;
};

int Fail(const char *what, int code = 0)
{
    std::fprintf(stderr, "bench_wave_window: %s failed (%d)\n", what, code);
    return 1;
}

double ThreadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
}

kvl::CWaveformSettings::Values DisplaySettings()
{
    kvl::CWaveformSettings::Values values;
    values.time = 1000;
    values.position = 10.0;
    values.speed = 100.0;
    values.current = 100.0;
    values.periodTimes = 10;
    return values;
}

double ReplotMedianMs(kvl::bench::BenchBus &context)
{
    ReadySource source;
    kvl::CWaveformSettings settings;
    settings.Set(DisplaySettings());
    kvl::CRogModel model(source, settings, context.Values(), context.Settings().Texts(), {kAxis, "MDC", false},
                         kSeries);
    for (int row = 0; row < kSeries; ++row) {
        if (row >= kvl::CWaveSeriesList::kLiveSeries)
            model.Series().Add(kvl::CWaveSeries("run" + std::to_string(row), 0x3060C0u * static_cast<uint32_t>(row),
                                                kvl::wave::kModeActualSpeed + row % 3));
        kvl::CWaveSeries &series = model.Series().At(row);
        series.SetMode(kvl::wave::kModeActualSpeed + row % 3);
        series.AttachByMode();
        series.Reserve(kPoints);
        for (int i = 0; i < kPoints; ++i)
            series.Append(i * 0.1, 50.0 * std::sin(i * 0.001 * (row + 1)) + row * 10.0);
    }
    kvl::CWaveChart chart;
    chart.SetModel(&model);
    chart.resize(kChartWidth, kChartHeight);
    chart.show();
    chart.ReplotNow();   // the first pass copies the points
    std::vector<double> times;
    for (int i = 0; i < kReplots; ++i) {
        QElapsedTimer timer;
        timer.start();
        chart.ReplotNow();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double ConvertMs(kvl::bench::BenchBus &context)
{
    ReadySource source;
    kvl::CWaveformSettings settings;
    settings.Set(DisplaySettings());
    kvl::CRogModel model(source, settings, context.Values(), context.Settings().Texts(), {kAxis, "MDC", false},
                         kSeries);
    model.Series().Live(0).SetMode(kvl::wave::kModeActualPosition);
    model.Series().Live(1).SetMode(kvl::wave::kModeActualSpeed);
    model.PressStartStop();
    const auto start = std::chrono::steady_clock::now();
    while (model.Tick()) {
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (model.Series().Live(0).Count() != kPoints)
        std::fprintf(stderr, "bench_wave_window: %d points converted\n", model.Series().Live(0).Count());
    return ms;
}

double CaptureCpuShare(kvl::bench::BenchBus &context, long long &samples)
{
    kvl::CRogDlg window(context, kAxis, "MDC", false);
    window.resize(kChartWidth + 400, kChartHeight + 200);
    window.show();
    window.SamplingBox()->setText(QString::number(kFastestSampling));
    window.Model().SetAutoScroll(true);
    QTimer restart;
    QObject::connect(&restart, &QTimer::timeout, [&window, &samples] {
        if (window.Model().Running())
            return;
        samples += window.Model().Capture().ReceivedCount();
        window.PressStartStop();
    });
    window.PressStartStop();
    restart.start(kvl::CRogModel::kPollIntervalMs);
    const double cpuStart = ThreadCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QTimer::singleShot(kCaptureMs, qApp, &QCoreApplication::quit);
    QApplication::exec();
    restart.stop();
    const double cpu = ThreadCpuSeconds() - cpuStart;
    const double seconds = wall.nsecsElapsed() * 1e-9;
    if (window.Model().Running())
        window.PressStartStop();
    return cpu / seconds;
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

    std::printf("chart_replot_6x100k_ms %.2f ms\n", ReplotMedianMs(context));
    std::printf("wave_convert_100k_ms %.2f ms\n", ConvertMs(context));
    long long samples = 0;
    const double share = CaptureCpuShare(context, samples);
    if (samples == 0)
        return Fail("capture (no samples arrived)");
    std::printf("wave_capture_cpu_share %.3f\nwave_capture_samples %lld samples\n", share, samples);
    return 0;
}
