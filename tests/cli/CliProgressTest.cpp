// Progress of long transfers on standard error: the line itself, and the commands that show it
// on a terminal and stay silent otherwise.
#include "CliFixture.h"

#include <fstream>
#include <sstream>

#include "cli/CProgressLine.h"

namespace kvl::cli {
namespace {

TEST(CliProgressLine, RewritesOneLineOnATerminalAndWipesIt)
{
    std::ostringstream shown;
    {
        CProgressLine line(shown, true, "writing steps");
        line.Count(9, 12);
        line.Count(100, 120);
        line.Bytes(7);
        line.Bytes(7 + CProgressLine::kBytesStep - 1);   // too little news for a repaint
        line.Bytes(7 + CProgressLine::kBytesStep);
        line.Timed(250, "samples", 0.25, 2);
    }
    EXPECT_EQ(shown.str(), "\rwriting steps 9 of 12"
                           "\rwriting steps 100 of 120"
                           "\rwriting steps: 7 bytes  "            // spaces cover the longer line before
                           "\rwriting steps: 135 bytes"
                           "\rwriting steps: 250 samples, 0.2 of 2.0 s"
                           "\r                                        \r");

    std::ostringstream silent;
    {
        CProgressLine line(silent, false, "writing steps");
        line.Count(1, 2);
        line.Bytes(100);
        line.Done();
    }
    EXPECT_TRUE(silent.str().empty());
}

class CliProgressTest : public CliFixture {};

TEST_F(CliProgressTest, LongTransfersShowProgressOnlyOnATerminal)
{
    StartSim({"--axis", "0:MDA"});
    const auto table = TempFile("table.csv");
    std::ofstream(table, std::ios::binary) << "NO,ABS/INC,Position,Speed,ACC,DCC,Push,Thr,Range,A,B,M,S,T,R,J,C\r\n"
                                              "0,ABS,1,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,1,\r\n"
                                              "1,ABS,2,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,2,\r\n"
                                              "2,ABS,3,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E,\r\n";
    const auto copy = TempFile("copy.csv");
    const auto params = TempFile("axis0.dat");
    const auto wave = TempFile("wave.csv");
    struct Case {
        const char *what;
        std::vector<std::string> words;
        std::vector<std::string> lines;   // parts of the progress lines on a terminal
    };
    const std::vector<Case> cases{
        {"points write", {"points", "write", "0", table.string()}, {"\rreading the point table: ", "\rwriting steps 3 of 3"}},
        {"points read", {"points", "read", "0", copy.string()}, {"\rreading the point table: ", " bytes"}},
        {"param save", {"param", "save", "0", params.string()}, {"\rreading parameters 1 of ", "\rreading parameters "}},
        {"param set then load", {"param", "set", "0", "16", "12"}, {"\rwriting parameters 1 of 1"}},
        {"param load", {"param", "load", "0", params.string()}, {"\rreading parameters ", "\rwriting parameters 1 of 1"}},
        {"wave", {"wave", "0", "--sampling", "10", "--seconds", "0.3", "--out", wave.string()}, {"\rcapturing: ", " samples, "}},
    };
    for (const bool terminal : {true, false}) {
        m_errIsTerminal = terminal;
        for (const Case &c : cases) {
            SCOPED_TRACE(std::string(c.what) + (terminal ? " on a terminal" : " into a file"));
            const CliRun run = Run(c.words);
            ASSERT_EQ(run.exitCode, 0) << run.err;
            if (!terminal) {
                EXPECT_TRUE(run.err.empty()) << run.err;
                continue;
            }
            for (const std::string &part : c.lines)
                EXPECT_NE(run.err.find(part), std::string::npos) << part << " in " << run.err;
            ASSERT_FALSE(run.err.empty());
            EXPECT_EQ(run.err.back(), '\r') << "the line is wiped at the end";
        }
    }
}

} // namespace
} // namespace kvl::cli
