#include "app/CBusPortAccess.h"

#include <utility>

#include "config/CAppSettings.h"

namespace kvl {

CBusPortAccess::CBusPortAccess(CPortResolver &ports, Getter port, Getter speed, Storer store,
                               PathStorer storePath)
    : m_ports(&ports), m_port(std::move(port)), m_speed(std::move(speed)), m_store(std::move(store)),
      m_storePath(std::move(storePath))
{
}

CBusPortAccess CBusPortAccess::FromSettings(CAppSettings &settings, CPortResolver &ports)
{
    return CBusPortAccess(ports, [&settings] { return settings.Port(); },
                          [&settings] { return settings.Speed(); },
                          [&settings](int port, int speed) { return settings.SetPortAndSpeed(port, speed); },
                          [&settings](int port, const std::string &path) {
                              return settings.SetDevicePath(port, path);
                          });
}

int CBusPortAccess::Port() const
{
    return m_port ? m_port() : 0;
}

int CBusPortAccess::Speed() const
{
    return m_speed ? m_speed() : 0;
}

bool CBusPortAccess::Store(int port, int speed) const
{
    return m_store && m_store(port, speed);
}

bool CBusPortAccess::StorePath(int port, const std::string &path) const
{
    return m_storePath && m_storePath(port, path);
}

} // namespace kvl
