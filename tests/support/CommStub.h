#pragma once
// A facade for tests that script only the exchange: the port counts as open, serial mode is
// always selected and every other operation does nothing. Derive and implement Exchange.
#include <string>

#include "link/CComm.h"

namespace kvl::test {

class CommStub : public CComm {
public:
    int ConnectTcp(const std::string &, int) override { return 0; }
    int OpenSerial(int, int) override { return 1; }
    int GetPort() override { return 1; }
    void SetMode(int) override {}
    int GetMode() override { return 0; }
    int IsOpen() override { return 1; }
    void Close() override {}
    int TextQuery(const std::string &, std::string *) override { return 0; }
    int TextSend(const std::string &) override { return 0; }
    std::string DeviceModelName() override { return {}; }
    void SetPaddingMode(bool) override {}
};

} // namespace kvl::test
