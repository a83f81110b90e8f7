// The write of changed values through the command layer against a fake controller: refusal in
// automatic mode, the servo caution, which parameters are sent at which level and how, failed
// writes, notices and the follow-ups of parameters 102 and N.
#include <gtest/gtest.h>

#include <string>

#include "FakeBus.h"
#include "ParamFixture.h"
#include "config/CIniEx.h"
#include "config/CAppValues.h"
#include "link/ResultCode.h"
#include "params/CParamWriter.h"
#include "protocol/CServoCommands.h"
#include "protocol/CommandCodes.h"
#include "support/CodePageTexts.h"

namespace kvl::params {
namespace {

class ParamWriterTest : public testing::Test {
protected:
    void SetUp() override
    {
        bus.values = test::MdbRawValues();
        test::WriteBytes(dir.File("mdb.ini"), test::MdbDefinitions());
        ASSERT_TRUE(store.Open(dir.File("mdb.ini"), false, false, true));
        options.store = &store;
        options.values = &values;
        options.confirmCaution = [this](const ParamMessage &text) {
            cautions.push_back(text);
            return cautionAnswer;
        };
    }

    WriteReport Write() { return CParamWriter::Run(commands, target, lists, options); }

    std::vector<test::FakeBus::Request> Writes() const
    {
        return bus.Of(cmd::kCmdWriteParameter);
    }

    test::TempDir dir;
    CAppValues values;
    test::FakeBus bus;
    CServoCommands commands{&bus};
    CIniEx store;
    ParamTarget target = test::MdbTarget();
    CParamList driver = test::LoadList(target);
    CParamListPair lists{driver};
    WriteOptions options;
    std::vector<ParamMessage> cautions;
    bool cautionAnswer = true;
};

TEST_F(ParamWriterTest, NothingDifferentSendsNoWriteAndAsksNothing)
{
    options.servoOn = true;
    const WriteReport report = Write();
    EXPECT_EQ(report.status, WriteStatus::Done);
    EXPECT_TRUE(report.outcomes.empty());
    EXPECT_TRUE(cautions.empty());
    ASSERT_EQ(bus.requests.size(), 1u);
    EXPECT_EQ(bus.requests[0].command, cmd::kCmdReadRunMode);
    EXPECT_EQ(bus.requests[0].timeoutMs, 200);
    EXPECT_TRUE(report.messages.empty());
    EXPECT_TRUE(values.pollingOn);
}

TEST_F(ParamWriterTest, AutomaticModeRefusesEverything)
{
    bus.runMode = 0;
    lists.File().At(12).SetIntValue(200);
    const WriteReport report = Write();
    EXPECT_EQ(report.status, WriteStatus::RefusedAutomatic);
    EXPECT_EQ(report.messages,
              (std::vector<ParamMessage>{{"ID_PMT_WRITE_WARN_AUTO", "IDD_KVL_VER2_PMTLIST_DIALOG"}}));
    EXPECT_TRUE(Writes().empty());
    EXPECT_TRUE(values.pollingOn);

    bus.runModeResult = kResultTimeout; // a run mode that cannot be read does not stop the write
    EXPECT_EQ(Write().status, WriteStatus::Done);
    EXPECT_EQ(Writes().size(), 1u);
}

TEST_F(ParamWriterTest, PollingIsOffWhileTheValuesGoOutAndOnAfterwards)
{
    lists.File().At(12).SetIntValue(200);
    std::vector<bool> pollingSeen;
    options.progress = [this, &pollingSeen](int, int) { pollingSeen.push_back(values.pollingOn); };
    EXPECT_EQ(Write().status, WriteStatus::Done);
    ASSERT_FALSE(pollingSeen.empty());
    for (bool on : pollingSeen)
        EXPECT_FALSE(on);
    EXPECT_TRUE(values.pollingOn);
}

TEST_F(ParamWriterTest, SendsEachChangedValueInItsWireForm)
{
    lists.File().At(12).SetIntValue(200);
    lists.File().At(16).SetRealValue(0.29);  // factor 100: 29, though 28.999... in binary
    lists.File().At(31).SetRealValue(2.5);   // MDB: factor 1000
    lists.File().At(1).SetRealValue(450.5);  // factor 10000
    lists.File().At(45).SetIndex(16);        // sent as its resolution
    lists.File().At(36).SetIndex(3);
    lists.File().At(100).SetTextValue(test::Western("NEWNAME"));

    const WriteReport report = Write();
    EXPECT_TRUE(report.Complete());
    const std::vector<std::pair<int, std::int32_t>> expected = {
        {1, 4505000}, {12, 200}, {16, 29}, {31, 2500}, {36, 3}, {45, 4000000}};
    std::vector<std::pair<int, std::int32_t>> sent;
    for (const auto &w : Writes()) {
        sent.emplace_back(w.number, w.value);
        EXPECT_EQ(w.timeoutMs, 200);
    }
    EXPECT_EQ(sent, expected);
    ASSERT_EQ(bus.Of(cmd::kCmdWriteDeviceName).size(), 1u);
    EXPECT_EQ(bus.Of(cmd::kCmdWriteDeviceName)[0].name, "NEWNAME");

    EXPECT_EQ(driver.At(12).IntValue(), 200);
    EXPECT_DOUBLE_EQ(driver.At(16).RealValue(), 0.29);
    EXPECT_EQ(driver.At(45).SelectedIndex(), 16);
    EXPECT_EQ(driver.At(100).TextValue().Bytes(), "NEWNAME");
    for (int n : {1, 12, 16, 31, 36, 45, 100})
        EXPECT_FALSE(lists.Marked(n)) << n;

    CIniEx saved;
    ASSERT_TRUE(saved.Open(dir.File("mdb.ini"), false, false, true));
    EXPECT_EQ(saved.GetString("12", "Value", ""), "200");
    EXPECT_EQ(saved.GetString("16", "Value", ""), "0.29");
    EXPECT_EQ(saved.GetString("45", "Value", ""), "4000000");
    EXPECT_EQ(saved.GetString("36", "Value", ""), "Type 3");
    EXPECT_EQ(saved.GetString("100", "Value", ""), "NEWNAME");

    const std::vector<ParamNotice> notices = {
        {ParamNotice::Kind::JogSpeedChanged, false, {}},
        {ParamNotice::Kind::FeedAmountChanged, false, {}},
        {ParamNotice::Kind::DeviceNameChanged, false, test::Western("NEWNAME")},
        {ParamNotice::Kind::OperationTypeChanged, true, {}},
    };
    EXPECT_EQ(report.notices, notices);
}

TEST_F(ParamWriterTest, HideClassDecidesWhatIsWrittenAtEachLevel)
{
    struct Case {
        int level;
        std::vector<int> written;
    };
    const Case cases[] = {{0, {12}}, {1, {12, 20}}, {2, {12, 20, 21}}};
    for (const Case &c : cases) {
        bus.requests.clear();
        driver = test::LoadList(target);
        lists.CopyDriverToFile();
        for (int n : {12, 20, 21, 22})
            lists.File().At(n).SetIntValue(lists.File().At(n).IntValue() + 1);
        target.accessLevel = c.level;
        EXPECT_EQ(CParamWriter::PendingNumbers(lists, 182, c.level), c.written);
        Write();
        std::vector<int> written;
        for (const auto &w : Writes())
            written.push_back(w.number);
        EXPECT_EQ(written, c.written) << "level " << c.level;
        EXPECT_EQ(driver.At(22).IntValue(), 7) << "hide class 1 is never written";
    }
}

TEST_F(ParamWriterTest, CautionRules)
{
    struct Case {
        int number;
        bool servoOn;
        bool programActive;
        bool caution;
    };
    const Case cases[] = {
        {16, true, false, true},   // write caution 0
        {16, false, true, false},  // servo off: never
        {12, true, false, false},  // write caution 1 without a program
        {12, true, true, true},    // write caution 1 with a program running or paused
        {9, true, true, false},    // write caution 2
        {22, true, false, true},   // any hide class counts
        {100, true, true, false},  // text parameters never
    };
    for (const Case &c : cases) {
        lists.CopyDriverToFile();
        CParamData &file = lists.File().At(c.number);
        if (file.GetType() == CParamData::kTypeText)
            file.SetTextValue(test::Western("OTHER"));
        else if (file.GetType() == CParamData::kTypeReal)
            file.SetRealValue(file.RealValue() + 1.0);
        else
            file.SetIntValue(file.IntValue() + 1);
        EXPECT_EQ(CParamWriter::NeedsCaution(lists, 182, c.servoOn, c.programActive), c.caution)
            << c.number << " servo " << c.servoOn << " program " << c.programActive;
    }
}

TEST_F(ParamWriterTest, CautionDeclinedOrServoOffFailingWritesNothing)
{
    options.servoOn = true;
    lists.File().At(16).SetRealValue(20.0);

    cautionAnswer = false;
    WriteReport report = Write();
    EXPECT_EQ(report.status, WriteStatus::Cancelled);
    EXPECT_TRUE(report.cautionAsked);
    EXPECT_EQ(cautions, (std::vector<ParamMessage>{{"ID_PMT_WRITE_WARN", "IDD_KVL_VER2_PMTLIST_DIALOG"}}));
    EXPECT_TRUE(bus.Of(cmd::kCmdServoOff).empty());
    EXPECT_TRUE(Writes().empty());
    EXPECT_TRUE(report.messages.empty()) << "no further message";
    EXPECT_TRUE(values.pollingOn);

    cautionAnswer = true;
    bus.servoOffStatus = 0;
    report = Write();
    EXPECT_EQ(report.status, WriteStatus::ServoOffFailed);
    EXPECT_EQ(bus.Of(cmd::kCmdServoOff).size(), 1u);
    EXPECT_TRUE(Writes().empty());

    bus.servoOffStatus = 1;
    report = Write();
    EXPECT_EQ(report.status, WriteStatus::Done);
    EXPECT_EQ(Writes().size(), 1u);
    EXPECT_EQ(bus.Of(cmd::kCmdServoOff).back().timeoutMs, 200);

    options.confirmCaution = nullptr;
    lists.File().At(16).SetRealValue(30.0);
    EXPECT_EQ(Write().status, WriteStatus::Cancelled) << "no one to ask: nothing is written";
}

TEST_F(ParamWriterTest, FailedWritesKeepTheDriverValueAndAreReportedOnce)
{
    bus.zeroStatusWrites = {16, 31};
    bus.nameStatus = 0;
    lists.File().At(16).SetRealValue(20.0);
    lists.File().At(31).SetRealValue(3.0);
    lists.File().At(12).SetIntValue(300);
    lists.File().At(100).SetTextValue(test::Western("REFUSED"));

    const WriteReport report = Write();
    EXPECT_EQ(report.status, WriteStatus::Done);
    EXPECT_EQ(report.failures, 3);
    EXPECT_FALSE(report.Complete());
    EXPECT_DOUBLE_EQ(driver.At(16).RealValue(), 10.0);
    EXPECT_EQ(driver.At(100).TextValue().Bytes(), "AXIS");
    EXPECT_TRUE(lists.Marked(16));
    EXPECT_EQ(driver.At(12).IntValue(), 300) << "the others are written";
    EXPECT_EQ(report.messages,
              (std::vector<ParamMessage>{{"ID_PMT_WRITE_FAILED", "IDD_KVL_VER2_PMTLIST_DIALOG"}}));
    EXPECT_TRUE(report.notices.empty()) << "no notice for a failed write";
    for (const auto &o : report.outcomes)
        EXPECT_EQ(o.attempts, 1) << "no retries";
}

TEST_F(ParamWriterTest, DirectionAndOperationTypeNotices)
{
    lists.File().At(5).SetIndex(1);
    const WriteReport report = Write();
    EXPECT_EQ(report.notices,
              (std::vector<ParamNotice>{{ParamNotice::Kind::DirectionChanged, false, {}}}));
}

TEST_F(ParamWriterTest, Parameter102LimitsParameter12)
{
    struct Case {
        const char *model;
        int driver12;
        bool write12Fails;
        bool limited;        // the range follows
        bool written12;      // 12 is written with the limit
        std::vector<ParamMessage> messages;
    };
    const ParamMessage chk6{"IDS_INPUT_CHK_6", "Common"};
    const ParamMessage failed{"ID_PMT_WRITE_FAILED", "IDD_KVL_VER2_PMTLIST_DIALOG"};
    const Case cases[] = {
        {"MDB", 4000, false, true, true, {chk6}},
        {"MDC", 4000, false, true, true, {chk6}},
        {"MDB", 4000, true, true, false, {failed}},
        {"MDB", 2000, false, true, false, {}},
        {"MDC-X", 4000, false, false, false, {}},
        {"MDA", 4000, false, false, false, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.model);
        bus.requests.clear();
        bus.zeroStatusWrites.clear();
        if (c.write12Fails)
            bus.zeroStatusWrites.insert(12);
        target.model = c.model;
        driver = test::LoadList(target);
        driver.At(12).SetIntValue(c.driver12);
        lists.CopyDriverToFile();
        lists.File().At(102).SetIntValue(3000);

        const WriteReport report = Write();
        EXPECT_EQ(report.messages, c.messages);
        const int max = c.limited ? 3000 : 5000;
        EXPECT_EQ(driver.At(12).IntMax(), max);
        EXPECT_EQ(lists.File().At(12).IntMax(), max);
        EXPECT_EQ(lists.File().At(12).MaxText(), c.limited ? "3000" : "5000");
        CIniEx saved;
        ASSERT_TRUE(saved.Open(dir.File("mdb.ini"), false, false, true));
        EXPECT_EQ(saved.GetString("12", "Max", ""), "5000") << "the limit is this axis', not the model's";

        const auto writes = Writes();
        const bool sent12 = writes.size() == 2 && writes[1].number == 12 && writes[1].value == 3000;
        EXPECT_EQ(sent12, c.written12 || c.write12Fails);
        EXPECT_EQ(driver.At(12).IntValue(), c.written12 ? 3000 : c.driver12);
        if (c.written12) {
            EXPECT_EQ(saved.GetString("12", "Value", ""), "3000");
        }
        test::WriteBytes(dir.File("mdb.ini"), test::MdbDefinitions());
        ASSERT_TRUE(store.Open(dir.File("mdb.ini"), false, false, true));
    }
}

TEST_F(ParamWriterTest, LastParameterChecksThePushLimit)
{
    struct Case {
        const char *model;
        const char *version;
        int operationType;
        int lastNumber;
        int expectedSteps; // 0: no check
    };
    const Case cases[] = {
        {"MDB", "1305", 0, 182, 64}, {"MDB", "1305", 2, 182, 256}, {"MDC", "1305", 3, 182, 512},
        {"MDB", "1305", 4, 182, 7},  {"MDB", "1305", 5, 182, 3},   {"MDC-X", "", 1, 168, 64},
        {"MDB", "1075", 0, 151, 0},  {"MDA", "", 0, 111, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.model << " " << c.version << " mode " << c.operationType);
        target.model = c.model;
        target.version = c.version;
        std::string ini = test::MdbDefinitions();
        ini += "[168]\nDisplayName=Push check\nType=1\nMin=0\nMax=10\nWRITE=1\nValue=0\n";
        ini += "[111]\nDisplayName=Push check\nType=1\nMin=0\nMax=10\nWRITE=1\nValue=0\n";
        driver = test::LoadList(target, ini);
        driver.At(36).SetIndex(c.operationType);
        lists.CopyDriverToFile();
        lists.File().At(c.lastNumber).SetIntValue(5);
        std::vector<std::pair<int, int>> checks;
        options.pushAbove = [&checks](int limit, int lastStep) {
            checks.emplace_back(limit, lastStep);
            return true;
        };
        const WriteReport report = Write();
        if (c.expectedSteps == 0) {
            EXPECT_TRUE(checks.empty());
            EXPECT_TRUE(report.messages.empty());
        } else {
            EXPECT_EQ(checks, (std::vector<std::pair<int, int>>{{70, c.expectedSteps}}));
            EXPECT_EQ(report.messages, (std::vector<ParamMessage>{
                                           {"IDS_WARNMSG_PUSH_OUTRANGE",
                                            "IDD_KVL_VER2_PMTLIST_DIALOG"}}));
        }
    }
    options.pushAbove = [](int, int) { return false; };
    target.model = "MDB";
    target.version = "1305";
    driver = test::LoadList(target);
    lists.CopyDriverToFile();
    lists.File().At(182).SetIntValue(1);
    EXPECT_TRUE(Write().messages.empty()) << "no step pushes too hard";
    EXPECT_EQ(CParamWriter::PushCheckSteps(9), 64);
    EXPECT_EQ(CParamWriter::PushCheckSteps(-1), 64);
}

TEST_F(ParamWriterTest, AxisFlagsFromTheController)
{
    struct Case {
        std::uint8_t servo;
        std::uint8_t flags;
        bool servoOn;
        bool program;
    };
    const Case cases[] = {{0, 0, false, false}, {1, 0x08, true, true}, {1, 0x20, true, true},
                          {2, 0x01, true, false}};
    for (const Case &c : cases) {
        bus.servoState = c.servo;
        bus.operationFlags = c.flags;
        bool servoOn = !c.servoOn;
        bool program = !c.program;
        EXPECT_EQ(CParamWriter::ReadAxisFlags(commands, 3, servoOn, program), kResultOk);
        EXPECT_EQ(servoOn, c.servoOn);
        EXPECT_EQ(program, c.program);
    }
}

} // namespace
} // namespace kvl::params
