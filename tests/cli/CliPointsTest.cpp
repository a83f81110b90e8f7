// kvlctl points: a CSV table written to the simulated controller and read back, and the refusals.
#include "CliFixture.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "sim/AxisDevice.h"
#include "sim/SimBus.h"

namespace kvl::cli {
namespace {

// The header line a saved table starts with; the captions' language does not matter.
const std::string kHeader = "NO,ABS/INC,Position,Speed,ACC,DCC,Push,Thr,Range,A,B,M,S,T,R,J,C\r\n";

void WriteFile(const std::filesystem::path &path, const std::string &content)
{
    std::ofstream out(path, std::ios::binary);
    out << content;
}

std::vector<std::vector<std::string>> ReadDataLines(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::string line;
    std::vector<std::vector<std::string>> rows;
    bool header = true;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (header) {
            header = false;
            continue;
        }
        std::vector<std::string> fields;
        std::stringstream split(line);
        std::string field;
        while (std::getline(split, field, ','))
            fields.push_back(field);
        rows.push_back(fields);
    }
    return rows;
}

// Fields 0 to 15 agree: numbers by value, texts as they are (the controller keeps no comment).
void ExpectSameSteps(const std::vector<std::vector<std::string>> &written,
                     const std::vector<std::vector<std::string>> &read)
{
    ASSERT_EQ(written.size(), read.size());
    for (size_t r = 0; r < written.size(); ++r) {
        ASSERT_GE(read[r].size(), 16u);
        for (size_t k = 0; k < 16; ++k) {
            const std::string &a = written[r][k];
            const std::string &b = read[r][k];
            char *endA = nullptr;
            char *endB = nullptr;
            const double va = std::strtod(a.c_str(), &endA);
            const double vb = std::strtod(b.c_str(), &endB);
            if (*endA == '\0' && *endB == '\0' && endA != a.c_str())
                EXPECT_NEAR(va, vb, 1e-9) << "step line " << r << " field " << k;
            else
                EXPECT_EQ(a, b) << "step line " << r << " field " << k;
        }
    }
}

class CliPointsTest : public CliFixture {
protected:
    // The steps the simulated controller at `address` holds, in wire form.
    std::vector<sim::StepRecord> ControllerSteps(uint8_t address)
    {
        return m_sim->WithBus([address](sim::SimBus &bus) {
            std::vector<sim::StepRecord> steps;
            for (int step : bus.Axis(address)->Table().DefinedSteps(512))
                steps.push_back(bus.Axis(address)->Table().Step(step));
            return steps;
        });
    }
};

struct RecordForm {
    const char *address;
    const char *model;
    std::string table;
};

TEST_F(CliPointsTest, TableWrittenAndReadBackInLongAndShortForm)
{
    StartSim();
    const std::vector<RecordForm> forms{
        {"1", "MDB",
         kHeader + "0,ABS,12.5,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,1,first\r\n"
         "1,INC,-2.25,50,0.2,0.4,0,0,0.05,0,0,1,0,0,2,2,\r\n"
         "2,ABS,0,200,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E,\r\n"},
        {"0", "MDA",
         kHeader + "0,ABS,5,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,1,\r\n"
         "3,INC,1.5,80,0.2,0.2,0,0,0.1,0,0,0,0,0,1,E,last\r\n"},
    };
    for (const auto &form : forms) {
        SCOPED_TRACE(form.model);
        const auto source = TempFile(std::string("source_") + form.model + ".csv");
        const auto copy = TempFile(std::string("copy_") + form.model + ".csv");
        WriteFile(source, form.table);
        CliRun run = Run({"points", "write", form.address, source.string()});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const auto written = ReadDataLines(source);
        EXPECT_EQ(run.out, "wrote " + std::to_string(written.size()) + " steps, cleared 0, failed 0\n");

        run = Run({"points", "read", form.address, copy.string()});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        ExpectSameSteps(written, ReadDataLines(copy));

        // Writing the same file again sends nothing: every step equals the controller's.
        run = Run({"points", "write", form.address, source.string()});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, "wrote 0 steps, cleared 0, failed 0\n");
    }
}

TEST_F(CliPointsTest, AStepLeftOutOfTheFileIsClearedOnTheController)
{
    StartSim();
    const auto full = TempFile("full.csv");
    const auto shorter = TempFile("shorter.csv");
    const auto copy = TempFile("copy.csv");
    WriteFile(full, kHeader + "0,ABS,1,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,1,\r\n1,ABS,2,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E,\r\n");
    WriteFile(shorter, kHeader + "0,ABS,1,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,1,\r\n");
    ASSERT_EQ(Run({"points", "write", "0", full.string()}).exitCode, 0);
    CliRun run = Run({"points", "write", "0", shorter.string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "wrote 0 steps, cleared 1, failed 0\n");
    ASSERT_EQ(Run({"points", "read", "0", copy.string()}).exitCode, 0);
    EXPECT_EQ(ReadDataLines(copy).size(), 1u);

    run = Run({"points", "clear", "0"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ASSERT_EQ(Run({"points", "read", "0", copy.string()}).exitCode, 0);
    EXPECT_TRUE(ReadDataLines(copy).empty());
}

TEST_F(CliPointsTest, WriteIsRefusedWhileTheServoIsOn)
{
    StartSim();
    const auto table = TempFile("table.csv");
    WriteFile(table, kHeader + "0,INC,1,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E,\r\n");
    ASSERT_EQ(Run({"points", "write", "0", table.string()}).exitCode, 0);

    ASSERT_EQ(Run({"servo", "0", "on"}).exitCode, 0);
    CliRun run = Run({"points", "write", "0", table.string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("axis 0: "), std::string::npos) << run.err;
    WriteFile(table, kHeader + "0,INC,2,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E,\r\n");
    run = Run({"points", "write", "0", table.string()});
    EXPECT_EQ(run.exitCode, 1);

    ASSERT_EQ(Run({"servo", "0", "off"}).exitCode, 0);
    run = Run({"points", "write", "0", table.string()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "wrote 1 step, cleared 0, failed 0\n");
}

TEST_F(CliPointsTest, MissingFileAndSilentAxisAreReported)
{
    StartSim();
    CliRun run = Run({"points", "write", "0", TempFile("absent.csv").string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("absent.csv"), std::string::npos) << run.err;
    run = Run({"points", "read", "7", TempFile("never.csv").string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "kvlctl: axis 7: identify: no reply within 30 ms (-202); nothing answered at 115200 "
                       "bit/s: the bus may run at another speed (kvlctl scan finds it and keeps it), or the "
                       "axis is switched off or at another address\n");
    EXPECT_FALSE(std::filesystem::exists(TempFile("never.csv")));
}

TEST_F(CliPointsTest, WriteRefusesAFileThatIsNotAPointTableAndSendsNothing)
{
    StartSim({"--axis", "0:MDA"});
    const auto table = TempFile("table.csv");
    WriteFile(table, kHeader + "0,ABS,1,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,1,\r\n1,ABS,2,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E,\r\n");
    ASSERT_EQ(Run({"points", "write", "0", table.string()}).exitCode, 0);
    const std::vector<sim::StepRecord> before = ControllerSteps(0);
    ASSERT_EQ(before.size(), 2u);

    struct Case {
        const char *what;
        std::string content;
        std::string reason;
    };
    const std::vector<Case> cases{
        {"empty file", "", ": the file is empty"},
        {"no header line", "0,ABS,1,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E,\r\n", " line 1: this is not a point-table file"},
        {"another kind of file", "kvl parameter file\r\nMDA\r\n", " line 1: this is not a point-table file"},
        {"position abc", kHeader + "0,ABS,5,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E,\r\n1,ABS,abc,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E,\r\n",
         " line 3: Position \"abc\" is not a number"},
        {"step past the table", kHeader + "64,ABS,5,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E,\r\n",
         " line 2: step 64 is outside the table (steps 0 to 63)"},
    };
    const auto bad = TempFile("bad.csv");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(bad, c.content);
        const CliRun run = Run({"points", "write", "0", bad.string()});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find(bad.string() + c.reason), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("kvlctl: axis 0: "), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
        EXPECT_EQ(ControllerSteps(0), before);
    }
}

TEST_F(CliPointsTest, WriteLimitsValuesByTheStepRulesAndListsEachOne)
{
    StartSim({"--axis", "0:MDA"});
    const auto table = TempFile("table.csv");
    // The shipped parameter file of the model holds 800 mm/s for parameter 29 and a soft limit
    // (parameter 3) of 100 mm.
    WriteFile(table, kHeader + "0,ABS,12.5,99999,0.3,0.3,0,0,0.1,0,0,0,0,0,1,1,\r\n"
                               "1,ABS,150,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E,\r\n");
    const CliRun run = Run({"points", "write", "0", table.string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "wrote 2 steps, cleared 0, failed 0\n");
    EXPECT_EQ(run.err,
              "kvlctl: axis 0: warning: line 2, step 0: Speed 99999 was limited to 800 (The speed exceeded the maximum "
              "speed and was set to the maximum.)\n"
              "kvlctl: axis 0: warning: line 3, step 1: Position 150 was limited to 100.0000 (The position was outside the "
              "soft limits and was limited.)\n");
    const std::vector<sim::StepRecord> steps = ControllerSteps(0);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].speed, 80000);
    EXPECT_EQ(steps[1].position, 1000000);
}

TEST_F(CliPointsTest, ForceKeepsTheLenientLoadingOfTheWindow)
{
    StartSim({"--axis", "0:MDA"});
    const auto table = TempFile("table.csv");
    WriteFile(table, "h\r\n0,ABS,5,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E,\r\n70,ABS,1,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E,\r\n");
    EXPECT_EQ(Run({"points", "write", "0", table.string()}).exitCode, 1);
    EXPECT_TRUE(ControllerSteps(0).empty());

    const CliRun run = Run({"points", "write", "0", table.string(), "--force"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "wrote 1 step, cleared 0, failed 0\n");
    const std::vector<sim::StepRecord> steps = ControllerSteps(0);
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].position, 50000);
}

// --force limits as the window's Open does (soft limit 100 mm), and a value that is no number
// writes nothing at all.
TEST_F(CliPointsTest, ForceLimitsValuesAndRefusesTextsThatAreNoNumber)
{
    StartSim({"--axis", "0:MDA"});
    const auto table = TempFile("table.csv");
    WriteFile(table, kHeader + "0,ABS,99999,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E,\r\n");
    CliRun run = Run({"points", "write", "0", table.string(), "--force"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("line 2, step 0: Position 99999 was limited to 100.0000"), std::string::npos) << run.err;
    ASSERT_EQ(ControllerSteps(0).size(), 1u);
    EXPECT_EQ(ControllerSteps(0)[0].position, 1000000);

    const std::vector<sim::StepRecord> before = ControllerSteps(0);
    for (const char *position : {"1e308", "nan", "inf", "-1e308", "12abc"}) {
        WriteFile(table, kHeader + "0,ABS," + position + ",100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E,\r\n");
        run = Run({"points", "write", "0", table.string(), "--force"});
        EXPECT_EQ(run.exitCode, 1) << position;
        EXPECT_NE(run.err.find(std::string("Position \"") + position + "\" is no number"), std::string::npos)
            << run.err;
        EXPECT_NE(run.err.find("nothing was written"), std::string::npos) << run.err;
        EXPECT_EQ(ControllerSteps(0), before) << position;
    }
}

TEST_F(CliPointsTest, AReadTheControllerEndsEarlyIsNoTable)
{
    // The controller ends every bulk read after five steps with its empty refused frame.
    StartSim({"--axis", "0:MDA", "--fault", "tableend=5"});
    std::string content = kHeader;
    for (int step = 0; step < 8; ++step) {
        // Two appends: GCC 12 takes one long chain of temporaries for an out-of-bounds copy.
        content += std::to_string(step) + ",ABS," + std::to_string(step);
        content += ",100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E,\r\n";
    }
    const auto full = TempFile("full.csv");
    WriteFile(full, content);
    // An empty table reads as padding only, so the first write goes through.
    CliRun run = Run({"points", "write", "0", full.string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ASSERT_EQ(ControllerSteps(0).size(), 8u);

    const auto copy = TempFile("copy.csv");
    run = Run({"points", "read", "0", copy.string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("axis 0: read point table: the controller refused the read"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("no file was written"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(copy));

    const auto shorter = TempFile("shorter.csv");
    WriteFile(shorter, kHeader + "0,ABS,9,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E,\r\n");
    run = Run({"points", "write", "0", shorter.string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("nothing was written"), std::string::npos) << run.err;
    const std::vector<sim::StepRecord> steps = ControllerSteps(0);
    ASSERT_EQ(steps.size(), 8u) << "the stale steps are neither cleared nor overwritten";
    EXPECT_EQ(steps[0].position, 0);
}

// The rotary model sends its operation type itself on the wire (0, 2, 4, 5): type 2 has 256 steps,
// not the 7 of type 4 that its list choice 2 would stand for.
TEST_F(CliPointsTest, TheRotaryModelsTableFollowsTheOperationTypeOnTheWire)
{
    StartSim({"--axis", "5:MDA-Z"});
    const struct {
        const char *choice;
        std::string readOut;
    } cases[] = {{"1", "256"}, {"2", "7"}, {"3", "3"}, {"0", "64"}};
    const auto copy = TempFile("rotary.csv");
    for (const auto &c : cases) {
        CliRun run = Run({"param", "set", "5", "36", c.choice, "--yes"});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        run = Run({"points", "read", "5", copy.string()});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_NE(run.out.find("of " + c.readOut + " into"), std::string::npos) << c.choice << ": " << run.out;
    }
}

} // namespace
} // namespace kvl::cli
