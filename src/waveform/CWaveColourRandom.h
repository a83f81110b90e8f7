#pragma once
// CWaveColourRandom: the colour source of series loaded from files. A subtractive
// lagged-Fibonacci generator over doubles in [0, 1) (55 values, lags 24 and 55), seeded once per
// waveform window with the single-precision value of 0.1, so that the loaded series of two
// windows get the same colour sequence. Owned by the waveform window; one thread.
#include <array>
#include <cstdint>

namespace kvl {

class CWaveColourRandom {
public:
    static constexpr int kSize = 55;
    static constexpr int kShortLag = 24;
    // 0.1 as a single-precision value, widened.
    static constexpr double kDefaultSeed = static_cast<double>(0.1f);

    explicit CWaveColourRandom(double seed = kDefaultSeed) { Seed(seed); }

    void Seed(double seed);
    // The next value in [0, 1).
    double Next();
    // A 24-bit colour: truncate(Next() x 16777215).
    uint32_t NextColour();

private:
    void Stir();

    std::array<double, kSize> m_values{};
    int m_position = 0;
};

} // namespace kvl
