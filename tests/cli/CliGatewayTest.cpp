// kvlctl gw against the simulated gateway unit: save, change, load and save again; each setting
// the unit did not take named; writes refused whole; the PC port following a new speed; alarms.
#include "CliFixture.h"

#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "protocol/CommandCodes.h"
#include "sim/GatewayDevice.h"

namespace kvl::cli {
namespace {

using nlohmann::json;
using sim::GatewayDevice;

std::string FileText(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The file without its first line, the date of saving.
std::string AfterDate(const std::string &text)
{
    return text.substr(text.find('\n') + 1);
}

class CliGatewayTest : public CliFixture {
protected:
    template <typename Fn>
    void WithUnit(Fn fn)
    {
        m_sim->WithBus([&](sim::SimBus &bus) { fn(*bus.Gateway()); });
    }
    CliRun Gw(std::vector<std::string> words)
    {
        words.insert(words.begin(), {"--lang", "2", "gw"});
        return Run(words);
    }
    // A saved file with some of its lines replaced ("021." -> the whole new line).
    std::filesystem::path Edited(const std::string &name, const std::vector<std::string> &lines)
    {
        std::string text = FileText(TempFile("unit.dat"));
        for (const auto &line : lines) {
            const size_t at = text.find("\n" + line.substr(0, 4));
            const size_t end = text.find('\n', at + 1);
            text.replace(at + 1, end - at - 1, line + "\r");
        }
        const auto path = TempFile(name);
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
};

TEST_F(CliGatewayTest, SaveChangeLoadAndSaveAgainGiveTheSameFile)
{
    StartSim();
    CliRun run = Gw({"save", TempFile("unit").string()});   // ".dat" is added
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string first = FileText(TempFile("unit.dat"));
    ASSERT_NE(first.find("\r\nGWX   "), std::string::npos);
    ASSERT_NE(first.find("019.  Poll interval [ms] = 200 [ms]\r\n"), std::string::npos) << first;

    WithUnit([](GatewayDevice &unit) {
        unit.Parameters().Set(2, 900);
        unit.Parameters().Set(19, 1);
        unit.SetDeviceList({3, 3, 3});
    });
    run = Gw({"--json", "show"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(json::parse(run.out).at("interval"), 900);

    run = Gw({"load", TempFile("unit.dat").string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    ASSERT_EQ(Gw({"save", TempFile("again.dat").string()}).exitCode, 0);
    EXPECT_EQ(AfterDate(FileText(TempFile("again.dat"))), AfterDate(first));
    run = Gw({"show"});
    EXPECT_NE(run.out.find("019.  Poll interval [ms] = 200 [ms]\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("saturation "), std::string::npos) << run.out;
}

TEST_F(CliGatewayTest, LoadNamesEverySettingTheUnitDidNotTake)
{
    StartSim();
    ASSERT_EQ(Gw({"save", TempFile("unit.dat").string()}).exitCode, 0);
    WithUnit([](GatewayDevice &unit) {
        unit.RefuseWrite(2);
        unit.RefuseWrite(GatewayDevice::kRefuseName);
    });
    const CliRun run = Gw({"load", TempFile("unit.dat").string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("did not take Poll interval [ms]"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("did not take Comment"), std::string::npos) << run.err;
    EXPECT_EQ(run.out.find("wrote"), std::string::npos) << run.out;
}

TEST_F(CliGatewayTest, WritesRefusedWholeAndFilesRefused)
{
    StartSim();
    ASSERT_EQ(Gw({"save", TempFile("unit.dat").string()}).exitCode, 0);
    WithUnit([](GatewayDevice &unit) { unit.Parameters().Set(1, 2); });   // a DeviceNet unit
    struct Case { const char *what; std::filesystem::path file; const char *says; };
    std::vector<std::string> halfModes = {"017.  Fieldbus type = DeviceNet"};
    for (int i = 0; i < 16; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "%.3d.  Device ID:%X = MDA", i + 1, i);
        halfModes.push_back(line);
        std::snprintf(line, sizeof line, "%.3d.  InputMode ID:%X = Half", i + 25, i);
        halfModes.push_back(line);
    }
    const Case cases[] = {
        {"subnet mask all 255", Edited("mask.dat", {"017.  Fieldbus type = EtherNet/IP",
                                                    "044.  Subnet mask = 255,255,255,255"}),
         "subnet mask is 255.255.255.255"},
        {"sixteen Half on DeviceNet", Edited("full.dat", halfModes), "107%"},
        {"second line not GWX", TempFile("mdb.dat"), "not a unit settings file"},
        {"missing file", TempFile("none.dat"), "does not exist"},
    };
    std::ofstream(TempFile("mdb.dat"), std::ios::binary) << "2026/12/10\r\nMDB   1.00\r\n\r\n019.  x = 5\r\n";
    for (const auto &c : cases) {
        m_sim->ClearCommandsReceived();
        const CliRun run = Gw({"load", c.file.string()});
        EXPECT_EQ(run.exitCode, 1) << c.what;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << c.what << ": " << run.err;
        for (const uint8_t command : m_sim->CommandsReceived(0xF1))
            EXPECT_TRUE(command != cmd::kCmdWriteParameter && command != cmd::kCmdWriteDeviceName &&
                        command != cmd::kCmdWriteUnitDeviceTables && command != cmd::kCmdWriteUnitDeviceList)
                << c.what;
    }
}

// A file with a line no setting takes, or cut short, writes nothing at all and names each line.
TEST_F(CliGatewayTest, FilesWithValuesNoSettingTakesWriteNothing)
{
    StartSim();
    ASSERT_EQ(Gw({"save", TempFile("unit.dat").string()}).exitCode, 0);
    const char *const lines[] = {
        "019.  Poll interval [ms] = 99999999999 [ms]", "019.  Poll interval [ms] = -99999999999 [ms]",
        "019.  Poll interval [ms] = nan [ms]",         "019.  Poll interval [ms] = inf [ms]",
        "019.  Poll interval [ms] = -0 [ms]",          "019.  Poll interval [ms] = 1e308 [ms]",
        "020.  Broadcast [ms] = 99999999999 [ms]",     "024.  Retries = 99999999999",
        "043.  IP address = 999,-5,1",
    };
    for (const char *line : lines) {
        const auto file = Edited("bad.dat", {line});
        m_sim->ClearCommandsReceived();
        const CliRun run = Gw({"load", file.string()});
        EXPECT_EQ(run.exitCode, 1) << line;
        EXPECT_NE(run.err.find(line), std::string::npos) << line << ": " << run.err;
        EXPECT_NE(run.err.find("nothing was written"), std::string::npos) << run.err;
        for (const uint8_t command : m_sim->CommandsReceived(0xF1))
            EXPECT_TRUE(command != cmd::kCmdWriteParameter && command != cmd::kCmdWriteDeviceName &&
                        command != cmd::kCmdWriteUnitDeviceTables && command != cmd::kCmdWriteUnitDeviceList)
                << line;
    }

    const std::string whole = FileText(TempFile("unit.dat"));
    std::ofstream(TempFile("half.dat"), std::ios::binary) << whole.substr(0, whole.find("042.  ") + 8);
    m_sim->ClearCommandsReceived();
    const CliRun run = Gw({"load", TempFile("half.dat").string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("missing lines: 043 044"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(" 112\n"), std::string::npos) << run.err;
    for (const uint8_t command : m_sim->CommandsReceived(0xF1))
        EXPECT_NE(command, cmd::kCmdWriteParameter);
}

TEST_F(CliGatewayTest, ANewSpeedToThePcMovesThePortAndTheSettings)
{
    StartSim();
    ASSERT_EQ(Gw({"save", TempFile("unit.dat").string()}).exitCode, 0);
    const auto slower = Edited("slower.dat", {"021.  Speed to PC = 38400 [bps]", "019.  x = 321 [ms]"});
    CliRun run = Gw({"load", slower.string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(SettingsText().find("Speed=38400"), std::string::npos) << SettingsText();
    EXPECT_EQ(m_sim->BusSpeed(), 38400);
    // The next run opens the port at the stored speed, and every write after the speed went through.
    run = Gw({"--json", "show"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(json::parse(run.out).at("speedToPc"), 38400);
    EXPECT_EQ(json::parse(run.out).at("interval"), 321);
}

TEST_F(CliGatewayTest, AlarmHistoryShownAndCleared)
{
    StartSim();
    WithUnit([](GatewayDevice &unit) { unit.Alarms().Raise(2); });
    CliRun run = Gw({"alarms"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "E2 Station setting error\nE5 Unit restarted\n");
    run = Gw({"alarms", "--clear"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "alarm history cleared\n");
    EXPECT_EQ(Gw({"alarms"}).out, "no alarms\n");
    run = Gw({"--json", "alarms"});
    EXPECT_TRUE(json::parse(run.out).at("history").empty());
}

} // namespace
} // namespace kvl::cli
