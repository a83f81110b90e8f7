#pragma once
// CTracingComm: a facade in front of the real one that prints every request and reply in hex to
// a stream (kvlctl --trace). It changes nothing of the exchange. Main thread only.
#include <ostream>

#include "link/CComm.h"

namespace kvl::cli {

class CTracingComm : public CComm {
public:
    CTracingComm(CComm &inner, std::ostream &out) : inner_(inner), out_(out) {}

    int ConnectTcp(const std::string &address, int port) override { return inner_.ConnectTcp(address, port); }
    int OpenSerial(int port, int speed) override;
    int GetPort() override { return inner_.GetPort(); }
    void SetMode(int mode) override { inner_.SetMode(mode); }
    int GetMode() override { return inner_.GetMode(); }
    int IsOpen() override { return inner_.IsOpen(); }
    PortOpenCause LastOpenCause() override { return inner_.LastOpenCause(); }
    void Close() override { inner_.Close(); }
    int Exchange(const uint8_t *request, int requestLength, uint8_t *reply, int *received,
                 int expected, int timeoutMs, int settleMs) override;
    int TextQuery(const std::string &command, std::string *answer) override { return inner_.TextQuery(command, answer); }
    int TextSend(const std::string &command) override { return inner_.TextSend(command); }
    std::string DeviceModelName() override { return inner_.DeviceModelName(); }

private:
    CComm &inner_;
    std::ostream &out_;
};

} // namespace kvl::cli
