// The colour settings file: colour texts (blue first), the shipped file, writing "CURRENT" without
// touching "DEFAULT", a missing file read as white, and a colour file written back when a unit
// settings file brings colours.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "gateway/CGatewayColourStore.h"
#include "gateway/CGatewaySettingsFile.h"
#include "tests/support/ScratchSystemFolder.h"

namespace kvl {
namespace {

namespace fs = std::filesystem;
using Store = CGatewayColourStore;

std::string FileText(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(GatewayColourStoreTest, ColourTextsAreBlueFirstAndReadBack)
{
    const struct {
        uint32_t value;
        const char *text;
    } cases[] = {{255, "RGB(0,0,255)"}, {16777215, "RGB(255,255,255)"}, {0x123456, "RGB(18,52,86)"}, {0, "RGB(0,0,0)"}};
    for (const auto &c : cases) {
        EXPECT_EQ(Store::ColourText(c.value), c.text);
        EXPECT_EQ(Store::ColourOfText(c.text), c.value) << c.text;
    }
    // Texts that are not colours read as black; blanks after a comma are taken as numbers are.
    EXPECT_EQ(Store::ColourOfText("white"), 0u);
    EXPECT_EQ(Store::ColourOfText("RGB(1,2,3"), 0u);
    EXPECT_EQ(Store::ColourOfText("RGB(1, 2, 3)"), 65536u + 2 * 256u + 3u);
}

TEST(GatewayColourStoreTest, TheShippedFileHoldsEveryColourInBothSections)
{
    test::ScratchSystemFolder folder;
    ASSERT_TRUE(folder.Ok());
    Store store;
    ASSERT_TRUE(store.Open(folder.System().string()));
    const Store::Colours current = store.Read(Store::kCurrent);
    const Store::Colours defaults = store.Read(Store::kDefault);
    EXPECT_EQ(current, defaults);
    // A key missing from the file would read as white: the shipped colours are all tinted.
    for (size_t i = 0; i < current.size(); ++i)
        EXPECT_NE(current[i], CGatewayConfig::kWhite) << Store::kKeys[i];
}

TEST(GatewayColourStoreTest, WritingCurrentLeavesTheDefaultsAndKeepsTheKeyOrder)
{
    test::ScratchSystemFolder folder;
    ASSERT_TRUE(folder.Ok());
    Store store;
    ASSERT_TRUE(store.Open(folder.System().string()));
    const Store::Colours defaults = store.Read(Store::kDefault);
    Store::Colours chosen{};
    for (size_t i = 0; i < chosen.size(); ++i)
        chosen[i] = static_cast<uint32_t>(i + 1) * 0x010203u;
    ASSERT_TRUE(store.WriteCurrent(chosen));

    Store again;
    ASSERT_TRUE(again.Open(folder.System().string()));
    EXPECT_EQ(again.Read(Store::kCurrent), chosen);
    EXPECT_EQ(again.Read(Store::kDefault), defaults);
    const std::string text = FileText(folder.System() / Store::kFileName);
    EXPECT_LT(text.find("ColorZMDA="), text.find("ColorANY=")) << "the devices first, MDA-Z before ANY";
    EXPECT_LT(text.find("ColorANY="), text.find("ColorIO="));
}

TEST(GatewayColourStoreTest, AMissingFileIsWhiteAndTheFirstWriteCreatesIt)
{
    const fs::path dir = fs::temp_directory_path() / ("kvl_colours_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    Store store;
    ASSERT_TRUE(store.Open(dir.string()));
    for (uint32_t colour : store.Read(Store::kCurrent))
        EXPECT_EQ(colour, CGatewayConfig::kWhite);
    Store::Colours red{};
    red.fill(255);
    EXPECT_TRUE(store.WriteCurrent(red));
    Store again;
    ASSERT_TRUE(again.Open(dir.string()));
    EXPECT_EQ(again.Read(Store::kCurrent), red);
    for (uint32_t colour : again.Read(Store::kDefault))
        EXPECT_EQ(colour, CGatewayConfig::kWhite);
    fs::remove_all(dir);

    Store nowhere;
    EXPECT_FALSE(nowhere.Open((dir / "no" / "such").string()));
    EXPECT_FALSE(nowhere.WriteCurrent(red));
}

TEST(GatewayColourStoreTest, ASavedNameWithoutExtensionGetsDat)
{
    EXPECT_EQ(CGatewaySettingsFile::WithExtension("/tmp/unit"), "/tmp/unit.dat");
    EXPECT_EQ(CGatewaySettingsFile::WithExtension("/tmp/unit.txt"), "/tmp/unit.txt");
    EXPECT_EQ(CGatewaySettingsFile::WithExtension("/tmp/v1.2/unit"), "/tmp/v1.2/unit.dat");
}

} // namespace
} // namespace kvl
