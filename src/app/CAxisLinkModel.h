#pragma once
// CAxisLinkModel: the state and rules of the axis link, without a window. It keeps what the bus
// told about each of the sixteen axis addresses (linked flag, model, version, name), the linked
// count, the link status and the gateway unit, and runs the two procedures of the window: Link
// Start (speed search, gateway probe or axis scan through CBusScanner, then every address from
// the first one that answered) and the opening of one axis (identification, busy indicator, the
// gateway's expected model for that station). What a window must do (busy indicator, message,
// repaint) arrives as hooks, so tests drive the model directly.
// Owned by the axis link window; the thread that makes the exchanges (the user-interface thread).
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/CBusPortAccess.h"
#include "config/CAppValues.h"
#include "link/ResultCode.h"
#include "protocol/CBusScanner.h"

namespace kvl {

class CLanguageTexts;
class CServoCommands;

class CAxisLinkModel {
public:
    static constexpr int kAxisCount = 16;
    static constexpr int kUnitListTimeoutMs = 200;
    static constexpr char kStationSection[] = "IDD_KVL_GWX_NETSETLIST";

    enum class Status { kUnlinked = 0, kLinking = 1, kLinked = 2 };
    enum class OpenResult { kOpened, kRefused, kFailed };

    struct Axis {
        bool linked = false;
        std::string model;
        std::string version;
        std::string name;
    };

    // What the window lends the procedures. Every hook may be empty.
    struct Hooks {
        std::function<bool()> beginBusy;    // Begin(true, 100) of the busy indicator; false: refused
        std::function<void()> endBusy;      // End(true)
        std::function<void(int done, int total)> progress;   // the final run over the addresses
        std::function<void()> repaint;      // between two probes of the speed search
        // Before every probe: what the search asks now ("115200 bit/s: address 5 of 16"), in
        // the current language, for the busy indicator.
        std::function<void(const std::string &text)> activity;
        std::function<void(const std::string &title, const std::string &text)> message;
        std::function<void()> changed;      // status or buttons changed: redraw now
        // The axis answered: create its windows (main window, parameter list) hidden and show
        // the main window. Called between the busy indicator's Begin and End.
        std::function<void(int address)> openAxisWindows;
    };

    // `values` (the application's) get the gateway-present flag and the per-axis model match.
    CAxisLinkModel(CServoCommands &commands, const CLanguageTexts &texts, CAppValues &values,
                   CBusPortAccess port, Hooks hooks = {});

    // Window opening: with a port number above 0, opens the port at the stored speed
    // (CAppSettings::kDefaultSpeed when none is stored). No message when that fails. True when the port opened.
    bool OpenPortAtStart();
    // Link Start. False when the busy indicator refused (a run ended less than 100 ms ago);
    // nothing changed then.
    bool Link();
    // An axis button.
    OpenResult OpenAxis(int address);
    // The port settings changed the port or speed: the link no longer holds.
    void ShowUnlinked();

    const Axis &AxisAt(int address) const;
    // "%X" while unlinked, the live text "%X %s" (model, a blank, name) while linked.
    std::string ButtonText(int address) const;
    // Model, version and name of a linked axis (one per line, labelled in the current
    // language); empty while unlinked.
    std::string IdentityText(int address) const;
    // "<address> <model> <name>", the name already in UTF-8.
    static std::string LiveText(int address, const std::string &model, const std::string &name);
    static std::string UnlinkedText(int address);

    int LinkedCount() const { return m_linkedCount; }
    bool AnyLinked() const { return m_anyLinked; }
    Status GetStatus() const { return m_status; }
    // ("IDS_UNLINK" / "IDS_LINKING" / "IDS_LINKED", "Common") with built-in texts.
    std::string StatusText() const;
    // After a Link Start that found nothing: which port and speeds were tried and what to check,
    // in the current language. Empty otherwise (before a search, after one that found a device,
    // after the port settings changed the port).
    std::string SearchReport() const;
    bool GatewayPresent() const { return m_gatewayPresent; }
    // The gateway's version text from the last successful probe (for its settings window).
    const std::string &GatewayVersion() const { return m_gateway.version; }
    const std::string &GatewayName() const { return m_gateway.name; }
    // Speed of the last successful search; 0 before one.
    int FoundSpeed() const { return m_foundSpeed; }
    // The bus as the window shows it now (linked axes, the gateway unit, the speed found), for
    // the work that needs a scan's result without scanning again (backup, compare, restore).
    LinkResult CurrentLink() const;

    // Language key of a station code of the gateway's device list ("ID_COMBO_...").
    static const char *StationKey(uint8_t code);
    // The station code's text in the current language, or the built-in model text.
    static std::string StationText(const CLanguageTexts &texts, uint8_t code);

private:
    // What a search that found nothing tried.
    struct Attempt {
        int port = 0;
        std::vector<int> speeds;    // every speed tried, in order, once each
        bool opened = false;        // the port opened at one of them at least
        PortOpenCause cause = PortOpenCause::kNone;   // why the last opening failed
    };

    LinkResult Search(int port, int storedSpeed);
    bool ScanFirstAxis(int port, int storedSpeed, LinkResult &result);
    // Opens the port at `speed` for a probe and notes the attempt.
    bool OpenForProbe(int port, int speed);
    void Tell(const std::string &text) const;
    std::string ProbeText(int speed, int done, int total) const;
    void Repaint() const;
    void Unlink(int address);
    void UnlinkAll();
    void SetStatus(Status status);
    void Changed() const;
    void UpdateModelMatch(int address);
    std::string Text(const char *key, const char *section, const char *builtIn) const;

    CServoCommands &m_commands;
    const CLanguageTexts &m_texts;
    CAppValues &m_values;
    CBusPortAccess m_port;
    Hooks m_hooks;
    CBusScanner m_scanner;
    std::array<Axis, kAxisCount> m_axes{};
    int m_linkedCount = 0;
    bool m_anyLinked = false;
    Status m_status = Status::kUnlinked;
    bool m_gatewayPresent = false;
    DeviceIdentity m_gateway;
    int m_foundSpeed = 0;
    Attempt m_attempt;
    bool m_nothingFound = false;
};

} // namespace kvl
