#include "app/CSessionPort.h"

#include "config/CAppSettings.h"

namespace kvl {

CSessionPort::CSessionPort(CAppSettings &settings, CPortResolver &ports)
    : m_settings(settings), m_ports(ports)
{
}

void CSessionPort::UseDemoBus(int port, int speed)
{
    m_demo = true;
    m_demoPort = port;
    m_demoSpeed = speed;
}

int CSessionPort::Port() const
{
    return m_demo ? m_demoPort : m_settings.Port();
}

int CSessionPort::StoredSpeed() const
{
    return m_demo ? m_demoSpeed : m_settings.Speed();
}

int CSessionPort::OpenSpeed() const
{
    return CAppSettings::SpeedOrDefault(StoredSpeed());
}

bool CSessionPort::Store(int port, int speed)
{
    if (m_demo) {
        m_demoPort = port;
        m_demoSpeed = speed;
        return true;
    }
    return m_settings.SetPortAndSpeed(port, speed);
}

bool CSessionPort::StorePath(int port, const std::string &path)
{
    if (m_demo)
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
