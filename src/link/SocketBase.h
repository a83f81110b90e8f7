#pragma once
// Client of the local TCP text service (127.0.0.1:9000) that the facade can be switched to. No
// window selects that path and this build opens no socket: the client keeps its server address
// and port, never reports a connection, and records why each operation failed in LastError()
// (never shown to the user). Owned by the communication facade; one thread.
#include <cstdint>
#include <string>

namespace kvl {

class SocketBase {
public:
    static constexpr const char *kDefaultAddress = "127.0.0.1";
    static constexpr int kDefaultPort = 9000;
    static constexpr int kAnswerLimit = 10240;   // bytes of one text answer

    static constexpr const char *kErrSetIp = "ERROR: Set IP Error!";
    static constexpr const char *kErrInitIp = "ERROR: SocketBase() init IP Error!";
    static constexpr const char *kErrConnect = "ERROR: Connect Error!";
    static constexpr const char *kErrDataNull = "ERROR: Data is NULL!";
    static constexpr const char *kErrRecv = "ERROR: Recv Error!";

    SocketBase();

    // Sets the server; false (LastError kErrSetIp) when `address` is not a dotted IPv4 address.
    bool SetServer(const std::string &address, int port);
    // Closes an earlier connection and connects; 1 connected, 0 failed (always 0 here).
    int Connect();
    bool IsConnected() const { return false; }   // no connection is ever made here
    void CloseSocket() {}
    // Sends `text`; 1 sent, 0 failed (always 0 here: never connected).
    int Send(const std::string &text);
    // Receives one answer of up to kAnswerLimit bytes; 1 received, 0 failed (always 0 here).
    int Receive(std::string *answer);

    const std::string &Address() const { return m_address; }
    uint32_t AddressValue() const { return m_addressValue; }   // host byte order
    int Port() const { return m_port; }
    bool Initialised() const { return m_initialised; }
    const std::string &LastError() const { return m_lastError; }

    // The dotted IPv4 address in host byte order; false when `text` is not one.
    static bool ParseAddress(const std::string &text, uint32_t *value);

private:
    std::string m_address;
    uint32_t m_addressValue = 0;
    int m_port = kDefaultPort;
    bool m_initialised = false;
    std::string m_lastError;
};

} // namespace kvl
