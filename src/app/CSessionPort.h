#pragma once
// CSessionPort: the bus port and speed of this run, and the one place of the demo-mode rule.
// Normally they are the settings file's ("Port", "RS485") and ("Speed", "RS485"), and what a
// window stores (a found speed, another port, a device path) is written there at once. In demo
// mode the program talks to the in-process demo bus instead: the port is the demo bus'
// pseudo-terminal (a number of the facade's CPortResolver) at the demo bus' speed, and whatever
// a window stores is kept for this run only, so the user's settings file is never written.
// `kvl_motor --port DEVICE` follows the same run-only rule with the given device and the stored
// speed.
// Owned by the application object; every window and model reaches it through Access().
// User-interface thread only.
#include <string>

#include "app/CBusPortAccess.h"

namespace kvl {

class CAppSettings;
class CPortResolver;

class CSessionPort {
public:
    // `ports`: the port table of the facade that opens the bus.
    CSessionPort(CAppSettings &settings, CPortResolver &ports);

    // Demo mode from now on: the demo bus' port number and its bus speed.
    void UseDemoBus(int port, int speed);
    // From now on: port number `port` (a device given for this run) at the stored speed, and
    // the run-only rule of the demo bus.
    void UseForThisRun(int port);
    // True after UseDemoBus or UseForThisRun: nothing is written to the settings file.
    bool RunOnly() const { return m_runOnly; }

    int Port() const;
    // The speed as stored (the demo bus' speed in demo mode); 0 when none is stored.
    int StoredSpeed() const;
    // The speed the bus is opened with: the stored one, or CAppSettings::kDefaultSpeed.
    int OpenSpeed() const;
    // Stores the port and speed (see the header comment); false when the settings file could
    // not be saved.
    bool Store(int port, int speed);
    // Stores the device path of port number `port`; in demo mode the resolver's mapping for
    // this run is all there is.
    bool StorePath(int port, const std::string &path);

    // The same reads and stores for the models of the axis link and the port settings; valid
    // while this object lives.
    CBusPortAccess Access();

private:
    CAppSettings &m_settings;
    CPortResolver &m_ports;
    bool m_runOnly = false;
    int m_runPort = 0;
    int m_runSpeed = 0;
};

} // namespace kvl
