#include "link/SocketBase.h"

#include <cstdio>

namespace kvl {

SocketBase::SocketBase() : m_address(kDefaultAddress)
{
    m_initialised = ParseAddress(m_address, &m_addressValue);
    if (!m_initialised)
        m_lastError = kErrInitIp;
}

bool SocketBase::ParseAddress(const std::string &text, uint32_t *value)
{
    uint32_t result = 0;
    int parts = 0;
    size_t pos = 0;
    while (parts < 4) {
        size_t digits = 0;
        uint32_t part = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < 4) {
            part = part * 10 + static_cast<uint32_t>(text[pos] - '0');
            ++pos;
            ++digits;
        }
        if (digits == 0 || digits > 3 || part > 255)
            return false;
        result = (result << 8) | part;
        ++parts;
        if (parts < 4) {
            if (pos >= text.size() || text[pos] != '.')
                return false;
            ++pos;
        }
    }
    if (pos != text.size())
        return false;
    *value = result;
    return true;
}

bool SocketBase::SetServer(const std::string &address, int port)
{
    uint32_t value = 0;
    if (!ParseAddress(address, &value) || port < 1 || port > 65535) {
        m_lastError = kErrSetIp;
        return false;
    }
    m_address = address;
    m_addressValue = value;
    m_port = port;
    return true;
}

int SocketBase::Connect()
{
    CloseSocket();
    // This build has no socket layer behind the client: the connection never comes up.
    m_lastError = kErrConnect;
    return 0;
}

int SocketBase::Send(const std::string &text)
{
    if (text.empty()) {
        m_lastError = kErrDataNull;
        return 0;
    }
    char message[160];
    std::snprintf(message, sizeof message, "ERROR: Send '%.120s' Error!", text.c_str());
    m_lastError = message;
    return 0;
}

int SocketBase::Receive(std::string *answer)
{
    if (answer != nullptr)
        answer->clear();
    m_lastError = kErrRecv;
    return 0;
}

} // namespace kvl
