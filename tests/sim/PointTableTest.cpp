// Point-table commands of the simulated controllers: record layouts in long and short form,
// single-step write and read, the bulk read with its padding, clearing and the refusals.
#include <gtest/gtest.h>

#include "sim/AxisDevice.h"
#include "protocol/CommandCodes.h"
#include "sim/PointTable.h"
#include "tests/sim/SimTestUtil.h"

namespace kvl::sim {
namespace {

using test::Ask;
using test::Data;
using test::WellFormed;

StepRecord SampleStep(int16_t number)
{
    StepRecord r;
    r.number = number;
    r.mode = 1;
    r.position = 123456;      // 12.3456
    r.speed = 5000;           // 50
    r.acc = 30;               // 0.3
    r.dcc = 28;               // 0.28
    r.push = 300;
    r.threshold = 200;
    r.positionRange = 1000;
    r.areaA = -5000;
    r.areaB = 70000;
    r.accDecMode = 1;
    r.stopMode = 4;
    r.standardTime = 150;
    r.repeat = 2;
    r.jump = 3;
    return r;
}

TEST(SimPointTable, LongAndShortRecordLayouts)
{
    StepRecord r = SampleStep(2);
    r.push = 0x0102;
    r.threshold = 0x0304;
    const auto longForm = PointTable::Encode(2, r, true);
    const auto shortForm = PointTable::Encode(2, r, false);
    ASSERT_EQ(longForm.size(), cmd::kStepRecordLenLong);
    ASSERT_EQ(shortForm.size(), cmd::kStepRecordLenShort);

    struct Field { size_t longAt; size_t shortAt; int32_t value; int bytes; };
    const Field fields[] = {
        {0, 0, 2, 2}, {2, 2, 2, 2}, {4, 4, 1, 1}, {5, 5, 123456, 4}, {9, 9, 5000, 4}, {13, 13, 30, 4},
        {17, 17, 28, 4}, {25, 23, 1000, 4}, {29, 27, -5000, 4}, {33, 31, 70000, 4}, {37, 35, 1, 1},
        {38, 36, 4, 1}, {39, 37, 150, 2}, {41, 39, 2, 1}, {42, 40, 3, 2}};
    for (const auto &f : fields) {
        auto read = [&](const std::vector<uint8_t> &rec, size_t at) -> int32_t {
            if (f.bytes == 4)
                return frame::GetI32(rec.data() + at);
            if (f.bytes == 2)
                return frame::GetI16(rec.data() + at);
            return rec[at];
        };
        EXPECT_EQ(read(longForm, f.longAt), f.value) << "long @" << f.longAt;
        EXPECT_EQ(read(shortForm, f.shortAt), f.value) << "short @" << f.shortAt;
    }
    // Push and threshold: two bytes each in the long form, one each in the short form.
    EXPECT_EQ(frame::GetI16(longForm.data() + 21), 0x0102);
    EXPECT_EQ(frame::GetI16(longForm.data() + 23), 0x0304);
    EXPECT_EQ(shortForm[21], 0x02);
    EXPECT_EQ(shortForm[22], 0x04);

    uint16_t addressed = 0;
    EXPECT_EQ(PointTable::Decode(longForm.data(), true, &addressed), r);
    EXPECT_EQ(addressed, 2);
}

TEST(SimPointTable, WriteAndReadBackEachModelsRecordForm)
{
    auto bus = SimBus::CreateDemo();
    for (uint8_t address = 0; address < 6; ++address) {
        const bool longForm = bus->Device(address)->Model().longRecord;
        SCOPED_TRACE(bus->Device(address)->Model().text);
        const StepRecord r = SampleStep(5);
        auto reply = Ask(*bus, address, cmd::kCmdWriteStep, PointTable::Encode(5, r, longForm));
        ASSERT_TRUE(WellFormed(reply, address, cmd::kCmdWriteStep, 8));
        EXPECT_EQ(Data(reply)[0], 1);

        reply = Ask(*bus, address, cmd::kCmdReadAllSteps, test::U16(5));
        ASSERT_TRUE(WellFormed(reply, address, cmd::kCmdReadAllSteps, longForm ? 51u : 49u));
        uint16_t addressed = 0;
        StepRecord back = PointTable::Decode(Data(reply).data(), longForm, &addressed);
        EXPECT_EQ(addressed, 5);
        EXPECT_EQ(back.position, r.position);
        EXPECT_EQ(back.jump, r.jump);
        EXPECT_EQ(back.push, longForm ? r.push : static_cast<int16_t>(r.push & 0xFF));

        // The other form's length is refused on a short-record model.
        if (!longForm) {
            reply = Ask(*bus, address, cmd::kCmdWriteStep, PointTable::Encode(6, r, true));
            EXPECT_EQ(Data(reply)[0], 0);
        }
    }
}

TEST(SimPointTable, ShortFormWithStepNumberZeroClearsAStepOnALongModel)
{
    auto bus = SimBus::CreateDemo();
    ASSERT_EQ(Data(Ask(*bus, 2, cmd::kCmdWriteStep, PointTable::Encode(4, SampleStep(4), true)))[0], 1);
    ASSERT_TRUE(bus->Axis(2)->Table().Step(4).Defined());
    const auto reply = Ask(*bus, 2, cmd::kCmdWriteStep, PointTable::Encode(4, StepRecord{}, false));
    ASSERT_TRUE(WellFormed(reply, 2, cmd::kCmdWriteStep, 8));
    EXPECT_EQ(Data(reply)[0], 1);
    EXPECT_FALSE(bus->Axis(2)->Table().Step(4).Defined());
}

TEST(SimPointTable, BulkReadSendsDefinedStepsThenAtLeast40PaddingBytes)
{
    auto bus = SimBus::CreateDemo();
    for (uint8_t address : {uint8_t{0}, uint8_t{2}}) {
        const bool longForm = bus->Device(address)->Model().longRecord;
        const size_t frameLength = longForm ? 51 : 49;
        for (int16_t step : {1, 2, 64})
            ASSERT_EQ(Data(Ask(*bus, address, cmd::kCmdWriteStep, PointTable::Encode(step, SampleStep(step), longForm)))[0], 1);
        const auto stream = Ask(*bus, address, cmd::kCmdReadAllSteps, {0x00, 0x00});
        ASSERT_GE(stream.size(), 3 * frameLength + 40);
        for (size_t i = 0; i < 3; ++i) {
            const std::vector<uint8_t> f(stream.begin() + i * frameLength, stream.begin() + (i + 1) * frameLength);
            EXPECT_TRUE(WellFormed(f, address, cmd::kCmdReadAllSteps, frameLength)) << i;
        }
        EXPECT_EQ(frame::GetI16(stream.data() + frameLength + 3 + 2), 2);       // record number of the 2nd frame
        EXPECT_EQ(frame::GetU16(stream.data() + 2 * frameLength + 3), 64);
        for (size_t i = 3 * frameLength; i < stream.size(); ++i)
            ASSERT_EQ(stream[i], 0xFF) << i;
        EXPECT_GE(stream.size() - 3 * frameLength, 40u);
    }
}

TEST(SimPointTable, EmptyTableBulkReadIsPaddingOnly)
{
    auto bus = SimBus::CreateDemo();
    const auto stream = Ask(*bus, 1, cmd::kCmdReadAllSteps, {0x00, 0x00});
    EXPECT_EQ(stream, std::vector<uint8_t>(AxisDevice::kBulkReadPaddingLength, 0xFF));
}

TEST(SimPointTable, StepsBeyondTheOperationTypeAreRefused)
{
    auto bus = SimBus::CreateDemo();
    // Operation type 5 has three steps.
    ASSERT_EQ(Data(Ask(*bus, 0, cmd::kCmdWriteParameter, test::ParamWrite(param::kOperationType, 5)))[0], 1);
    EXPECT_EQ(bus->Axis(0)->StepCount(), 3);
    EXPECT_EQ(Data(Ask(*bus, 0, cmd::kCmdWriteStep, PointTable::Encode(3, SampleStep(3), false)))[0], 1);
    EXPECT_EQ(Data(Ask(*bus, 0, cmd::kCmdWriteStep, PointTable::Encode(4, SampleStep(4), false)))[0], 0);
    EXPECT_EQ(Data(Ask(*bus, 0, cmd::kCmdWriteStep, PointTable::Encode(0, SampleStep(1), false)))[0], 0);
    const auto refused = Ask(*bus, 0, cmd::kCmdReadAllSteps, test::U16(4));
    ASSERT_EQ(refused.size(), 49u);
    EXPECT_EQ(refused[3], 0x0F);
    EXPECT_FALSE(frame::CrcMatches(refused.data(), refused.size()));

    // The rotary model codes operation types 2, 4 and 5 as they are; 1 and 3 are not its types.
    struct Case { int32_t raw; int steps; };
    for (const Case c : {Case{2, 256}, Case{4, 7}, Case{5, 3}, Case{1, 64}, Case{3, 64}}) {
        ASSERT_EQ(Data(Ask(*bus, 5, cmd::kCmdWriteParameter, test::ParamWrite(param::kOperationType, c.raw)))[0], 1);
        EXPECT_EQ(bus->Axis(5)->StepCount(), c.steps) << c.raw;
    }
}

TEST(SimPointTable, ClearEmptiesTheTable)
{
    auto bus = SimBus::CreateDemo();
    ASSERT_EQ(Data(Ask(*bus, 4, cmd::kCmdWriteStep, PointTable::Encode(1, SampleStep(1), false)))[0], 1);
    const auto reply = Ask(*bus, 4, cmd::kCmdClearPointTable);
    ASSERT_TRUE(WellFormed(reply, 4, cmd::kCmdClearPointTable, 8));
    EXPECT_EQ(Data(reply)[0], 1);
    EXPECT_TRUE(bus->Axis(4)->Table().DefinedSteps(64).empty());
}

} // namespace
} // namespace kvl::sim
