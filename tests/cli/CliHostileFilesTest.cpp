// kvlctl fed files that are no files or only part of one, against the simulated bus: a link to
// a device, a FIFO, a folder and a file past any real size are refused at once by every command
// that loads a file, before the port is opened; a parameter file or point-table CSV cut short
// and an empty parameter file write nothing and say why; values out of a parameter's range are
// each named.
#include "CliFixture.h"

#include <sys/stat.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "cli/CCliSession.h"
#include "config/CInputFile.h"
#include "sim/AxisDevice.h"

namespace kvl::cli {
namespace {

namespace fs = std::filesystem;

std::string FileText(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class CliHostileFilesTest : public CliFixture {
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        StartSim();
    }
    // A copy of `from` with only its first `bytes` bytes.
    fs::path Cut(const fs::path &from, size_t bytes, const std::string &name)
    {
        const fs::path path = TempFile(name);
        std::ofstream(path, std::ios::binary) << FileText(from).substr(0, bytes);
        return path;
    }
    size_t WritesTo(uint8_t address) const
    {
        size_t writes = 0;
        for (const auto &request : m_sim->WritesReceived())
            writes += request.address == address ? 1 : 0;
        return writes;
    }
};

TEST_F(CliHostileFilesTest, SpecialFilesAreRefusedBeforeTheBusIsOpened)
{
    const fs::path toZero = TempFile("zero.dat");
    fs::create_symlink("/dev/zero", toZero);
    const fs::path fifo = TempFile("fifo.dat");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path folder = TempFile("folder.dat");
    fs::create_directory(folder);
    const fs::path huge = TempFile("huge.dat");
    std::ofstream(huge, std::ios::binary).put('x');
    fs::resize_file(huge, CInputFile::kMaxBytes + 1);
    struct File {
        fs::path path;
        const char *said;
    };
    const File files[] = {
        {toZero, "it is a character device, not a regular file"},
        {fifo, "it is a FIFO, not a regular file"},
        {folder, "it is a folder, not a regular file"},
        {huge, "it is larger than 16 MiB"},
    };
    const std::vector<std::vector<std::string>> commands{
        {"param", "load", "1"}, {"points", "write", "1"}, {"points", "write", "1", "--force"}, {"gw", "load"}};
    for (const File &file : files) {
        for (std::vector<std::string> words : commands) {
            const std::string name = words[0] + ' ' + words[1] + ' ' + file.path.filename().string();
            words.insert(words.begin() + (words[0] == "gw" ? 2 : 3), file.path.string());
            m_sim->ClearCommandsReceived();
            const CliRun run = Run(words);
            EXPECT_EQ(run.exitCode, CCliSession::kExitFailure) << name;
            EXPECT_NE(run.err.find("cannot load " + file.path.string() + ": " + file.said), std::string::npos)
                << name << '\n' << run.err;
            EXPECT_TRUE(m_sim->RequestLog().empty()) << name;
        }
    }
    // Nothing was left holding the port.
    EXPECT_EQ(Run({"scan"}).exitCode, CCliSession::kExitOk);
}

// A parameter file or point-table CSV that ends in the middle of a line was cut short: nothing
// is written and the line is named; an empty parameter file is said to be empty.
TEST_F(CliHostileFilesTest, FilesCutShortOrEmptyWriteNothing)
{
    const fs::path dat = TempFile("axis1.dat");
    const fs::path csv = TempFile("axis1.csv");
    ASSERT_EQ(Run({"param", "save", "1", dat.string()}).exitCode, CCliSession::kExitOk);
    ASSERT_EQ(Run({"points", "read", "1", csv.string()}).exitCode, CCliSession::kExitOk);
    const std::string datText = FileText(dat);
    // Cut inside the value of a parameter line some lines down.
    const size_t datCut = datText.find(" = ", datText.find("\n008.")) + 4;
    const fs::path cutDat = Cut(dat, datCut, "cut.dat");
    const std::string csvText = FileText(csv);
    const fs::path cutCsv = Cut(csv, csvText.find('\n', csvText.find('\n') + 1) + 6, "cut.csv");
    const fs::path empty = TempFile("empty.dat");
    std::ofstream(empty).flush();
    struct Case {
        std::vector<std::string> words;
        const char *said;
    };
    const Case cases[] = {
        {{"param", "load", "1", cutDat.string(), "--yes"}, "the file ends in the middle of this line"},
        {{"points", "write", "1", cutCsv.string(), "--yes"}, "the file ends in the middle of this line"},
        {{"points", "write", "1", cutCsv.string(), "--force", "--yes"}, "the file ends in the middle of this line"},
        {{"param", "load", "1", empty.string(), "--yes"}, "not a parameter file (it is empty)"},
    };
    for (const Case &c : cases) {
        m_sim->ClearCommandsReceived();
        const CliRun run = Run(c.words);
        EXPECT_EQ(run.exitCode, CCliSession::kExitFailure) << c.words[3] << '\n' << run.out << run.err;
        EXPECT_NE(run.err.find(c.said), std::string::npos) << c.words[3] << '\n' << run.err;
        EXPECT_EQ(WritesTo(1), 0u) << c.words[3];
    }
}

// A parameter file holding values below the tool's minimum (the backup of a controller that
// holds 0 there) is refused, each such value named; nothing is limited and written silently.
TEST_F(CliHostileFilesTest, ValuesOutOfRangeAreEachNamedAndNothingIsWritten)
{
    constexpr int kHomeReturnSpeed = 7;
    constexpr int kHomePushCurrent = 14;
    m_sim->WithBus([](sim::SimBus &bus) {
        bus.Axis(0)->Parameters().Set(kHomeReturnSpeed, 0);
        bus.Axis(0)->Parameters().Set(kHomePushCurrent, 0);
    });
    const fs::path folder = TempFile("saved");
    ASSERT_EQ(Run({"backup", folder.string()}).exitCode, CCliSession::kExitOk);
    m_sim->ClearCommandsReceived();
    const CliRun run = Run({"--lang", "2", "param", "load", "0", (folder / "axis00/parameters.dat").string(), "--yes"});
    EXPECT_EQ(run.exitCode, CCliSession::kExitFailure) << run.out << run.err;
    for (const char *line : {"no value the parameter takes: 007.", "no value the parameter takes: 014."})
        EXPECT_NE(run.err.find(line), std::string::npos) << line << '\n' << run.err;
    EXPECT_EQ(WritesTo(0), 0u);
}

// A backup folder is read only by its own checksummed files: a file whose line was taken out of
// the manifest, a file that is a link to somewhere else and a duplicated device line each
// refuse the folder, saying what is wrong, before the bus is touched.
TEST_F(CliHostileFilesTest, BackupFolderIsReadOnlyByItsOwnCheckedFiles)
{
    const fs::path folder = TempFile("saved");
    ASSERT_EQ(Run({"backup", folder.string()}).exitCode, CCliSession::kExitOk);
    const std::string manifest = FileText(folder / "manifest.txt");
    const fs::path outside = TempFile("outside.txt");
    std::ofstream(outside) << FileText(folder / "axis01/parameters.txt");
    struct Case {
        const char *name;
        std::function<void()> spoil;
        std::string said;
    };
    const auto rewrite = [&](const std::string &from, const std::string &to) {
        std::string text = manifest;
        const size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
        std::ofstream(folder / "manifest.txt", std::ios::binary) << text;
    };
    const size_t fileLine = manifest.find("file axis01/parameters.txt ");
    const std::string wholeFileLine = manifest.substr(fileLine, manifest.find('\n', fileLine) + 1 - fileLine);
    const Case cases[] = {
        {"file line taken out", [&] { rewrite(wholeFileLine, ""); },
         "names no checksum for axis01/parameters.txt"},
        {"device given twice", [&] { rewrite("device 0 MDA\n", "device 0 MDA\ndevice 0 MDC\n"); },
         "device 0 is given twice"},
        {"a name leading out", [&] { rewrite("file axis01/parameters.txt", "file ../outside.txt"); },
         "the file name ../outside.txt leads out of the backup folder"},
        {"a link to a file outside", [&] {
             std::ofstream(folder / "manifest.txt", std::ios::binary) << manifest;
             fs::remove(folder / "axis01/parameters.txt");
             fs::create_symlink(outside, folder / "axis01/parameters.txt");
         },
         "holds a symbolic link, not a file of its own: axis01/parameters.txt"},
    };
    for (const Case &c : cases) {
        c.spoil();
        m_sim->ClearCommandsReceived();
        const CliRun run = Run({"diff", folder.string()});
        EXPECT_EQ(run.exitCode, CCliSession::kExitFailure) << c.name;
        EXPECT_NE(run.err.find(c.said), std::string::npos) << c.name << '\n' << run.err;
        EXPECT_TRUE(m_sim->RequestLog().empty()) << c.name;
    }
}

// A backup killed while writing leaves a temporary file beside its target: the next backup into
// the folder takes it away, and leaves other files alone.
TEST_F(CliHostileFilesTest, NextBackupRemovesTheTemporaryFilesOfAKilledOne)
{
    const fs::path folder = TempFile("saved");
    fs::create_directories(folder / "axis07");
    const fs::path strays[] = {folder / "axis07/.parameters.txt.a1B2c3", folder / ".manifest.txt.Zz9Yy8",
                               folder / "axis01/.points.csv.q0w9e8"};
    const fs::path kept = folder / "axis07/notes.txt";
    fs::create_directories(folder / "axis01");
    for (const fs::path &stray : strays)
        std::ofstream(stray) << "partial";
    std::ofstream(kept) << "mine";
    ASSERT_EQ(Run({"backup", folder.string()}).exitCode, CCliSession::kExitOk);
    for (const fs::path &stray : strays)
        EXPECT_FALSE(fs::exists(stray)) << stray;
    EXPECT_TRUE(fs::exists(kept));
}

} // namespace
} // namespace kvl::cli
