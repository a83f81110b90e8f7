// kvlctl against the simulator: finding devices, state, raw frames, motion, I/O and alarms.
#include "CliFixture.h"

#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "sim/PtyMaster.h"
#include "support/SimClock.h"

namespace kvl::cli {
namespace {

using nlohmann::json;

double CurrentPosition(CliFixture &, const CliRun &run)
{
    return json::parse(run.out).at("currentPosition").get<double>();
}

class CliBusTest : public CliFixture {};

TEST_F(CliBusTest, ScanFindsTheDemoBusAtAnotherSpeedAndKeepsIt)
{
    StartSim({"--baud", "57600"});
    const CliRun run = Run({"--json", "scan"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const json result = json::parse(run.out);
    EXPECT_EQ(result.at("speed"), 57600);
    std::map<int, std::string> models;
    for (const auto &device : result.at("devices"))
        models[device.at("address").get<int>()] = device.at("model").get<std::string>();
    const std::map<int, std::string> expected{{0, "MDA"},   {1, "MDB"},   {2, "MDC"},  {3, "MDC-X"},
                                              {4, "MDA-Y"}, {5, "MDA-Z"}, {241, "GWX"}};
    EXPECT_EQ(models, expected);
    EXPECT_NE(SettingsText().find("Speed=57600\r\n"), std::string::npos);
}

TEST_F(CliBusTest, ScanOfTwoAxesWithoutGatewayListsJustThem)
{
    StartSim({"--axis", "2:MDB:1305:left", "--axis", "5:MDA:1200:right"});
    const CliRun run = Run({"scan"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("speed 115200"), std::string::npos);
    EXPECT_NE(run.out.find("2   MDB    1305  left"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("5   MDA    1200  right"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("gw"), std::string::npos);
}

TEST_F(CliBusTest, ScanOfASilentLineFailsWithExitOne)
{
    sim::PtyMaster silent;
    ASSERT_TRUE(silent.Open());
    const CliRun run = Run({"--port", silent.SlavePath(), "scan"}, false);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("no device answers"), std::string::npos) << run.err;
}

TEST_F(CliBusTest, StatusOfAnAxisAndOfAnAddressNobodyAnswers)
{
    StartSim();
    CliRun run = Run({"--json", "status", "0x3"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const json status = json::parse(run.out);
    EXPECT_EQ(status.at("model"), "MDC-X");
    EXPECT_EQ(status.at("servo"), false);
    EXPECT_EQ(status.at("mode"), "manual");
    EXPECT_EQ(status.at("unit"), "mm");

    run = Run({"status", "9"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "kvlctl: axis 9: identify: no reply within 30 ms (-202); nothing answered at 115200 "
                       "bit/s: the bus may run at another speed (kvlctl scan finds it and keeps it), or the "
                       "axis is switched off or at another address\n");
}

TEST_F(CliBusTest, RawFrameReadsParameter35)
{
    StartSim();
    const CliRun run = Run({"raw", "2", "0x24", "23", "00", "--expect", "13"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.rfind("reply  EF 02 24 23 00 ", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("result success (-200)"), std::string::npos) << run.out;
}

TEST_F(CliBusTest, UsageErrorsExitWithTwo)
{
    StartSim();
    for (const auto &words : std::vector<std::vector<std::string>>{
             {"status", "16"}, {"status", "gateway"}, {"servo", "0", "maybe"}, {"raw", "2", "0x24", "zz"},
             {"jog", "0", "sideways"}, {"start", "0", "-1"}, {"io", "0", "--set", "17", "on"},
             {"points", "read", "0"}}) {
        const CliRun run = Run(words);
        EXPECT_EQ(run.exitCode, 2) << words[0] << ' ' << run.err;
    }
}

TEST_F(CliBusTest, JogMovesWhileKeptAliveAndStopsAfterwards)
{
    StartSim();
    ASSERT_EQ(Run({"servo", "0", "on"}).exitCode, 0);
    const double before = CurrentPosition(*this, Run({"--json", "status", "0"}));
    const CliRun jog = Run({"jog", "0", "+", "--ms", "300"});
    ASSERT_EQ(jog.exitCode, 0) << jog.err;
    // The axis decelerates after Stop: a second of the simulator's time later it stands still,
    // and stays where it is for the next second.
    constexpr int kStandStillMs = 1000;
    test::AdvanceSimClock(*m_sim, kStandStillMs);
    const double stopped = CurrentPosition(*this, Run({"--json", "status", "0"}));
    test::AdvanceSimClock(*m_sim, kStandStillMs);
    const double now = CurrentPosition(*this, Run({"--json", "status", "0"}));
    EXPECT_GT(now, before);
    EXPECT_EQ(now, stopped) << "the axis kept moving after the jog ended";
}

TEST_F(CliBusTest, InputsSwitchOnlyWhereTheIoModeAllowsIt)
{
    StartSim();
    CliRun run = Run({"io", "0", "--set", "5", "on"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    run = Run({"--json", "io", "0"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const json io = json::parse(run.out);
    ASSERT_EQ(io.at("signals").size(), 32u);
    EXPECT_EQ(io.at("signals")[4].at("signal"), "IN5");
    EXPECT_EQ(io.at("signals")[4].at("on"), true);
    EXPECT_EQ(io.at("signals")[16].at("signal"), "OUT1");
    EXPECT_FALSE(io.at("signals")[4].at("name").get<std::string>().empty());

    // Operation type 0 reserves inputs 7 to 9.
    run = Run({"io", "0", "--set", "8", "on"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("input 8 cannot be switched"), std::string::npos) << run.err;
}

TEST_F(CliBusTest, AlarmHistoryIsListedAndCleared)
{
    StartSim();
    // Once homed, jogging below the lower soft limit (just under the origin) raises alarm 13.
    ASSERT_EQ(Run({"servo", "1", "on"}).exitCode, 0);
    ASSERT_EQ(Run({"home", "1"}).exitCode, 0);
    ASSERT_TRUE(WaitUntilHomed("1"));
    Run({"jog", "1", "-", "--ms", "300"});
    CliRun run = Run({"--json", "alarms", "1"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const json before = json::parse(run.out);
    ASSERT_FALSE(before.at("history").empty()) << run.out;
    EXPECT_EQ(before.at("history")[0].at("code"), 13);
    EXPECT_FALSE(before.at("history")[0].at("text").get<std::string>().empty());
    run = Run({"alarms", "1"});
    EXPECT_NE(run.out.find("history\n  13"), std::string::npos) << run.out;
    run = Run({"alarms", "1", "--clear"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "alarm history cleared\n");
    run = Run({"--json", "alarms", "1"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(json::parse(run.out).at("history").empty());
}

TEST_F(CliBusTest, StatusNamesEveryFlagAndTheProgramState)
{
    StartSim({"--axis", "1:MDB"});
    const CliRun run = Run({"status", "1"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("flags    moving off, in position off, home done off, operating off, alarm off, paused off\n"
                           "program  not running\n"),
              std::string::npos)
        << run.out;
    const json status = json::parse(Run({"--json", "status", "1"}).out);
    EXPECT_EQ(status.at("flagStates"), json::parse(R"({"moving": false, "inPosition": false, "homeDone": false,
                                                      "operating": false, "alarm": false, "paused": false})"));
    EXPECT_EQ(status.at("running"), false);
}

// Every other reply carries a wrong CRC: each read needs a second try, and a write whose reply is
// spoiled is not sent again.
TEST_F(CliBusTest, ReadsSurviveOneBadReplyAndWritesAreSentOnce)
{
    StartSim({"--axis", "1:MDB", "--fault", "crc=2", "--seed", "7"});
    CliRun run = Run({"status", "1"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("model    MDB"), std::string::npos) << run.out;
    run = Run({"--json", "info", "1"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(json::parse(run.out).at("model"), "MDB");

    run = Run({"--trace", "param", "set", "1", "31", "1.5", "--yes"});
    EXPECT_EQ(run.exitCode, 1);
    int writes = 0;
    std::istringstream trace(run.err);
    for (std::string line; std::getline(trace, line);)
        writes += line.rfind("TX: EF 01 25 1F 00 ", 0) == 0 ? 1 : 0;
    EXPECT_EQ(writes, 1) << run.err;
    EXPECT_NE(run.err.find("kvlctl: axis 1: write parameter 31: "), std::string::npos) << run.err;

    // One try only: the first spoiled reply ends the command.
    run = Run({"--retries", "1", "status", "1"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("(-205)"), std::string::npos) << run.err;
    EXPECT_EQ(Run({"--retries", "0", "status", "1"}).exitCode, 2);
}

TEST_F(CliBusTest, AJogOrInchThatEndsInAnAlarmSaysWhichAndFails)
{
    StartSim({"--axis", "1:MDB"});
    ASSERT_EQ(Run({"servo", "1", "on"}).exitCode, 0);
    ASSERT_EQ(Run({"home", "1"}).exitCode, 0);
    ASSERT_TRUE(WaitUntilHomed("1"));
    // The lower soft limit lies just under the origin: jogging down runs into alarm 13.
    CliRun run = Run({"jog", "1", "-", "--ms", "300"});
    EXPECT_EQ(run.exitCode, 1);
    const std::string jogAlarm = "kvlctl: axis 1: jog -: ended with alarm 13 ";
    ASSERT_EQ(run.err.rfind(jogAlarm, 0), 0u) << run.err;
    EXPECT_GT(run.err.size(), jogAlarm.size() + 1) << "the alarm's text follows its code";

    ASSERT_EQ(Run({"reset", "1"}).exitCode, 0);
    // An inch waits for its move: up by the inching distance ends cleanly, back down passes the limit.
    run = Run({"inch", "1", "+"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.rfind("inch +: done", 0), 0u) << run.out;
    EXPECT_EQ(json::parse(Run({"--json", "status", "1"}).out).at("flagStates").at("moving"), false);
    run = Run({"inch", "1", "-"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.rfind("kvlctl: axis 1: inch -: ended with alarm 13 ", 0), 0u) << run.err;
}

TEST_F(CliBusTest, AMissingOrWrongSystemFolderIsNamed)
{
    StartSim({"--axis", "1:MDB"});
    const std::string missing = TempFile("no-such-folder").string();
    const std::string file = TempFile("a-file").string();
    std::ofstream(file) << "not a folder\n";
    struct Case {
        std::string folder;
        std::string line;
    };
    const Case cases[] = {
        {missing, "kvlctl: the system folder " + missing + " does not exist (check --system)\n"},
        {file, "kvlctl: the system folder " + file + " is not a folder (check --system)\n"},
    };
    for (const Case &c : cases) {
        const std::vector<std::vector<std::string>> runs{{"--system", c.folder, "status", "1"},
                                                         {"--system", c.folder, "param", "get", "1", "31"}};
        for (const auto &words : runs) {
            const CliRun run = Run(words);
            EXPECT_EQ(run.exitCode, 1) << c.folder;
            EXPECT_EQ(run.err, c.line);
            EXPECT_TRUE(run.out.empty()) << run.out;
        }
    }
}

TEST_F(CliBusTest, EveryErrorLineStartsWithTheToolAndTheAxis)
{
    StartSim({"--axis", "0:MDA", "--axis", "1:MDB"});
    struct Case {
        std::vector<std::string> words;
        std::string prefix;
    };
    const Case cases[] = {
        {{"status", "9"}, "kvlctl: axis 9: "},
        {{"info", "gw"}, "kvlctl: gateway: "},
        {{"param", "get", "0", "150"}, "kvlctl: axis 0: "},   // the MDA has parameters up to 111
        {{"io", "1", "--set", "8", "on"}, "kvlctl: axis 1: "},
        {{"wave", "1", "--ch0", "0", "--ch1", "0", "--out", TempFile("w.csv").string()}, "kvlctl: axis 1: "},
        {{"alarms", "9"}, "kvlctl: axis 9: "},
        {{"jog", "9", "+", "--ms", "10"}, "kvlctl: axis 9: "},
    };
    for (const Case &c : cases) {
        const CliRun run = Run(c.words);
        SCOPED_TRACE(c.words[0] + " " + c.words[1]);
        EXPECT_EQ(run.exitCode, 1);
        std::istringstream lines(run.err);
        int count = 0;
        for (std::string line; std::getline(lines, line); ++count)
            EXPECT_EQ(line.rfind(c.prefix, 0), 0u) << line;
        EXPECT_GT(count, 0);
    }
}

TEST_F(CliBusTest, TraceShowsEveryFrameInHex)
{
    StartSim();
    const CliRun run = Run({"--trace", "info", "3"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("TX: EF 03 01 10 21 0D 0A"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("RX: EF 03 01 "), std::string::npos) << run.err;
    EXPECT_NE(run.out.find("model MDC-X"), std::string::npos);
}

} // namespace
} // namespace kvl::cli
