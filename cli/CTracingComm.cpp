#include "cli/CTracingComm.h"

#include "cli/CliFormat.h"
#include "link/ResultCode.h"

namespace kvl::cli {

int CTracingComm::OpenSerial(int port, int speed)
{
    const int opened = Inner().OpenSerial(port, speed);
    m_out << "open port " << port << " at " << speed << " bit/s: " << (opened ? "ok" : "failed") << '\n';
    return opened;
}

int CTracingComm::Exchange(const uint8_t *request, int requestLength, uint8_t *reply, int *received,
                           int expected, int timeoutMs, int settleMs)
{
    m_out << "TX: " << HexBytes(request, static_cast<size_t>(requestLength)) << '\n';
    const int result = Inner().Exchange(request, requestLength, reply, received, expected, timeoutMs, settleMs);
    const int count = received ? *received : 0;
    m_out << "RX: " << HexBytes(reply, static_cast<size_t>(count > 0 ? count : 0)) << "  ("
          << DescribeResult(result, timeoutMs) << ")\n";
    return result;
}

} // namespace kvl::cli
