// libFuzzer target for the bulk point-table read's scan. The first input byte picks the record
// form (short or long model) and whether the stream ends in the 0xFF padding the controller sends;
// the rest is the stream. Checks: no read past the stream (ASan), the result is -200, 0 or -205,
// the lines are replaced only on -200, and never more lines than whole step frames fit.
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
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const bool longForm = (data[0] & 1) != 0;
    const bool padded = (data[0] & 2) != 0;
    std::vector<uint8_t> stream(data + 1, data + size);
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
    const std::size_t frameLength = 7 + static_cast<std::size_t>(kvl::CStepCodec::RecordLength(longForm));
    Check(lines.size() <= stream.size() / frameLength);
    return 0;
}
