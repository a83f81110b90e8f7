// kvlctl backup, diff and restore against the simulated demo bus: a backup taken, the bus
// changed behind the tool's back (parameters, steps, a name, a gateway station), the compare
// naming exactly those changes, the restore putting them back (a dry run writing nothing), a
// controller swapped for a fresh one of the same model or of another, and a controller that
// refuses one parameter write.
#include "CliFixture.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <tuple>

#include <nlohmann/json.hpp>

#include "backup/CBackupManifest.h"
#include "cli/CCliSession.h"
#include "gateway/CGatewayField.h"
#include "protocol/CommandCodes.h"
#include "protocol/Frame.h"
#include "sim/AxisDevice.h"
#include "sim/GatewayDevice.h"
#include "sim/ModelInfo.h"
#include "sim/PointTable.h"

namespace kvl::cli {
namespace {

using nlohmann::json;
using Item = std::tuple<int, std::string, int>;   // address, kind, number
constexpr int kGw = frame::kGatewayAddress;
constexpr int kJogSpeed = 16;

// A defined ABS step at `positionMm`, jumping to wire step `jump` (0: the end).
sim::StepRecord Step(int wireStep, double positionMm, int jump)
{
    sim::StepRecord record;
    record.number = static_cast<int16_t>(wireStep);
    record.mode = 1;
    record.position = static_cast<int32_t>(positionMm * 10000);
    record.speed = 10000;
    record.acc = 30;
    record.dcc = 30;
    record.positionRange = 1000;
    record.repeat = 1;
    record.jump = static_cast<int16_t>(jump);
    return record;
}

class CliBackupTest : public CliFixture {
protected:
    // The demo bus with a few steps in the tables of axes 1 and 3, backed up into "saved".
    void StartAndBackUp(const std::vector<std::string> &options = {})
    {
        StartSim(options);
        m_sim->WithBus([](sim::SimBus &bus) {
            for (int s = 1; s <= 4; ++s)
                bus.Axis(1)->Table().SetStep(s, Step(s, 10.0 * s, s < 4 ? s + 1 : 0));
            bus.Axis(3)->Table().SetStep(1, Step(1, 5.5, 0));
        });
        const CliRun run = Run({"backup", Folder()});
        ASSERT_EQ(run.exitCode, 0) << run.err;
    }
    std::string Folder() const { return TempFile("saved").string(); }

    int32_t Parameter(int axis, int number)
    {
        return m_sim->WithBus([&](sim::SimBus &bus) { return bus.Axis(static_cast<uint8_t>(axis))->Parameters().Get(number); });
    }
    void SetParameter(int axis, int number, int32_t value)
    {
        const bool set = m_sim->WithBus(
            [&](sim::SimBus &bus) { return bus.Axis(static_cast<uint8_t>(axis))->Parameters().Set(number, value); });
        ASSERT_TRUE(set) << "axis " << axis << " parameter " << number << " = " << value;
    }
    // Parameters, steps, a name and a gateway station changed behind the tool's back; the items
    // a compare must name.
    std::set<Item> ChangeTheBus()
    {
        SetParameter(1, kJogSpeed, Parameter(1, kJogSpeed) + 7);
        SetParameter(4, kJogSpeed, Parameter(4, kJogSpeed) + 3);
        m_sim->WithBus([](sim::SimBus &bus) {
            bus.Axis(1)->Table().SetStep(3, Step(3, 33.25, 4));      // step 2 of the table changed
            bus.Axis(3)->Table().SetStep(6, Step(6, 1.0, 0));        // step 5 added
            bus.Axis(0)->SetName("RENAMED");
            auto stations = bus.Gateway()->DeviceList();
            stations[5] = 0;                                         // station 5 taken off
            bus.Gateway()->SetDeviceList(stations);
        });
        return {{1, "parameter", kJogSpeed}, {4, "parameter", kJogSpeed}, {1, "step", 2}, {3, "step", 5},
                {0, "name", 0}, {kGw, "gateway", CGatewayField::kDevices}};
    }
    // The items of `diff --json`.
    std::set<Item> DiffItems(const CliRun &run)
    {
        std::set<Item> items;
        const json document = json::parse(run.out);
        for (const json &d : document.at("differences"))
            items.insert({d.at("address").get<int>(), d.at("kind").get<std::string>(), d.at("number").get<int>()});
        return items;
    }
    void Replace(uint8_t address, const std::string &model)
    {
        const bool replaced = m_sim->WithBus([&](sim::SimBus &bus) {
            return bus.Replace(std::make_unique<sim::AxisDevice>(address, *sim::FindModel(model), "2105", "FRESH"));
        });
        ASSERT_TRUE(replaced);
    }
    // Replaces the line of `file` (in the backup) that begins with `start` and gives the manifest
    // the file's new checksum, as a hand that edits a backup would.
    void EditAndReseal(const std::string &file, const std::string &start, const std::string &line)
    {
        const auto path = TempFile("saved") / file;
        std::string text = Read(path);
        const size_t at = text.find(start);
        ASSERT_NE(at, std::string::npos) << start;
        text.replace(at, text.find('\n', at) - at, line);
        std::ofstream(path, std::ios::binary) << text;
        const auto manifestPath = TempFile("saved") / "manifest.txt";
        std::string manifest = Read(manifestPath);
        const size_t entry = manifest.find("file " + file + ' ');
        ASSERT_NE(entry, std::string::npos) << file;
        char crc[9];
        std::snprintf(crc, sizeof crc, "%08x", CBackupManifest::Crc32(text));
        manifest.replace(entry + 6 + file.size(), 8, crc);
        std::ofstream(manifestPath, std::ios::binary) << manifest;
    }
    static std::string Read(const std::filesystem::path &path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }
    std::vector<sim::BusRunner::LoggedRequest> WritesTo(int address) const
    {
        std::vector<sim::BusRunner::LoggedRequest> writes;
        for (auto &request : m_sim->WritesReceived())
            if (request.address == address)
                writes.push_back(request);
        return writes;
    }
};

TEST_F(CliBackupTest, BackupFolderHoldsEveryDeviceInTheToolsOwnFormats)
{
    StartAndBackUp();
    const std::filesystem::path folder = Folder();
    std::ifstream manifestFile(folder / "manifest.txt");
    std::stringstream manifest;
    manifest << manifestFile.rdbuf();
    EXPECT_NE(manifest.str().find("speed 115200\n"), std::string::npos) << manifest.str();
    EXPECT_NE(manifest.str().find("device 241 "), std::string::npos) << manifest.str();
    for (int a = 0; a < 6; ++a) {
        const std::string dir = "axis0" + std::to_string(a) + "/";
        for (const char *file : {"identity.txt", "parameters.txt", "parameters.dat", "points.csv"}) {
            EXPECT_TRUE(std::filesystem::exists(folder / (dir + file))) << dir << file;
            EXPECT_NE(manifest.str().find("file " + dir + file + ' '), std::string::npos) << dir << file;
        }
    }
    EXPECT_TRUE(std::filesystem::exists(folder / "gateway/unit.dat"));
    // Axis 1's table holds its four steps; the parameter file names the model.
    std::ifstream csv(folder / "axis01/points.csv");
    int lines = 0;
    for (std::string line; std::getline(csv, line);)
        ++lines;
    EXPECT_EQ(lines, 5);   // header and four steps
    std::ifstream raw(folder / "axis01/parameters.txt");
    std::stringstream rawText;
    rawText << raw.rdbuf();
    EXPECT_NE(rawText.str().find("\n016 " + std::to_string(Parameter(1, kJogSpeed))), std::string::npos);

    // Nothing changed: the compare finds nothing.
    const CliRun diff = Run({"diff", Folder()});
    EXPECT_EQ(diff.exitCode, 0) << diff.out << diff.err;
}

TEST_F(CliBackupTest, DiffNamesExactlyTheChangesAndRestorePutsThemBack)
{
    StartAndBackUp();
    const std::set<Item> changed = ChangeTheBus();
    const int32_t jogSpeed = Parameter(1, kJogSpeed) - 7;

    CliRun diff = Run({"--json", "diff", Folder()});
    ASSERT_EQ(diff.exitCode, 3) << diff.out << diff.err;
    EXPECT_EQ(DiffItems(diff), changed) << diff.out;
    diff = Run({"diff", Folder()});
    EXPECT_EQ(diff.exitCode, 3);
    EXPECT_NE(diff.out.find("axis 0 (MDA)\n  name: backup DEMO MDA, bus RENAMED"), std::string::npos) << diff.out;

    const CliRun restore = Run({"--yes", "restore", Folder()});
    EXPECT_EQ(restore.exitCode, 0) << restore.out << restore.err;
    EXPECT_EQ(Parameter(1, kJogSpeed), jogSpeed);
    EXPECT_EQ(m_sim->WithBus([](sim::SimBus &bus) { return bus.Axis(0)->Name(); }), "DEMO MDA");
    EXPECT_FALSE(m_sim->WithBus([](sim::SimBus &bus) { return bus.Axis(3)->Table().Step(6).Defined(); }));

    diff = Run({"diff", Folder()});
    EXPECT_EQ(diff.exitCode, 0) << diff.out << diff.err;
}

TEST_F(CliBackupTest, DryRunListsTheWritesAndSendsNone)
{
    StartAndBackUp();
    const std::set<Item> changed = ChangeTheBus();
    m_sim->ClearCommandsReceived();
    const CliRun dry = Run({"--json", "restore", Folder(), "--dry-run"});
    ASSERT_EQ(dry.exitCode, 0) << dry.out << dry.err;
    EXPECT_FALSE(m_sim->RequestLog().empty());
    EXPECT_TRUE(m_sim->WritesReceived().empty());
    std::set<Item> planned;
    const json document = json::parse(dry.out);
    for (const json &device : document.at("devices"))
        for (const json &write : device.at("writes"))
            planned.insert({device.at("address").get<int>(), write.at("kind").get<std::string>(),
                            write.at("number").get<int>()});
    EXPECT_EQ(planned, changed) << dry.out;
    EXPECT_EQ(Run({"diff", Folder()}).exitCode, 3);
}

TEST_F(CliBackupTest, RestoreOfChosenAxesLeavesTheOthers)
{
    StartAndBackUp();
    ChangeTheBus();
    const CliRun restore = Run({"--yes", "restore", Folder(), "--axis", "1", "--axis", "0"});
    ASSERT_EQ(restore.exitCode, 0) << restore.out << restore.err;
    const CliRun diff = Run({"--json", "diff", Folder()});
    EXPECT_EQ(diff.exitCode, 3);
    EXPECT_EQ(DiffItems(diff), (std::set<Item>{{4, "parameter", kJogSpeed}, {3, "step", 5},
                                               {kGw, "gateway", CGatewayField::kDevices}}))
        << diff.out;
    EXPECT_EQ(Run({"restore", Folder(), "--axis", "9"}).exitCode, CCliSession::kExitFailure);
    EXPECT_EQ(Run({"restore", Folder(), "--axis", "x"}).exitCode, CCliSession::kExitUsage);
}

TEST_F(CliBackupTest, FreshControllerOfTheSameModelIsRestoredCompletely)
{
    StartAndBackUp();
    // A controller that held a full table and other values than a fresh one holds.
    const int32_t before = Parameter(1, kJogSpeed);
    Replace(1, "MDB");
    ASSERT_NE(m_sim->WithBus([](sim::SimBus &bus) { return bus.Axis(1)->Table().Step(1).Defined(); }), true);
    SetParameter(1, kJogSpeed, before + 11);   // the fresh one's own default differs from the backup's
    const CliRun diff = Run({"diff", Folder()});
    EXPECT_EQ(diff.exitCode, 3);

    const CliRun restore = Run({"--yes", "restore", Folder(), "--axis", "1"});
    ASSERT_EQ(restore.exitCode, 0) << restore.out << restore.err;
    EXPECT_NE(restore.out.find("axis 1 (MDB): restored"), std::string::npos) << restore.out;
    EXPECT_EQ(Parameter(1, kJogSpeed), before);
    EXPECT_EQ(Run({"diff", Folder()}).exitCode, 0);
}

TEST_F(CliBackupTest, ControllerOfAnotherModelIsRefusedAndLeftAlone)
{
    StartAndBackUp();
    Replace(2, "MDA");   // the backup holds an MDC at address 2
    const CliRun diff = Run({"--json", "diff", Folder()});
    EXPECT_EQ(diff.exitCode, 3);
    EXPECT_EQ(DiffItems(diff), (std::set<Item>{{2, "model", 0}})) << diff.out;

    m_sim->ClearCommandsReceived();
    const CliRun restore = Run({"--yes", "restore", Folder()});
    EXPECT_EQ(restore.exitCode, CCliSession::kExitFailure);
    EXPECT_NE(restore.err.find("kvlctl: axis 2 (MDC): another model: refused"), std::string::npos) << restore.err;
    EXPECT_NE(restore.out.find("\nrestore: 0 values written and read back, 1 device not restored\n"), std::string::npos)
        << restore.out;
    EXPECT_TRUE(WritesTo(2).empty());
}

TEST_F(CliBackupTest, RefusedParameterWriteIsNamedAndEverythingElseRestored)
{
    StartAndBackUp({"--refuse-write", "1:" + std::to_string(kJogSpeed)});
    ChangeTheBus();
    const CliRun restore = Run({"--yes", "restore", Folder()});
    EXPECT_EQ(restore.exitCode, CCliSession::kExitFailure);
    EXPECT_NE(restore.err.find("kvlctl: axis 1: parameter 16 "), std::string::npos) << restore.err;
    EXPECT_NE(restore.err.find("not written"), std::string::npos) << restore.err;
    EXPECT_NE(restore.out.find("axis 1 (MDB): not restored completely"), std::string::npos) << restore.out;
    EXPECT_NE(restore.err.find("kvlctl: axis 1 (MDB): not restored completely"), std::string::npos) << restore.err;

    const CliRun diff = Run({"--json", "diff", Folder()});
    EXPECT_EQ(diff.exitCode, 3);
    EXPECT_EQ(DiffItems(diff), (std::set<Item>{{1, "parameter", kJogSpeed}})) << diff.out;
}

TEST_F(CliBackupTest, RestoreSwitchesTheServoOffAndWritesTheOperationTypeBeforeTheSteps)
{
    constexpr int kOperationType = 36;
    StartAndBackUp();
    // Another operation type (another table size) and another table on axis 1, its servo on.
    const int32_t saved = Parameter(1, kOperationType);
    int32_t other = -1;
    for (int32_t raw = 0; raw <= 5 && other < 0; ++raw)
        if (raw != saved && m_sim->WithBus([raw](sim::SimBus &bus) { return bus.Axis(1)->Parameters().Set(36, raw); }))
            other = raw;
    ASSERT_GE(other, 0) << "the MDB takes a second operation type";
    m_sim->WithBus([](sim::SimBus &bus) {
        bus.Axis(1)->Table().Clear();
        bus.Axis(1)->Table().SetStep(1, Step(1, 99.0, 0));
    });
    ASSERT_EQ(Run({"servo", "1", "on"}).exitCode, 0);

    // A dry run says what a restore would do about the servo, and does nothing.
    m_sim->ClearCommandsReceived();
    CliRun restore = Run({"restore", Folder(), "--axis", "1", "--dry-run"});
    EXPECT_EQ(restore.exitCode, 0) << restore.err;
    EXPECT_NE(restore.out.find("axis 1 (MDB): would be written (the servo is on: a restore would switch it off first)"),
              std::string::npos)
        << restore.out;
    EXPECT_TRUE(WritesTo(1).empty());

    // Nobody to answer the servo question: nothing is written to the axis.
    restore = Run({"restore", Folder(), "--axis", "1"});
    EXPECT_EQ(restore.exitCode, CCliSession::kExitFailure);
    EXPECT_NE(restore.err.find("kvlctl: axis 1 (MDB): the servo is on: nothing written"), std::string::npos)
        << restore.err;
    EXPECT_TRUE(WritesTo(1).empty());

    m_sim->ClearCommandsReceived();
    restore = Run({"--yes", "restore", Folder(), "--axis", "1"});
    ASSERT_EQ(restore.exitCode, 0) << restore.out << restore.err;
    std::vector<uint8_t> order;
    for (const auto &write : WritesTo(1)) {
        const bool operationType = write.command == cmd::kCmdWriteParameter && write.payload.size() >= 2 &&
                                   write.payload[0] == kOperationType && write.payload[1] == 0;
        order.push_back(operationType ? 0x36 : write.command);
    }
    ASSERT_FALSE(order.empty());
    EXPECT_EQ(order.front(), cmd::kCmdServoOff);
    const auto type = std::find(order.begin(), order.end(), 0x36);
    const auto firstStep = std::find(order.begin(), order.end(), cmd::kCmdWriteStep);
    ASSERT_NE(type, order.end());
    ASSERT_NE(firstStep, order.end());
    EXPECT_LT(type, firstStep);
    EXPECT_EQ(std::find(firstStep, order.end(), cmd::kCmdWriteParameter), order.end()) << "a parameter after a step";
    EXPECT_EQ(Parameter(1, kOperationType), saved);
    EXPECT_EQ(Run({"diff", Folder()}).exitCode, 0);
}

TEST_F(CliBackupTest, ControllerInAutomaticModeIsRefusedAndLeftAlone)
{
    StartAndBackUp();
    ChangeTheBus();
    m_sim->WithBus([](sim::SimBus &bus) { bus.Axis(1)->SetAutomaticMode(true); });
    m_sim->ClearCommandsReceived();
    const CliRun restore = Run({"--yes", "restore", Folder()});
    EXPECT_EQ(restore.exitCode, CCliSession::kExitFailure);
    EXPECT_NE(restore.err.find("kvlctl: axis 1 (MDB): runs in automatic mode: nothing written"), std::string::npos)
        << restore.err;
    EXPECT_TRUE(WritesTo(1).empty());
    // The others were restored.
    const CliRun diff = Run({"--json", "diff", Folder()});
    EXPECT_EQ(DiffItems(diff), (std::set<Item>{{1, "parameter", kJogSpeed}, {1, "step", 2}})) << diff.out;
}

TEST_F(CliBackupTest, ProgressNamesTheDeviceAndItsPartOnATerminal)
{
    StartSim();
    m_errIsTerminal = true;
    const CliRun run = Run({"backup", Folder()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    for (const char *line : {"device 1 of 7 (gw)", "device 3 of 7 (axis 1): parameters 1 of ",
                             "device 7 of 7 (axis 5): parameters", "device 3 of 7 (axis 1): steps"})
        EXPECT_NE(run.err.find(line), std::string::npos) << line;
    EXPECT_NE(run.out.find("backed up 7 devices at 115200 bit/s"), std::string::npos) << run.out;
}

TEST_F(CliBackupTest, DamagedBackupIsRefusedBeforeTheBusIsTouched)
{
    StartAndBackUp();
    std::ofstream(TempFile("saved") / "axis01/parameters.txt", std::ios::app) << "016 1\n";
    m_sim->ClearCommandsReceived();
    for (const char *command : {"diff", "restore"}) {
        const CliRun run = Run({command, Folder()});
        EXPECT_EQ(run.exitCode, CCliSession::kExitFailure) << command;
        EXPECT_NE(run.err.find("axis01/parameters.txt"), std::string::npos) << run.err;
    }
    EXPECT_TRUE(m_sim->RequestLog().empty());
}

// An edited backup whose checksums were made anew is read as strictly as any file: a value that
// is no value of its setting refuses the folder before the bus is touched.
TEST_F(CliBackupTest, EditedValuesThatAreNoValuesRefuseTheBackup)
{
    StartAndBackUp();
    const struct {
        const char *file;
        const char *start;
        const char *line;
    } edits[] = {
        {"gateway/unit.dat", "020.", "020.  Broadcast = 99999999999 [ms]\r"},
        {"gateway/unit.dat", "019.", "019.  Poll interval [ms] = nan [ms]\r"},
        {"axis01/points.csv", "0,", "0,ABS,nan,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E,\r"},
        {"axis01/parameters.txt", "016 ", "016 99999999999"},
    };
    for (const auto &edit : edits) {
        SCOPED_TRACE(edit.line);
        const std::string saved = Read(TempFile("saved") / edit.file);
        const std::string manifest = Read(TempFile("saved") / "manifest.txt");
        EditAndReseal(edit.file, edit.start, edit.line);
        m_sim->ClearCommandsReceived();
        for (const char *command : {"diff", "restore"}) {
            const CliRun run = Run({"--yes", command, Folder()});
            EXPECT_EQ(run.exitCode, CCliSession::kExitFailure) << command << run.out;
            EXPECT_NE(run.err.find(edit.file), std::string::npos) << run.err;
        }
        EXPECT_TRUE(m_sim->WritesReceived().empty());
        std::ofstream(TempFile("saved") / edit.file, std::ios::binary) << saved;
        std::ofstream(TempFile("saved") / "manifest.txt", std::ios::binary) << manifest;
    }
}

// A raw value outside the parameter's range is shown as it is, since it is what a restore sends.
TEST_F(CliBackupTest, WhatIsShownOfAParameterIsTheRawValueSent)
{
    StartAndBackUp();
    EditAndReseal("axis01/parameters.txt", "016 ", "016 -5");
    const CliRun diff = Run({"diff", Folder()});
    EXPECT_EQ(diff.exitCode, 3) << diff.out << diff.err;
    EXPECT_NE(diff.out.find("backup -5 mm/s"), std::string::npos) << diff.out;
    EXPECT_EQ(diff.out.find("backup 1 mm/s"), std::string::npos) << diff.out;
}

// A backup edited to values that read well but lie outside what the controller takes: the
// restore sends none of them, names each and ends non-zero; what is in range is restored.
TEST_F(CliBackupTest, ARestoreSendsNothingOutsideItsRangeAndNamesIt)
{
    StartAndBackUp();
    EditAndReseal("axis01/parameters.txt", "016 ", "016 -5");
    EditAndReseal("axis01/points.csv", "1,ABS,", "1,ABS,9999.999,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E,\r");
    const int32_t besideInBackup = Parameter(1, kJogSpeed + 1);
    SetParameter(1, kJogSpeed, 77);
    SetParameter(1, kJogSpeed + 1, besideInBackup + 1);
    const CliRun run = Run({"--yes", "restore", Folder()});
    EXPECT_EQ(run.exitCode, CCliSession::kExitFailure) << run.out << run.err;
    EXPECT_NE(run.err.find("axis 1, parameter 16: -5 is outside 1 to"), std::string::npos) << run.out << "\n--\n" << run.err;
    EXPECT_NE(run.err.find("axis 1, step 1, position: 9999.9990 is outside"), std::string::npos) << run.err;
    for (const auto &request : WritesTo(1)) {
        if (request.command == cmd::kCmdWriteParameter) {
            EXPECT_NE(frame::GetU16(request.payload.data()), kJogSpeed);
        }
        EXPECT_NE(request.command, cmd::kCmdWriteStep) << "a step of 9999.999 mm went out";
    }
    EXPECT_EQ(Parameter(1, kJogSpeed), 77);
    // The parameter beside it was in range and is back as the backup holds it.
    EXPECT_EQ(Parameter(1, kJogSpeed + 1), besideInBackup);
}

} // namespace
} // namespace kvl::cli
