// kvlctl against the simulator: finding devices, state, raw frames, motion, I/O and alarms.
#include "CliFixture.h"

#include <chrono>
#include <thread>

#include <nlohmann/json.hpp>

#include "sim/PtyMaster.h"

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
    EXPECT_EQ(run.err, "kvlctl: axis 9: identify: no reply within 30 ms (-202)\n");
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
    // The axis decelerates after Stop; once two reads agree it stands still.
    double last = CurrentPosition(*this, Run({"--json", "status", "0"}));
    double now = last;
    for (int i = 0; i < 40; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        now = CurrentPosition(*this, Run({"--json", "status", "0"}));
        if (now == last)
            break;
        last = now;
    }
    EXPECT_GT(now, before);
    EXPECT_EQ(now, last) << "the axis kept moving after the jog ended";
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
    bool homed = false;
    for (int i = 0; i < 100 && !homed; ++i) {
        homed = json::parse(Run({"--json", "status", "1"}).out).at("home").get<bool>();
        if (!homed)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_TRUE(homed);
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
