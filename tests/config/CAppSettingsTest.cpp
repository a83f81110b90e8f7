// Settings file, start-up sequence, language switch with the axis parameter stores, language
// lookups and the waveform settings, on a scratch system folder.
#include "config/CAppSettings.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <ostream>

#include "TestFiles.h"
#include "config/CCodePage.h"

namespace kvl {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

constexpr char kSettingsText[] =
    "; settings of the engineering tool\n"
    "[RS485]\nPort=3\nSpeed=57600\nDevice3=/dev/ttyUSB0\n"
    "[Debug]\nLevel=0\n"
    "[Rog]\nRogPath=RogSetting.ini\n"
    "[Rogging]\nMaxList=8\n"
    "[Language]\nDefault=1\n"
    "LanguageItem1=Lang_JP.ini\nLanguageItem2=Lang_EN.ini\nLanguageItem3=Lang_CN.ini\n"
    "LanguageItem1Full=ParamMDA_JP.ini\nLanguageItem2Full=ParamMDA_EN.ini\n"
    "LanguageItem3Full=ParamMDA_CN.ini\n"
    "LanguageItem1ParamMDB=ParamMDB_JP.ini\nLanguageItem2ParamMDB=ParamMDB_EN.ini\n"
    "LanguageItem3ParamMDB=ParamMDB_CN.ini\n"
    "LanguageItem1ParamZMDA=ParamZMDA_JP.ini\nLanguageItem2ParamZMDA=ParamZMDA_EN.ini\n"
    "LanguageItem3ParamZMDA=Missing_CN.ini\n";

constexpr char kRogText[] = "[General]\r\nIDC_STATIC_ROG_TIME=500\r\nIDC_STATIC_ROG_POS=1.5\r\n"
                            "IDC_STATIC_ROG_SPD=20.25\r\nIDC_STATIC_ROG_CRT=-3\r\n"
                            "IDC_STATIC_PERIOD_TIMES=4\r\n";

struct LanguageFile {
    const char *name;
    int language;
    const char *utf8;
};

const LanguageFile kLanguageFiles[] = {
    {"Lang_JP.ini", 1,
     "[COMMON]\nIDS_WARN_TITLE=警告\nIDS_ERRMSG_FILEOPRATIONFAIL=ファイル操作に失敗しました\n"
     "[IDD_KVL_VER2_CONTROL_DIALOG]\nIDD_KVL_VER2_CONTROL_DIALOG=スタート\nIDC_NEXT=次へ\n"
     "IDC_EMPTY=\n[TOOLTIPS]\nTOOLTIPS30=次の画面へ進みます\n"},
    {"Lang_EN.ini", 2,
     "[Common]\nIDS_WARN_TITLE=Warning\nIDS_ERRMSG_FILEOPRATIONFAIL=File operation failed\n"
     "IDS_NOTE=Text ;translator note\n"
     "[IDD_KVL_VER2_CONTROL_DIALOG]\nIDD_KVL_VER2_CONTROL_DIALOG=Start\nIDC_NEXT=Next\n"
     "[TOOLTIPS]\nTOOLTIPS30=Go to the next window\n"},
    {"Lang_CN.ini", 3,
     "[Common]\nIDS_WARN_TITLE=警告\nIDS_ERRMSG_FILEOPRATIONFAIL=文件操作失败\n"
     "[IDD_KVL_VER2_CONTROL_DIALOG]\nIDC_NEXT=下一步\n"},
};

class AppSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_system = m_dir.Path() / "system";
        std::filesystem::create_directory(m_system);
        WriteSystemFile("kvl_motor.ini", kSettingsText);
        WriteSystemFile("RogSetting.ini", kRogText);
        for (const LanguageFile &file : kLanguageFiles)
            WriteEncoded(file.name, file.utf8, file.language);
        for (const char *name : {"ParamMDA", "ParamMDB", "ParamZMDA"}) {
            WriteEncoded(std::string(name) + "_JP.ini", "[1]\nDisplayName=ソフトリミット\n", 1);
            WriteEncoded(std::string(name) + "_EN.ini", "[1]\nDisplayName=Soft limit\n", 2);
            WriteEncoded(std::string(name) + "_CN.ini", "[1]\nDisplayName=软限位\n", 3);
        }
    }
    void WriteSystemFile(const std::string &name, const std::string &bytes)
    {
        WriteBytes((m_system / name).string(), bytes);
    }
    void WriteEncoded(const std::string &name, const std::string &utf8, int language)
    {
        std::string bytes;
        ASSERT_TRUE(CCodePage::FromUtf8(utf8, CCodePage::ForLanguage(language), bytes, false));
        WriteSystemFile(name, bytes);
    }
    std::string SystemFile(const std::string &name) const
    {
        return ReadBytes((m_system / name).string());
    }
    void SetLevel(const std::string &level)
    {
        std::string text = kSettingsText;
        text.replace(text.find("Level=0"), 7, "Level=" + level);
        WriteSystemFile("kvl_motor.ini", text);
    }

    TempDir m_dir;
    std::filesystem::path m_system;
    CAppValues m_values;
};

struct StartCase {
    const char *name;
    int systemLanguageId;
    const char *level;
    int language;
    bool traceOn;
    bool serviceMode;
    const char *title; // ("IDS_WARN_TITLE", "Common") in that language
};

// The case by its name in gtest's messages (not its bytes).
void PrintTo(const StartCase &c, std::ostream *out)
{
    *out << c.name;
}

class StartUpTest : public AppSettingsTest, public ::testing::WithParamInterface<StartCase> {};

TEST_P(StartUpTest, ChoosesLanguageAndServiceSwitches)
{
    const StartCase &c = GetParam();
    SetLevel(c.level);
    {
        CAppSettings settings(m_values, m_system.string());
        ASSERT_TRUE(settings.Start(c.systemLanguageId));
        EXPECT_EQ(settings.Language(), c.language);
        EXPECT_EQ(m_values.language, c.language);
        EXPECT_EQ(settings.TraceOn(), c.traceOn);
        EXPECT_EQ(m_values.serviceMode, c.serviceMode);
        EXPECT_EQ(settings.Texts().Text("IDS_WARN_TITLE", "Common"), c.title);
    }
    // The chosen language replaces the stored one when the settings are written back.
    CIniEx written;
    ASSERT_TRUE(written.Open((m_system / "kvl_motor.ini").string(), false, false, true));
    EXPECT_EQ(written.GetInt("Language", "Default", -1), c.language);
}

const StartCase kStartCases[] = {
    {"EnglishSystemIgnoresStoredJapanese", 9, "0", 2, false, false, "Warning"},
    {"JapaneseSystemTraceOn", 17, "1", 1, true, false, "警告"},
    {"ChineseSystemServiceMode", 4, "10", 3, true, true, "警告"},
    {"OtherSystemIsEnglish", 16, "5", 2, true, false, "Warning"},
    {"LevelNineIsNoService", 17, "9", 1, true, false, "警告"},
    {"NegativeLevelTraces", 0, "-1", 2, true, false, "Warning"},
    {"LevelWithNoteIsTen", 9, "10 ;service", 2, true, true, "Warning"},
    {"EmptyLevelIsZero", 9, "", 2, false, false, "Warning"},
};

INSTANTIATE_TEST_SUITE_P(Cases, StartUpTest, ::testing::ValuesIn(kStartCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(AppSettingsTest, MissingSettingsFileStopsQuietly)
{
    std::filesystem::remove(m_system / "kvl_motor.ini");
    CAppSettings settings(m_values, m_system.string());
    EXPECT_FALSE(settings.Start(CAppSettings::kSystemLangJapanese));
    EXPECT_FALSE(settings.Texts().IsLoaded());
    EXPECT_EQ(settings.Texts().Text("IDS_WARN_TITLE", "Common"), "");
    EXPECT_FALSE(settings.TraceOn());
    settings.Close();
    EXPECT_FALSE(std::filesystem::exists(m_system / "kvl_motor.ini"));
}

TEST_F(AppSettingsTest, MissingSystemFolderStopsQuietly)
{
    CAppSettings settings(m_values, (m_dir.Path() / "nowhere").string());
    EXPECT_FALSE(settings.Start(CAppSettings::kSystemLangEnglish));
    EXPECT_FALSE(settings.Texts().IsLoaded());
}

// Two faces in one process (a test beside the application, two tools) each keep to the system
// folder they were given: settings, language texts and parameter files come from it alone.
TEST_F(AppSettingsTest, EachSettingsObjectOpensTheFilesOfItsOwnSystemFolder)
{
    const std::filesystem::path other = m_dir.Path() / "other";
    std::filesystem::copy(m_system, other, std::filesystem::copy_options::recursive);
    std::string text = kSettingsText;
    text.replace(text.find("Port=3"), 6, "Port=7");
    WriteBytes((other / "kvl_motor.ini").string(), text);
    std::string english;
    ASSERT_TRUE(CCodePage::FromUtf8("[Common]\nIDS_WARN_TITLE=Caution\n", CCodePage::ForLanguage(2), english, false));
    WriteBytes((other / "Lang_EN.ini").string(), english);
    std::filesystem::remove(other / "ParamMDB_EN.ini");

    CAppValues otherValues;
    CAppSettings first(m_values, m_system.string());
    CAppSettings second(otherValues, other.string());
    ASSERT_TRUE(first.Start(CAppSettings::kSystemLangEnglish));
    ASSERT_TRUE(second.Start(CAppSettings::kSystemLangEnglish));
    EXPECT_EQ(first.SystemFolder(), m_system.string());
    EXPECT_EQ(second.SystemFolder(), other.string());
    EXPECT_EQ(first.Port(), 3);
    EXPECT_EQ(second.Port(), 7);
    EXPECT_EQ(first.Texts().Text("IDS_WARN_TITLE", "Common"), "Warning");
    EXPECT_EQ(second.Texts().Text("IDS_WARN_TITLE", "Common"), "Caution");
    first.Settings().SetString("Language", "Default", "2");
    second.Settings().SetString("Language", "Default", "2");
    CIniEx firstStore;
    CIniEx secondStore;
    EXPECT_TRUE(first.OpenAxisParamStore(firstStore, "MDB"));
    EXPECT_FALSE(second.OpenAxisParamStore(secondStore, "MDB"));
    EXPECT_EQ(firstStore.Path(), (m_system / "ParamMDB_EN.ini").string());
    std::filesystem::remove(other / "Lang_CN.ini");
    EXPECT_TRUE(first.LanguageFileExists(CAppSettings::kLanguageChinese));
    EXPECT_FALSE(second.LanguageFileExists(CAppSettings::kLanguageChinese));
    first.Close();
    second.Close();
}

TEST_F(AppSettingsTest, MissingWaveformFileStopsBeforeTheLanguage)
{
    SetLevel("10");
    std::filesystem::remove(m_system / "RogSetting.ini");
    CAppSettings settings(m_values, m_system.string());
    EXPECT_FALSE(settings.Start(CAppSettings::kSystemLangEnglish));
    EXPECT_FALSE(settings.Texts().IsLoaded());
    EXPECT_TRUE(m_values.serviceMode); // set before the waveform file is opened
}

TEST_F(AppSettingsTest, LanguageSwitchLoadsTextsAndTellsTheStartWindow)
{
    CAppSettings settings(m_values, m_system.string());
    std::vector<int> told;
    settings.languageChanged = [&](int language) { told.push_back(language); };
    ASSERT_TRUE(settings.Start(CAppSettings::kSystemLangEnglish));
    settings.SwitchLanguage(1);
    EXPECT_EQ(settings.Texts().Text("IDS_WARN_TITLE", "COMMON"), "警告");
    EXPECT_EQ(settings.Texts().Language(), 1);
    EXPECT_EQ(settings.Settings().GetInt("Language", "Default", 0), 1);
    EXPECT_EQ(told, (std::vector<int>{2, 1}));
}

TEST_F(AppSettingsTest, LanguageButtonsFollowTheSystemLanguage)
{
    CAppSettings settings(m_values, m_system.string());
    int switches = 0;
    settings.languageChanged = [&](int) { ++switches; };
    ASSERT_TRUE(settings.Start(CAppSettings::kSystemLangJapanese));
    ASSERT_EQ(switches, 1);
    const struct {
        int button;
        bool switched;
        int language;
    } presses[] = {
        {1, false, 1}, // already current
        {3, false, 1}, // Chinese is not offered on a Japanese system
        {2, true, 2},  {2, false, 2}, {1, true, 1}, {0, false, 1},
    };
    for (const auto &press : presses) {
        EXPECT_EQ(settings.PressLanguageButton(press.button, CAppSettings::kSystemLangJapanese),
                  press.switched)
            << press.button;
        EXPECT_EQ(settings.Language(), press.language);
    }
    EXPECT_EQ(switches, 3);
    EXPECT_EQ(settings.Texts().Text("IDS_WARN_TITLE", "Common"), "警告");
}

TEST_F(AppSettingsTest, MissingLanguageFileLeavesTextsEmptyWithoutMessage)
{
    std::filesystem::remove(m_system / "Lang_CN.ini");
    CAppSettings settings(m_values, m_system.string());
    int messages = 0;
    settings.showMessage = [&](const std::string &) { ++messages; };
    ASSERT_TRUE(settings.Start(CAppSettings::kSystemLangChinese));
    EXPECT_EQ(settings.Language(), 3);
    EXPECT_FALSE(settings.Texts().IsLoaded());
    EXPECT_EQ(settings.Texts().Text("IDS_WARN_TITLE", "Common"), "");
    EXPECT_EQ(messages, 0);
}

TEST_F(AppSettingsTest, WindowTextsAreEmptyWhereTheFileHasNone)
{
    CAppSettings settings(m_values, m_system.string());
    ASSERT_TRUE(settings.Start(CAppSettings::kSystemLangJapanese));
    const CLanguageTexts &texts = settings.Texts();

    // A window's title is (section, section); its controls are (control, section).
    const std::string section = "IDD_KVL_VER2_CONTROL_DIALOG";
    EXPECT_EQ(texts.Text(section, section), "スタート");
    EXPECT_EQ(texts.Text("IDC_NEXT", section), "次へ");
    // An empty text, a missing one and a missing section all come back empty, so the window
    // keeps its built-in caption there.
    EXPECT_EQ(texts.Text("IDC_EMPTY", section), "");
    EXPECT_EQ(texts.Text("IDC_MISSING", section), "");
    EXPECT_EQ(texts.Text("IDD_KVL_ROG_DIALOG", "IDD_KVL_ROG_DIALOG"), "");
    EXPECT_EQ(texts.Text("IDC_NEXT", "IDD_KVL_ROG_DIALOG"), "");

    EXPECT_EQ(texts.Tooltip(30), "次の画面へ進みます");
    EXPECT_EQ(texts.Tooltip(31), "");
    // The raw text is the file's Shift-JIS bytes.
    EXPECT_EQ(texts.RawText("IDS_WARN_TITLE", "Common"), CCodePageText("\x8c\x78\x8d\x90", kCodePageShiftJis));
}

TEST_F(AppSettingsTest, TextLosesItsNote)
{
    CAppSettings settings(m_values, m_system.string());
    ASSERT_TRUE(settings.Start(CAppSettings::kSystemLangEnglish));
    EXPECT_EQ(settings.Texts().Text("IDS_NOTE", "Common"), "Text ");
}

TEST_F(AppSettingsTest, LanguageSwitchReopensEveryRegisteredAxisStore)
{
    CAppSettings settings(m_values, m_system.string());
    std::vector<std::string> messages;
    settings.showMessage = [&](const std::string &text) { messages.push_back(text); };
    ASSERT_TRUE(settings.Start(CAppSettings::kSystemLangEnglish));

    CIniEx mdb, rotary, other, unregistered;
    ASSERT_TRUE(settings.OpenAxisParamStore(mdb, "MDB"));
    ASSERT_TRUE(settings.OpenAxisParamStore(rotary, "MDA-Z"));
    ASSERT_TRUE(settings.OpenAxisParamStore(other, "GWX"));
    ASSERT_TRUE(settings.OpenAxisParamStore(unregistered, "MDA"));
    mdb.SetString("1", "Value", "25"); // must reach the English file before the switch
    std::vector<bool> reopened;
    ASSERT_TRUE(settings.RegisterAxis(0, "MDB", &mdb, [&](bool ok) { reopened.push_back(ok); }));
    ASSERT_TRUE(settings.RegisterAxis(5, "MDA-Z", &rotary));
    ASSERT_TRUE(settings.RegisterAxis(15, "GWX", &other));
    EXPECT_FALSE(settings.RegisterAxis(16, "MDA", &unregistered));
    EXPECT_FALSE(settings.RegisterAxis(-1, "MDA", &unregistered));
    EXPECT_FALSE(settings.RegisterAxis(1, "MDA", nullptr));

    settings.SwitchLanguage(3);
    EXPECT_EQ(mdb.Path(), (m_system / "ParamMDB_CN.ini").string());
    EXPECT_EQ(mdb.CodePage(), CCodePage::kChinese);
    EXPECT_EQ(mdb.GetString("1", "DisplayName", ""), "\xc8\xed\xcf\xde\xce\xbb");
    EXPECT_EQ(SystemFile("ParamMDB_EN.ini"), "[1]\r\nDisplayName=Soft limit\r\nValue=25\r\n");
    EXPECT_FALSE(rotary.IsOpen()); // its Chinese file is missing
    EXPECT_EQ(other.Path(), (m_system / "ParamMDA_CN.ini").string());
    EXPECT_EQ(unregistered.Path(), (m_system / "ParamMDA_EN.ini").string());
    EXPECT_EQ(messages, (std::vector<std::string>{"文件操作失败"}));
    EXPECT_EQ(reopened, (std::vector<bool>{true}));

    settings.UnregisterAxis(0);
    settings.SwitchLanguage(1);
    EXPECT_EQ(mdb.Path(), (m_system / "ParamMDB_CN.ini").string());
    EXPECT_EQ(rotary.Path(), (m_system / "ParamZMDA_JP.ini").string());
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(AppSettingsTest, AxisStoreFollowsTheStoredLanguage)
{
    CAppSettings settings(m_values, m_system.string());
    ASSERT_TRUE(settings.Start(CAppSettings::kSystemLangJapanese));
    CIniEx store;
    ASSERT_TRUE(settings.OpenAxisParamStore(store, "MDA"));
    EXPECT_EQ(store.Path(), (m_system / "ParamMDA_JP.ini").string());
    EXPECT_EQ(store.CodePage(), CCodePage::kJapanese);
    // Without a stored language the key names language 0, which the settings file lacks.
    settings.Settings().SetString("Language", "Default", "");
    EXPECT_FALSE(settings.OpenAxisParamStore(store, "MDA"));
}

struct KeyCase {
    int language;
    const char *modelKey;
    const char *settingsKey;
};

TEST(ParamFileKey, FollowsTheModelTable)
{
    const KeyCase cases[] = {
        {1, "MDB", "LanguageItem1ParamMDB"},    {2, "MDC", "LanguageItem2ParamMDC"},
        {3, "MDC-X", "LanguageItem3ParamXMDC"}, {1, "MDA-Y", "LanguageItem1ParamYMDA"},
        {2, "MDA-Z", "LanguageItem2ParamZMDA"}, {1, "MDA", "LanguageItem1Full"},
        {2, "GWX", "LanguageItem2Full"},        {3, "", "LanguageItem3Full"},
        {1, "mdb", "LanguageItem1Full"},        {1, "XMDC", "LanguageItem1Full"},
        {2, "MDB ", "LanguageItem2Full"},       {0, "MDB", "LanguageItem0ParamMDB"},
    };
    for (const KeyCase &c : cases)
        EXPECT_EQ(CAppSettings::ParamFileKey(c.language, c.modelKey), c.settingsKey)
            << c.language << " " << c.modelKey;
}

TEST(SystemLanguage, ChoosesAndOffersLanguages)
{
    const struct {
        const char *locale;
        int id;
        int first;
    } locales[] = {
        {"ja_JP.UTF-8", 17, 1}, {"zh_CN.GB18030", 4, 3}, {"zh_TW", 4, 3}, {"en_US.UTF-8", 9, 2},
        {"C", 9, 2},            {"", 9, 2},              {"de_DE", 9, 2}, {"j", 9, 2},
    };
    for (const auto &row : locales) {
        EXPECT_EQ(CAppSettings::SystemLanguageIdOf(row.locale), row.id) << row.locale;
        EXPECT_EQ(CAppSettings::FirstLanguage(row.id), row.first) << row.locale;
    }
    const struct {
        int language;
        int systemId;
        bool offered;
    } buttons[] = {
        {1, 17, true}, {1, 9, false}, {1, 4, false}, {3, 4, true}, {3, 17, false},
        {2, 17, true}, {2, 4, true},  {2, 9, true},  {0, 9, false}, {4, 4, false},
    };
    for (const auto &row : buttons)
        EXPECT_EQ(CAppSettings::LanguageOffered(row.language, row.systemId), row.offered)
            << row.language << " on " << row.systemId;
}

TEST_F(AppSettingsTest, WaveformValuesAreReadAndWrittenBack)
{
    {
        CAppSettings settings(m_values, m_system.string());
        ASSERT_TRUE(settings.Start(CAppSettings::kSystemLangEnglish));
        const CWaveformSettings::Values &v = settings.Waveform().Get();
        EXPECT_EQ(v.time, 500);
        EXPECT_DOUBLE_EQ(v.position, 1.5);
        EXPECT_DOUBLE_EQ(v.speed, 20.25);
        EXPECT_DOUBLE_EQ(v.current, -3.0);
        EXPECT_EQ(v.periodTimes, 4);
        CWaveformSettings::Values changed = v;
        changed.time = 1000;
        changed.position = 0.125;
        settings.Waveform().Set(changed);
    }
    EXPECT_EQ(SystemFile("RogSetting.ini"),
              "[General]\r\nIDC_STATIC_ROG_TIME=1000\r\nIDC_STATIC_ROG_POS=0.125000\r\n"
              "IDC_STATIC_ROG_SPD=20.250000\r\nIDC_STATIC_ROG_CRT=-3.000000\r\n"
              "IDC_STATIC_PERIOD_TIMES=4\r\n");
}

TEST_F(AppSettingsTest, MissingWaveformKeysGiveZeroAndAreAdded)
{
    WriteSystemFile("RogSetting.ini", "[General]\r\nIDC_STATIC_ROG_TIME=\r\n");
    {
        CAppSettings settings(m_values, m_system.string());
        ASSERT_TRUE(settings.Start(CAppSettings::kSystemLangEnglish));
        EXPECT_EQ(settings.Waveform().Get().time, 0);
        EXPECT_DOUBLE_EQ(settings.Waveform().Get().speed, 0.0);
    }
    EXPECT_EQ(SystemFile("RogSetting.ini"),
              "[General]\r\nIDC_STATIC_ROG_TIME=0\r\nIDC_STATIC_ROG_POS=0.000000\r\n"
              "IDC_STATIC_ROG_SPD=0.000000\r\nIDC_STATIC_ROG_CRT=0.000000\r\n"
              "IDC_STATIC_PERIOD_TIMES=0\r\n");
}

TEST_F(AppSettingsTest, PortSettingsAndDevices)
{
    CAppSettings settings(m_values, m_system.string());
    ASSERT_TRUE(settings.Start(CAppSettings::kSystemLangEnglish));
    EXPECT_EQ(settings.Port(), 3);
    EXPECT_EQ(settings.Speed(), 57600);
    EXPECT_EQ(settings.MaxList(), 8);
    EXPECT_EQ(settings.DevicePath(3), "/dev/ttyUSB0");
    EXPECT_EQ(settings.DevicePath(4), "");

    // Port and speed reach the disk at once, not only at the end.
    ASSERT_TRUE(settings.SetPortAndSpeed(5, 115200));
    ASSERT_TRUE(settings.SetDevicePath(5, "/dev/pts/7"));
    EXPECT_FALSE(settings.SetDevicePath(6, "/dev/odd;name"));
    CIniEx onDisk;
    ASSERT_TRUE(onDisk.Open((m_system / "kvl_motor.ini").string(), false, false, true));
    EXPECT_EQ(onDisk.GetInt("RS485", "Port", -1), 5);
    EXPECT_EQ(onDisk.GetInt("RS485", "Speed", -1), 115200);
    EXPECT_EQ(onDisk.GetString("RS485", "Device5", ""), "/dev/pts/7");
    EXPECT_EQ(onDisk.GetString("RS485", "Device6", "none"), "none");

    // A speed found by the bus search is stored alone, the port left as it is.
    ASSERT_TRUE(settings.SetSpeed(38400));
    CIniEx afterSearch;
    ASSERT_TRUE(afterSearch.Open((m_system / "kvl_motor.ini").string(), false, false, true));
    EXPECT_EQ(afterSearch.GetInt("RS485", "Port", -1), 5);
    EXPECT_EQ(afterSearch.GetInt("RS485", "Speed", -1), 38400);

    settings.Settings().SetString("Rogging", "MaxList", "");
    settings.Settings().SetString("RS485", "Speed", "");
    EXPECT_EQ(settings.MaxList(), CAppSettings::kDefaultMaxList);
    EXPECT_EQ(settings.Speed(), 0);
}

TEST_F(AppSettingsTest, ClosedSettingsRefuseChanges)
{
    CAppSettings settings(m_values, m_system.string());
    EXPECT_FALSE(settings.SetPortAndSpeed(1, 38400));
    EXPECT_FALSE(settings.SetSpeed(38400));
    EXPECT_FALSE(settings.SetDevicePath(1, "/dev/ttyS1"));
    EXPECT_EQ(settings.Port(), 0);
    EXPECT_EQ(settings.MaxList(), CAppSettings::kDefaultMaxList);
}

} // namespace
} // namespace kvl
