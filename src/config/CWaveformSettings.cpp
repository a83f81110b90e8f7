#include "config/CWaveformSettings.h"

#include <charconv>

namespace kvl {

namespace {

constexpr int kRealDecimals = 6; // what "%f" writes

// "%f" without the process locale: a face that sets a locale with a decimal comma must not
// change what the file holds.
std::string FormatReal(double value)
{
    char text[400];
    const auto result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, kRealDecimals);
    return result.ec == std::errc() ? std::string(text, result.ptr) : std::string("0.000000");
}

} // namespace

bool CWaveformSettings::Open(const std::string &systemFolder, const std::string &fileName)
{
    m_values = Values{};
    if (!m_store.OpenInSystemFolder(systemFolder, fileName, "", true, false, true))
        return false;
    m_values.time = m_store.GetInt(kSection, kKeyTime, 0);
    m_values.position = m_store.GetDouble(kSection, kKeyPosition, 0.0);
    m_values.speed = m_store.GetDouble(kSection, kKeySpeed, 0.0);
    m_values.current = m_store.GetDouble(kSection, kKeyCurrent, 0.0);
    m_values.periodTimes = m_store.GetInt(kSection, kKeyPeriodTimes, 0);
    return true;
}

bool CWaveformSettings::Store()
{
    if (!m_store.IsOpen())
        return false;
    m_store.SetString(kSection, kKeyTime, std::to_string(m_values.time));
    m_store.SetString(kSection, kKeyPosition, FormatReal(m_values.position));
    m_store.SetString(kSection, kKeySpeed, FormatReal(m_values.speed));
    m_store.SetString(kSection, kKeyCurrent, FormatReal(m_values.current));
    m_store.SetString(kSection, kKeyPeriodTimes, std::to_string(m_values.periodTimes));
    return m_store.Save();
}

void CWaveformSettings::Close()
{
    if (m_store.IsOpen())
        Store();
    m_store.Clear();
}

} // namespace kvl
