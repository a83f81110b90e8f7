#pragma once
// CAppSettings: the application's settings and language state for the whole run. It holds the
// settings store ("kvl_motor.ini"), the language texts and the waveform settings, runs the
// start-up sequence (trace and service switches from the debug level, first language from the
// system's language) and the language switch, which also reopens the parameter store of every
// axis window that registered itself here. It writes the language and the service switch into
// the application's values (CAppValues) it is handed. It owns the system folder every file it
// opens lies in. The faces create one instance at start and close it at exit. User-interface
// thread only.
#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "config/CAppValues.h"
#include "config/CIniEx.h"
#include "config/CLanguageTexts.h"
#include "config/CWaveformSettings.h"

namespace kvl {

class CAppSettings {
public:
    static constexpr char kSettingsFile[] = "kvl_motor.ini";
    static constexpr int kLanguageJapanese = 1;
    static constexpr int kLanguageEnglish = 2;
    static constexpr int kLanguageChinese = 3;
    // Primary language identifiers of the operating system's language.
    static constexpr int kSystemLangChinese = 4;
    static constexpr int kSystemLangEnglish = 9;
    static constexpr int kSystemLangJapanese = 17;
    static constexpr int kServiceLevel = 10;
    static constexpr int kDefaultMaxList = 6;
    static constexpr int kAxisSlots = 16;
    // The bus speed in bit/s every face opens the port with when the settings file has none.
    static constexpr int kDefaultSpeed = 38400;

    // `systemFolder`: where the settings, language, waveform and parameter files are; empty for
    // the "system" folder beside the program (CIniEx::DefaultSystemFolder()).
    explicit CAppSettings(CAppValues &values, const std::string &systemFolder = std::string());
    ~CAppSettings();
    CAppSettings(const CAppSettings &) = delete;
    CAppSettings &operator=(const CAppSettings &) = delete;

    // Start-up: opens the settings file, sets the service switches, picks the first language
    // from `systemLanguageId`, opens the waveform settings and switches to that language. False
    // when the settings or waveform file cannot be opened (no language is loaded then).
    bool Start(int systemLanguageId);
    // Writes the waveform values and the settings file back and closes every store.
    void Close();

    // Chinese system → 3, Japanese → 1, anything else → 2.
    static int FirstLanguage(int systemLanguageId);
    // Whether the button of `language` is usable on a system of `systemLanguageId`.
    static bool LanguageOffered(int language, int systemLanguageId);
    // Primary language identifier of this process' locale (LC_ALL, LC_MESSAGES, LANG).
    static int SystemLanguageId();
    // The same for a locale name such as "ja_JP.UTF-8".
    static int SystemLanguageIdOf(std::string_view localeName);

    // Stores n as ("Default", "Language"), loads its language file and reopens every registered
    // axis' parameter store on the file for its model in language n.
    void SwitchLanguage(int language);
    // A language button of the start window: ignored when the button is not offered on this
    // system, when its language is current and loaded, or when its language file is missing;
    // else the language switch (also when the current language's file is missing). True when
    // switched.
    bool PressLanguageButton(int language, int systemLanguageId);
    // Whether the settings file names a language file for `language` and the system folder holds it.
    bool LanguageFileExists(int language) const;
    int Language() const { return m_language; }
    // Whether the exchanges are traced: a debug level other than 0 at start.
    bool TraceOn() const { return m_traceOn; }

    // ("LanguageItem%dFull" and friends) for language n and an axis' model key.
    static std::string ParamFileKey(int language, std::string_view modelKey);
    // The parameter file name for language n and a model key, from the settings file.
    std::string ParamFileName(int language, std::string_view modelKey) const;
    // How an axis window opens its parameter store: language from ("Default", "Language").
    bool OpenAxisParamStore(CIniEx &store, std::string_view modelKey) const;

    // An axis window (slot 0 to 15) whose parameter store follows the language switch. The
    // store must stay alive until UnregisterAxis; `reopened` is told whether the file opened.
    bool RegisterAxis(int axis, const std::string &modelKey, CIniEx *store,
                      std::function<void(bool opened)> reopened = {});
    void UnregisterAxis(int axis);

    // Shows a message (UTF-8, empty title, OK only); set by the face.
    std::function<void(const std::string &text)> showMessage;
    // Called after a language switch so that the start window refreshes its own texts.
    std::function<void(int language)> languageChanged;

    // The folder every file of the system is opened in.
    const std::string &SystemFolder() const { return m_systemFolder; }
    CIniEx &Settings() { return m_settings; }
    const CIniEx &Settings() const { return m_settings; }
    const CLanguageTexts &Texts() const { return m_texts; }
    CWaveformSettings &Waveform() { return m_waveform; }

    int DebugLevel() const;
    int Port() const;
    // Bus speed in bit/s; 0 when missing (the port is then opened at kDefaultSpeed).
    int Speed() const;
    // `speed` when one is given (above 0), else kDefaultSpeed.
    static int SpeedOrDefault(int speed);
    int MaxList() const;
    // Store the port number and speed and save the settings file at once.
    bool SetPortAndSpeed(int port, int speed);
    // Store the speed alone, the port kept as it is, and save the settings file at once.
    bool SetSpeed(int speed);
    // Device path of serial port number `port` (("RS485", "Device%d")); empty when unset.
    std::string DevicePath(int port) const;
    bool SetDevicePath(int port, const std::string &path);

private:
    struct AxisSlot {
        std::string modelKey;
        CIniEx *store = nullptr;
        std::function<void(bool)> reopened;
    };

    void ReopenAxisStores();
    bool OpenStore(CIniEx &store, const std::string &fileName) const;

    CAppValues &m_values;
    std::string m_systemFolder;
    CIniEx m_settings;
    CLanguageTexts m_texts;
    CWaveformSettings m_waveform;
    int m_language = kLanguageEnglish;
    bool m_traceOn = false;
    std::array<AxisSlot, kAxisSlots> m_axes;
};

} // namespace kvl
