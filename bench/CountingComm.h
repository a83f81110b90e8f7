#pragma once
// A facade wrapper for the benchmarks: counts the bytes and exchanges that pass through it, and
// the wire time they take at a line speed (10 bits a byte, plus the simulator's turnaround per
// exchange), the figure a benchmark compares its measured time with.
#include "link/CCommForwarder.h"
#include "sim/BusRunner.h"

namespace kvl::bench {

class CountingComm : public CCommForwarder {
public:
    explicit CountingComm(CComm &inner) : CCommForwarder(inner) {}
    int Exchange(const uint8_t *request, int length, uint8_t *reply, int *received, int expected, int timeoutMs,
                 int settleMs) override
    {
        const int result = Inner().Exchange(request, length, reply, received, expected, timeoutMs, settleMs);
        bytes += length + (received ? *received : 0);
        ++exchanges;
        return result;
    }

    void Reset() { bytes = exchanges = 0; }

    // Seconds the counted bytes (and `extraBytes` more) take on a line of `baud` bit/s.
    double WireSeconds(int baud, long long extraBytes = 0) const
    {
        const double turnaround = sim::BusRunner::kTurnaroundMicros * 1e-6;
        return static_cast<double>(bytes + extraBytes) * sim::BusRunner::kBitsPerByte / baud +
               static_cast<double>(exchanges) * turnaround;
    }

    long long bytes = 0;
    long long exchanges = 0;
};

} // namespace kvl::bench
