// libFuzzer target for the waveform data reply. The first input byte picks one or two channels
// (bit 0) and whether the reply gets a matching CRC (bit 1); the rest is the reply. Checks: no read past the reply (ASan), a known result, the batch untouched
// unless -200, and on -200 sample arrays sized by the count the reply announced.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzCheck.h"
#include "protocol/CServoCommands.h"

using kvl::fuzz::Check;
namespace frame = kvl::frame;

namespace {
constexpr uint8_t kAxis = 3;
constexpr int kCountLimit = 0x7FFF;
constexpr int32_t kUnsetIndex = -12345;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const int channels = 1 + (data[0] & 1);
    std::vector<uint8_t> reply(data + 1, data + size);
    if (data[0] & 2)
        reply = kvl::fuzz::WithMatchingCrc(std::move(reply));
    kvl::fuzz::ReplyComm comm(std::move(reply));
    kvl::CServoCommands commands(&comm);
    kvl::WaveBatch batch;
    batch.count = -1;
    batch.firstIndex = kUnsetIndex;
    const int result = commands.ReadWaveData(channels, batch, kAxis, 80);
    Check(kvl::fuzz::IsCommandResult(result));
    if (result != -200) {
        Check(batch.count == -1 && batch.firstIndex == kUnsetIndex && batch.channel1.empty());
        return 0;
    }
    // The count the reply announced: two channels hand out whole pairs, and the first-sample
    // index is written whenever the announced count is not 0, even when no whole pair came.
    const int announced = frame::GetU16(data + 1 + frame::kOffsetData) & kCountLimit;
    Check(batch.count == (channels == 2 ? announced / 2 : announced));
    Check(static_cast<int>(batch.channel1.size()) == batch.count);
    Check(static_cast<int>(batch.channel2.size()) == (channels == 2 ? batch.count : 0));
    // Samples are two bytes each: never more than the reply could hold.
    Check(static_cast<std::size_t>(batch.count) * 2 * static_cast<std::size_t>(channels) <= size);
    if (announced == 0)
        Check(batch.firstIndex == kUnsetIndex);
    return 0;
}
