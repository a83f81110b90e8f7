// Point-table commands and the step record codec: golden records in both forms, truncation of
// the reals, the bulk read's scan (acknowledgements, padding, end-of-table, corrupt frames) and
// the single-step read and writes.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "FakeComm.h"
#include "protocol/CServoCommands.h"
#include "protocol/CStepCodec.h"
#include "protocol/Frame.h"

namespace kvl::test {
namespace {

StepRecord SampleRecord()
{
    StepRecord r;
    r.step = 1;
    r.mode = 1;
    r.position = 12.3456;   // exact at the field's resolution: 123456 on the wire
    r.speed = 100.5;
    r.acc = 0.29;           // 29 on the wire, although 0.29 x 100 is 28.99999... in binary
    r.dcc = 0.3;
    r.push = 30;
    r.threshold = 5;
    r.range = 0.1;
    r.areaA = -1.5;
    r.areaB = 2.25;
    r.accDecMode = 1;
    r.stopMode = 2;
    r.standardTime = 100;
    r.repeat = 3;
    r.jump = 0;
    return r;
}

const Bytes kShortWriteStep{0xEF, 0x01, 0x20, 0x01, 0x00, 0x01, 0x00, 0x01, 0x40, 0xE2, 0x01, 0x00, 0x42,
                            0x27, 0x00, 0x00, 0x1D, 0x00, 0x00, 0x00, 0x1E, 0x00, 0x00, 0x00, 0x1E, 0x05,
                            0xE8, 0x03, 0x00, 0x00, 0x68, 0xC5, 0xFF, 0xFF, 0xE4, 0x57, 0x00, 0x00, 0x01,
                            0x02, 0x64, 0x00, 0x03, 0x00, 0x00, 0xA1, 0x3F, 0x0D, 0x0A};
const Bytes kLongWriteStep{0xEF, 0x01, 0x20, 0x01, 0x00, 0x01, 0x00, 0x01, 0x40, 0xE2, 0x01, 0x00, 0x42,
                           0x27, 0x00, 0x00, 0x1D, 0x00, 0x00, 0x00, 0x1E, 0x00, 0x00, 0x00, 0x1E, 0x00,
                           0x05, 0x00, 0xE8, 0x03, 0x00, 0x00, 0x68, 0xC5, 0xFF, 0xFF, 0xE4, 0x57, 0x00,
                           0x00, 0x01, 0x02, 0x64, 0x00, 0x03, 0x00, 0x00, 0x0B, 0x3F, 0x0D, 0x0A};
const char *const kSampleLine = "1,A,12.3456,100.50,0.3,0.3,30,5,0.1000,-1.5000,2.2500,1,2,100,3,0";

// The record bytes of a golden write request (between the command byte and the CRC).
Bytes RecordOf(const Bytes &request) { return Bytes(request.begin() + 3, request.end() - 4); }

// A step frame as the controller sends it in answer to 0x1F.
Bytes StepFrame(uint8_t axis, const Bytes &record) { return ReplyFrame(axis, 0x1F, record); }

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes &p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

class StepCommands : public ::testing::Test {
protected:
    FakeComm comm;
    CServoCommands commands{&comm};
};

TEST(StepCodec, EncodesBothFormsGolden)
{
    EXPECT_EQ(CStepCodec::Encode(1, SampleRecord(), false), RecordOf(kShortWriteStep));
    EXPECT_EQ(CStepCodec::Encode(1, SampleRecord(), true), RecordOf(kLongWriteStep));
    EXPECT_EQ(CStepCodec::RecordLength(false), 42u);
    EXPECT_EQ(CStepCodec::RecordLength(true), 44u);
}

TEST(StepCodec, DecodesAndFormatsTheTextLine)
{
    for (const Bytes *request : {&kShortWriteStep, &kLongWriteStep}) {
        const bool longForm = request == &kLongWriteStep;
        int addressed = 0;
        const StepRecord r = CStepCodec::Decode(RecordOf(*request).data(), longForm, &addressed);
        EXPECT_EQ(addressed, 1);
        EXPECT_EQ(r.step, 1);
        EXPECT_DOUBLE_EQ(r.position, 12.3456);
        EXPECT_DOUBLE_EQ(r.acc, 0.29);
        EXPECT_DOUBLE_EQ(r.areaA, -1.5);
        EXPECT_EQ(r.push, 30);
        EXPECT_EQ(r.threshold, 5);
        EXPECT_EQ(r.standardTime, 100);
        EXPECT_EQ(r.repeat, 3);
        EXPECT_EQ(CStepCodec::FormatLine(r), kSampleLine);
    }
}

TEST(StepCodec, ScalingTruncatesTheDecimalTowardZero)
{
    struct Case {
        double value;
        double factor;
        int32_t wire;
    };
    const std::vector<Case> table{{0.29, 100, 29},          {-0.29, 100, -29},       {12.3456, 10000, 123456},
                                  {-12.3456, 10000, -123456}, {12.34567, 10000, 123456}, {-12.34567, 10000, -123456},
                                  {0.0003, 10000, 3},       {2.3, 100, 230},         {1.999, 100, 199},
                                  {0.0, 100, 0},
                                  {1e12, 10000, INT32_MAX},  {-1e12, 10000, INT32_MIN}, {std::nan(""), 100, 0}};
    for (const Case &c : table)
        EXPECT_EQ(CStepCodec::ScaleToWire(c.value, c.factor), c.wire) << c.value;
}

TEST(StepCodec, ModeOtherThanOneReadsAsInc)
{
    for (int mode : {0, 2, 255}) {
        StepRecord r = SampleRecord();
        r.mode = mode;
        const StepRecord back = CStepCodec::Decode(CStepCodec::Encode(1, r, false).data(), false);
        EXPECT_EQ(CStepCodec::FormatLine(back).substr(0, 4), "1,I,") << mode;
    }
}

TEST(StepCodec, SignedFieldsSurviveTheRoundTrip)
{
    StepRecord r = SampleRecord();
    r.step = 0;
    r.jump = -1;
    r.standardTime = -5;
    r.push = -300;
    r.threshold = 1000;
    const StepRecord back = CStepCodec::Decode(CStepCodec::Encode(7, r, true).data(), true);
    EXPECT_EQ(back.step, 0);
    EXPECT_EQ(back.jump, -1);
    EXPECT_EQ(back.standardTime, -5);
    EXPECT_EQ(back.push, -300);
    EXPECT_EQ(back.threshold, 1000);
}

TEST_F(StepCommands, WriteStepSendsTheGoldenRecordByModel)
{
    const std::vector<std::pair<const char *, const Bytes *>> table{
        {"MDA", &kShortWriteStep}, {"MDA-Z", &kShortWriteStep}, {"MDA-Y", &kShortWriteStep},
        {"MDB", &kLongWriteStep},  {"MDC", &kLongWriteStep},    {"MDC-X", &kLongWriteStep}};
    for (const auto &[model, request] : table) {
        comm.Answer(ReplyFrame(1, 0x20, {0x01}));
        EXPECT_EQ(commands.WriteStep(SampleRecord(), model, 1, 200), -200) << model;
        EXPECT_EQ(comm.calls.back().request, *request) << model;
        EXPECT_EQ(comm.calls.back().expected, 8);
    }
}

TEST_F(StepCommands, TableStepZeroWithJumpToEnd)
{
    StepRecord r = SampleRecord();
    r.step = 1;   // table step 0
    r.jump = 0;   // "E"
    comm.Answer(ReplyFrame(3, 0x20, {0x01}));
    EXPECT_EQ(commands.WriteStep(r, "MDA", 3, 200), -200);
    const Bytes &req = comm.calls.back().request;
    ASSERT_EQ(req.size(), 49u);
    EXPECT_EQ(Bytes(req.begin() + 3, req.begin() + 7), (Bytes{0x01, 0x00, 0x01, 0x00}));
    EXPECT_EQ(Bytes(req.begin() + 43, req.begin() + 45), (Bytes{0x00, 0x00}));
    EXPECT_EQ(req[16], 29);   // ACC 0.29
}

TEST_F(StepCommands, WriteStepValuesClearsWithRecordStepZero)
{
    comm.Answer(ReplyFrame(1, 0x20, {0x01}));
    EXPECT_EQ(commands.WriteStepValues(4, StepRecord{}, 1, 200), -200);
    const FakeComm::Call &call = comm.calls.back();
    EXPECT_EQ(call.expected, -1);
    ASSERT_EQ(call.request.size(), 49u);
    Bytes record(42, 0);
    record[0] = 4;
    EXPECT_EQ(RecordOf(call.request), record);

    // The record step number is forced to 0 whatever the values say; the form is always short.
    StepRecord values = SampleRecord();
    values.step = 9;
    comm.Answer(ReplyFrame(1, 0x20, {0x01}));
    EXPECT_EQ(commands.WriteStepValues(2, values, 1, 200), -200);
    const Bytes &req = comm.calls.back().request;
    ASSERT_EQ(req.size(), 49u);
    EXPECT_EQ(Bytes(req.begin() + 3, req.begin() + 7), (Bytes{0x02, 0x00, 0x00, 0x00}));
}

TEST_F(StepCommands, WriteStepValuesAcceptsAnyLengthWithGoodCrc)
{
    const std::vector<std::pair<Bytes, int>> table{
        {ReplyFrame(1, 0x20, {0x01}), -200},
        {ReplyFrame(1, 0x20, {0x00}), -200},           // the status is not inspected
        {ReplyFrame(1, 0x20, {0x01, 0x02, 0x03}), -200},
        {WithBadCrc(ReplyFrame(1, 0x20, {0x01})), -205},
        {ReplyFrame(2, 0x20, {0x01}), -205},           // another axis
        {ReplyFrame(1, 0x21, {0x01}), -205},           // another command
        {Bytes{0xEF, 0x01, 0x20}, -205}};
    for (const auto &[reply, expected] : table) {
        comm.Answer(reply);
        EXPECT_EQ(commands.WriteStepValues(1, StepRecord{}, 1, 200), expected);
    }
}

TEST_F(StepCommands, ReadStepDecodesByModel)
{
    struct Case {
        const char *model;
        const Bytes *golden;
        int replyLength;
    };
    for (const Case &c : {Case{"MDA", &kShortWriteStep, 49}, Case{"MDC", &kLongWriteStep, 51}}) {
        comm.Answer(StepFrame(1, RecordOf(*c.golden)));
        StepRecord r;
        EXPECT_EQ(commands.ReadStep(5, c.model, r, 1, 200), -200) << c.model;
        EXPECT_EQ(CStepCodec::FormatLine(r), kSampleLine);
        EXPECT_EQ(comm.calls.back().request, (Bytes{0xEF, 0x01, 0x1F, 0x05, 0x00, 0x90, 0xA7, 0x0D, 0x0A}));
        EXPECT_EQ(comm.calls.back().expected, -1);

        // The other form's length is refused.
        const Bytes *other = c.golden == &kShortWriteStep ? &kLongWriteStep : &kShortWriteStep;
        comm.Answer(StepFrame(1, RecordOf(*other)));
        StepRecord untouched;
        untouched.step = -3;
        EXPECT_EQ(commands.ReadStep(5, c.model, untouched, 1, 200), -205);
        EXPECT_EQ(untouched.step, -3);
    }
}

TEST_F(StepCommands, ReadAllStepsScansFramesAndSkipsAcknowledgements)
{
    StepRecord second = SampleRecord();
    second.step = 2;
    second.mode = 0;
    second.jump = 1;
    const Bytes stream = Concat({StepFrame(1, RecordOf(kShortWriteStep)), ReplyFrame(1, 0x1F, {0x01}),
                                 StepFrame(1, CStepCodec::Encode(2, second, false)), Bytes(40, 0xFF)});
    comm.Answer(stream);
    std::vector<std::string> lines{"old"};
    EXPECT_EQ(commands.ReadAllSteps("MDA", lines, 1, 200), -200);
    EXPECT_EQ(lines, (std::vector<std::string>{kSampleLine,
                                               "2,I,12.3456,100.50,0.3,0.3,30,5,0.1000,-1.5000,2.2500,1,2,100,3,1"}));
    const FakeComm::Call &call = comm.calls.back();
    EXPECT_EQ(call.request, (Bytes{0xEF, 0x01, 0x1F, 0x00, 0x00, 0x6F, 0x52, 0x0D, 0x0A}));
    EXPECT_EQ(call.expected, -1);
    EXPECT_TRUE(call.paddingMode);
    EXPECT_FALSE(comm.paddingMode);
}

TEST_F(StepCommands, ReadAllStepsLongFormAndNoiseBetweenFrames)
{
    const Bytes stream = Concat({Bytes{0x00, 0x13}, StepFrame(1, RecordOf(kLongWriteStep)), Bytes{0x42},
                                 StepFrame(1, RecordOf(kLongWriteStep)), Bytes(10, 0xFF)});
    comm.Answer(stream);
    std::vector<std::string> lines;
    EXPECT_EQ(commands.ReadAllSteps("MDC", lines, 1, 200), -200);
    EXPECT_EQ(lines, (std::vector<std::string>{kSampleLine, kSampleLine}));
}

TEST_F(StepCommands, ReadAllStepsEndsAndFails)
{
    const Bytes good = StepFrame(1, RecordOf(kShortWriteStep));
    Bytes emptyRefused = WithBadCrc(StepFrame(1, Bytes(42, 0)));
    Bytes corrupt = WithBadCrc(good);
    Bytes otherAxis = StepFrame(2, RecordOf(kShortWriteStep));
    struct Case {
        const char *what;
        Bytes stream;
        std::string model;
        int result;
    };
    const std::vector<Case> table{
        {"end-of-table frame only", Concat({emptyRefused, Bytes(8, 0xFF)}), "MDA", 0},
        {"end-of-table after a step", Concat({good, emptyRefused}), "MDA", 0},
        {"corrupt step frame", Concat({good, corrupt, Bytes(8, 0xFF)}), "MDA", -205},
        {"short frames read as long", Concat({good, good, Bytes(8, 0xFF)}), "MDC", -205},
        {"step frame cut short", Bytes(good.begin(), good.begin() + 30), "MDA", -205},
        {"empty frame cut short", Bytes(emptyRefused.begin(), emptyRefused.begin() + 12), "MDA", 0},
        {"frame from another axis", otherAxis, "MDA", -205}};
    for (const Case &c : table) {
        SCOPED_TRACE(c.what);
        comm.Answer(c.stream);
        std::vector<std::string> lines{"kept"};
        EXPECT_EQ(commands.ReadAllSteps(c.model, lines, 1, 200), c.result);
        EXPECT_EQ(lines, std::vector<std::string>{"kept"});
    }
}

TEST_F(StepCommands, ReadAllStepsPaddingOnlyGivesNoLinesAndFailuresPassThrough)
{
    comm.Answer(Bytes(100, 0xFF));
    std::vector<std::string> lines{"old"};
    EXPECT_EQ(commands.ReadAllSteps("MDA", lines, 1, 200), -200);
    EXPECT_TRUE(lines.empty());

    lines = {"kept"};
    comm.AnswerResult(-202);
    EXPECT_EQ(commands.ReadAllSteps("MDA", lines, 1, 200), -202);
    EXPECT_EQ(lines, std::vector<std::string>{"kept"});
    EXPECT_TRUE(comm.calls.back().paddingMode);
    EXPECT_FALSE(comm.paddingMode);
}

TEST_F(StepCommands, ClearPointTableIsGolden)
{
    comm.Answer(ReplyFrame(1, 0x21, {0x00}));
    EXPECT_EQ(commands.ClearPointTable(1, 200), -200);
    EXPECT_EQ(comm.calls.back().request, (Bytes{0xEF, 0x01, 0x21, 0x34, 0x43, 0x0D, 0x0A}));
    EXPECT_EQ(comm.calls.back().expected, 8);
}

} // namespace
} // namespace kvl::test
