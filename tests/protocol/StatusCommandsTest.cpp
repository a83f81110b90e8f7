// Identification and status commands: golden requests, the model table, the chained device-type
// read with its partial outputs, and the decoding of each status reply.
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "FakeComm.h"
#include "protocol/CServoCommands.h"
#include "protocol/CommandCodes.h"
#include "protocol/Frame.h"

namespace kvl::test {
namespace {

Bytes VersionAndNameData(const std::string &version, const std::string &name)
{
    Bytes data(20, 0);
    std::copy(version.begin(), version.end(), data.begin());
    std::copy(name.begin(), name.end(), data.begin() + 4);
    return data;
}

class StatusCommands : public ::testing::Test {
protected:
    FakeComm comm;
    CServoCommands commands{&comm};
};

TEST(ModelCodes, TypeCodesMapToModelTexts)
{
    const std::vector<std::pair<int, std::string>> table{
        {1, "MDA"}, {2, "MDB"}, {3, "MDC"}, {5, "GWX"}, {6, "MDC-X"}, {7, "MDA-Y"}, {8, "MDA-Z"},
        {0, "MDA"}, {4, "MDA"}, {9, "MDA"}, {255, "MDA"}};
    for (const auto &[code, text] : table) {
        EXPECT_EQ(cmd::ModelTextFromCode(code), text) << "code " << code;
        if (code != 0 && code != 4 && code < 9) {
            EXPECT_EQ(cmd::ModelCodeFromText(text), code) << text;
        }
    }
    EXPECT_EQ(cmd::ModelCodeFromText("XYZ"), 1);
}

TEST(ModelCodes, LongRecordModels)
{
    for (const char *m : {"MDB", "MDC", "MDC-X"})
        EXPECT_TRUE(CModelTraits::Of(m).UsesLongRecord()) << m;
    for (const char *m : {"MDA", "MDA-Y", "MDA-Z", "GWX", ""})
        EXPECT_FALSE(CModelTraits::Of(m).UsesLongRecord()) << m;
}

TEST_F(StatusCommands, ReadDeviceTypeChainsVersionReadWith200ms)
{
    comm.Answer(ReplyFrame(3, 0x01, {0x00, 0x03}));
    comm.Answer(ReplyFrame(3, 0x04, VersionAndNameData("V1.2", "Lift axis")));
    std::string model, version, name;
    EXPECT_EQ(commands.ReadDeviceType(model, version, name, 3, 30), -200);
    EXPECT_EQ(model, "MDC");
    EXPECT_EQ(version, "V1.2");
    EXPECT_EQ(name, "Lift axis");
    ASSERT_EQ(comm.calls.size(), 2u);
    EXPECT_EQ(comm.calls[0].request, (Bytes{0xEF, 0x03, 0x01, 0x10, 0x21, 0x0D, 0x0A}));
    EXPECT_EQ(comm.calls[0].timeoutMs, 30);
    EXPECT_EQ(comm.calls[0].expected, 9);
    EXPECT_EQ(comm.calls[1].request, (Bytes{0xEF, 0x03, 0x04, 0x40, 0x84, 0x0D, 0x0A}));
    EXPECT_EQ(comm.calls[1].timeoutMs, 200);
    EXPECT_EQ(comm.calls[1].expected, 27);
}

TEST_F(StatusCommands, ReadDeviceTypeRecognisesTheGateway)
{
    comm.Answer(ReplyFrame(0xF1, 0x01, {0x00, 0x05}));
    comm.Answer(ReplyFrame(0xF1, 0x04, VersionAndNameData("1.00", "")));
    std::string model, version, name = "old";
    EXPECT_EQ(commands.ReadDeviceType(model, version, name, 0xF1, 200), -200);
    EXPECT_EQ(model, "GWX");
    EXPECT_EQ(name, "");
}

TEST_F(StatusCommands, ReadDeviceTypeKeepsModelWhenChainedReadFails)
{
    comm.Answer(ReplyFrame(2, 0x01, {0x00, 0x08}));
    comm.AnswerResult(-202);
    std::string model = "?", version = "v", name = "n";
    EXPECT_EQ(commands.ReadDeviceType(model, version, name, 2, 30), -202);
    EXPECT_EQ(model, "MDA-Z");
    EXPECT_EQ(version, "v");
    EXPECT_EQ(name, "n");
}

TEST_F(StatusCommands, ReadDeviceTypeCrcFailureEmptiesNameAndStops)
{
    comm.Answer(WithBadCrc(ReplyFrame(2, 0x01, {0x00, 0x02})));
    std::string model = "?", version = "v", name = "n";
    EXPECT_EQ(commands.ReadDeviceType(model, version, name, 2, 30), -205);
    EXPECT_EQ(model, "?");
    EXPECT_EQ(version, "v");
    EXPECT_EQ(name, "");
    EXPECT_EQ(comm.calls.size(), 1u);
}

TEST_F(StatusCommands, ReadDeviceTypeOtherFailuresKeepName)
{
    const std::vector<std::pair<Bytes, int>> replies{
        {ReplyFrame(4, 0x01, {0x00, 0x02}), -200},   // another axis answered
        {ReplyFrame(2, 0x01, {0x00}), -200},         // short
        {{}, -202}};
    for (const auto &[reply, exchange] : replies) {
        FakeComm fresh;
        CServoCommands c(&fresh);
        fresh.Answer(reply, exchange);
        std::string model = "?", version = "v", name = "n";
        EXPECT_NE(c.ReadDeviceType(model, version, name, 2, 30), -200);
        EXPECT_EQ(name, "n");
        EXPECT_EQ(model, "?");
        EXPECT_EQ(fresh.calls.size(), 1u);
    }
}

TEST_F(StatusCommands, VersionAndNameTexts)
{
    const std::string sixteen = "ABCDEFGHIJKLMNOP";
    comm.Answer(ReplyFrame(1, 0x04, VersionAndNameData("2.05", sixteen)));
    std::string version, name;
    EXPECT_EQ(commands.ReadVersionAndName(version, name, 1, 200), -200);
    EXPECT_EQ(version, "2.05");
    EXPECT_EQ(name, sixteen);

    comm.Answer(WithBadCrc(ReplyFrame(1, 0x04, VersionAndNameData("2.06", "X"))));
    EXPECT_EQ(commands.ReadVersionAndName(version, name, 1, 200), -205);
    EXPECT_EQ(version, "2.05");
    EXPECT_EQ(name, "");
}

TEST_F(StatusCommands, VersionAndNameOnlyCrcFailureEmptiesName)
{
    const Bytes good = ReplyFrame(1, 0x04, VersionAndNameData("2.05", "Name"));
    Bytes noLf = good;
    noLf.back() = 0;
    struct Case {
        Bytes reply;
        int exchange;
        std::string nameAfter;
    };
    // The refusal pattern fails on the CRC too, so it empties the name like any CRC failure.
    const std::vector<Case> table{{ReplyFrame(2, 0x04, VersionAndNameData("2.05", "Name")), -200, "n"},
                                  {noLf, -200, "n"},
                                  {{}, -202, "n"},
                                  {RefusalFrame(1, 0x04, 27), -200, ""}};
    for (const Case &c : table) {
        comm.Answer(c.reply, c.exchange);
        std::string version = "v", name = "n";
        EXPECT_NE(commands.ReadVersionAndName(version, name, 1, 200), -200);
        EXPECT_EQ(version, "v");
        EXPECT_EQ(name, c.nameAfter);
    }
}

TEST_F(StatusCommands, WriteDeviceNameFillsSixteenBytes)
{
    const std::vector<std::pair<std::string, Bytes>> table{
        {"ABCDEFGHIJKLMNOP", Bytes{'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P'}},
        {"Z1", Bytes{'Z', '1', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"", Bytes(16, 0)}};
    for (const auto &[text, payload] : table) {
        FakeComm fresh;
        CServoCommands c(&fresh);
        fresh.Answer(ReplyFrame(1, 0x03, {0x01}));
        uint8_t status = 0;
        EXPECT_EQ(c.WriteDeviceName(text, status, 1, 200), -200);
        EXPECT_EQ(status, 1);
        ASSERT_EQ(fresh.calls.size(), 1u);
        const Bytes &req = fresh.calls[0].request;
        ASSERT_EQ(req.size(), 23u);
        EXPECT_EQ(Bytes(req.begin() + 3, req.begin() + 19), payload) << text;
        EXPECT_EQ(fresh.calls[0].expected, 8);
    }
}

TEST_F(StatusCommands, WriteDeviceNameRefusesSeventeenCharactersBeforeSending)
{
    uint8_t status = 0x55;
    EXPECT_EQ(commands.WriteDeviceName("ABCDEFGHIJKLMNOPQ", status, 1, 200), -205);
    EXPECT_TRUE(comm.calls.empty());
    EXPECT_EQ(status, 0x55);
}

TEST_F(StatusCommands, ReadPositionsGivesCurrentThenCommand)
{
    comm.Answer(ReplyFrame(1, 0x17, {0x10, 0x27, 0x00, 0x00, 0x20, 0x4E, 0x00, 0x00}));
    Positions p;
    EXPECT_EQ(commands.ReadPositions(p, 1, 200), -200);
    EXPECT_EQ(p.current, 10000);
    EXPECT_EQ(p.command, 20000);

    comm.Answer(ReplyFrame(1, 0x17, {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80}));
    EXPECT_EQ(commands.ReadPositions(p, 1, 200), -200);
    EXPECT_EQ(p.current, -1);
    EXPECT_EQ(p.command, INT32_MIN);
}

TEST_F(StatusCommands, ReadCurrentStepIsSignExtended)
{
    const std::vector<std::pair<Bytes, int>> table{{{0xFF, 0xFF}, -1}, {{0x03, 0x00}, 3}, {{0x00, 0x80}, -32768},
                                                   {{0x34, 0x12}, 0x1234}};
    for (const auto &[data, value] : table) {
        comm.Answer(ReplyFrame(1, 0x1A, data));
        int step = 0;
        EXPECT_EQ(commands.ReadCurrentStep(step, 1, 200), -200);
        EXPECT_EQ(step, value);
    }
}

TEST_F(StatusCommands, ReadOperationStatusSplitsFlags)
{
    comm.Answer(ReplyFrame(1, 0x1B, {0x28, 0x07, 0xFE, 0xFF}));
    OperationStatus st;
    EXPECT_EQ(commands.ReadOperationStatus(st, 1, 200), -200);
    EXPECT_EQ(st.flags, (std::array<int, 6>{0, 0, 0, 1, 0, 1}));
    EXPECT_TRUE(st.ProgramRunning());
    EXPECT_TRUE(st.Paused());
    EXPECT_EQ(st.state, 7);
    EXPECT_EQ(st.value, -2);

    // Bits 6 and 7 are not flags.
    comm.Answer(ReplyFrame(1, 0x1B, {0xD7, 0x00, 0x10, 0x00}));
    EXPECT_EQ(commands.ReadOperationStatus(st, 1, 200), -200);
    EXPECT_EQ(st.flags, (std::array<int, 6>{1, 1, 1, 0, 1, 0}));
    EXPECT_FALSE(st.ProgramRunning());
    EXPECT_FALSE(st.Paused());
    EXPECT_EQ(st.value, 16);
}

TEST_F(StatusCommands, ByteStatusReadsHandTheByteBack)
{
    struct Case {
        uint8_t command;
        std::function<int(uint8_t &)> call;
    };
    const std::vector<Case> table{
        {0x15, [&](uint8_t &b) { return commands.ReadServoState(b, 6, 200); }},
        {0x16, [&](uint8_t &b) { return commands.ReadHomeDone(b, 6, 200); }},
        {0x18, [&](uint8_t &b) { return commands.ReadRunMode(b, 6, 200); }}};
    for (const Case &c : table) {
        for (uint8_t value : {0x00, 0x01, 0xFF}) {
            comm.Answer(ReplyFrame(6, c.command, {value}));
            uint8_t out = 0x5A;
            EXPECT_EQ(c.call(out), -200);
            EXPECT_EQ(out, value);
            EXPECT_EQ(comm.calls.back().request, frame::Build(6, c.command));
        }
    }
}

TEST_F(StatusCommands, PortOperationsPassToTheFacade)
{
    comm.mode = 1;
    EXPECT_EQ(commands.OpenPort(3, 115200), 1);
    EXPECT_EQ(comm.modesAtOpen, std::vector<int>{0});
    EXPECT_EQ(comm.openedPort, 3);
    EXPECT_EQ(comm.openedSpeed, 115200);
    EXPECT_EQ(commands.IsPortOpen(), 1);
    commands.ClosePort();
    EXPECT_EQ(commands.IsPortOpen(), 0);
    comm.openResult = 0;
    EXPECT_EQ(commands.OpenPort(4, 38400), 0);
    EXPECT_EQ(commands.IsPortOpen(), 0);
}

} // namespace
} // namespace kvl::test
