#pragma once
// The communication facade: the one object through which the command layer reaches the bus. In
// serial mode (0, the only one the windows use) it refuses an exchange that starts while another
// is in progress (-205, nothing sent, a trace line that says why), lets CComAccess do the exchange
// and cleans the received bytes (noise before the first start byte and bytes after the last CR
// LF). Mode 1 selects the local TCP client (SocketBase), which never connects in this build. It
// keeps the transport's own state (busy, padding mode) and the port numbers' device paths, and
// takes the face's hooks, the trace switch and the log folder. The face owns it (one per face;
// tests make their own). Called from the thread that makes the exchanges only.
#include <memory>
#include <string>
#include <vector>

#include "link/CComm.h"
#include "link/LinkHooks.h"

namespace kvl {

class CComAccess;
class CPortResolver;
class SocketBase;

class CCommImplement : public CComm {
public:
    static constexpr int kModeSerial = 0;
    static constexpr int kModeTcp = 1;
    static constexpr const char *kDeviceModelName = "QX-100-100AA";

    CCommImplement();
    ~CCommImplement() override;
    CCommImplement(const CCommImplement &) = delete;
    CCommImplement &operator=(const CCommImplement &) = delete;

    int ConnectTcp(const std::string &address, int port) override;
    int OpenSerial(int port, int speed) override;
    int GetPort() override;
    void SetMode(int mode) override { m_mode = mode; }
    int GetMode() override { return m_mode; }
    int IsOpen() override;
    PortOpenCause LastOpenCause() override;
    void Close() override;
    int Exchange(const uint8_t *request, int requestLength, uint8_t *reply, int *received,
                 int expected, int timeoutMs, int settleMs) override;
    int TextQuery(const std::string &command, std::string *answer) override;
    int TextSend(const std::string &command) override;
    std::string DeviceModelName() override;
    void SetPaddingMode(bool on) override;
    bool PaddingMode() const;

    // An exchange is in progress (guards re-entry on one thread).
    bool Busy() const { return m_busy; }
    // The face's hooks; empty ones are not called.
    void SetHooks(LinkHooks hooks);
    const LinkHooks &Hooks() const;
    // Tracing on or off; the log goes to <folder>/log (the start folder).
    void SetTrace(bool on, const std::string &folder);

    // Copies `raw` to `out` without what precedes the first start byte, then drops trailing
    // bytes until the data ends with CR LF (or one byte is left). Returns the new count.
    static int CleanReply(const uint8_t *raw, int count, uint8_t *out);

    CComAccess &Serial() { return *m_serial; }
    // The serial transport's port numbers and their device paths; a face fills it from its
    // settings, and whoever shows or stores a port's device path reads it here.
    CPortResolver &Ports();
    SocketBase &Tcp() { return *m_tcp; }

    // Why a nested exchange was refused, as the trace line says it.
    static constexpr const char *kBusyReason = "another exchange is in progress";

private:
    class BusyGuard;
    int TextOverTcp(const std::string &command, std::string *answer);
    int RefuseBusy(const uint8_t *request, int requestLength);

    int m_mode = kModeSerial;
    bool m_busy = false;
    std::unique_ptr<CComAccess> m_serial;
    std::unique_ptr<SocketBase> m_tcp;
    std::vector<uint8_t> m_raw;   // the transport's bytes before cleaning
};

} // namespace kvl
