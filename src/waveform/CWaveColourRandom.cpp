#include "waveform/CWaveColourRandom.h"

namespace kvl {
namespace {

constexpr int kSpread = 21;            // seeding order: slot 21 x i mod 55
constexpr int kSeedStirs = 3;
constexpr double kColourRange = 16777215.0;
// 1e-9 as a single-precision value, widened: the second value of the seeding sequence.
constexpr double kSeedStep = static_cast<double>(1e-9f);

double Wrap(double value) { return value < 0.0 ? value + 1.0 : value; }

} // namespace

void CWaveColourRandom::Seed(double seed)
{
    m_values.fill(0.0);
    m_values[kSize - 1] = seed;
    double a = kSeedStep;
    double x = seed;
    for (int i = 1; i < kSize - 1; ++i) {
        const int j = (kSpread * i) % kSize;
        m_values[static_cast<std::size_t>(j)] = a;
        a = Wrap(x - a);
        x = m_values[static_cast<std::size_t>(j)];
    }
    for (int i = 0; i < kSeedStirs; ++i)
        Stir();
    m_position = 0;
}

void CWaveColourRandom::Stir()
{
    constexpr int kLongLagOffset = kSize - kShortLag;   // 31
    for (int i = 0; i < kShortLag; ++i)
        m_values[static_cast<std::size_t>(i)] =
            Wrap(m_values[static_cast<std::size_t>(i)] - m_values[static_cast<std::size_t>(i + kLongLagOffset)]);
    for (int i = kShortLag; i < kSize; ++i)
        m_values[static_cast<std::size_t>(i)] =
            Wrap(m_values[static_cast<std::size_t>(i)] - m_values[static_cast<std::size_t>(i - kShortLag)]);
}

double CWaveColourRandom::Next()
{
    ++m_position;
    if (m_position > kSize - 1) {
        m_position = 1;
        Stir();
    }
    return m_values[static_cast<std::size_t>(m_position)];
}

uint32_t CWaveColourRandom::NextColour() { return static_cast<uint32_t>(Next() * kColourRange); }

} // namespace kvl
