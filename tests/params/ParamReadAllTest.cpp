// The bulk read through the command layer against a fake controller: values into both lists and
// the store, retries with the communication log, failures that keep old values, notices,
// progress and the polling switch.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "FakeBus.h"
#include "ParamFixture.h"
#include "config/CIniEx.h"
#include "config/CAppValues.h"
#include "link/ResultCode.h"
#include "params/CParamReadAll.h"
#include "protocol/CServoCommands.h"
#include "protocol/CommandCodes.h"

namespace kvl::params {
namespace {

const ParamDate kLogDate{2026, 12, 10};

class ParamReadAllTest : public testing::Test {
protected:
    void SetUp() override
    {
        bus.values = test::MdbRawValues();
        bus.name = "GRIPPER";
        test::WriteBytes(dir.File("mdb.ini"), test::MdbDefinitions());
        ASSERT_TRUE(store.Open(dir.File("mdb.ini"), false, false, true));
        std::filesystem::create_directory(dir.Path() / "log");
    }

    ReadAllReport Read()
    {
        ReadAllOptions options;
        options.store = &store;
        options.log = &log;
        options.values = &values;
        options.progress = [this](int done, int total) {
            progress.emplace_back(done, total);
            pollingDuringRead = values.pollingOn;
        };
        return CParamReadAll::Run(commands, target, lists, options);
    }

    std::string LogText() const { return test::ReadBytes(dir.File("log/20261210.log")); }

    test::TempDir dir;
    CAppValues values;
    test::FakeBus bus;
    CServoCommands commands{&bus};
    CIniEx store;
    ParamTarget target = test::MdbTarget();
    CParamList driver = test::LoadList(target);
    CParamListPair lists{driver};
    CCommErrorLog log{dir.Path().string(), [] { return kLogDate; }};
    std::vector<std::pair<int, int>> progress;
    bool pollingDuringRead = true;
};

TEST_F(ParamReadAllTest, EveryParameterGoesIntoBothListsAndTheStore)
{
    bus.values[12] = 9000;    // above the range 0..5000
    bus.values[31] = 1500;    // MDB: factor 1000
    bus.values[45] = 4000000; // the last of the 17 resolutions
    bus.values[36] = 2;
    bus.values[20] = 33;      // hidden at level 0, read all the same
    lists.File().At(12).SetIntValue(1);

    const ReadAllReport report = Read();
    EXPECT_TRUE(report.Complete());
    EXPECT_TRUE(report.message.Empty());
    EXPECT_EQ(report.outcomes.size(), 18u);
    for (const ParamOutcome &o : report.outcomes) {
        EXPECT_EQ(o.result, kResultOk) << o.number;
        EXPECT_EQ(o.attempts, 1) << o.number;
    }

    EXPECT_EQ(driver.At(12).IntValue(), 9000) << "the record holds the value as read";
    EXPECT_EQ(lists.File().At(12).IntValue(), 9000) << "the file column equals the driver's";
    EXPECT_DOUBLE_EQ(driver.At(31).RealValue(), 1.5);
    EXPECT_EQ(lists.File().At(45).SelectedIndex(), 16);
    EXPECT_EQ(driver.At(36).SelectedText().Bytes(), "Type 2");
    EXPECT_EQ(driver.At(20).IntValue(), 33);
    EXPECT_EQ(driver.At(22).IntValue(), 7);
    EXPECT_EQ(lists.File().At(100).TextValue().Bytes(), "GRIPPER");

    CIniEx saved;
    ASSERT_TRUE(saved.Open(dir.File("mdb.ini"), false, false, true));
    EXPECT_EQ(saved.GetString("12", "Value", ""), "5000") << "the stored text is limited";
    EXPECT_EQ(saved.GetString("31", "Value", ""), "1.50");
    EXPECT_EQ(saved.GetString("45", "Value", ""), "4000000");
    EXPECT_EQ(saved.GetString("36", "Value", ""), "Type 2");
    EXPECT_EQ(saved.GetString("100", "Value", ""), "GRIPPER");
    EXPECT_EQ(saved.GetString("1", "Value", ""), "400.00");

    const std::vector<ParamNotice> notices = {
        {ParamNotice::Kind::JogSpeedChanged, false, {}},
        {ParamNotice::Kind::FeedAmountChanged, false, {}},
        {ParamNotice::Kind::OperationTypeChanged, false, {}},
    };
    EXPECT_EQ(report.notices, notices);
    EXPECT_TRUE(LogText().empty());
}

TEST_F(ParamReadAllTest, ExchangesUseTheirTimeoutsInParameterOrder)
{
    Read();
    std::vector<int> numbers;
    for (const auto &r : bus.requests) {
        if (r.command == cmd::kCmdReadParameter) {
            numbers.push_back(r.number);
            EXPECT_EQ(r.timeoutMs, 200);
        } else if (r.command == cmd::kCmdReadDeviceType) {
            EXPECT_EQ(r.timeoutMs, 30);
        }
    }
    const std::vector<int> expected = {1,  2,  3,  4,  5,  9,   12,  16,  20,
                                       21, 22, 31, 36, 45, 102, 151, 182};
    EXPECT_EQ(numbers, expected) << "the text parameter 100 goes by ReadDeviceType";
    EXPECT_EQ(bus.Of(cmd::kCmdReadDeviceType).size(), 1u);
}

TEST_F(ParamReadAllTest, RetriesUpToTenTimesAndLogsEachFailedAttempt)
{
    struct Case {
        int failures;
        int attempts;
        bool ok;
    };
    const Case cases[] = {{0, 1, true}, {3, 4, true}, {9, 10, true}, {10, 10, false},
                          {25, 10, false}};
    for (const Case &c : cases) {
        std::filesystem::remove(dir.File("log/20261210.log"));
        bus.failuresLeft[16] = c.failures;
        lists.File().At(16).SetRealValue(55.5);
        const ReadAllReport report = Read();
        const ParamOutcome &outcome = report.outcomes[7];
        ASSERT_EQ(outcome.number, 16);
        EXPECT_EQ(outcome.attempts, c.attempts) << c.failures;
        EXPECT_EQ(outcome.result, c.ok ? kResultOk : kResultTimeout) << c.failures;
        EXPECT_EQ(report.failures, c.ok ? 0 : 1);

        std::string expectedLog;
        for (int i = 0; i < std::min(c.failures, CParamReadAll::kAttempts); ++i)
            expectedLog += "The last packet included an error(CODE : -202)!! \n\n";
        EXPECT_EQ(LogText(), expectedLog) << c.failures;
        if (c.ok) {
            EXPECT_DOUBLE_EQ(lists.File().At(16).RealValue(), 10.0);
            EXPECT_TRUE(report.message.Empty());
        } else {
            EXPECT_DOUBLE_EQ(driver.At(16).RealValue(), 10.0) << "old driver value kept";
            EXPECT_DOUBLE_EQ(lists.File().At(16).RealValue(), 55.5) << "old file value kept";
            EXPECT_EQ(report.message, (ParamMessage{"IDS_WARNMSG_READPARAM", "COMMON"}));
        }
    }
}

TEST_F(ParamReadAllTest, FailuresKeepOldValuesAndTheRestIsRead)
{
    bus.values.erase(45);      // never answers
    bus.values[36] = 9;        // an index the selection does not have
    bus.typeFailuresLeft = 10; // the name cannot be read
    bus.values[12] = 321;
    const ReadAllReport report = Read();

    EXPECT_EQ(report.failures, 3);
    EXPECT_FALSE(report.Complete());
    EXPECT_EQ(driver.At(45).SelectedText().Bytes(), "2500");
    EXPECT_EQ(driver.At(36).SelectedText().Bytes(), "Type 0");
    EXPECT_EQ(driver.At(100).TextValue().Bytes(), "AXIS");
    EXPECT_EQ(driver.At(12).IntValue(), 321);
    for (const ParamOutcome &o : report.outcomes) {
        if (o.number == 36) {
            EXPECT_EQ(o.result, kResultBadReply);
            EXPECT_EQ(o.attempts, 1) << "a value the record cannot take is not asked again";
        }
        if (o.number == 100) {
            EXPECT_EQ(o.attempts, 10);
        }
    }
    EXPECT_EQ(report.notices.size(), 2u) << "no operation-type notice without a change";
    CIniEx saved;
    ASSERT_TRUE(saved.Open(dir.File("mdb.ini"), false, false, true));
    EXPECT_EQ(saved.GetString("45", "Value", ""), "2500");
    EXPECT_EQ(saved.GetString("12", "Value", ""), "321");
}

TEST_F(ParamReadAllTest, ASilentControllerEndsTheRunAfterTimeoutsInARowWhenAsked)
{
    struct Case {
        int failuresOf16;  // reads of parameter 16 that time out first
        int silentAfter;
        bool silent;
        int readsOf16;
    };
    // 16 is the 8th parameter of the list; 10 failures are every attempt it gets.
    const Case cases[] = {{2, 3, false, 3}, {3, 3, true, 3}, {25, 3, true, 3}, {25, 0, false, 10}};
    for (const Case &c : cases) {
        bus.requests.clear();
        bus.failuresLeft[16] = c.failuresOf16;
        lists.File().At(17).SetRealValue(55.5);
        ReadAllOptions options;
        options.silentAfterTimeouts = c.silentAfter;
        const ReadAllReport report = CParamReadAll::Run(commands, target, lists, options);

        EXPECT_EQ(report.silent, c.silent) << c.failuresOf16 << " " << c.silentAfter;
        int readsOf16 = 0;
        for (const test::FakeBus::Request &r : bus.Of(cmd::kCmdReadParameter))
            readsOf16 += r.number == 16 ? 1 : 0;
        EXPECT_EQ(readsOf16, c.readsOf16) << c.failuresOf16 << " " << c.silentAfter;
        if (c.silent) {
            EXPECT_EQ(report.outcomes.size(), 8u) << "nothing asked after the silent parameter";
            EXPECT_DOUBLE_EQ(lists.File().At(17).RealValue(), 55.5) << "the rest keep their values";
        } else {
            EXPECT_EQ(report.outcomes.size(), 18u);
        }
        bus.failuresLeft.erase(16);
    }
}

TEST_F(ParamReadAllTest, ProgressCountsParametersAndPollingPausesMeanwhile)
{
    Read();
    ASSERT_EQ(progress.size(), 18u);
    for (std::size_t i = 0; i < progress.size(); ++i)
        EXPECT_EQ(progress[i], std::make_pair(static_cast<int>(i) + 1, 18));
    EXPECT_FALSE(pollingDuringRead);
    EXPECT_TRUE(values.pollingOn);
}

TEST_F(ParamReadAllTest, OldFirmwareStopsAtItsCountAndAMissingLogFolderIsHarmless)
{
    target.version = "1075"; // "1.07": old, 151 parameters
    std::filesystem::remove_all(dir.Path() / "log");
    bus.failuresLeft[1] = 2;
    const ReadAllReport report = Read();
    EXPECT_EQ(report.outcomes.back().number, 151);
    EXPECT_TRUE(report.Complete());
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "log"));
    EXPECT_EQ(CCommErrorLog::LineFor(-205), "The last packet included an error(CODE : -205)!! \n\n");
}

TEST_F(ParamReadAllTest, ASelectionOfNumbersReadsOnlyThoseTheAxisHas)
{
    ReadAllOptions options;
    options.only = {182, 31, 100, 7, 60, 250};
    bus.values[31] = 4000;
    const ReadAllReport report = CParamReadAll::Run(commands, target, lists, options);
    std::vector<int> numbers;
    for (const ParamOutcome &o : report.outcomes)
        numbers.push_back(o.number);
    EXPECT_EQ(numbers, (std::vector<int>{31, 100, 182}));
    EXPECT_DOUBLE_EQ(driver.At(31).RealValue(), 4.0);
    EXPECT_EQ(bus.Of(cmd::kCmdReadParameter).size(), 2u);
}

// Parameter 12's upper limit is this controller's parameter 102 as read: in both lists, with 102
// read along when only 12 is asked for, and never in the model's shared definitions.
TEST_F(ParamReadAllTest, ParameterTwelveFollowsThisControllersParameter102)
{
    struct Case {
        const char *model;
        std::vector<int> only;
        std::int32_t limitMax;   // the controller's parameter 102
        bool limitMaxFails;
        int expectedMax;
        const char *storedValue; // parameter 12's "Value" (the controller holds 7000)
    };
    const Case cases[] = {
        {"MDB", {12}, 2000, false, 2000, "2000"},
        {"MDC", {}, 8000, false, 8000, "7000"},   // above the shared file's 5000
        {"MDC-X", {12}, 6000, false, 6000, "6000"},
        {"MDB", {12}, 2000, true, 5000, "5000"},  // 102 not read: the file's range stays
        {"MDA", {12}, 2000, false, 5000, "5000"}, // 12 does not follow 102 on this model
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.model << " 102=" << c.limitMax << (c.only.empty() ? " all" : " only 12"));
        target.model = c.model;
        driver = test::LoadList(target);
        lists.CopyDriverToFile();
        bus.requests.clear();
        bus.values[12] = 7000;
        bus.values[102] = c.limitMax;
        bus.failuresLeft[102] = c.limitMaxFails ? CParamReadAll::kAttempts : 0;
        ReadAllOptions options;
        options.store = &store;
        options.only = c.only;
        CParamReadAll::Run(commands, target, lists, options);

        EXPECT_EQ(driver.At(12).IntMax(), c.expectedMax);
        EXPECT_EQ(lists.File().At(12).IntMax(), c.expectedMax);
        EXPECT_EQ(lists.File().At(12).MaxText(), std::to_string(c.expectedMax));
        EXPECT_EQ(driver.At(12).IntValue(), 7000);
        if (!c.only.empty()) {
            const bool followed = std::string(c.model) != "MDA";
            EXPECT_EQ(bus.Of(cmd::kCmdReadParameter).size(), followed ? (c.limitMaxFails ? 11u : 2u) : 1u);
        }
        CIniEx saved;
        ASSERT_TRUE(saved.Open(dir.File("mdb.ini"), false, false, true));
        EXPECT_EQ(saved.GetString("12", "Max", ""), "5000") << "the shared definition stays";
        EXPECT_EQ(saved.GetString("12", "Value", ""), c.storedValue);
    }
}

} // namespace
} // namespace kvl::params
