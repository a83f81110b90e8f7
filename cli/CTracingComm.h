#pragma once
// CTracingComm: a facade in front of the real one that prints every request and reply in hex to
// a stream (kvlctl --trace). It changes nothing of the exchange. Main thread only.
#include <ostream>

#include "link/CCommForwarder.h"

namespace kvl::cli {

class CTracingComm : public CCommForwarder {
public:
    CTracingComm(CComm &inner, std::ostream &out) : CCommForwarder(inner), m_out(out) {}

    int OpenSerial(int port, int speed) override;
    int Exchange(const uint8_t *request, int requestLength, uint8_t *reply, int *received,
                 int expected, int timeoutMs, int settleMs) override;

private:
    std::ostream &m_out;
};

} // namespace kvl::cli
