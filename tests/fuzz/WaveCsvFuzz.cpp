// libFuzzer target for the waveform CSV loader. Checks: no read past the input (ASan), modes from
// the header within 0..9, both channels of equal length with finite values, and a loaded file
// saved again loads to the same file.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/TextNumber.h"
#include "FuzzCheck.h"
#include "waveform/CWaveCsv.h"

using kvl::fuzz::Check;

namespace {

constexpr int kModeLimit = 9;

void CheckRun(const kvl::CWaveCsv::Run &run)
{
    Check(run.mode0 >= 0 && run.mode0 <= kModeLimit && run.mode1 >= 0 && run.mode1 <= kModeLimit);
    Check(run.channel0.size() == run.channel1.size());
    for (const auto *channel : {&run.channel0, &run.channel1})
        for (const kvl::WavePoint &p : *channel)
            Check(std::isfinite(p.x) && std::isfinite(p.y));
}

std::string Saved(const kvl::CWaveCsv::Run &run)
{
    kvl::CWaveSeries series0("CH0", 0, run.mode0);
    kvl::CWaveSeries series1("CH1", 0, run.mode1);
    for (const kvl::WavePoint &p : run.channel0)
        series0.Append(p.x, p.y);
    for (const kvl::WavePoint &p : run.channel1)
        series1.Append(p.x, p.y);
    return kvl::CWaveCsv::Serialise(series0, series1, kvl::CCodePageText("Time", kvl::kCodePageWestern));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    kvl::CWaveCsv::Run run;
    kvl::CWaveCsv::Parse(std::string_view(reinterpret_cast<const char *>(data), size), run);
    CheckRun(run);

    // Values are saved with two decimals, so the first save fixes them; from then on a save
    // loads to the same file.
    const std::string once = Saved(run);
    kvl::CWaveCsv::Run first;
    kvl::CWaveCsv::Parse(once, first);
    CheckRun(first);
    const std::string twice = Saved(first);
    kvl::CWaveCsv::Run second;
    kvl::CWaveCsv::Parse(twice, second);
    Check(Saved(second) == twice);
    return 0;
}
