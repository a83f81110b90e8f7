// The unit settings file: its lines, a save and load round trip, and the files it refuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/TextNumber.h"
#include "config/CCodePage.h"
#include "gateway/CGatewaySettingsFile.h"

namespace kvl {
namespace {

namespace fs = std::filesystem;

CGatewayConfig Changed()
{
    CGatewayConfig c;
    c.comment = "LINE 4 GW";
    c.interval = 250;
    c.broadcastDelay = 70;
    c.resetTimes = 5;
    c.speedToPc = 1;
    c.speedToDrivers = 2;
    c.commForbidding = 1;
    c.fieldbusType = 5;
    c.ccLinkSpeed = 4;
    c.ccLinkStations = 4;
    c.ccLinkVersion = 1;
    c.deviceNetSpeed = 1;
    c.ipAddress = {10, 1, 2, 3};
    c.subnetMask = {255, 255, 0, 0};
    c.defaultGateway = {10, 1, 0, 254};
    c.dhcp = 1;
    c.ethernetSpeed = 2;
    c.devices = {1, 2, 3, 6, 7, 8, 255, 0, 0, 0, 0, 0, 0, 0, 0, 3};
    c.inputModes = {3, 2, 1, 0, 3, 2, 1, 0, 3, 2, 1, 0, 3, 2, 1, 0};
    c.colours[0] = 255;
    c.colours[11] = 0x123456;
    return c;
}

std::string English(const std::string &key, const std::string &)
{
    if (key == "ID_COMBO_INPUTMODE_IO")
        return "I/O mode";
    if (key == "ID_COMBO_ANY")
        return "Other";
    if (key == "IDC_ST_INTERVAL")
        return "Poll interval [ms]";
    return {};
}

// The labels and list entries of a Japanese and a Chinese window.
std::string Japanese(const std::string &key, const std::string &)
{
    if (key == "ID_COMBO_INPUTMODE_IO")
        return "I/Oモード";
    if (key == "ID_COMBO_ANY")
        return "その他";
    if (key == "IDC_ST_INTERVAL")
        return "ポーリング間隔[ms]";
    return {};
}

std::string Chinese(const std::string &key, const std::string &)
{
    if (key == "ID_COMBO_INPUTMODE_IO")
        return "I/O模式";
    if (key == "ID_COMBO_ANY")
        return "其他";
    if (key == "IDC_ST_INTERVAL")
        return "轮询间隔[ms]";
    return {};
}

class GatewaySettingsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("gwfile_" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    fs::path m_dir;
};

TEST_F(GatewaySettingsFile, SavedFileLoadsBackEveryValue)
{
    for (const auto &texts : {CGatewaySettingsFile::TextLookup(), CGatewaySettingsFile::TextLookup(English)}) {
        const std::string path = (m_dir / "unit.dat").string();
        ASSERT_TRUE(CGatewaySettingsFile::Save(path, Changed(), "1.05", "2026/12/10", texts, kCodePageWestern));
        CGatewayConfig loaded;
        ASSERT_EQ(CGatewaySettingsFile::Load(path, loaded, texts, kCodePageWestern), CGatewaySettingsFile::LoadResult::kLoaded);
        EXPECT_EQ(loaded, Changed());
    }
}

TEST_F(GatewaySettingsFile, LinesHoldTheLabelsEntriesAndColours)
{
    const std::string text = CGatewaySettingsFile::Text(Changed(), "1.05", "2026/12/10", English);
    const std::string expected[] = {
        "2026/12/10\r\nGWX   1.05\r\n\r\n001.  Device ID:0 = MDA\r\n",
        "007.  Device ID:6 = Other\r\n", "016.  Device ID:F = MDC\r\n",
        "017.  Fieldbus type = EtherNet/IP\r\n", "019.  Poll interval [ms] = 250 [ms]\r\n",
        "021.  Speed to the PC = 38400 [bps]\r\n", "028.  InputMode ID:3 = I/O mode\r\n",
        "041.  Occupied stations = 3 stations\r\n", "042.  Multiple setting = 4 times\r\n",
        "043.  IP address = 10,1,2,3\r\n", "046.  Ethernet speed = 10HDX\r\n",
        "049.  Communication forbidding = Valid\r\n", "050.  CC-Link version = V2.00\r\n",
        "101.  Color Device NULL = RGB(0,0,255)\r\n", "112.  Color Device MDA-Z = RGB(18,52,86)\r\n"};
    for (const auto &line : expected)
        EXPECT_NE(text.find(line), std::string::npos) << line;
}

TEST_F(GatewaySettingsFile, LinesAsTheyLoad)
{
    const std::string head = "2026/12/10\r\n   GWX   \r\n\r\n";   // blanks before GWX are accepted
    struct Case { const char *what; std::string body; CGatewayConfig expected; };
    CGatewayConfig whole;
    whole.comment = "LINE 4";
    CGatewayConfig interval;
    interval.interval = 250;
    CGatewayConfig pair;
    pair.ccLinkStations = 4;
    CGatewayConfig octets;
    octets.ipAddress = {44, 255, 7, 0};
    CGatewayConfig device;
    device.devices[2] = 7;
    const Case cases[] = {
        {"a comment with a blank loads whole", "018.  Comment =  LINE 4 \r\n", whole},
        {"the unit label after a value is dropped", "019.  x = 250 [ms]\r\n", interval},
        {"042 after 041 selects the pair", "041.  a = 3 st\r\n042.  b = 4 times\r\n", pair},
        {"042 without 041 changes nothing", "042.  b = 4 times\r\n", CGatewayConfig{}},
        {"a pair not in the table changes nothing", "041.  a = 3\r\n042.  b = 8\r\n", CGatewayConfig{}},
        {"entries match by their beginning, ignoring case", "003.  Device ID:2 = mda-y\r\n", device},
        {"four octets 0 to 255", "043.  a = 44,255,7,0\r\n", octets},
        {"an octet outside 0 to 255 changes nothing", "043.  a = 300,-1,7,0\r\n", CGatewayConfig{}},
        {"an unknown entry leaves the list", "021.  s = 9600 [bps]\r\n", CGatewayConfig{}},
        {"a line without a dot is ignored", "019 = 999\r\n", CGatewayConfig{}},
    };
    for (const auto &c : cases) {
        CGatewayConfig config;
        ASSERT_TRUE(CGatewaySettingsFile::Parse(head + c.body, config, {})) << c.what;
        EXPECT_EQ(config, c.expected) << c.what;
    }
}

// A value its setting does not take leaves the setting as it was and is named, whatever form it
// has: too large for the unit's 32 bits, signed, not finite, not a number, outside the list.
TEST_F(GatewaySettingsFile, ValuesNoSettingTakesAreNamedAndChangeNothing)
{
    const std::string head = "2026/12/10\r\nGWX   1.20\r\n\r\n";
    const char *const lines[] = {
        "019.  Poll interval [ms] = 99999999999 [ms]", "019.  Poll interval [ms] = -99999999999 [ms]",
        "019.  Poll interval [ms] = nan [ms]",         "019.  Poll interval [ms] = inf [ms]",
        "019.  Poll interval [ms] = -0 [ms]",          "019.  Poll interval [ms] = 1e308 [ms]",
        "019.  Poll interval [ms] = abc [ms]",         "019.  Poll interval [ms] = 2147483648 [ms]",
        "019.  Poll interval [ms] = 0x10 [ms]",        "019.  Poll interval [ms] = [ms]",
        "020.  Broadcast [ms] = 99999999999 [ms]",     "020.  Broadcast [ms] = 12abc [ms]",
        "024.  Retries = 99999999999",                 "024.  Retries = 10000",
        "018.  Comment = SEVENTEEN BYTES!!",           "021.  Speed to PC = 9600 [bps]",
        "021.  Speed to PC = [bps]",                   "003.  Device ID:2 = MDQ",
        "017.  Fieldbus type = Profibus",              "043.  IP address = 999,-5,1",
        "043.  IP address = 1,2,3,4,5",                "044.  Subnet mask = 255,255,255,",
        "046.  Ethernet speed = 1000FDX",              "101.  Color Device NULL = RGB(0,0,256)",
        "102.  Color Device MDA = blue",               "042.  Multiple setting",
    };
    for (const char *line : lines) {
        CGatewayConfig config = Changed();
        CGatewaySettingsFile::Problems problems;
        ASSERT_TRUE(CGatewaySettingsFile::Parse(head + line + "\r\n", config, {}, &problems)) << line;
        EXPECT_EQ(config, Changed()) << line;
        EXPECT_EQ(problems.invalid, std::vector<std::string>{line}) << line;
    }
    // The largest interval the unit holds is a value like any.
    CGatewayConfig config;
    CGatewaySettingsFile::Problems problems;
    ASSERT_TRUE(CGatewaySettingsFile::Parse(head + "019.  x = 2147483647 [ms]\r\n", config, {}, &problems));
    EXPECT_EQ(config.interval, 2147483647);
    EXPECT_TRUE(problems.invalid.empty());
}

// A saved file holds every setting line; one cut short names what it lacks and the line it ends in.
TEST_F(GatewaySettingsFile, ACutFileNamesItsMissingLines)
{
    CGatewayConfig saved = Changed();
    saved.ccLinkStations = 7;
    const std::string whole = CGatewaySettingsFile::Text(saved, "1.20", "2026/12/10", {});
    CGatewaySettingsFile::Problems problems;
    CGatewayConfig config;
    ASSERT_TRUE(CGatewaySettingsFile::Parse(whole, config, {}, &problems));
    EXPECT_TRUE(problems.Empty());

    const size_t cut = whole.find("042.  ") + 10;   // in the middle of the multiple setting's label
    config = CGatewayConfig{};
    ASSERT_TRUE(CGatewaySettingsFile::Parse(whole.substr(0, cut), config, {}, &problems));
    EXPECT_EQ(problems.invalid, std::vector<std::string>{whole.substr(whole.find("042.  "), 10)});
    std::vector<int> missing{43, 44, 45, 46, 47, 48, 49, 50};
    for (int n = 101; n <= 112; ++n)
        missing.push_back(n);
    EXPECT_EQ(problems.missing, missing);
    EXPECT_EQ(config.ccLinkStations, CGatewayConfig{}.ccLinkStations) << "041 alone names no pair";
}

TEST_F(GatewaySettingsFile, RefusedFilesChangeNothing)
{
    struct Case { const char *what; std::string text; };
    const Case cases[] = {{"second line of a parameter file", "2026/12/10\r\nMDB   1.00\r\n\r\n019.  x = 1\r\n"},
                          {"no second line", "2026/12/10"},
                          {"empty file", ""}};
    for (const auto &c : cases) {
        const std::string path = (m_dir / "other.dat").string();
        std::ofstream(path, std::ios::binary) << c.text;
        CGatewayConfig config = Changed();
        EXPECT_EQ(CGatewaySettingsFile::Load(path, config, {}, kCodePageWestern), CGatewaySettingsFile::LoadResult::kNotGateway)
            << c.what;
        EXPECT_EQ(config, Changed()) << c.what;
    }
    CGatewayConfig config;
    EXPECT_EQ(CGatewaySettingsFile::Load((m_dir / "missing.dat").string(), config, {}, kCodePageWestern),
              CGatewaySettingsFile::LoadResult::kNotFound);
}

// The file is in the code page of its language, not UTF-8, and loads back whole from it.
TEST_F(GatewaySettingsFile, AFileIsWrittenAndReadInItsLanguagesCodePage)
{
    const struct {
        CGatewaySettingsFile::TextLookup texts;
        int codePage;
        const char *label;
        const char *entry;
    } cases[] = {{Japanese, kCodePageShiftJis, "ポーリング間隔[ms]", "その他"},
                 {Chinese, kCodePageGbk, "轮询间隔[ms]", "其他"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.codePage);
        const std::string path = (m_dir / "unit.dat").string();
        ASSERT_TRUE(CGatewaySettingsFile::Save(path, Changed(), "1.05", "2026/12/10", c.texts, c.codePage));
        std::ifstream in(path, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        EXPECT_EQ(bytes.str().find(c.label), std::string::npos) << "the label went out in UTF-8";
        std::string decoded;
        ASSERT_TRUE(CCodePage::ToUtf8(bytes.str(), c.codePage, decoded));
        EXPECT_NE(decoded.find(std::string("019.  ") + c.label + " = 250 [ms]"), std::string::npos) << decoded;
        EXPECT_NE(decoded.find(std::string(" = ") + c.entry + "\r\n"), std::string::npos) << decoded;

        CGatewayConfig loaded;
        CGatewaySettingsFile::Problems problems;
        ASSERT_EQ(CGatewaySettingsFile::Load(path, loaded, c.texts, c.codePage, &problems),
                  CGatewaySettingsFile::LoadResult::kLoaded);
        EXPECT_TRUE(problems.Empty());
        EXPECT_EQ(loaded, Changed());
    }
}

TEST_F(GatewaySettingsFile, SaveIntoAMissingFolderFailsAndSaysSo)
{
    EXPECT_FALSE(CGatewaySettingsFile::Save((m_dir / "no" / "unit.dat").string(), Changed(), "", "2026/12/10", {}, kCodePageWestern));
    EXPECT_FALSE(CGatewaySettingsFile::Save(m_dir.string(), Changed(), "", "2026/12/10", {}, kCodePageWestern));   // a folder
}

} // namespace
} // namespace kvl
