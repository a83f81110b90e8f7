#pragma once
// CCliSession: what one kvlctl run works with: the settings and language texts of the system
// folder, the port chosen by --port or by the settings file, the one facade and command layer,
// and the output in text or JSON. Errors are printed as one line that starts "kvlctl: axis 3: "
// and names the operation and the result code with its meaning. Idempotent reads are asked again
// after a spoiled reply (--retries); questions go through one prompt. Main thread only.
#include <iosfwd>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "cli/CCliArgs.h"
#include "config/CAppValues.h"
#include "cli/CCliPrompt.h"
#include "protocol/CBusScanner.h"

namespace kvl {
class CAppSettings;
class CComm;
class CCommImplement;
class CServoCommands;
class CWriteGate;
}

namespace kvl::cli {

class CRetryingComm;
class CTracingComm;

class CCliSession {
public:
    static constexpr int kExitOk = 0;
    static constexpr int kExitFailure = 1;
    static constexpr int kExitUsage = 2;
    static constexpr int kExitIncomplete = 3;     // the work was done but data were lost on the way

    // Questions are answered from `in`; `inputIsTerminal` says whether someone can answer there.
    CCliSession(const CCliArgs &args, std::ostream &out, std::ostream &err, std::istream &in,
                bool inputIsTerminal);
    ~CCliSession();

    // Opens the settings file and the language texts of the system folder. A missing settings
    // file is not an error: the run goes on with defaults, as long as --port names the device.
    // A folder named by --system that does not exist or cannot be read is: false, with a line
    // that names it.
    bool LoadSettings();
    // Chooses the port (--port, else the settings) and the speed (--speed, else the settings,
    // else 38400) and opens it. False, with a message printed, when no port is configured or it
    // cannot be opened.
    bool OpenBus();
    // Why OpenBus could not open the port, with what to do about it ("cannot open serial port
    // /dev/ttyUSB0 at 38400 bit/s: it does not exist (...)").
    std::string PortOpenFailureText();
    // The port number and speed chosen by OpenBus (or for the scan).
    int PortNumber() const { return m_port; }
    int Speed() const { return m_speed; }
    // Reads AXIS from word `index` and opens the bus. False with `exitCode` set (2 for a bad
    // AXIS, 1 when the bus cannot be opened).
    bool OpenAxis(size_t index, uint8_t &axis, int &exitCode);
    // OpenAxis, then the identification of that axis. False with `exitCode` set (and the
    // failure printed) when either fails.
    bool OpenAndIdentify(size_t index, uint8_t &axis, DeviceIdentity &identity, int &exitCode);
    // "kvlctl: axis 3: identify: no reply within 30 ms (-202); ...": a failed identification, with
    // what silence usually means (another bus speed, which scan finds); returns kExitFailure.
    int FailIdentify(uint8_t axis, int result);
    // Port number without opening; 0 with a message when none is configured.
    int ChoosePort();

    CServoCommands &Commands() { return *m_commands; }
    // The write gate every write of this run passes; it prints each value it keeps from the wire.
    CWriteGate &Gate() { return *m_gate; }
    // How many writes the gate refused in this run: a run with any ends non-zero.
    int Refusals() const { return m_refusals; }
    // The facade without retries (with the tracer in front under --trace), for raw frames.
    CComm &Comm();
    // The facade itself, for its hooks.
    CCommImplement &Facade() { return *m_comm; }
    // The application's values for this run.
    CAppValues &Values() { return m_values; }
    // Whether an idempotent read that met silence is sent again (a bus scan turns it off).
    void SetRetryOnSilence(bool on);
    CCliPrompt &Prompt() { return m_prompt; }
    CAppSettings &Settings() { return *m_settings; }
    // The folder whose "log" subfolder takes the trace and communication logs: the user's own
    // data folder when the settings are per user; empty (the default): the program folder.
    void SetLogFolder(const std::string &folder);
    std::string LogFolder() const;
    bool SettingsLoaded() const { return m_settingsLoaded; }
    // Why the settings are not loaded ("the system folder /opt/x does not exist"); empty when they are.
    const std::string &SettingsProblem() const { return m_settingsProblem; }
    // The settings file of this run (kvl_motor.ini in the system folder: the user's own copy when
    // installed), for messages that send the user there.
    std::string SettingsFilePath() const;
    // Language text (UTF-8) of (key, section); empty when missing.
    std::string Text(const std::string &key, const std::string &section) const;
    // Identification of an axis, read once per run (ReadDeviceType with the probe timeout).
    int Identify(uint8_t axis, DeviceIdentity &identity);

    const CCliArgs &Args() const { return m_args; }
    bool Json() const { return m_args.json; }
    std::ostream &Out() { return m_out; }
    std::ostream &Err() { return m_err; }
    // Whether stderr is a terminal: progress lines are shown only then. The program sets it.
    bool ErrIsTerminal() const { return m_errIsTerminal; }
    void SetErrIsTerminal(bool terminal) { m_errIsTerminal = terminal; }
    // The result of a command on stdout (one line, `line` without its line end), also kept in the
    // daily log.
    void Result(const std::string &line);
    // Prints a JSON document (with --json) on stdout.
    void PrintJson(const nlohmann::json &document);
    // "kvlctl: axis 3: read parameter 35: no reply within 200 ms (-202)" on stderr; returns
    // kExitFailure.
    int Fail(uint8_t axis, const std::string &operation, int code, int timeoutMs = 0);
    // "kvlctl: axis 3: message" on stderr; returns kExitFailure.
    int FailAxis(uint8_t axis, const std::string &message);
    // "kvlctl: axis 3: message" on stderr, for a warning that does not end the command.
    void Note(uint8_t axis, const std::string &message);
    // "kvlctl: message" on stderr; returns kExitFailure.
    int FailText(const std::string &message);
    // True when `path` is a regular file of a size a file of the tool can have; otherwise says
    // why ("cannot load PATH: it is a FIFO, not a regular file"). Called before the bus is
    // opened, so a bad file name never holds the port.
    bool InputFileReadable(const std::string &path);
    // Usage error on stderr; returns kExitUsage.
    int Usage(const std::string &message);

private:
    const CCliArgs &m_args;
    std::ostream &m_out;
    std::ostream &m_err;
    CAppValues m_values;
    std::unique_ptr<CAppSettings> m_settings;
    std::unique_ptr<CCommImplement> m_comm;
    std::unique_ptr<CTracingComm> m_tracing;
    std::unique_ptr<CRetryingComm> m_retrying;
    CCliPrompt m_prompt;
    std::unique_ptr<CServoCommands> m_commands;
    std::unique_ptr<CWriteGate> m_gate;
    int m_refusals = 0;
    bool m_settingsLoaded = false;
    bool m_errIsTerminal = false;
    std::string m_logFolder;
    std::string m_settingsProblem;   // why the settings file could not be opened, for later messages
    int m_port = 0;
    int m_speed = 0;
    std::array<std::unique_ptr<DeviceIdentity>, 256> m_identities{};
};

} // namespace kvl::cli
