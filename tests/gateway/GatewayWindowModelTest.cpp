// The network unit window's procedures on the simulated unit: offline, the capacity limit, the
// report of settings the unit did not take, the PC port following a new speed, and the unit
// settings file with its failures said.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/TextNumber.h"
#include "gateway/CGatewayColourStore.h"
#include "gateway/CGatewayRules.h"
#include "gateway/CGatewaySettingsFile.h"
#include "gateway/CGatewayWindowModel.h"
#include "sim/GatewayDevice.h"
#include "tests/sim/SimBusTest.h"
#include "tests/support/ScratchSystemFolder.h"

namespace kvl {
namespace {

constexpr int kSpeed = 115200;
using Result = CGatewayWindowModel::WriteResult;

struct Said {
    std::string title, text;
};

class GatewayWindowModelTest : public sim::SimBusTest {
protected:
    void SetUp() override
    {
        StartSim();
        ASSERT_EQ(m_commands->OpenPort(kSimPort, kSpeed), 1);
    }
    std::unique_ptr<CGatewayWindowModel> Make(bool offline)
    {
        CGatewayWindowModel::Hooks hooks;
        hooks.message = [this](const std::string &title, const std::string &text) { m_said.push_back({title, text}); };
        hooks.ask = [this](const std::string &text) {
            m_asked.push_back(text);
            return m_answer;
        };
        hooks.followPort = [this](int speed) {
            m_followed.push_back(speed);
            return m_followOk;
        };
        auto model = std::make_unique<CGatewayWindowModel>(*m_commands, nullptr, offline, "1.20", hooks);
        model->Open();
        return model;
    }
    template <typename Fn>
    void WithUnit(Fn fn)
    {
        m_runner->WithBus([&](sim::SimBus &bus) { fn(*bus.Gateway()); });
    }
    int UnitParameter(int number)
    {
        int value = 0;
        WithUnit([&](sim::GatewayDevice &unit) { value = unit.Parameters().Get(number); });
        return value;
    }

    std::vector<Said> m_said;
    std::vector<int> m_followed;
    bool m_followOk = true;
    std::vector<std::string> m_asked;
    bool m_answer = false;
};

TEST_F(GatewayWindowModelTest, OfflineShowsADashAndSendsNothing)
{
    auto model = Make(true);
    EXPECT_EQ(model->VersionText(), "-");
    EXPECT_FALSE(model->Read());
    EXPECT_EQ(model->Write(), Result::kOffline);
    EXPECT_TRUE(m_said.empty());
    auto online = Make(false);
    EXPECT_EQ(online->VersionText(), "1.20");
}

TEST_F(GatewayWindowModelTest, ExactlyFullIsWrittenAndOneStationMoreIsRefused)
{
    auto model = Make(false);
    CGatewayConfig &c = model->Config();
    c.fieldbusType = 2;   // DeviceNet: 120 points
    c.devices.fill(0);
    c.inputModes.fill(0);
    // 8 stations Full (112) + 8 of I/O (8) = 120 points: 100 %.
    for (int station = 0; station < 16; ++station) {
        c.devices[static_cast<size_t>(station)] = 3;
        c.inputModes[static_cast<size_t>(station)] = station < 8 ? 3 : 0;
    }
    ASSERT_EQ(model->Saturation(), 100);
    EXPECT_EQ(model->Write(), Result::kWritten);
    ASSERT_EQ(m_said.size(), 1u);
    EXPECT_EQ(m_said[0].text, "\nWrite finished!") << "the built-in finish text after an empty warning";
    // One station from I/O to Simple: 122 points, 102 %, shown as "100%"; nothing is written.
    c.inputModes[15] = 1;
    c.interval = 999;
    EXPECT_EQ(model->SaturationText(), "100%");
    EXPECT_GT(model->Saturation(), 100);
    EXPECT_EQ(model->Write(), Result::kOverCapacity);
    EXPECT_EQ(m_said.back().text, CGatewayWindowModel::kCapacityBuiltIn);
    EXPECT_NE(UnitParameter(2), 999);
}

TEST_F(GatewayWindowModelTest, ARefusedSettingIsNamedAndNotReportedAsFinished)
{
    auto model = Make(false);
    model->Config().interval = 321;
    model->Config().resetTimes = 7;
    WithUnit([](sim::GatewayDevice &unit) { unit.RefuseWrite(6); });
    EXPECT_EQ(model->Write(), Result::kRefusedSettings);
    ASSERT_EQ(model->RefusedLabels().size(), 1u);
    EXPECT_EQ(model->RefusedLabels()[0], CGatewayField::Text(CGatewayField::kResetTimes, nullptr));
    ASSERT_EQ(m_said.size(), 1u);
    EXPECT_EQ(m_said[0].text.find("Write finished!"), std::string::npos);
    EXPECT_NE(m_said[0].text.find(model->RefusedLabels()[0]), std::string::npos);
    EXPECT_EQ(UnitParameter(2), 321) << "the other settings are written";
}

TEST_F(GatewayWindowModelTest, TheSpeedToThePcMovesThePortOnlyWhenItChanges)
{
    WithUnit([](sim::GatewayDevice &unit) { unit.Parameters().Set(3, 3); });
    auto model = Make(false);
    ASSERT_EQ(model->Config().speedToPc, 3);
    EXPECT_EQ(model->Write(), Result::kWritten);
    EXPECT_TRUE(m_followed.empty()) << "an unchanged code leaves the port alone";
    model->Config().speedToPc = 1;   // list position 0
    m_followOk = false;
    model->Write();
    EXPECT_EQ(UnitParameter(3), 1);
    EXPECT_EQ(m_followed, std::vector<int>{38400});
    ASSERT_FALSE(m_said.empty());
    const bool portSaid = std::any_of(m_said.begin(), m_said.end(),
                                      [](const Said &s) { return s.text == CGatewayWindowModel::kPortFailText; });
    EXPECT_TRUE(portSaid);
}

TEST_F(GatewayWindowModelTest, SettingsFileRoundTripAndItsFailures)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("gwx_model_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    auto model = Make(true);
    model->Config().interval = 450;
    model->Config().devices[3] = 6;
    model->Config().inputModes[3] = 2;
    const std::string path = (dir / "unit.dat").string();
    ASSERT_EQ(model->Save(path, "2026/12/10"), CGatewayWindowModel::FileResult::kDone);
    const CGatewayConfig saved = model->Config();
    auto other = Make(true);
    ASSERT_EQ(other->Load(path), CGatewayWindowModel::FileResult::kDone);
    EXPECT_EQ(other->Config(), saved);

    std::ofstream((dir / "other.dat").string()) << "2026/12/10\r\nMDC   1.00\r\n\r\n";
    const CGatewayConfig before = other->Config();
    EXPECT_EQ(other->Load((dir / "other.dat").string()), CGatewayWindowModel::FileResult::kNotGateway);
    EXPECT_EQ(other->Config(), before);
    EXPECT_EQ(other->Save((dir / "missing" / "unit.dat").string(), "2026/12/10"),
              CGatewayWindowModel::FileResult::kFailed);
    EXPECT_EQ(m_said.back().text, "The file " + (dir / "missing" / "unit.dat").string() +
                                      " could not be saved: its folder does not exist. A file that was there "
                                      "before is unchanged.");
    std::filesystem::remove_all(dir);
}

// A line whose value its setting does not take keeps the setting and is named; writing then
// sends what the window holds, not a wrapped number.
TEST_F(GatewayWindowModelTest, LinesWithoutAValueOfTheirSettingAreNamedAndNeverSent)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("gwx_bad_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    auto model = Make(false);
    const CGatewayConfig before = model->Config();
    std::string text = CGatewaySettingsFile::Text(before, "1.20", "2026/12/10", nullptr);
    const struct {
        const char *number;
        const char *line;
    } edits[] = {{"019.", "019.  Poll interval [ms] = abc [ms]"},
                 {"024.", "024.  Retries = 99999999999"},
                 {"043.", "043.  IP address = 999,-5,1"}};
    for (const auto &edit : edits) {
        const size_t at = text.find(edit.number);
        text.replace(at, text.find('\r', at) - at, edit.line);
    }
    const std::string path = (dir / "bad.dat").string();
    std::ofstream(path, std::ios::binary) << text;
    m_said.clear();
    ASSERT_EQ(model->Load(path), CGatewayWindowModel::FileResult::kDone);
    EXPECT_EQ(model->Config(), before);
    ASSERT_EQ(m_said.size(), 1u);
    for (const auto &edit : edits)
        EXPECT_NE(m_said[0].text.find(edit.line), std::string::npos) << m_said[0].text;

    ASSERT_EQ(model->Write(), Result::kWritten);
    EXPECT_EQ(UnitParameter(2), before.interval);
    EXPECT_EQ(UnitParameter(6), before.resetTimes);
    std::filesystem::remove_all(dir);
}

// A CC-Link version that a file brings follows the rule of a chosen one: V1.10 comes only with
// "4,1", after the question; Cancel keeps the version the window had. What is loaded is written.
TEST_F(GatewayWindowModelTest, ALoadedCcLinkVersionAsksAsAChosenOneDoes)
{
    constexpr int k28 = 2, k41 = CGatewayRules::kFixedOccupation, kV110 = 0, kV200 = 1;
    constexpr int kCcLink = 1, kDeviceNet = 2;
    struct Case {
        const char *what;
        int versionBefore, stationsBefore;
        int fileType, fileVersion, fileStations;
        bool answer;
        bool asked;
        int version, stations;
    };
    const Case cases[] = {
        {"V2.00 to V1.10 2,8, OK", kV200, k28, kCcLink, kV110, k28, true, true, kV110, k41},
        {"V2.00 to V1.10 2,8, Cancel", kV200, k28, kCcLink, kV110, k28, false, true, kV200, k28},
        {"V2.00 to V1.10 4,1, OK", kV200, k28, kCcLink, kV110, k41, true, true, kV110, k41},
        {"V1.10 4,1 to V1.10 2,8, OK", kV110, k41, kCcLink, kV110, k28, true, true, kV110, k41},
        {"V1.10 4,1 to V1.10 2,8, Cancel", kV110, k41, kCcLink, kV110, k28, false, true, kV110, k41},
        {"V1.10 4,1 to V1.10 4,1", kV110, k41, kCcLink, kV110, k41, false, false, kV110, k41},
        {"V1.10 2,8 as the unit holds it, to the same", kV110, k28, kCcLink, kV110, k28, false, false, kV110, k28},
        {"V1.10 to V2.00 2,8", kV110, k41, kCcLink, kV200, k28, false, false, kV200, k28},
        {"DeviceNet with V1.10 2,8", kV200, k28, kDeviceNet, kV110, k28, false, false, kV110, k28},
    };
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("gwx_version_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "unit.dat").string();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        auto model = Make(false);
        model->Config().fieldbusType = kCcLink;
        model->Config().ccLinkVersion = c.versionBefore;
        model->Config().ccLinkStations = c.stationsBefore;
        CGatewayConfig file = model->Config();
        file.fieldbusType = c.fileType;
        file.ccLinkVersion = c.fileVersion;
        file.ccLinkStations = c.fileStations;
        std::ofstream(path, std::ios::binary | std::ios::trunc) << CGatewaySettingsFile::Text(file, "1.20", "2026/12/10", nullptr);
        m_asked.clear();
        m_answer = c.answer;
        ASSERT_EQ(model->Load(path), CGatewayWindowModel::FileResult::kDone);
        ASSERT_EQ(m_asked.size(), c.asked ? 1u : 0u);
        if (c.asked)
            EXPECT_EQ(m_asked[0], CGatewayRules::kVersionQuestionBuiltIn);
        EXPECT_EQ(model->Config().ccLinkVersion, c.version);
        EXPECT_EQ(model->Config().ccLinkStations, c.stations);
        if (c.fileType != kCcLink)
            continue;
        // The unit gets what the window holds: V1.10 only ever with 4,1.
        ASSERT_EQ(model->Write(), Result::kWritten);
        EXPECT_EQ(UnitParameter(18), c.version);
        const CGatewayRules::Occupation &pair = CGatewayRules::OccupationTable()[static_cast<size_t>(c.stations)];
        EXPECT_EQ(UnitParameter(17), (pair.multipleCode << 4) | (pair.stations - 1));
    }
    std::filesystem::remove_all(dir);
}

TEST_F(GatewayWindowModelTest, ColoursComeFromTheColourFileAndALoadedFileWritesItsColoursThere)
{
    test::ScratchSystemFolder folder;
    ASSERT_TRUE(folder.Ok());
    auto model = Make(true);
    model->UseColourFile(folder.System().string());
    CGatewayColourStore store;
    ASSERT_TRUE(store.Open(folder.System().string()));
    EXPECT_EQ(model->Config().colours, store.Read(CGatewayColourStore::kCurrent));

    // A file saved with other colours: loading it makes them the colours in use, in the file too.
    CGatewayConfig other = model->Config();
    other.colours[4] = 255;   // ANY: pure red
    const std::filesystem::path file = folder.Folder() / "unit.dat";
    ASSERT_TRUE(CGatewaySettingsFile::Save(file.string(), other, "", "2026/12/11", nullptr, kCodePageWestern));
    ASSERT_EQ(model->Load(file.string()), CGatewayWindowModel::FileResult::kDone);
    EXPECT_EQ(model->Config().colours[4], 255u);
    CGatewayColourStore reread;
    ASSERT_TRUE(reread.Open(folder.System().string()));
    EXPECT_EQ(reread.Read(CGatewayColourStore::kCurrent), other.colours);
    EXPECT_NE(reread.Read(CGatewayColourStore::kDefault)[4], 255u) << "the factory colours stay";
    EXPECT_TRUE(m_said.empty());
}

// What closing the window asks about: settings edited since they were last read, written, saved
// or loaded. The colours are saved to their own file as they change and count for nothing.
TEST_F(GatewayWindowModelTest, EditsAreUnkeptUntilReadWrittenSavedOrLoaded)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("gwx_kept_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "unit.dat").string();
    auto model = Make(false);
    EXPECT_FALSE(model->HasUnkeptEdits()) << "what the opening read";
    model->Config().colours[0] = model->Config().colours[0] + 1;
    EXPECT_FALSE(model->HasUnkeptEdits()) << "colours";

    const int interval = model->Config().interval;
    model->Config().interval = interval + 10;
    EXPECT_TRUE(model->HasUnkeptEdits());
    ASSERT_EQ(model->Write(), Result::kWritten);
    EXPECT_FALSE(model->HasUnkeptEdits()) << "written";

    model->Config().interval = interval + 20;
    ASSERT_EQ(model->Save((dir / "missing" / "unit.dat").string(), "2026/12/11"), CGatewayWindowModel::FileResult::kFailed);
    EXPECT_TRUE(model->HasUnkeptEdits()) << "a failed save keeps nothing";
    ASSERT_EQ(model->Save(path, "2026/12/11"), CGatewayWindowModel::FileResult::kDone);
    EXPECT_FALSE(model->HasUnkeptEdits()) << "saved";

    model->Config().interval = interval + 30;
    ASSERT_TRUE(model->Read());
    EXPECT_FALSE(model->HasUnkeptEdits()) << "read again";
    model->Config().interval = interval + 30;
    ASSERT_EQ(model->Load(path), CGatewayWindowModel::FileResult::kDone);
    EXPECT_FALSE(model->HasUnkeptEdits()) << "loaded";
    EXPECT_EQ(model->Config().interval, interval + 20);
    std::filesystem::remove_all(dir);
}

TEST_F(GatewayWindowModelTest, TheSixthClickInARowShowsTheVersion)
{
    for (int round = 0; round < 2; ++round) {
        for (int click = 1; click < CGatewayWindowModel::kVersionClicks; ++click)
            EXPECT_FALSE(CGatewayWindowModel::ClickVersion());
        EXPECT_TRUE(CGatewayWindowModel::ClickVersion()) << "and the count starts again";
    }
}

} // namespace
} // namespace kvl
