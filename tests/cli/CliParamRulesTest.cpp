// kvlctl param against the simulator: parameter 12's limit belongs to each controller, the pair
// order of a load, and the messages of files and numbers that do not fit.
#include "CliFixture.h"

#include <fstream>
#include <regex>
#include <sstream>

#include <nlohmann/json.hpp>

#include "config/CIniEx.h"

namespace kvl::cli {
namespace {

using nlohmann::json;

class CliParamRulesTest : public CliFixture {
protected:
    std::string Get(const std::string &axis, const std::string &number)
    {
        const CliRun run = Run({"--json", "param", "get", axis, number});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return run.exitCode == 0 ? json::parse(run.out).at("parameters")[0].at("value").get<std::string>() : "";
    }
    // "Max" of parameter 12 in each language's shared parameter file of the MDC.
    std::vector<std::string> SharedMaxOf12()
    {
        std::vector<std::string> max;
        for (const char *language : {"EN", "JP", "CN"}) {
            CIniEx store;
            EXPECT_TRUE(store.Open(SystemFile(std::string("ParamMDC_") + language + ".ini").string(), false, false, true));
            max.push_back(store.GetString("12", "Max", ""));
        }
        return max;
    }
    static std::string ReadText(const std::filesystem::path &path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // The file with the value of parameter `number`'s line replaced.
    static void SetFileValue(const std::filesystem::path &path, int number, const std::string &value)
    {
        char prefix[8];
        std::snprintf(prefix, sizeof prefix, "%03d.", number);
        const std::regex line(std::string("(") + prefix + "[^=\\r\\n]*= )[^ \\r\\n]*");
        const std::string changed = std::regex_replace(ReadText(path), line, "$01" + value);
        ASSERT_NE(changed, ReadText(path)) << "no line for parameter " << number;
        std::ofstream(path, std::ios::binary | std::ios::trunc) << changed;
    }
};

// Loading parameter 102 = 50 onto one MDC limits parameter 12 of that controller only: the
// model's shared file keeps its range, a controller holding 200 keeps 200, one holding 300 takes
// 250, and a controller's own saved file loads back without lowering its parameter 12.
TEST_F(CliParamRulesTest, ParameterTwelvesLimitBelongsToEachController)
{
    StartSim({"--axis", "0:MDC", "--axis", "1:MDC", "--axis", "2:MDC"});
    const std::vector<std::string> shared = SharedMaxOf12();
    ASSERT_EQ(shared, (std::vector<std::string>{"300", "300", "300"}));
    CliRun run = Run({"param", "set", "1", "102", "200", "--level", "1", "--yes"});
    ASSERT_EQ(run.exitCode, 0) << run.err;

    const auto file0 = TempFile("axis0.dat");
    ASSERT_EQ(Run({"param", "save", "0", file0.string(), "--level", "1"}).exitCode, 0);
    SetFileValue(file0, 102, "50");
    run = Run({"param", "load", "0", file0.string(), "--level", "1", "--yes"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Get("0", "12"), "50") << "the loaded controller's own 12 follows its 102";
    EXPECT_EQ(SharedMaxOf12(), shared) << "the shared file is left alone";

    run = Run({"param", "set", "1", "12", "150", "--yes"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    run = Run({"param", "set", "1", "12", "250", "--yes"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("[10, 200]"), std::string::npos) << run.err;
    run = Run({"param", "set", "2", "12", "250", "--yes"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Get("2", "12"), "250");

    const auto file1 = TempFile("axis1.dat");
    ASSERT_EQ(Run({"param", "save", "1", file1.string(), "--level", "1"}).exitCode, 0);
    run = Run({"param", "load", "1", file1.string(), "--level", "1", "--yes"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "wrote 0 parameters, failed 0\n");
    EXPECT_EQ(Get("1", "12"), "150");
    EXPECT_EQ(SharedMaxOf12(), shared);
}

// A file saved from a controller whose soft limits are both 0 loads back onto it; a load that
// changes a pair out of order is refused with the pair named.
TEST_F(CliParamRulesTest, LoadChecksThePairsItChanges)
{
    StartSim({"--axis", "0:MDC"});
    for (const char *number : {"01", "02"}) {
        const CliRun raw = Run({"raw", "0", "0x25", number, "00", "00", "00", "00", "00", "--expect", "8"});
        ASSERT_EQ(raw.exitCode, 0) << raw.err;
    }
    ASSERT_EQ(Get("0", "1"), Get("0", "2"));
    const auto file = TempFile("zero.dat");
    ASSERT_EQ(Run({"param", "save", "0", file.string()}).exitCode, 0);
    CliRun run = Run({"param", "load", "0", file.string(), "--yes"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "wrote 0 parameters, failed 0\n");

    SetFileValue(file, 3, "1.0000");
    SetFileValue(file, 4, "2.0000");
    run = Run({"param", "load", "0", file.string(), "--yes"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("parameters 3 and 4"), std::string::npos) << run.err;
}

TEST_F(CliParamRulesTest, MessagesNameTheFilesAndTheModelsNumbers)
{
    StartSim({"--axis", "0:MDC", "--axis", "1:MDB"});
    const auto notParams = TempFile("notes.dat");
    std::ofstream(notParams, std::ios::binary) << "2026/0101\r\nshopping list\r\n\r\n\r\n012.  milk = 2\r\n";
    CliRun run = Run({"param", "load", "0", notParams.string(), "--yes"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("not a parameter file"), std::string::npos) << run.err;

    const auto mdb = TempFile("mdb.dat");
    ASSERT_EQ(Run({"param", "save", "1", mdb.string()}).exitCode, 0);
    run = Run({"param", "load", "0", mdb.string(), "--yes"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("made for the MDB, axis 0 is an MDC"), std::string::npos) << run.err;

    for (const char *number : {"60", "183", "0"}) {
        run = Run({"param", "get", "0", number});
        EXPECT_EQ(run.exitCode, 1) << number;
        EXPECT_NE(run.err.find(std::string("has no parameter ") + number + " (MDC: 1-49 and 100-182)"),
                  std::string::npos)
            << run.err;
    }
    run = Run({"param", "set", "0", "77", "1", "--yes"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("(MDC: 1-49 and 100-182)"), std::string::npos) << run.err;
}

} // namespace
} // namespace kvl::cli
