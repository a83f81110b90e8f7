// The parts around the devices: request assembly from a byte stream, the fault switches, the
// command line and the state file.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "sim/AxisDevice.h"
#include "protocol/CommandCodes.h"
#include "sim/FaultInjector.h"
#include "sim/FrameAssembler.h"
#include "protocol/Frame.h"
#include "sim/ModelInfo.h"
#include "sim/GatewayDevice.h"
#include "sim/PointTable.h"
#include "sim/SimOptions.h"
#include "sim/StateFile.h"
#include "tests/sim/SimTestUtil.h"

namespace kvl::sim {
namespace {

std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts)
{
    std::vector<uint8_t> out;
    for (const auto &p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

TEST(SimFrameAssembler, CutsFramesOutOfNoiseSplitsAndBursts)
{
    const auto a = frame::Build(3, 0x01);
    const auto b = frame::Build(1, 0x25, test::ParamWrite(16, 0x0D0A));   // payload holds CR LF
    const auto c = frame::Build(0xEF, 0x25, test::ParamWrite(0xEF, 0xEF)); // start bytes inside
    const auto stream = Concat({{0x00, 0x55, 0x0D, 0x0A}, a, {0x12}, b, c});
    // Fed whole and byte by byte, the same two frames come out.
    for (size_t piece : {stream.size(), size_t{1}}) {
        FrameAssembler assembler;
        std::vector<std::vector<uint8_t>> frames;
        for (size_t i = 0; i < stream.size(); i += piece) {
            assembler.Feed(stream.data() + i, std::min(piece, stream.size() - i), 1000);
            while (auto r = assembler.Next())
                frames.push_back(r->bytes);
        }
        ASSERT_EQ(frames.size(), 3u) << piece;
        EXPECT_EQ(frames[0], a);
        EXPECT_EQ(frames[1], b);
        EXPECT_EQ(frames[2], c);
        EXPECT_EQ(assembler.Pending(), 0u);
    }
}

TEST(SimFrameAssembler, StalePartialFrameIsDroppedAndStartByteNoiseSkipped)
{
    FrameAssembler assembler;
    const auto a = frame::Build(0, 0x15);
    assembler.Feed(a.data(), 4, 0);
    assembler.Feed(a.data(), a.size(), FrameAssembler::kStaleMicros + 1000);
    auto r = assembler.Next();
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->bytes, a);

    // A lone 0xEF followed by more than a frame's worth of bytes is passed over.
    std::vector<uint8_t> junk(FrameAssembler::kMaxRequestLength, 0x33);
    junk[0] = 0xEF;
    const auto stream = Concat({junk, a});
    assembler.Feed(stream.data(), stream.size(), 0);
    r = assembler.Next();
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->bytes, a);
}

TEST(SimFaults, EachSwitchShapesTheReply)
{
    const auto reply = frame::Build(2, 0x15, {1});
    struct Case { const char *fault; size_t chunks; size_t bytes; bool crcGood; };
    const Case cases[] = {
        {"noise=4", 1, reply.size() + 4, true},
        {"garbage=2", 1, reply.size() + 2, true},
        {"crc=1", 1, reply.size(), false},
        {"split=3", (reply.size() + 3) / 4, reply.size(), true},
        {"delay=7", 1, reply.size(), true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.fault);
        FaultPlan plan;
        ASSERT_TRUE(plan.Parse(c.fault, nullptr));
        FaultInjector injector(plan, 42);
        const auto chunks = injector.Shape(2, reply);
        ASSERT_EQ(chunks.size(), c.chunks);
        std::vector<uint8_t> wire;
        for (const auto &chunk : chunks)
            wire.insert(wire.end(), chunk.bytes.begin(), chunk.bytes.end());
        ASSERT_EQ(wire.size(), c.bytes);
        const size_t at = std::find(wire.begin(), wire.end(), 0xEF) - wire.begin();
        ASSERT_LE(at + reply.size(), wire.size());
        EXPECT_EQ(frame::CrcMatches(wire.data() + at, reply.size()), c.crcGood);
        if (std::string(c.fault) == "delay=7") {
            EXPECT_EQ(chunks[0].delayMicros, 7000);
        }
        if (std::string(c.fault) == "split=3") {
            EXPECT_EQ(chunks[1].delayMicros, 3000);
        }
    }
}

TEST(SimFaults, CountedFaultsHitEveryKthReplyAndSilenceOneAddress)
{
    FaultPlan plan;
    ASSERT_TRUE(plan.Parse("drop=3", nullptr));
    ASSERT_TRUE(plan.Parse("silent=5", nullptr));
    FaultInjector injector(plan, 1);
    const auto reply = frame::Build(1, 0x15, {1});
    std::vector<bool> sent;
    for (int i = 0; i < 6; ++i)
        sent.push_back(!injector.Shape(1, reply).empty());
    EXPECT_EQ(sent, (std::vector<bool>{true, true, false, true, true, false}));
    EXPECT_TRUE(injector.Shape(5, frame::Build(5, 0x15, {1})).empty());
}

TEST(SimFaults, StreamFollowsTheRepliesOfItsAddressOnly)
{
    FaultPlan plan;
    ASSERT_TRUE(plan.Parse("stream=2", nullptr));
    EXPECT_TRUE(plan.Any());
    FaultInjector injector(plan, 1);
    EXPECT_TRUE(injector.StreamsAfter(2));
    EXPECT_FALSE(injector.StreamsAfter(1));
    // The reply itself goes out unchanged.
    const auto reply = frame::Build(2, 0x15, {1});
    const auto chunks = injector.Shape(2, reply);
    ASSERT_EQ(chunks.size(), 1u);
    EXPECT_EQ(chunks[0].bytes, reply);
}

TEST(SimFaults, LengthMakesTheRepliesOfOneCommandOneDataByteTooLong)
{
    struct Case {
        const char *fault;
        bool axis2, axis3;   // a 0x15 reply of axis 2 or 3 comes one byte too long
    };
    const Case cases[] = {{"length=0x15", true, true}, {"length=2:0x15", true, false}, {"length=21", true, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fault);
        FaultPlan plan;
        ASSERT_TRUE(plan.Parse(c.fault, nullptr));
        EXPECT_TRUE(plan.Any());
        FaultInjector injector(plan, 1);
        for (const uint8_t axis : {uint8_t{2}, uint8_t{3}}) {
            const auto reply = frame::Build(axis, 0x15, {1});
            const auto chunks = injector.Shape(axis, reply);
            ASSERT_EQ(chunks.size(), 1u);
            const auto &wire = chunks[0].bytes;
            const bool longer = axis == 2 ? c.axis2 : c.axis3;
            ASSERT_EQ(wire.size(), reply.size() + (longer ? 1u : 0u));
            // Framed as a good reply: start, address, command echo, CRC, CR LF; only the length is wrong.
            EXPECT_TRUE(frame::IsWholeReply(wire.data(), wire.size(), axis, 0x15));
            EXPECT_TRUE(frame::CrcMatches(wire.data(), wire.size()));
            EXPECT_EQ(wire[frame::kOffsetData], 1);
        }
        // Other commands are left alone.
        const auto other = frame::Build(2, 0x16, {1});
        EXPECT_EQ(injector.Shape(2, other)[0].bytes, other);
    }
    FaultPlan bad;
    for (const char *text : {"length", "length=", "length=2:", "length=256", "length=300:1", "length=x"})
        EXPECT_FALSE(bad.Parse(text, nullptr)) << text;

    // At run time, and back.
    FaultInjector injector(FaultPlan{}, 1);
    const auto reply = frame::Build(4, 0x17, std::vector<uint8_t>(8, 0));
    injector.SetWrongLength(4, 0x17, true);
    EXPECT_EQ(injector.Shape(4, reply)[0].bytes.size(), reply.size() + 1);
    injector.SetWrongLength(4, 0x17, false);
    EXPECT_EQ(injector.Shape(4, reply)[0].bytes, reply);
}

TEST(SimFaults, NoiseRepeatsWithTheSeedAndHoldsNoFrameBytes)
{
    FaultPlan plan;
    ASSERT_TRUE(plan.Parse("noise=200", nullptr));
    const auto reply = frame::Build(1, 0x15, {1});
    FaultInjector a(plan, 9), b(plan, 9), c(plan, 10);
    const auto wa = a.Shape(1, reply)[0].bytes;
    EXPECT_EQ(wa, b.Shape(1, reply)[0].bytes);
    EXPECT_NE(wa, c.Shape(1, reply)[0].bytes);
    for (size_t i = 0; i < 200; ++i)
        EXPECT_TRUE(wa[i] != 0xEF && wa[i] != 0x0D && wa[i] != 0x0A) << i;
}

TEST(SimFaults, TableEndStopsTheBulkReadWithTheEmptyRefusedFrame)
{
    auto bus = SimBus::CreateDemo();
    struct Case { uint8_t address; int16_t defined; const char *fault; int framesKept; };
    const Case cases[] = {
        {0, 8, "tableend", 5},      // short form, the default of five steps
        {2, 8, "tableend=3", 3},    // long form
        {0, 2, "tableend=5", 2},    // fewer steps than N: the refused frame follows the last
        {2, 8, "tableend=0", 0},    // refused at once
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fault);
        const bool longForm = bus->Device(c.address)->Model().longRecord;
        const size_t frameLength = longForm ? 51 : 49;
        for (int16_t step = 1; step <= c.defined; ++step) {
            StepRecord record;
            record.number = step;
            ASSERT_FALSE(test::Ask(*bus, c.address, cmd::kCmdWriteStep, PointTable::Encode(step, record, longForm)).empty());
        }
        const auto stream = test::Ask(*bus, c.address, cmd::kCmdReadAllSteps, {0x00, 0x00});
        FaultPlan plan;
        ASSERT_TRUE(plan.Parse(c.fault, nullptr));
        FaultInjector injector(plan, 1);
        const auto chunks = injector.Shape(c.address, stream);
        ASSERT_EQ(chunks.size(), 1u);
        const auto &wire = chunks[0].bytes;
        const size_t kept = static_cast<size_t>(c.framesKept) * frameLength;
        ASSERT_GE(wire.size(), kept + frameLength + AxisDevice::kBulkReadPaddingLength);
        EXPECT_TRUE(std::equal(wire.begin(), wire.begin() + static_cast<std::ptrdiff_t>(kept), stream.begin()));
        const uint8_t *refused = wire.data() + kept;
        EXPECT_EQ(refused[0], 0xEF);
        EXPECT_EQ(refused[1], c.address);
        EXPECT_EQ(refused[2], cmd::kCmdReadAllSteps);
        EXPECT_TRUE(std::all_of(refused + 3, refused + frameLength - 4, [](uint8_t b) { return b == 0; }));
        EXPECT_FALSE(frame::CrcMatches(refused, frameLength));
        EXPECT_EQ(refused[frameLength - 2], 0x0D);
        EXPECT_EQ(refused[frameLength - 1], 0x0A);
        EXPECT_TRUE(std::all_of(wire.begin() + static_cast<std::ptrdiff_t>(kept + frameLength), wire.end(),
                                [](uint8_t b) { return b == 0xFF; }));
        ASSERT_FALSE(test::Ask(*bus, c.address, cmd::kCmdClearPointTable, {}).empty());
    }
    // Other replies, and the padding of an empty table, pass unchanged.
    FaultPlan plan;
    ASSERT_TRUE(plan.Parse("tableend=1", nullptr));
    FaultInjector injector(plan, 1);
    const auto status = frame::Build(2, 0x15, {1});
    EXPECT_EQ(injector.Shape(2, status)[0].bytes, status);
    const std::vector<uint8_t> padding(AxisDevice::kBulkReadPaddingLength, 0xFF);
    EXPECT_EQ(FaultInjector::EndTableEarly(padding, 1), padding);
}

TEST(SimFaults, ParseRejectsUnknownKindsAndBadNumbers)
{
    for (const char *bad : {"smoke", "crc=x", "silent", "delay=-3", "stream", "stream=256"}) {
        FaultPlan plan;
        std::string error;
        EXPECT_FALSE(plan.Parse(bad, &error)) << bad;
        EXPECT_FALSE(error.empty());
    }
}

TEST(SimOptions, ParsesAxesAndSwitches)
{
    SimOptions options;
    std::string error;
    ASSERT_TRUE(options.Parse({"--axis", "0:MDC", "--axis", "0x3:MDA-Z:1305:LIFT: A", "--gateway", "--baud",
                               "57600", "--pace", "--fault", "crc=4", "--seed", "7", "--link", "/tmp/x",
                               "--state", "/tmp/s.json"},
                              &error)) << error;
    ASSERT_EQ(options.axes.size(), 2u);
    EXPECT_EQ(options.axes[0].model, "MDC");
    EXPECT_EQ(options.axes[0].version, "2105");
    EXPECT_EQ(options.axes[1].address, 3);
    EXPECT_EQ(options.axes[1].version, "1305");
    EXPECT_EQ(options.axes[1].name, "LIFT: A");
    EXPECT_TRUE(options.gateway);
    EXPECT_EQ(options.runner.baud, 57600);
    EXPECT_TRUE(options.runner.pace);
    EXPECT_EQ(options.runner.faults.crcEvery, 4);
    EXPECT_EQ(options.runner.seed, 7u);
    auto bus = options.BuildBus();
    EXPECT_EQ(bus->Addresses(), (std::vector<uint8_t>{0, 3, 0xF1}));
    EXPECT_EQ(bus->Gateway()->DeviceList()[3], 8);
}

TEST(SimOptions, RejectsBadInput)
{
    const std::vector<std::vector<std::string>> cases = {
        {"--axis", "16:MDA"}, {"--axis", "1:XYZ"}, {"--axis", "1"}, {"--axis", "1:MDA", "--axis", "1:MDB"},
        {"--baud", "fast"}, {"--fault", "smoke"}, {"--what"}, {"--link"}, {"--refuse-write", "16"},
        {"--refuse-write", "16:3"}, {"--refuse-write", "1:x"}, {"--refuse-write"}};
    for (const auto &args : cases) {
        SimOptions options;
        std::string error;
        EXPECT_FALSE(options.Parse(args, &error)) << args[0] << " " << (args.size() > 1 ? args[1] : "");
        EXPECT_FALSE(error.empty());
    }
}

TEST(SimOptions, RefusedWriteIsAnsweredWithZeroStatusAndKeepsTheValue)
{
    SimOptions options;
    std::string error;
    ASSERT_TRUE(options.Parse({"--refuse-write", "1:16", "--refuse-write", "0x2:31"}, &error)) << error;
    auto bus = options.BuildBus();
    struct Case {
        uint8_t axis;
        uint16_t number;
        bool refused;
    };
    const Case cases[] = {{1, 16, true}, {2, 31, true}, {1, 31, false}, {2, 16, false}, {0, 16, false}};
    for (const Case &c : cases) {
        const int32_t before = bus->Axis(c.axis)->Parameters().Get(c.number);
        std::vector<uint8_t> payload;
        frame::PutU16(payload, c.number);
        frame::PutI32(payload, before + 1);
        const auto request = frame::Build(c.axis, cmd::kCmdWriteParameter, payload);
        const auto reply = bus->Dispatch(request.data(), request.size());
        ASSERT_EQ(reply.size(), static_cast<size_t>(cmd::kReplyLenWriteParameter)) << int(c.axis) << ' ' << c.number;
        EXPECT_EQ(reply[frame::kOffsetData] == 0, c.refused) << int(c.axis) << ' ' << c.number;
        EXPECT_EQ(bus->Axis(c.axis)->Parameters().Get(c.number), c.refused ? before : before + 1);
    }
}

TEST(SimBus, ReplacePutsAFreshDeviceAtAnAddressThatHoldsOne)
{
    auto bus = SimBus::CreateDemo();
    bus->Axis(2)->Parameters().Set(16, 4321);
    ASSERT_TRUE(bus->Replace(std::make_unique<AxisDevice>(2, *FindModel("MDC"), "2105", "FRESH")));
    EXPECT_EQ(bus->Axis(2)->Name(), "FRESH");
    EXPECT_NE(bus->Axis(2)->Parameters().Get(16), 4321);
    EXPECT_FALSE(bus->Replace(std::make_unique<AxisDevice>(9, *FindModel("MDC"), "2105", "NOWHERE")));
    EXPECT_EQ(bus->Axis(9), nullptr);
}

TEST(SimStateFile, KeepsParametersTablesAndNamesAcrossRuns)
{
    const auto path = std::filesystem::temp_directory_path() / ("kvlsim-state-" + std::to_string(::getpid()) + ".json");
    {
        auto bus = SimBus::CreateDemo();
        ASSERT_EQ(test::Data(test::Ask(*bus, 1, cmd::kCmdWriteParameter, test::ParamWrite(16, 77)))[0], 1);
        StepRecord r;
        r.number = 9;
        r.position = 4242;
        r.jump = 2;
        bus->Axis(1)->Table().SetStep(9, r);
        std::vector<uint8_t> name(16, 0);
        name[0] = 'Q';
        ASSERT_EQ(test::Data(test::Ask(*bus, 0xF1, cmd::kCmdWriteDeviceName, name))[0], 1);
        std::string error;
        ASSERT_TRUE(StateFile::Save(path.string(), *bus, &error)) << error;
    }
    auto bus = SimBus::CreateDemo();
    std::string error;
    ASSERT_TRUE(StateFile::Load(path.string(), *bus, &error)) << error;
    EXPECT_EQ(bus->Axis(1)->Parameters().Get(16), 77);
    EXPECT_EQ(bus->Axis(1)->Table().Step(9).position, 4242);
    EXPECT_EQ(bus->Axis(1)->Table().Step(9).jump, 2);
    EXPECT_EQ(bus->Gateway()->Name(), "Q");
    EXPECT_EQ(bus->Axis(0)->Parameters().Get(16), SimBus::CreateDemo()->Axis(0)->Parameters().Get(16));
    EXPECT_NE(bus->Axis(0)->Parameters().Get(16), 77);

    // A missing file is a first run; a broken one is an error.
    EXPECT_TRUE(StateFile::Load(path.string() + ".none", *bus, &error));
    {
        std::FILE *f = std::fopen(path.string().c_str(), "w");
        std::fputs("{ not json", f);
        std::fclose(f);
    }
    EXPECT_FALSE(StateFile::Load(path.string(), *bus, &error));
    std::filesystem::remove(path);
}

} // namespace
} // namespace kvl::sim
