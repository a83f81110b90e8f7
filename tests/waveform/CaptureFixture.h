#pragma once
// Shared set-up of the capture tests: a scripted command source, the chart's series and display,
// and the capture run over them. Scales: 0.0001 s per sampling unit, so sampling 10 is 1 ms.
#include <gtest/gtest.h>

#include <vector>

#include "FakeWaveSource.h"
#include "waveform/CWaveCapture.h"
#include "waveform/CWaveDisplay.h"
#include "waveform/CWaveSeriesList.h"

namespace kvl::test {

class CaptureFixture : public ::testing::Test {
protected:
    static constexpr int kSampling1ms = 10;

    static CWaveformSettings::Values DisplaySettings()
    {
        CWaveformSettings::Values values;
        values.time = 100;
        values.position = 1.0;
        values.speed = 10.0;
        values.current = 100.0;
        values.periodTimes = kSampling1ms;
        return values;
    }

    FakeWaveSource source;
    CWaveSeriesList list;
    CWaveDisplay display{DisplaySettings()};
    CWaveCapture capture{source, list, display};

    void SetModes(int mode0, int mode1)
    {
        list.Live(0).SetMode(mode0);
        list.Live(1).SetMode(mode1);
    }

    std::vector<double> Xs(int row) const
    {
        std::vector<double> xs;
        for (const WavePoint &point : list.At(row).Points())
            xs.push_back(point.x);
        return xs;
    }

    std::vector<double> Ys(int row) const
    {
        std::vector<double> ys;
        for (const WavePoint &point : list.At(row).Points())
            ys.push_back(point.y);
        return ys;
    }
};

} // namespace kvl::test
