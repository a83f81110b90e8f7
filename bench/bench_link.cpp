// Round-trip time of one exchange through the facade and the serial transport: 1,000 exchanges
// of a 7-byte request and an 8-byte reply with a device on a pseudo-terminal that answers at
// once. Prints "exchange_rtt_median_us <n> us" and "exchange_rtt_p99_us <n> us".
#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "link/CCommImplement.h"
#include "link/CPortResolver.h"
#include "link/ResultCode.h"
#include "protocol/Frame.h"
#include "support/PtyPeer.h"

namespace {

constexpr int kExchanges = 1000;
constexpr int kWarmUp = 50;
constexpr int kPort = 1;
constexpr int kSpeed = 115200;
constexpr uint8_t kAxis = 1;
constexpr uint8_t kCommand = 0x15;   // a status read: 7-byte request, 8-byte reply
constexpr int kReplyLength = 8;
constexpr int kTimeoutMs = 200;
constexpr int kSettleMs = 20;

long long Percentile(std::vector<long long> sorted, double fraction)
{
    const auto index = static_cast<size_t>(fraction * static_cast<double>(sorted.size() - 1) + 0.5);
    return sorted[std::min(index, sorted.size() - 1)];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const std::vector<uint8_t> request = kvl::frame::Build(kAxis, kCommand);
    const std::vector<uint8_t> reply = kvl::frame::Build(kAxis, kCommand, {0x01});

    kvl::test::PtyPeer peer([&reply](const std::vector<uint8_t> &) { return kvl::test::PeerAction::Reply(reply); });
    if (!peer.Start()) {
        std::fprintf(stderr, "bench_link: cannot create a pseudo-terminal\n");
        return 1;
    }
    kvl::CCommImplement comm;
    comm.Ports().SetPath(kPort, peer.Path());
    if (comm.OpenSerial(kPort, kSpeed) != 1) {
        std::fprintf(stderr, "bench_link: cannot open %s\n", peer.Path().c_str());
        return 1;
    }

    std::vector<uint8_t> buffer(kvl::frame::kReceiveLimit);
    std::vector<long long> micros;
    micros.reserve(kExchanges);
    int failures = 0;
    for (int i = 0; i < kWarmUp + kExchanges; ++i) {
        int count = 0;
        const auto start = std::chrono::steady_clock::now();
        const int result = comm.Exchange(request.data(), static_cast<int>(request.size()), buffer.data(), &count,
                                         kReplyLength, kTimeoutMs, kSettleMs);
        const auto stop = std::chrono::steady_clock::now();
        if (result != kvl::kResultOk || count != kReplyLength) {
            ++failures;
            continue;
        }
        if (i >= kWarmUp)
            micros.push_back(std::chrono::duration_cast<std::chrono::microseconds>(stop - start).count());
    }
    peer.Stop();
    if (failures > 0 || micros.empty()) {
        std::fprintf(stderr, "bench_link: %d exchanges failed\n", failures);
        return 1;
    }
    std::sort(micros.begin(), micros.end());
    std::printf("exchange_rtt_median_us %lld us\n", Percentile(micros, 0.5));
    std::printf("exchange_rtt_p99_us %lld us\n", Percentile(micros, 0.99));
    return 0;
}
