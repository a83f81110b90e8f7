// The system folder the build ships beside the programs (read from the pristine copy the build
// writes for the tests, since the programs rewrite build/bin/system as they run): every language text
// the windows look up exists in all three languages, the settings file names files that exist,
// and every file is in its code page with CR LF line ends.
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "config/CAppSettings.h"
#include "config/CCodePage.h"
#include "config/CIniEx.h"

namespace kvl {
namespace {

namespace fs = std::filesystem;

struct Language {
    int number;
    const char *file;
    int codePage;
};

constexpr Language kLanguages[] = {
    {1, "Lang_JP.ini", CCodePage::kJapanese},
    {2, "Lang_EN.ini", CCodePage::kWestern},
    {3, "Lang_CN.ini", CCodePage::kChinese},
};

constexpr const char *kAlarmSections[] = {"AlarmMDA", "AlarmMDB", "AlarmMDC", "AlarmXMDC"};
constexpr const char *kMonitorSections[] = {
    "IDD_KVL_VER2_MTRMONITOR_DIALOG", "IDD_KVL_VER2_MTRMONITOR_DIALOG_MDB",
    "IDD_KVL_VER2_MTRMONITOR_DIALOG_MDC", "IDD_KVL_VER2_MTRMONITOR_DIALOG_MDC-X"};
constexpr int kOperationTypes = 6;
constexpr int kSignalsPerSide = 16;

fs::path SystemFolder()
{
    return KVL_PRISTINE_SYSTEM_DIR;
}

// The tests run from build/bin, beside the programs and the help page.
fs::path ProgramFolder()
{
    return fs::read_symlink("/proc/self/exe").parent_path();
}

std::vector<std::pair<std::string, std::string>> ReadKeyList()
{
    std::vector<std::pair<std::string, std::string>> pairs;
    std::ifstream in(KVL_LANG_KEYS_FILE);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t tab = line.find('\t');
        if (tab != std::string::npos)
            pairs.emplace_back(line.substr(0, tab), line.substr(tab + 1));
    }
    return pairs;
}

class ShippedFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fs::is_directory(SystemFolder())) << SystemFolder();
        for (const Language &language : kLanguages) {
            CIniEx &store = m_texts[language.number - 1];
            store.SetCodePage(language.codePage);
            ASSERT_TRUE(store.Open((SystemFolder() / language.file).string(), false, false, true))
                << language.file;
        }
    }

    // Text of (key, section) in `language` as UTF-8; false when it does not decode cleanly.
    bool Text(const Language &language, const std::string &key, const std::string &section,
              std::string &utf8) const
    {
        const std::string raw = m_texts[language.number - 1].GetString(section, key, "");
        return CCodePage::ToUtf8(raw, language.codePage, utf8);
    }

    CIniEx m_texts[3];
};

TEST_F(ShippedFiles, EveryNamedTextExistsInEveryLanguage)
{
    const auto pairs = ReadKeyList();
    ASSERT_GT(pairs.size(), 300u) << "key list " << KVL_LANG_KEYS_FILE << " not read";
    for (const Language &language : kLanguages) {
        for (const auto &[section, key] : pairs) {
            std::string text;
            EXPECT_TRUE(Text(language, key, section, text)) << language.file << " " << key;
            EXPECT_FALSE(text.empty()) << language.file << ": (" << key << ", " << section << ")";
        }
    }
}

TEST_F(ShippedFiles, LanguagesHoldTheSameKeys)
{
    const std::vector<std::string> sections = m_texts[0].SectionNames();
    EXPECT_EQ(m_texts[1].SectionNames(), sections);
    EXPECT_EQ(m_texts[2].SectionNames(), sections);
    for (const std::string &section : sections) {
        const std::vector<std::string> keys = m_texts[0].KeyNames(section);
        EXPECT_EQ(m_texts[1].KeyNames(section), keys) << section;
        EXPECT_EQ(m_texts[2].KeyNames(section), keys) << section;
        EXPECT_EQ(std::set<std::string>(keys.begin(), keys.end()).size(), keys.size())
            << "duplicate key in " << section;
    }
}

TEST_F(ShippedFiles, MonitorSignalsAndAlarmTexts)
{
    for (const Language &language : kLanguages) {
        for (const char *section : kMonitorSections) {
            for (int mode = 1; mode <= kOperationTypes; ++mode) {
                for (const char *side : {"I", "O"}) {
                    for (int n = 1; n <= kSignalsPerSide; ++n) {
                        const std::string key = "IDC_RADIO_M" + std::to_string(mode) + "_" +
                                                side + "_" + std::to_string(n);
                        std::string text;
                        Text(language, key, section, text);
                        EXPECT_FALSE(text.empty()) << language.file << " " << section << " " << key;
                    }
                }
            }
        }
        for (const char *section : kAlarmSections) {
            const std::vector<std::string> keys = m_texts[language.number - 1].KeyNames(section);
            EXPECT_GE(keys.size(), 10u) << language.file << " " << section;
            for (const std::string &key : keys) {
                if (key.empty())
                    continue; // the blank line that ends the section
                EXPECT_EQ(key.rfind("ALARM", 0), 0u) << section << " " << key;
                std::string text;
                EXPECT_TRUE(Text(language, key, section, text));
                EXPECT_FALSE(text.empty()) << language.file << " " << section << " " << key;
            }
        }
    }
}

// The settings file names a language file and a parameter file of every model for each
// language, and each of them is in the folder and opens.
TEST(ShippedSettings, NameEveryShippedFile)
{
    CAppValues values;
    CAppSettings settings(values, SystemFolder().string());
    ASSERT_TRUE(settings.Start(CAppSettings::kSystemLangEnglish));
    const CIniEx &ini = settings.Settings();
    EXPECT_EQ(ini.GetInt("RS485", "Port", -1), 0);
    EXPECT_EQ(ini.GetInt("RS485", "Speed", -1), 115200);
    EXPECT_EQ(ini.GetInt("Debug", "Level", -1), 0);
    EXPECT_EQ(ini.GetString("Rog", "RogPath", ""), "RogSetting.ini");
    EXPECT_EQ(settings.MaxList(), 6);
    const char *models[] = {"MDA", "MDB", "MDC", "MDC-X", "MDA-Y", "MDA-Z"};
    const char *suffixes[] = {"_JP.ini", "_EN.ini", "_CN.ini"};
    const char *keys[] = {"MDA", "MDB", "MDC", "XMDC", "YMDA", "ZMDA"};
    for (int language = 1; language <= 3; ++language) {
        EXPECT_EQ(ini.GetString("Language", "LanguageItem" + std::to_string(language), ""),
                  kLanguages[language - 1].file);
        for (int m = 0; m < 6; ++m) {
            const std::string name = settings.ParamFileName(language, models[m]);
            EXPECT_EQ(name, std::string("Param") + keys[m] + suffixes[language - 1]);
            EXPECT_TRUE(fs::is_regular_file(SystemFolder() / name)) << name;
        }
    }
    const CWaveformSettings::Values &wave = settings.Waveform().Get();
    EXPECT_GT(wave.time, 0);
    EXPECT_GT(wave.position, 0.0);
    EXPECT_GT(wave.speed, 0.0);
    EXPECT_GT(wave.current, 0.0);
    EXPECT_GT(wave.periodTimes, 0);
    EXPECT_EQ(settings.Texts().Text("IDS_WARN_TITLE", "COMMON"), "Warning");
    // Start-up stores the chosen language: leave the shipped file as it was.
    settings.Settings().Clear();
    settings.Waveform().Close();
}

TEST(ShippedSettings, EveryFileHasCrLfLineEnds)
{
    int files = 0;
    for (const auto &item : fs::directory_iterator(SystemFolder())) {
        if (item.path().extension() != ".ini")
            continue;
        ++files;
        const std::string bytes = test::ReadBytes(item.path().string());
        ASSERT_FALSE(bytes.empty()) << item.path();
        EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n") << item.path();
        for (std::size_t i = bytes.find('\n'); i != std::string::npos; i = bytes.find('\n', i + 1))
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << item.path() << " offset " << i;
    }
    EXPECT_GE(files, 5);
    EXPECT_TRUE(fs::is_regular_file(ProgramFolder() / "help.html"));
}

// The tuning windows show these pages from the language folder of the system folder.
TEST(ShippedSettings, TuningPagesForEveryLanguage)
{
    for (const char *folder : {"JP", "EN", "CH"}) {
        for (const char *page : {"AutoTuning_Alarm_Wnd.html", "AutoTuning_SettingFlow_Wnd1.html",
                                 "AutoTuning_SettingFlow_Wnd2.html",
                                 "AutoTuning_SettingFlow_Wnd3.html"}) {
            const fs::path path = SystemFolder() / folder / page;
            const std::string html = test::ReadBytes(path.string());
            EXPECT_NE(html.find("<meta charset=\"utf-8\">"), std::string::npos) << path;
            EXPECT_NE(html.find("</html>"), std::string::npos) << path;
        }
    }
}

} // namespace
} // namespace kvl
