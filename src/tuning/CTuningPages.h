#pragma once
// CTuningPages: where the auto-tuning danger notice and setting-flow guide find their HTML pages.
// The pages ship in the system folder, one subfolder per language: "JP" for Japanese, "CH" for
// Chinese and "EN" for every other language. Stateless.
#include <string>
#include <string_view>

namespace kvl::tuning {

class CTuningPages {
public:
    static constexpr std::string_view kAlarmPage = "AutoTuning_Alarm_Wnd.html";
    static constexpr std::string_view kFlowPage1 = "AutoTuning_SettingFlow_Wnd1.html";
    static constexpr std::string_view kFlowPage2 = "AutoTuning_SettingFlow_Wnd2.html";
    static constexpr std::string_view kFlowPage3 = "AutoTuning_SettingFlow_Wnd3.html";

    // The language subfolder of language n (1 Japanese, 2 English, 3 Chinese).
    static std::string_view LanguageFolder(int language);
    // <systemFolder>/<language folder>/<page>.
    static std::string PagePath(const std::string &systemFolder, int language, std::string_view page);
};

} // namespace kvl::tuning
