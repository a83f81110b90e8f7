#pragma once
// CKVL_ControlApp: the application object, created by main() (and by the GUI tests) right after
// the QApplication and destroyed before it; it is handed to every window that needs it, never
// looked up through a global. It owns what every window shares: the application's values
// (CAppValues: language, current axis, polling switch, per-axis tables, ...), the settings and
// language state (CAppSettings) on its system folder, the one communication facade
// (CCommImplement, with the port table) and the one command layer (CServoCommands) on top of it,
// the busy indicator, the start window, the demo bus when started with --demo, and the window
// registry (CWindowRegistry) through which every window is made once per (kind, axis).
// User-interface thread only.
//
// Port and speed for the axis link and every other window that opens the bus: use PortNumber()
// and Speed(), never the settings directly. The rule behind them (in demo mode the simulator's
// pseudo-terminal and bus speed, stored values kept for this run only) lives in CSessionPort;
// store a found speed with SetPortAndSpeed() and a port's device path with SetDevicePath().
// BusPortAccess() hands these to the models of the axis link and the port settings.
#include <QFont>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/CBusPortAccess.h"
#include "app/CQtTranslations.h"
#include "app/CSessionPort.h"
#include "common/CWindowContext.h"
#include "common/CWindowRegistry.h"
#include "config/CAppValues.h"
#include "protocol/WriteRefusal.h"

class QLocalServer;
class QLockFile;
class QWidget;

namespace kvl {
class CAppSettings;
class CCommImplement;
class CServoCommands;
class CWriteGate;
struct WriteRefusal;
class CBusyIndicator;
class CKVL_VER2_ControlDlg;
class CHelpWindow;
namespace sim {
class BusRunner;
}

class CKVL_ControlApp : public CWindowContext {
    Q_OBJECT
public:
    static constexpr int kAxisCount = 16;
    // Port numbers whose device path the settings file may hold (("RS485", "Device%d")).
    static constexpr int kHighestStoredPort = 100;

    struct Options {
        bool demo = false;                 // start the simulator's demo bus in-process
        QString portDevice;                // not empty: this device for this run (settings untouched)
        int systemLanguageId = 0;          // 0: from the process' locale (CAppSettings)
        QString startFolder;               // empty: the current directory
        QString systemFolder;              // empty: "system" beside the program
        QString instanceName;              // empty: no single-instance check (tests)
        QString helpFile;                  // English help page; empty: help.html beside the program
    };

    enum class StartResult { kStarted, kAlreadyRunning, kDemoFailed };

    explicit CKVL_ControlApp(Options options, QObject *parent = nullptr);
    ~CKVL_ControlApp() override;

    // The font family a language's texts are shown in ("Noto Sans CJK JP" for Japanese,
    // "Noto Sans CJK SC" for Chinese); nullptr for English, which keeps the system font.
    static const char *LanguageFontFamily(int language);

    // Start-up: single-instance check, start folder, the facade's hooks, settings and language
    // (and the trace switch), the demo bus, the start window (created but not shown: main() shows it).
    StartResult Start();

    CAppValues &Values() override { return m_values; }
    CAppSettings &Settings() override;
    CServoCommands &Commands() override;
    CCommImplement &Comm();
    CBusyIndicator &Busy() override;
    void WatchBulkRead(std::function<void(int received)> sink) override;
    bool DemoMode() const { return m_options.demo; }
    // The system language identifier the start window's language buttons follow.
    int SystemLanguageId() const { return m_systemLanguageId; }

    // Port number and speed the bus is opened with (see the header comment).
    int PortNumber() const override;
    int Speed() const override;
    bool ReopenPort(int speed) override;
    bool SetPortAndSpeed(int port, int speed);
    // The device path of port number `port`: stored in the settings file, except in demo mode.
    bool SetDevicePath(int port, const std::string &path);
    // Port, speed and device paths as above; outside demo mode the speed is the stored one as it
    // is (0 when none), so the axis link's search starts from it.
    CBusPortAccess BusPortAccess();
    // The demo bus while it runs (nullptr otherwise); its bus is reached through WithBus().
    sim::BusRunner *DemoBus() const { return m_demoBus.get(); }
    // Error text when the demo bus could not be started.
    const QString &DemoError() const { return m_demoError; }

    QWidget *StartWindow();
    CKVL_VER2_ControlDlg *StartDialog() const;
    // The window title every top-level window shows: the text plus " [Demo bus]" in demo mode.
    QString DecorateTitle(const QString &title) const override;

    // The help page of the current language in the tool's own help window (one for the whole
    // run, over the start window), scrolled to `section`, an element id of the page ("link");
    // empty: the top. An open help window loads the new language's page, at the same section,
    // on a language switch.
    void ShowHelp(const QString &section = QString()) override;
    // The help window once a Help button opened it.
    CHelpWindow *HelpWindow() const;
    // The help page of the current language (see HelpFileOf).
    QString HelpFile() const;
    // The page of `language` beside the English page `englishPage` ("help.html"): "help_ja.html"
    // for Japanese, "help_zh.html" for Chinese, the English page itself for English and when the
    // language's page does not exist.
    static QString HelpFileOf(const QString &englishPage, int language);

    // A text of the current language in UTF-8 by (key, section), or `builtIn` when it is missing.
    QString Text(std::string_view key, std::string_view section, const QString &builtIn = {}) const;
    // Shows a message through CMsgDlg over the active window.
    bool Message(const QString &title, const QString &text, bool withCancel = false);

    // The write gate every write of the run passes (installed on the command layer).
    CWriteGate &Gate() { return *m_gate; }
    // The values the gate kept from the wire that no message has shown yet.
    const std::vector<WriteRefusal> &PendingRefusals() const { return m_refusals; }

    // Qt's own dialogs and buttons in the current language (none installed for English).
    const CQtTranslations &QtTranslations() const { return m_qtTranslations; }

    // Every window but the start window, one per (kind, axis); closing the start window
    // destroys them all.
    CWindowRegistry &Windows() override { return m_windows; }

    // Asks about every window's edits that are neither saved nor written (save, discard or
    // cancel); false when the user cancelled, so the program does not end.
    bool MayEnd();
    // Called by the start window when it closes: destroys every window, writes the waveform
    // values and the settings back, closes the port. The program then ends. While a transfer or
    // an exchange runs, this waits for its end.
    void Shutdown();

private:
    bool ClaimInstance();
    void BringToFront();
    void RaiseWindows();
    void OnLanguageChanged(int language);
    // Loads the help page of the current language into `window` at `section`, not showing it.
    void LoadHelp(CHelpWindow &window, const QString &section);
    QString NotFoundText() const;
    QString HelpTitle() const;
    void LoadDevicePaths();
    void InstallHooks();
    // One message for the refusals gathered since the last one, once no exchange or transfer runs.
    void ShowRefusals();
    // What Shutdown does once nothing runs (once).
    void DestroyWindows();
    bool StartDemoBus();

    Options m_options;
    int m_systemLanguageId = 0;
    CAppValues m_values;
    std::unique_ptr<CAppSettings> m_settings;
    std::unique_ptr<CCommImplement> m_comm;
    std::unique_ptr<CServoCommands> m_commands;
    std::unique_ptr<CWriteGate> m_gate;
    std::vector<WriteRefusal> m_refusals;
    QTimer *m_refusalTimer = nullptr;
    // Shutdown and the refusal message try again after this while a transfer runs.
    static constexpr int kBusyRetryMs = 100;
    QTimer *m_shutdownTimer = nullptr;
    CBusyIndicator *m_busy = nullptr;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
    QPointer<QWidget> m_lastActive;   // the top-level window that last had the focus
    std::unique_ptr<sim::BusRunner> m_demoBus;
    QString m_demoError;
    CSessionPort m_port;
    QPointer<CKVL_VER2_ControlDlg> m_startDlg;
    CWindowRegistry m_windows;
    QFont m_baseFont;
    CQtTranslations m_qtTranslations;
    bool m_shutDown = false;
};

} // namespace kvl
