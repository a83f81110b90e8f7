#include "monitor/CMonitorRules.h"

#include <cstdio>
#include <cstdlib>

#include "base/CModelTraits.h"

namespace kvl {

bool CMonitorRules::InputSwitchAllowed(int mode, int input)
{
    if (input < 1 || input > kSignalCount)
        return false;
    switch (mode) {
    case 2: return input != 9;
    case 4: return input != 8 && input != 9 && input != 11;
    case 5: return input < 4 || input > 9;
    case 1:
    case 3: return true;
    default: return input < 7 || input > 9;   // mode 0, and anything unknown acts as 0
    }
}

std::string CMonitorRules::SignalKey(int mode, bool input, int number)
{
    if (mode < 0 || mode > 5)
        mode = 0;
    return "IDC_RADIO_M" + std::to_string(mode + 1) + (input ? "_I_" : "_O_") + std::to_string(number);
}

bool CMonitorRules::SignalOn(uint32_t word, bool input, int number)
{
    if (number < 1 || number > kSignalCount)
        return false;
    const int bit = input ? number - 1 : 15 + number;
    return (word >> bit) & 1u;
}

std::string CMonitorRules::WindowSection(const std::string &model)
{
    return std::string(kWindowSection) + CModelTraits::Of(model).MonitorSectionSuffix();
}

std::string CMonitorRules::AlarmSection(const std::string &model)
{
    return CModelTraits::Of(model).AlarmSection();
}

std::string CMonitorRules::AlarmKey(int code)
{
    return "ALARM" + std::to_string(code);
}

int CMonitorRules::PositionDecimals(const std::string &model, int decimalsSetting)
{
    return CModelTraits::Of(model).MonitorPositionDecimals(decimalsSetting + 2);
}

std::string CMonitorRules::FormatPosition(int32_t raw, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%0.*f", decimals, raw / 10000.0);
    if (std::strtod(text, nullptr) == 0.0)
        std::snprintf(text, sizeof text, "%0.*f", decimals, 0.0);
    return text;
}

} // namespace kvl
