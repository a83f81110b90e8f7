// libFuzzer target for the bulk point-table read's scan. The first input byte picks the record
// form (short or long model, bit 0), whether the stream ends in the 0xFF padding the controller
// sends (bit 1) and whether every step frame gets a matching CRC (bit 2); the rest is the stream. Checks: no read past the stream (ASan), the result is -200, 0 or -205,
// the lines are replaced only on -200, and never more lines than whole step frames fit.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "protocol/CServoCommands.h"
#include "protocol/CStepCodec.h"

using kvl::fuzz::Check;

namespace {
constexpr uint8_t kAxis = 3;
constexpr uint8_t kPaddingByte = 0xFF;
constexpr std::size_t kPaddingLength = 64;
// The acknowledgement frames inside the stream: 8 bytes, CR LF at +6 and +7.
constexpr std::size_t kAckLength = 8;
constexpr std::size_t kAckCrOffset = 6;

// Gives each step frame the scan would find from its start byte a matching CRC, so that the
// fuzzer gets past the CRC check to the frames behind it.
void MatchStepFrameCrcs(std::vector<uint8_t> &stream, std::size_t frameLength)
{
    std::size_t i = 0;
    while (i + frameLength <= stream.size()) {
        if (stream[i] != kvl::frame::kStartByte) {
            ++i;
            continue;
        }
        if (stream[i + kAckCrOffset] == kvl::frame::kCr && stream[i + kAckCrOffset + 1] == kvl::frame::kLf) {
            i += kAckLength;
            continue;
        }
        std::vector<uint8_t> frame(stream.begin() + static_cast<std::ptrdiff_t>(i),
                                   stream.begin() + static_cast<std::ptrdiff_t>(i + frameLength));
        frame = kvl::fuzz::WithMatchingCrc(std::move(frame));
        std::copy(frame.begin(), frame.end(), stream.begin() + static_cast<std::ptrdiff_t>(i));
        i += frameLength;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const bool longForm = (data[0] & 1) != 0;
    const bool padded = (data[0] & 2) != 0;
    const std::size_t frameLength = 7 + kvl::CStepCodec::RecordLength(longForm);
    std::vector<uint8_t> stream(data + 1, data + size);
    if (data[0] & 4)
        MatchStepFrameCrcs(stream, frameLength);
    if (padded)
        stream.insert(stream.end(), kPaddingLength, kPaddingByte);
    kvl::fuzz::ReplyComm comm(stream);
    kvl::CServoCommands commands(&comm);
    std::vector<std::string> lines{"before"};
    const int result = commands.ReadAllSteps(longForm ? "MDB" : "MDA", lines, kAxis, 200);
    Check(result == -200 || result == 0 || result == -205);
    Check(!comm.paddingMode);   // the padding mode never outlives the exchange
    if (result != -200) {
        Check(lines.size() == 1 && lines[0] == "before");
        return 0;
    }
    Check(lines.size() <= stream.size() / frameLength);
    return 0;
}
