#pragma once
// A test fixture with a private copy of the shipped system folder and the application settings
// started on it in English, as a face starts them.
#include <gtest/gtest.h>

#include "config/CAppSettings.h"
#include "config/CAppValues.h"
#include "support/ScratchSystemFolder.h"

namespace kvl::test {

class ScratchSettingsTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.Ok());
        ASSERT_TRUE(settings.Start(CAppSettings::kSystemLangEnglish));
    }

    ScratchSystemFolder folder;
    CAppValues values;
    CAppSettings settings{values, folder.System().string()};
};

} // namespace kvl::test
