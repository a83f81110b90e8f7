// Where the auto-tuning pages are found: the language subfolder and the full path.
#include <gtest/gtest.h>

#include <string>

#include "tuning/CTuningPages.h"

namespace kvl::tuning {
namespace {

TEST(TuningPagesTest, LanguageSelectsTheFolder)
{
    const struct {
        int language;
        const char *folder;
    } cases[] = {{1, "JP"}, {2, "EN"}, {3, "CH"}, {0, "EN"}, {4, "EN"}, {-1, "EN"}};
    for (const auto &c : cases) {
        EXPECT_EQ(CTuningPages::LanguageFolder(c.language), c.folder) << c.language;
        EXPECT_EQ(CTuningPages::PagePath("/opt/kvl/system", c.language, CTuningPages::kAlarmPage),
                  std::string("/opt/kvl/system/") + c.folder + "/AutoTuning_Alarm_Wnd.html")
            << c.language;
    }
}

} // namespace
} // namespace kvl::tuning
