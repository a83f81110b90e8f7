// kvlctl param and wave against the simulator: values in the user's units, parameter files,
// the refusals, and a capture of a running program.
#include "CliFixture.h"

#include <array>
#include <fstream>
#include <iterator>

#include <nlohmann/json.hpp>

#include "sim/AxisDevice.h"

namespace kvl::cli {
namespace {

using nlohmann::json;

std::string ParamValue(CliFixture &, const CliRun &run, int index = 0)
{
    return json::parse(run.out).at("parameters")[index].at("value").get<std::string>();
}

class CliParamWaveTest : public CliFixture {
protected:
    // Servo on, homed, and a two-step program running back and forth on axis 0.
    void RunProgramOnAxis0()
    {
        const auto table = TempFile("program.csv");
        std::ofstream(table, std::ios::binary)
            << "NO,ABS/INC,Position,Speed,ACC,DCC,Push,Thr,Range,A,B,M,S,T,R,J,C\r\n"
               "0,ABS,50,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,1,\r\n1,ABS,0,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,0,\r\n";
        ASSERT_EQ(Run({"points", "write", "0", table.string()}).exitCode, 0);
        ASSERT_EQ(Run({"servo", "0", "on"}).exitCode, 0);
        ASSERT_EQ(Run({"home", "0"}).exitCode, 0);
        ASSERT_TRUE(WaitUntilHomed("0"));
        ASSERT_EQ(Run({"start", "0", "0"}).exitCode, 0);
    }
};

TEST_F(CliParamWaveTest, ValuesInUserUnitsAndChoicesByTextOrIndex)
{
    StartSim();
    CliRun run = Run({"--json", "param", "get", "1", "31", "36"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(json::parse(run.out).at("parameters")[0].at("unit"), "mm");

    run = Run({"param", "set", "1", "31", "1.25"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ParamValue(*this, Run({"--json", "param", "get", "1", "31"})), "1.250");
    // The controller holds the value scaled: 1.25 mm on this model is 1250 raw.
    run = Run({"raw", "1", "0x24", "1F", "00", "--expect", "13"});
    EXPECT_EQ(run.out.rfind("reply  EF 01 24 1F 00 E2 04 00 00 ", 0), 0u) << run.out;

    // The operation type asks before it changes.
    run = Run({"param", "set", "1", "36", "2", "--yes"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string byIndex = ParamValue(*this, Run({"--json", "param", "get", "1", "36"}));
    ASSERT_EQ(Run({"param", "set", "1", "36", "0", "--yes"}).exitCode, 0);
    run = Run({"param", "set", "1", "36", byIndex, "--yes"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ParamValue(*this, Run({"--json", "param", "get", "1", "36"})), byIndex);
}

// The terminal gets UTF-8 in every language; a choice typed in UTF-8 is taken by its index.
TEST_F(CliParamWaveTest, JapaneseAndChineseNamesAndChoicesInUtf8)
{
    struct Case {
        const char *lang;
        const char *name;   // parameter 5
        const char *second; // its second choice
    };
    const Case cases[] = {{"1", "原点復帰方向", "反モーター側"}, {"3", "原点返回方向", "电机反侧"}};
    StartSim();
    for (const Case &c : cases) {
        ASSERT_EQ(Run({"param", "set", "1", "5", "0", "--yes"}).exitCode, 0);
        CliRun run = Run({"--lang", c.lang, "--json", "param", "get", "1", "5"});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(json::parse(run.out).at("parameters")[0].at("name"), c.name);

        run = Run({"--lang", c.lang, "param", "set", "1", "5", c.second, "--yes"});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(ParamValue(*this, Run({"--lang", c.lang, "--json", "param", "get", "1", "5"})), c.second);
        EXPECT_EQ(ParamValue(*this, Run({"--json", "param", "get", "1", "5"})), "Opposite side")
            << "the controller holds the second choice";
    }
}

// A value outside the parameter file's range is shown as the controller holds it, not limited.
TEST_F(CliParamWaveTest, GetShowsTheValueTheControllerHoldsEvenOutsideTheRange)
{
    StartSim();
    ASSERT_TRUE(m_sim->WithBus([](sim::SimBus &bus) { return bus.Axis(1)->Parameters().Set(14, 0); }));
    const CliRun run = Run({"--json", "param", "get", "1", "14"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ParamValue(*this, run), "0") << "the range starts at 10";
}

TEST_F(CliParamWaveTest, BadValuesAndMissingParametersAreRefused)
{
    StartSim();
    const std::vector<std::vector<std::string>> refused{
        {"param", "set", "1", "16", "25.5"},     // an integer parameter
        {"param", "set", "1", "16", "fast"},
        {"param", "set", "1", "36", "TYPE9"},    // no such choice
        {"param", "get", "0", "150"},            // the MDA has parameters up to 111
        {"param", "set", "1", "3", "-5"},        // upper soft limit below the lower one
    };
    for (const auto &words : refused) {
        const CliRun run = Run(words);
        EXPECT_EQ(run.exitCode, 1) << words[3] << ' ' << words.back() << ": " << run.out;
        EXPECT_FALSE(run.err.empty());
    }
}

TEST_F(CliParamWaveTest, SavedFileLoadsBackOnlyOntoItsModel)
{
    StartSim();
    const auto file = TempFile("axis1.dat");
    ASSERT_EQ(Run({"param", "set", "1", "31", "2.5"}).exitCode, 0);
    CliRun run = Run({"param", "save", "1", file.string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::ifstream in(file, std::ios::binary);
    std::string date, model;
    std::getline(in, date);
    std::getline(in, model);
    EXPECT_EQ(model, "MDB\r");

    ASSERT_EQ(Run({"param", "set", "1", "31", "0.5"}).exitCode, 0);
    run = Run({"param", "load", "1", file.string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "wrote 1 parameter, failed 0\n");
    EXPECT_EQ(ParamValue(*this, Run({"--json", "param", "get", "1", "31"})), "2.500");

    run = Run({"param", "load", "2", file.string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("cannot load"), std::string::npos) << run.err;
}

// A line whose value the parameter does not take (no whole number, or outside 1 to 500 mm/s)
// is named, and nothing of the file is written.
TEST_F(CliParamWaveTest, LoadWritesNothingWhenALineHoldsNoValueOfItsParameter)
{
    StartSim();
    const auto file = TempFile("axis1.dat");
    ASSERT_EQ(Run({"param", "save", "1", file.string()}).exitCode, 0);
    std::string text;
    {
        std::ifstream in(file, std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const std::string jogBefore = ParamValue(*this, Run({"--json", "param", "get", "1", "16"}));
    ASSERT_EQ(Run({"param", "set", "1", "31", "0.5"}).exitCode, 0);
    for (const char *value : {"1e308", "-0", "0", "501", "99999999999", "nan", "12abc"}) {
        std::string edited = text;
        const size_t at = edited.find("\n016.") + 1;
        const std::string line = "016.  Jog speed = " + std::string(value) + " mm/s";
        edited.replace(at, edited.find('\r', at) - at, line);
        const auto bad = TempFile("bad.dat");
        std::ofstream(bad, std::ios::binary) << edited;
        const CliRun run = Run({"param", "load", "1", bad.string()});
        EXPECT_EQ(run.exitCode, 1) << value;
        EXPECT_NE(run.err.find(line), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("nothing was written"), std::string::npos) << run.err;
        EXPECT_EQ(ParamValue(*this, Run({"--json", "param", "get", "1", "16"})), jogBefore) << value;
        EXPECT_EQ(ParamValue(*this, Run({"--json", "param", "get", "1", "31"})), "0.500") << value;
    }
}

// Parameter 36 asks before it changes, and a write while the servo is on asks before it switches
// the servo off: on a terminal the answer decides, without one nothing changes unless --yes.
TEST_F(CliParamWaveTest, QuestionsAreAskedOrRefusedOnPurpose)
{
    StartSim();
    struct Case {
        const char *name;
        const char *number;
        std::array<const char *, 2> values;   // the value before, the value the case sets
        bool servoOn;
        std::string typed;
        bool terminal;
        bool yes;
        int exitCode;
        const char *says;                     // a piece of the standard error
    };
    const std::string refused = "(add --yes to answer yes)";
    const Case cases[] = {
        {"36 answered n", "36", {"0", "2"}, false, "n\n", true, false, 1, "axis 1: parameter 36 not changed"},
        {"36 without a terminal", "36", {"0", "2"}, false, "y\n", false, false, 1, refused.c_str()},
        {"36 answered y", "36", {"0", "2"}, false, "y\n", true, false, 0, " [y/n] "},
        {"36 with --yes and no terminal", "36", {"0", "2"}, false, "", false, true, 0, ""},
        {"servo on, answered n", "40", {"30", "55"}, true, "n\n", true, false, 1, "axis 1: nothing written"},
        {"servo on, no terminal", "40", {"30", "55"}, true, "", false, false, 1, refused.c_str()},
        {"servo on, answered y", "40", {"30", "55"}, true, "yes\n", true, false, 0, " [y/n] "},
        {"36 yes, then the servo caution no", "36", {"0", "2"}, true, "y\nn\n", true, false, 1, "nothing written"},
        {"36 and the servo caution yes", "36", {"0", "2"}, true, "y\ny\n", true, false, 0, " [y/n] "},
        {"servo on, --yes", "40", {"30", "55"}, true, "", false, true, 0, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(Run({"param", "set", "1", c.number, c.values[0], "--yes"}).exitCode, 0);
        if (c.servoOn) {
            ASSERT_EQ(Run({"servo", "1", "on"}).exitCode, 0);
        }
        const std::string before = ParamValue(*this, Run({"--json", "param", "get", "1", c.number}));
        std::vector<std::string> words{"param", "set", "1", c.number, c.values[1]};
        if (c.yes)
            words.push_back("--yes");
        Answer(c.typed, c.terminal);
        const CliRun run = Run(words);
        Answer("", false);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        const std::string after = ParamValue(*this, Run({"--json", "param", "get", "1", c.number}));
        EXPECT_EQ(after != before, c.exitCode == 0) << before << " -> " << after;
        if (c.servoOn) {
            EXPECT_EQ(json::parse(Run({"--json", "status", "1"}).out).at("servo"), c.exitCode != 0)
                << "the servo stays on unless the write was accepted";
        }
        ASSERT_EQ(Run({"servo", "1", "off"}).exitCode, 0);
    }
}

// Every third reply is spoiled: the scales and the start pass, then the first batch and every
// third one after it are lost on the way.
TEST_F(CliParamWaveTest, ACaptureWithLostBatchesListsThemAndExitsWithThree)
{
    StartSim({"--axis", "0:MDC", "--fault", "crc=3", "--seed", "3"});
    const auto file = TempFile("lossy.csv");
    const CliRun run = Run({"--json", "wave", "0", "--ch0", "4", "--ch1", "0", "--sampling", "10", "--seconds", "0.6",
                            "--out", file.string()});
    EXPECT_EQ(run.exitCode, 3) << run.err;
    EXPECT_EQ(run.err.rfind("kvlctl: axis 0: lost samples ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find("kvlctl: axis 0: the capture lost "), std::string::npos) << run.err;
    const json result = json::parse(run.out);
    ASSERT_FALSE(result.at("lost").empty());
    const int samples = result.at("samples").get<int>();
    EXPECT_GT(samples, 0);
    // What arrived is in the file, with the time of each sample as the controller numbered it.
    std::ifstream in(file, std::ios::binary);
    std::string line;
    std::getline(in, line);
    int lines = 0;
    double firstTime = -1;
    while (std::getline(in, line)) {
        double index = 0, time = 0;
        ASSERT_EQ(std::sscanf(line.c_str(), "%lf,%lf", &index, &time), 2) << line;
        if (lines++ == 0)
            firstTime = time;
    }
    EXPECT_EQ(lines, samples);
    const json &firstGap = result.at("lost")[0];
    if (firstGap.at("first").get<int>() == 0) {
        EXPECT_NEAR(firstTime, firstGap.at("count").get<int>() + 1.0, 1e-9) << "the file starts after the lost batch";
    }
}

TEST_F(CliParamWaveTest, WritesAreRefusedWhileAProgramRuns)
{
    StartSim();
    RunProgramOnAxis0();
    CliRun run = Run({"param", "set", "0", "31", "0.5", "--yes"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("automatic mode"), std::string::npos) << run.err;
}

TEST_F(CliParamWaveTest, CaptureOfARunningProgramFollowsItsMotion)
{
    StartSim();
    RunProgramOnAxis0();
    const auto file = TempFile("run.csv");
    CliRun run = Run({"wave", "0", "--ch0", "1", "--ch1", "4", "--sampling", "10", "--seconds", "0.6",
                      "--out", file.string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    std::getline(in, line);
    EXPECT_NE(line.find(",CH0-1,CH1-4"), std::string::npos) << line;
    int lines = 0;
    double firstPosition = 0, lastPosition = 0;
    while (std::getline(in, line)) {
        double index, time, ch0, ch1;
        ASSERT_EQ(std::sscanf(line.c_str(), "%lf,%lf,%lf,%lf", &index, &time, &ch0, &ch1), 4) << line;
        (lines == 0 ? firstPosition : lastPosition) = ch0;
        ++lines;
    }
    EXPECT_GT(lines, 100);
    EXPECT_GT(lastPosition, firstPosition) << "the axis moves toward 50 mm during the capture";

    run = Run({"wave", "0", "--ch0", "0", "--ch1", "0", "--out", file.string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("nothing to capture"), std::string::npos) << run.err;
}

} // namespace
} // namespace kvl::cli
