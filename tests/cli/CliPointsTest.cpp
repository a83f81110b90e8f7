// kvlctl points: a CSV table written to the simulated controller and read back, and the refusals.
#include "CliFixture.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace kvl::cli {
namespace {

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

class CliPointsTest : public CliFixture {};

struct RecordForm {
    const char *address;
    const char *model;
    const char *table;
};

TEST_F(CliPointsTest, TableWrittenAndReadBackInLongAndShortForm)
{
    StartSim();
    const std::vector<RecordForm> forms{
        {"1", "MDB",
         "NO,ABS/INC,Position,Speed,ACC,DCC,Push,Thr,Range,A,B,M,S,T,R,J,C\r\n"
         "0,ABS,12.5,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,1,first\r\n"
         "1,INC,-2.25,50,0.2,0.4,0,0,0.05,0,0,1,0,0,2,2,\r\n"
         "2,ABS,0,200,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E,\r\n"},
        {"0", "MDA",
         "NO,ABS/INC,Position,Speed,ACC,DCC,Push,Thr,Range,A,B,M,S,T,R,J,C\r\n"
         "0,ABS,5,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,1,\r\n"
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
    WriteFile(full, "h\r\n0,ABS,1,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,1,\r\n1,ABS,2,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E,\r\n");
    WriteFile(shorter, "h\r\n0,ABS,1,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,1,\r\n");
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
    WriteFile(table, "h\r\n0,INC,1,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E,\r\n");
    ASSERT_EQ(Run({"points", "write", "0", table.string()}).exitCode, 0);

    ASSERT_EQ(Run({"servo", "0", "on"}).exitCode, 0);
    CliRun run = Run({"points", "write", "0", table.string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("axis 0: "), std::string::npos) << run.err;
    WriteFile(table, "h\r\n0,INC,2,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E,\r\n");
    run = Run({"points", "write", "0", table.string()});
    EXPECT_EQ(run.exitCode, 1);

    ASSERT_EQ(Run({"servo", "0", "off"}).exitCode, 0);
    run = Run({"points", "write", "0", table.string()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "wrote 1 steps, cleared 0, failed 0\n");
}

TEST_F(CliPointsTest, MissingFileAndSilentAxisAreReported)
{
    StartSim();
    CliRun run = Run({"points", "write", "0", TempFile("absent.csv").string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("absent.csv"), std::string::npos) << run.err;
    run = Run({"points", "read", "7", TempFile("never.csv").string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "kvlctl: axis 7: identify: no reply within 30 ms (-202)\n");
    EXPECT_FALSE(std::filesystem::exists(TempFile("never.csv")));
}

} // namespace
} // namespace kvl::cli
