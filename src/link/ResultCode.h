#pragma once
#include <string>
// Result codes of every transport, facade and command operation. The same integer values flow
// from the port up to the windows; Text() gives the plain-words meaning for messages and logs.

namespace kvl {

enum ResultCode : int {
    kResultRefused = 0,          // the controller's refusal pattern, or end of table
    kResultOk = -200,            // success
    kResultOpenFailed = -201,    // the serial port could not be (re)opened before sending
    kResultTimeout = -202,       // no reply within the timeout, or the receive failed
    kResultWriteFailed = -203,   // the request could not be written completely
    kResultNoPort = -204,        // no port configured, or a receive on a closed port
    kResultBadReply = -205,      // malformed reply, zero status, refused argument, or busy
    kResultOtherParameter = -206, // well-formed reply that answers another parameter number
    kResultOutOfRange = -207     // not sent: a value outside its known range (the write gate)
};

// Why a serial port could not be opened (the port-open result of the transport and the facade).
enum class PortOpenCause {
    kNone,      // opened, or never tried
    kMissing,   // no such device
    kBusy,      // another program holds it (its lock file, or the device refuses a second user)
    kDenied,    // this user may not open it
    kOther      // the system refused for another reason (not a serial device, line settings)
};

// True when the device gave no answer at all (a time-out), or could not be asked because the
// port is gone (not opened, not written, none configured): the one kind of failure that means a
// device is silent. A reply that came but was spoiled, refused or of the wrong length is an answer.
inline bool IsNoAnswer(int result)
{
    return result == kResultTimeout || result == kResultOpenFailed || result == kResultWriteFailed ||
           result == kResultNoPort;
}

// Plain words for a cause, for example "it does not exist".
const char *PortOpenCauseText(PortOpenCause cause);
// The cause an error number of a failed open (or stat, or access) stands for.
PortOpenCause PortOpenCauseFromErrno(int error);

// Plain-words meaning of a result code, for example "no reply in time".
const char *ResultText(int code);

// "no reply within 200 ms (-202)": the meaning with the timeout where it matters, and the code.
// timeoutMs <= 0 leaves the time out of the text.
std::string DescribeResult(int code, int timeoutMs = 0);

} // namespace kvl
