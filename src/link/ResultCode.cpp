#include "link/ResultCode.h"

namespace kvl {

const char *ResultText(int code)
{
    switch (code) {
    case kResultRefused: return "refused by the device";
    case kResultOk: return "success";
    case kResultOpenFailed: return "the serial port could not be opened";
    case kResultTimeout: return "no reply in time";
    case kResultWriteFailed: return "the request could not be written completely";
    case kResultNoPort: return "no serial port configured";
    case kResultBadReply: return "malformed or rejected reply";
    case kResultOtherParameter: return "the reply answers another parameter";
    default: return "unknown result";
    }
}

std::string DescribeResult(int code, int timeoutMs)
{
    std::string text;
    if (code == kResultTimeout && timeoutMs > 0)
        text = "no reply within " + std::to_string(timeoutMs) + " ms";
    else
        text = ResultText(code);
    return text + " (" + std::to_string(code) + ")";
}

} // namespace kvl
