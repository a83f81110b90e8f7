#pragma once
// CPortSettingsModel: the rules of the port settings window without the window. It remembers the
// port and speed at opening, lists the serial devices of this computer under the numbers the
// settings file stores for them (("RS485", "Device%d") through CPortResolver), runs Test (store
// the chosen values, reopen, report), OK (tells whether the link no longer holds) and Cancel
// (reopen at the values at opening and store them back), and the port search when the stored
// port cannot be opened. A port that fails to open is told apart by its cause (it does not exist,
// another program holds it, or no permission), so the status can say what to do. The model never sends a command on the bus.
// Owned by the port settings window; the thread that makes the exchanges (user-interface thread).
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "app/CBusPortAccess.h"
#include "link/CCommBase.h"

namespace kvl {

class CAppSettings;
class CLanguageTexts;
class CServoCommands;

class CPortSettingsModel {
public:
    // The speeds the window offers, slowest first.
    static constexpr std::array<int, 3> kSpeeds = link::kBusSpeeds;
    // The port search tries the numbers 0 to 99.
    static constexpr int kSearchPortCount = 100;
    // Numbers a device path may be stored under.
    static constexpr int kHighestPortNumber = 100;

    // A serial device of this computer (from the system's port list).
    struct Device {
        std::string path;          // "/dev/ttyUSB0"
        std::string description;   // "USB-RS485 adapter"
    };
    struct Entry {
        std::string path;
        std::string label;         // "ttyUSB0 - USB-RS485 adapter"
    };
    // Why the port is not open: no port is set, missing, busy (another program holds it), no
    // permission, or closed for any other reason.
    enum class PortState { kUnknown, kOpen, kClosed, kNoPort, kMissing, kBusy, kNoPermission };
    struct AccessInfo {
        bool exists = false;
        bool permitted = false;    // readable and writable by this user
        std::string group;         // group owning the device
        std::string owner;         // user owning the device
        // The owning group may read and write it: joining that group gives access. Otherwise the
        // device is open to no group (a udev rule usually made it so).
        bool groupMayOpen = false;
    };
    using AccessCheck = std::function<AccessInfo(const std::string &path)>;

    CPortSettingsModel(CServoCommands &commands, CAppSettings &settings, CBusPortAccess port,
                       AccessCheck check = {});

    // The devices the port list offers; the stored port's device is added when it is missing.
    void SetDevices(const std::vector<Device> &devices);
    const std::vector<Entry> &Entries() const { return m_entries; }
    static std::string Label(const Device &device);

    // Window opening: remembers the stored values, reopens the port with them and runs the
    // port search when that fails.
    void Open();
    // Window shown again: remembers the stored values and reports whether the port is open.
    void Reshow();

    int PortAtOpening() const { return m_portAtOpening; }
    int SpeedAtOpening() const { return m_speedAtOpening; }
    // What the lists select: the port number and its text (an entry's label, else the device
    // path), and the speed (the stored one, or CAppSettings::kDefaultSpeed when the list does not offer it).
    int SelectedPort() const { return m_selectedPort; }
    std::string SelectedPortText() const;
    int SelectedSpeed() const;

    // The port number a text of the port list stands for: an entry's label, a device path
    // ("/dev/ttyUSB0", or "ttyUSB0" under /dev), "COM3" or "3". A path without a number gets
    // one and is written to the settings file. 0 when the text names no port.
    int PortFromText(const std::string &text);

    // Test: writes the chosen values that differ from the stored ones, reopens the port with
    // them and saves. True when the port opened.
    bool Test(const std::string &portText, int speed);
    // OK: true when the port or speed differs from the values at opening (the axis link must
    // then show unlinked).
    bool Ok() const;
    // Cancel: undoes Test by reopening and storing the values at opening.
    void Cancel();

    PortState State() const { return m_state; }
    // The status line for State() in the current language.
    std::string StatusText() const;
    // The status text for `path`, which this user may not open (`info` from CheckAccess), in the
    // current language: join the owning group when that group may read and write the device,
    // else that no group may open it and what usually causes that (a udev rule).
    static std::string PermissionText(const CLanguageTexts &texts, const std::string &path, const AccessInfo &info);
    // The status text for `path`, which does not exist.
    static std::string MissingText(const CLanguageTexts &texts, const std::string &path);
    // Whether `path` exists and this user may read and write it, its owners and whether its
    // group may open it.
    static AccessInfo CheckAccess(const std::string &path);

private:
    // Remembers the stored port and speed as the values at opening, selects that port and lists
    // the devices again.
    void RememberStoredValues();
    void RebuildEntries();
    bool OpenAt(int port, int speed);
    void NoteFailure(int port);
    void Search(int speed);
    int NumberOfPath(const std::string &path);
    void PinImplicitPath(int port);
    std::string Text(const char *key, const char *builtIn) const;
    // `text` with %1 replaced by the path of the port that failed.
    std::string WithPath(std::string text) const;

    CServoCommands &m_commands;
    CAppSettings &m_settings;
    CBusPortAccess m_port;
    AccessCheck m_check;
    std::vector<Entry> m_entries;
    std::vector<Device> m_devices;
    int m_portAtOpening = 0;
    int m_speedAtOpening = 0;
    int m_selectedPort = 0;
    PortState m_state = PortState::kUnknown;
    std::string m_failedPath;
    AccessInfo m_failedAccess;   // of m_failedPath, when permission was missing
};

} // namespace kvl
