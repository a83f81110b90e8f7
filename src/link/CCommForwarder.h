#pragma once
// CCommForwarder: a facade that passes every call on to another one. Facades that stand in front
// of the real one (tracing, retrying) derive from it and override only the calls they change, so
// a call added to CComm reaches the port through every one of them. Main thread only.
#include "link/CComm.h"

namespace kvl {

class CCommForwarder : public CComm {
public:
    explicit CCommForwarder(CComm &inner) : m_inner(inner) {}

    int ConnectTcp(const std::string &address, int port) override { return m_inner.ConnectTcp(address, port); }
    int OpenSerial(int port, int speed) override { return m_inner.OpenSerial(port, speed); }
    int GetPort() override { return m_inner.GetPort(); }
    void SetMode(int mode) override { m_inner.SetMode(mode); }
    int GetMode() override { return m_inner.GetMode(); }
    int IsOpen() override { return m_inner.IsOpen(); }
    PortOpenCause LastOpenCause() override { return m_inner.LastOpenCause(); }
    void Close() override { m_inner.Close(); }
    int Exchange(const uint8_t *request, int requestLength, uint8_t *reply, int *received, int expected,
                 int timeoutMs, int settleMs) override
    {
        return m_inner.Exchange(request, requestLength, reply, received, expected, timeoutMs, settleMs);
    }
    int TextQuery(const std::string &command, std::string *answer) override
    {
        return m_inner.TextQuery(command, answer);
    }
    int TextSend(const std::string &command) override { return m_inner.TextSend(command); }
    std::string DeviceModelName() override { return m_inner.DeviceModelName(); }
    void SetPaddingMode(bool on) override { m_inner.SetPaddingMode(on); }

protected:
    CComm &Inner() { return m_inner; }

private:
    CComm &m_inner;
};

} // namespace kvl
