#pragma once
// CBusPortAccess: where the axis link and the port settings read and store the bus port number
// and speed, and the device path a port number stands for. Normally the settings file's
// ("Port", "RS485"), ("Speed", "RS485") and ("Device%d", "RS485"), and the port table of the
// facade that opens the port (CCommImplement::Ports()); the GUI points it at the application
// object instead, which in demo mode answers with the simulator's pseudo-terminal
// and keeps stored values for the run only, so the user's file is not touched.
// A value type owned by the model that uses it; the thread that makes the exchanges.
#include <functional>
#include <string>

namespace kvl {

class CAppSettings;
class CPortResolver;

class CBusPortAccess {
public:
    using Getter = std::function<int()>;
    using Storer = std::function<bool(int port, int speed)>;
    using PathStorer = std::function<bool(int port, const std::string &path)>;

    CBusPortAccess(CPortResolver &ports, Getter port, Getter speed, Storer store, PathStorer storePath);
    // Reads and writes the settings file directly (tests, tools); `ports` is the table of the
    // facade that opens the port.
    static CBusPortAccess FromSettings(CAppSettings &settings, CPortResolver &ports);

    int Port() const;
    // Stored speed in bit/s; 0 when there is none.
    int Speed() const;
    // Stores both values and saves them at once; false when that failed.
    bool Store(int port, int speed) const;
    // Stores the device path of port number `port` and saves it at once; false when that failed.
    bool StorePath(int port, const std::string &path) const;
    // The device paths the port numbers stand for in this run.
    CPortResolver &Ports() const { return *m_ports; }

private:
    CPortResolver *m_ports;
    Getter m_port;
    Getter m_speed;
    Storer m_store;
    PathStorer m_storePath;
};

} // namespace kvl
