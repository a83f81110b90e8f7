#include "app/CSessionPort.h"

#include "config/CAppSettings.h"

namespace kvl {

CSessionPort::CSessionPort(CAppSettings &settings, CPortResolver &ports)
    : m_settings(settings), m_ports(ports)
{
}

void CSessionPort::UseDemoBus(int port, int speed)
{
    m_runOnly = true;
    m_runPort = port;
    m_runSpeed = speed;
}

void CSessionPort::UseForThisRun(int port)
{
    UseDemoBus(port, m_settings.Speed());
}

int CSessionPort::Port() const
{
    return m_runOnly ? m_runPort : m_settings.Port();
}

int CSessionPort::StoredSpeed() const
{
    return m_runOnly ? m_runSpeed : m_settings.Speed();
}

int CSessionPort::OpenSpeed() const
{
    return CAppSettings::SpeedOrDefault(StoredSpeed());
}

bool CSessionPort::Store(int port, int speed)
{
    if (m_runOnly) {
        m_runPort = port;
        m_runSpeed = speed;
        return true;
    }
    return m_settings.SetPortAndSpeed(port, speed);
}

bool CSessionPort::StorePath(int port, const std::string &path)
{
    if (m_runOnly)
        return true;
    return m_settings.SetDevicePath(port, path);
}

CBusPortAccess CSessionPort::Access()
{
    return CBusPortAccess(m_ports, [this] { return Port(); }, [this] { return StoredSpeed(); },
                          [this](int port, int speed) { return Store(port, speed); },
                          [this](int port, const std::string &path) { return StorePath(port, path); });
}

} // namespace kvl
