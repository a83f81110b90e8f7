#include "link/ResultCode.h"

#include <cerrno>

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
    case kResultOutOfRange: return "not sent: a value outside its range";
    default: return "unknown result";
    }
}

const char *PortOpenCauseText(PortOpenCause cause)
{
    switch (cause) {
    case PortOpenCause::kNone: return "no failure";
    case PortOpenCause::kMissing: return "it does not exist";
    case PortOpenCause::kBusy: return "it is in use by another program";
    case PortOpenCause::kDenied: return "you are not permitted to open it";
    case PortOpenCause::kOther: return "the system refused to open it as a serial port";
    }
    return "unknown cause";
}

PortOpenCause PortOpenCauseFromErrno(int error)
{
    switch (error) {
    case 0: return PortOpenCause::kNone;
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR: return PortOpenCause::kMissing;
    case EBUSY:
    case ETXTBSY: return PortOpenCause::kBusy;
    case EACCES:
    case EPERM:
    case EROFS: return PortOpenCause::kDenied;
    default: return PortOpenCause::kOther;
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
