#pragma once
// CWaveformSettings: the waveform settings file (named by ("RogPath", "Rog") in the settings
// file), section "General". Its five values are read once at start-up, kept here for the
// waveform windows, and written back when the program ends (or by Store()).
// Owned by CAppSettings for the whole run; user-interface thread only.
#include <string>

#include "config/CIniEx.h"

namespace kvl {

class CWaveformSettings {
public:
    static constexpr char kSection[] = "General";
    static constexpr char kKeyTime[] = "IDC_STATIC_ROG_TIME";
    static constexpr char kKeyPosition[] = "IDC_STATIC_ROG_POS";
    static constexpr char kKeySpeed[] = "IDC_STATIC_ROG_SPD";
    static constexpr char kKeyCurrent[] = "IDC_STATIC_ROG_CRT";
    static constexpr char kKeyPeriodTimes[] = "IDC_STATIC_PERIOD_TIMES";

    CWaveformSettings() = default;
    ~CWaveformSettings() { Close(); }
    CWaveformSettings(const CWaveformSettings &) = delete;
    CWaveformSettings &operator=(const CWaveformSettings &) = delete;

    struct Values {
        int time = 0;
        double position = 0.0;
        double speed = 0.0;
        double current = 0.0;
        int periodTimes = 0;
    };

    // Opens `fileName` in `systemFolder` and reads the five values; false (values at their
    // defaults) when the file cannot be opened.
    bool Open(const std::string &systemFolder, const std::string &fileName);
    bool IsOpen() const { return m_store.IsOpen(); }

    const Values &Get() const { return m_values; }
    void Set(const Values &values) { m_values = values; }

    // Puts the values into the store ("%d" and "%f") and saves it; false when writing failed.
    bool Store();
    // Store() when open, then close.
    void Close();

private:
    CIniEx m_store;
    Values m_values;
};

} // namespace kvl
