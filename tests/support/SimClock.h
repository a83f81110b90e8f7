#pragma once
// Moving the simulator's clock from a test: the motion of every simulated device runs on that
// clock, so a test that needs "100 ms later" advances it by exactly that instead of sleeping.
#include <cstdint>

#include "sim/BusRunner.h"

namespace kvl::test {

constexpr int64_t kMicrosPerMs = 1000;

// Advances the clock of `runner`'s bus by `ms` at once, beside the real time the runner adds itself.
inline void AdvanceSimClock(sim::BusRunner &runner, int ms)
{
    runner.WithBus([ms](sim::SimBus &bus) { bus.Advance(ms * kMicrosPerMs); });
}

} // namespace kvl::test
