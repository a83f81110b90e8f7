// kvlctl on a noisy bus, over the real serial transport against the simulator's fault switches:
// a backup holds every device of the bus or names the missing ones and does not exit 0; a
// gateway read that failed fails gw save and gw show and writes no file; a spoiled reply that
// looks like a refusal is asked again; late replies never answer another question.
#include "CliFixture.h"

#include <fstream>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/CCliSession.h"
#include "protocol/Frame.h"
#include "sim/AxisDevice.h"
#include "sim/GatewayDevice.h"
#include "sim/ParameterStore.h"

namespace kvl::cli {
namespace {

constexpr int kGw = frame::kGatewayAddress;
// The demo bus: the unit and one controller of each model on 0 to 5.
const std::set<int> kDemoDevices{kGw, 0, 1, 2, 3, 4, 5};

std::string FileText(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The addresses of the manifest's "device N MODEL" lines.
std::set<int> ManifestDevices(const std::filesystem::path &folder)
{
    std::set<int> devices;
    std::istringstream in(FileText(folder / "manifest.txt"));
    for (std::string line; std::getline(in, line);)
        if (line.rfind("device ", 0) == 0)
            devices.insert(std::stoi(line.substr(7)));
    return devices;
}

class CliBusFaultsTest : public CliFixture {
protected:
    // Parameter 15 holding 0 on every controller: its read is answered 0F 00 00 00 00 00, which
    // with a spoiled CRC is the refusal pattern.
    void ZeroParameter15()
    {
        m_sim->WithBus([](sim::SimBus &bus) {
            for (uint8_t a = 0; a < 16; ++a)
                if (sim::AxisDevice *axis = bus.Axis(a))
                    axis->Parameters().Set(kParameter15, 0);
        });
    }
    static constexpr int kParameter15 = 15;

    void Restart(const std::vector<std::string> &options)
    {
        if (m_sim)
            m_sim->Stop();
        m_sim.reset();
        StartSim(options);
    }
};

// Faults under which every device can still be read: the backup holds them all and says so
// with exit 0. Late replies (within the retries), spoiled CRCs at a rate and every third reply
// spoiled, noise and split replies.
TEST_F(CliBusFaultsTest, BackupUnderFaultsHoldsEveryDevice)
{
    const std::vector<std::vector<std::string>> cases{
        {"--fault", "delay=27"},
        {"--fault", "crc=3"},
        {"--fault", "crcrate=5", "--seed", "11"},
        {"--fault", "noise=4", "--fault", "split=2"},
    };
    int n = 0;
    for (const auto &faults : cases) {
        Restart(faults);
        ZeroParameter15();
        const std::string folder = TempFile("whole" + std::to_string(n++)).string();
        const CliRun run = Run({"backup", folder});
        EXPECT_EQ(run.exitCode, CCliSession::kExitOk) << faults[1] << '\n' << run.out << run.err;
        EXPECT_EQ(ManifestDevices(folder), kDemoDevices) << faults[1];
        EXPECT_NE(run.out.find("backed up 7 devices"), std::string::npos) << faults[1] << run.out;
    }
}

// A silent controller that the unit's station list names: the backup holds the others, names
// the missing one, and exits 3 (0 only with --allow-missing).
TEST_F(CliBusFaultsTest, SilentStationOfTheUnitsListMakesTheBackupIncomplete)
{
    struct Case {
        std::vector<std::string> extra;
        int exitCode;
    };
    const Case cases[] = {
        {{}, CCliSession::kExitIncomplete},
        {{"--allow-missing"}, CCliSession::kExitOk},
        {{"--json"}, CCliSession::kExitIncomplete},
    };
    StartSim({"--fault", "silent=3"});
    int n = 0;
    for (const Case &c : cases) {
        const std::string folder = TempFile("part" + std::to_string(n++)).string();
        std::vector<std::string> words{"backup", folder};
        words.insert(words.end(), c.extra.begin(), c.extra.end());
        if (!c.extra.empty() && c.extra[0] == "--json")
            words.insert(words.begin(), "--json");
        const CliRun run = Run(words);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.out << run.err;
        EXPECT_NE(run.err.find("axis 3: not in the backup: it does not answer, and the unit's station list names it"),
                  std::string::npos)
            << run.err;
        std::set<int> expected = kDemoDevices;
        expected.erase(3);
        EXPECT_EQ(ManifestDevices(folder), expected);
        if (!c.extra.empty() && c.extra[0] == "--json") {
            const nlohmann::json document = nlohmann::json::parse(run.out);
            ASSERT_EQ(document.at("missing").size(), 1u);
            EXPECT_EQ(document.at("missing")[0].at("address"), 3);
        }
    }
}

// A unit setting that cannot be read fails gw show and gw save (exit 1, the setting named) and
// no file is written; replies 40 ms late are waited for and the file holds the unit's own value.
TEST_F(CliBusFaultsTest, GatewayReadThatFailedShowsAndSavesNothing)
{
    constexpr int kBroadcastDelayHeld = 60;
    struct Case {
        std::vector<std::string> faults;
        int exitCode;
    };
    const Case cases[] = {
        {{"--refuse-read", "241:5"}, CCliSession::kExitFailure},
        {{"--fault", "delay=40"}, CCliSession::kExitOk},
    };
    int n = 0;
    for (const Case &c : cases) {
        Restart(c.faults);
        m_sim->WithBus([](sim::SimBus &bus) {
            bus.Gateway()->Parameters().Set(sim::unitparam::kBroadcastDelay, kBroadcastDelayHeld);
        });
        const std::filesystem::path file = TempFile("unit" + std::to_string(n++) + ".dat");
        const CliRun save = Run({"--lang", "2", "gw", "save", file.string()});
        const CliRun show = Run({"--lang", "2", "gw", "show"});
        EXPECT_EQ(save.exitCode, c.exitCode) << c.faults[1] << save.err;
        EXPECT_EQ(show.exitCode, c.exitCode) << c.faults[1] << show.err;
        if (c.exitCode == CCliSession::kExitOk) {
            EXPECT_NE(FileText(file).find("Broadcast = " + std::to_string(kBroadcastDelayHeld) + " [ms]"), std::string::npos)
                << FileText(file);
            continue;
        }
        EXPECT_FALSE(std::filesystem::exists(file));
        EXPECT_NE(save.err.find("could not read Broadcast"), std::string::npos) << save.err;
        EXPECT_EQ(show.out, "");
    }
}

// Replies later than the search's probe timeout: a late answer at one speed is never taken for
// the answer at the next, so the search settles on the bus' own speed.
TEST_F(CliBusFaultsTest, LateRepliesNeverAnswerTheNextProbe)
{
    for (const char *baud : {"115200", "57600"}) {
        Restart({"--fault", "delay=40", "--baud", baud});
        const CliRun run = Run({"scan"});
        EXPECT_EQ(run.exitCode, CCliSession::kExitOk) << baud << run.err;
        EXPECT_NE(run.out.find(std::string("speed ") + baud + "\n"), std::string::npos) << baud << '\n' << run.out;
    }
}

// A parameter the controller really refuses stays refused although a refusal is asked again
// (the spoiled look-alike is the backup's case above): named, exit 1.
TEST_F(CliBusFaultsTest, RefusalThatRepeatsIsSaid)
{
    StartSim({"--refuse-read", "1:15"});
    const CliRun get = Run({"--lang", "2", "param", "get", "1", "15"});
    EXPECT_EQ(get.exitCode, CCliSession::kExitFailure) << get.out << get.err;
    EXPECT_NE(get.err.find("parameter 15: refused by the device"), std::string::npos) << get.err;
    EXPECT_EQ(get.out, "");
}

// An older unit without the input-mode table takes back its own saved file (exit 0); a file
// that asks it for another input mode names the modes as not taken.
TEST_F(CliBusFaultsTest, OlderUnitTakesItsOwnFileBack)
{
    StartSim({"--unit-without-tables"});
    const std::filesystem::path saved = TempFile("older.dat");
    ASSERT_EQ(Run({"--lang", "2", "gw", "save", saved.string()}).exitCode, CCliSession::kExitOk);
    const CliRun own = Run({"--lang", "2", "gw", "load", saved.string()});
    EXPECT_EQ(own.exitCode, CCliSession::kExitOk) << own.err;
    EXPECT_EQ(own.err.find("did not take"), std::string::npos) << own.err;

    std::string text = FileText(saved);
    const size_t mode = text.find("025.  InputMode ID:0 = I/O mode");
    ASSERT_NE(mode, std::string::npos) << text;
    text.replace(text.find("I/O mode", mode), 8, "Full mode");
    const std::filesystem::path other = TempFile("other.dat");
    std::ofstream(other, std::ios::binary) << text;
    const CliRun load = Run({"--lang", "2", "gw", "load", other.string()});
    EXPECT_EQ(load.exitCode, CCliSession::kExitFailure) << load.err;
    EXPECT_NE(load.err.find("the unit did not take Input modes"), std::string::npos) << load.err;
}

} // namespace
} // namespace kvl::cli
