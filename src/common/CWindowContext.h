#pragma once
// CWindowContext: what a window may use of the application. The application object implements
// it; every window takes one by reference in its constructor and includes nothing of src/app, so
// the windows of a subsystem live in that subsystem's folder and the application links them, not
// the other way round. User-interface thread only.
#include <QObject>
#include <QString>

#include <functional>

namespace kvl {

class CAppSettings;
class CBusyIndicator;
class CServoCommands;
class CWindowRegistry;
struct CAppValues;

class CWindowContext : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Language, current axis, polling switch and the per-axis values of the run.
    virtual CAppValues &Values() = 0;
    // Settings file and language texts.
    virtual CAppSettings &Settings() = 0;
    // The one command layer on the one facade.
    virtual CServoCommands &Commands() = 0;
    virtual CBusyIndicator &Busy() = 0;
    // Every window but the start window, one per (kind, axis).
    virtual CWindowRegistry &Windows() = 0;
    // Port number and speed the bus is opened with; in demo mode those of the demo bus.
    virtual int PortNumber() const = 0;
    virtual int Speed() const = 0;
    // The bus now runs at `speed` (a device on it was told to answer at another speed): the port
    // is closed and opened again at it, and the speed is stored. True when the port is open.
    virtual bool ReopenPort(int speed) { (void)speed; return false; }
    // The title every top-level window shows (the text plus the demo-bus mark in demo mode).
    virtual QString DecorateTitle(const QString &title) const = 0;
    // The help page in the tool's own help window, scrolled to the element id `section`.
    virtual void ShowHelp(const QString &section = QString()) = 0;
    // Hands the bytes received so far of a padded bulk read (the point table's Read) to `sink`
    // while such a read comes in; an empty sink stops it. A context without a transport to watch
    // tells nothing.
    virtual void WatchBulkRead(std::function<void(int received)> sink) { (void)sink; }

Q_SIGNALS:
    // The language changed (1 Japanese, 2 English, 3 Chinese): open windows re-apply texts.
    void languageChanged(int language);
};

} // namespace kvl
