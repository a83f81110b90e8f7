#pragma once
// CBusPortAccess: where the axis link and the port settings read and store the bus port number
// and speed. Normally the settings file's ("Port", "RS485") and ("Speed", "RS485"); the GUI
// points it at the application object instead, which in demo mode answers with the simulator's
// pseudo-terminal and keeps stored values for the run only, so the user's file is not touched.
// A value type owned by the model that uses it; the thread that makes the exchanges.
#include <functional>

namespace kvl {

class CAppSettings;

class CBusPortAccess {
public:
    using Getter = std::function<int()>;
    using Storer = std::function<bool(int port, int speed)>;

    CBusPortAccess(Getter port, Getter speed, Storer store);
    // Reads and writes the settings file directly (tests, tools).
    static CBusPortAccess FromSettings(CAppSettings &settings);

    int Port() const;
    // Stored speed in bit/s; 0 when there is none.
    int Speed() const;
    // Stores both values and saves them at once; false when that failed.
    bool Store(int port, int speed) const;

private:
    Getter m_port;
    Getter m_speed;
    Storer m_store;
};

} // namespace kvl
