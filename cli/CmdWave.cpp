// kvlctl wave: one waveform capture of two channels, saved as a waveform CSV file.
#include <chrono>
#include <csignal>
#include <sstream>
#include <thread>

#include "cli/CCliSession.h"
#include "cli/CProgressLine.h"
#include "cli/CliCommands.h"
#include "cli/CliFormat.h"
#include "config/CAppSettings.h"
#include "config/CSaveFailure.h"
#include "link/ResultCode.h"
#include "waveform/CServoWaveSource.h"
#include "waveform/CWaveCapture.h"
#include "waveform/CWaveCsv.h"
#include "waveform/CWaveDisplay.h"
#include "waveform/CWaveSeriesList.h"

namespace kvl::cli {
namespace {

constexpr int kDefaultSeconds = 2;
constexpr int kHighestMode = 9;

volatile std::sig_atomic_t s_interrupted = 0;

void OnInterrupt(int)
{
    s_interrupted = 1;
}

const char *StartFailure(CWaveCapture::StartResult result)
{
    switch (result) {
    case CWaveCapture::StartResult::kScalesFailed: return "read wave scales";
    case CWaveCapture::StartResult::kNoChannel: return "both channels are mode 0 (none): nothing to capture";
    case CWaveCapture::StartResult::kBadSampling: return "the sampling setting must be 1 to 65535";
    case CWaveCapture::StartResult::kStartRefused: return "start wave capture";
    default: return "start wave capture";
    }
}

// Lists the samples that never arrived (replies lost on the way); kExitIncomplete when any did.
int ReportGaps(CCliSession &session, uint8_t axis, const CWaveCapture &capture)
{
    if (capture.Gaps().empty())
        return CCliSession::kExitOk;
    for (const WaveGap &gap : capture.Gaps())
        session.Note(axis, "lost samples " + std::to_string(gap.first) + " to " +
                               std::to_string(gap.first + gap.count - 1) + " (" + std::to_string(gap.count) +
                               " samples)");
    session.Note(axis, "the capture lost " + std::to_string(capture.LostCount()) + " samples in " +
                           std::to_string(capture.Gaps().size()) + " gaps; the file holds the " +
                           std::to_string(capture.ReceivedCount()) + " that arrived");
    return CCliSession::kExitIncomplete;
}

int RunWave(CCliSession &session, const CCliArgs &args)
{
    int modes[2] = {4, 7};   // actual speed and actual current, as the waveform window starts
    const char *names[2] = {"ch0", "ch1"};
    for (int c = 0; c < 2; ++c) {
        if (auto text = args.Option(names[c]);
            text && (!ParseInt(*text, modes[c]) || modes[c] < 0 || modes[c] > kHighestMode))
            return session.Usage(std::string("--") + names[c] + " needs a channel mode 0 to 9");
    }
    int sampling = 1;
    if (auto text = args.Option("sampling");
        text && (!ParseInt(*text, sampling) || sampling < CWaveCapture::kMinSampling ||
                 sampling > CWaveCapture::kMaxSampling))
        return session.Usage("--sampling needs 1 to 65535 (units of 0.1 ms)");
    double seconds = kDefaultSeconds;
    if (auto text = args.Option("seconds"); text && (!ParseDouble(*text, seconds) || seconds <= 0))
        return session.Usage("--seconds needs a time in seconds");
    const auto out = args.Option("out");
    if (!out || out->empty())
        return session.Usage("wave AXIS --out FILE.csv [--ch0 MODE] [--ch1 MODE] [--sampling S] [--seconds T]");
    uint8_t axis = 0;
    int exitCode = 0;
    if (!session.OpenAxis(1, axis, exitCode))
        return exitCode;

    CWaveSeriesList series;
    series.Live(0).SetMode(modes[0]);
    series.Live(1).SetMode(modes[1]);
    CWaveformSettings::Values display;
    if (session.SettingsLoaded())
        display = session.Settings().Waveform().Get();
    CWaveDisplay view(display);
    CServoWaveSource source(&session.Commands(), axis);
    CWaveCapture capture(source, series, view);

    const auto started = capture.Start(sampling);
    if (started != CWaveCapture::StartResult::kStarted) {
        if (capture.LastResult() != kResultOk && capture.LastResult() != 0)
            return session.Fail(axis, StartFailure(started), capture.LastResult(), 30);
        return session.FailAxis(axis, StartFailure(started));
    }
    s_interrupted = 0;
    auto previousInt = std::signal(SIGINT, OnInterrupt);
    const auto begin = std::chrono::steady_clock::now();
    const auto end = begin + std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
    auto next = begin;
    CProgressLine progress(session.Err(), session.ErrIsTerminal(), "capturing");
    while (capture.IsPolling() && !s_interrupted && std::chrono::steady_clock::now() < end) {
        next += std::chrono::milliseconds(CWaveCapture::kPollIntervalMs);
        std::this_thread::sleep_until(std::min(next, end));
        if (capture.Poll() == CWaveCapture::PollResult::kFinished)
            break;
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - begin;
        progress.Timed(capture.ReceivedCount(), "samples", elapsed.count(), seconds);
    }
    progress.Done();
    if (capture.IsRunning())
        capture.Stop();
    std::signal(SIGINT, previousInt);

    const std::string path = CWaveCsv::WithDefaultExtension(*out);
    const CCodePageText caption = session.SettingsLoaded()
                                      ? session.Settings().Texts().RawText("IDS_ROG_TIME", CLanguageTexts::kCommonSection)
                                      : CCodePageText();
    if (!CWaveCsv::Save(path, series, caption.Empty() ? CCodePageText("Time(ms)", caption.CodePage()) : caption))
        return session.FailText(CSaveFailure::Last(path).CliText());
    const int samples = capture.ReceivedCount();
    nlohmann::json lost = nlohmann::json::array();
    for (const WaveGap &gap : capture.Gaps())
        lost.push_back({{"first", gap.first}, {"count", gap.count}});
    if (session.Json())
        session.PrintJson({{"axis", axis}, {"file", path}, {"samples", samples}, {"periodMs", capture.PeriodMs()},
                           {"channels", capture.Channels()}, {"lost", lost}});
    else {
        std::ostringstream period;
        period << capture.PeriodMs();
        session.Result("captured " + Count(samples, "sample", "samples") + " (" + period.str() + " ms apart) into " +
                       path);
    }
    if (samples == 0)
        return session.FailAxis(axis, "the capture brought no samples");
    return ReportGaps(session, axis, capture);
}

} // namespace

std::vector<CliCommand> WaveCommands()
{
    return {
        {"wave", "wave AXIS --out FILE.csv [--ch0 MODE] [--ch1 MODE] [--sampling S] [--seconds T]",
         "capture two signals and save them as a waveform CSV file",
         "Modes: 0 none, 1 actual position, 2 position command, 3 position deviation, 4 actual speed,\n"
         "5 speed command, 6 speed deviation, 7 actual current, 8 current command, 9 current deviation.\n"
         "Defaults: --ch0 4 --ch1 7 --sampling 1 (0.1 ms units) --seconds 2. The capture ends when the\n"
         "controller says so, after T seconds, or with Ctrl-C; values are in physical units.\n"
         "Samples lost on the way (a spoiled reply) are listed by their numbers on stderr; the file\n"
         "keeps what arrived and the exit status is 3.\n\n"
         "example: kvlctl wave 0 --ch0 1 --ch1 4 --sampling 10 --seconds 3 --out run.csv",
         RunWave},
    };
}

} // namespace kvl::cli
