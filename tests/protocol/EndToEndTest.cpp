// Each command family once through the real facade and serial transport, against a scripted
// device on a pseudo-terminal: the bytes the device receives, and the values the commands hand
// back from what it sends.
#include <map>
#include <memory>
#include <mutex>

#include <gtest/gtest.h>

#include "link/CCommImplement.h"
#include "link/CPortResolver.h"
#include "protocol/CServoCommands.h"
#include "protocol/CStepCodec.h"
#include "protocol/Frame.h"
#include "support/PtyPeer.h"

namespace kvl::test {
namespace {

using Bytes = std::vector<uint8_t>;
using Handler = std::function<PeerAction(const Bytes &request)>;

constexpr int kPort = 1;
constexpr int kSpeed = 115200;
constexpr uint8_t kAxis = 3;

PeerAction Reply(uint8_t command, const Bytes &data, uint8_t axis = kAxis)
{
    return PeerAction::Reply(frame::Build(axis, command, data));
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_peer = std::make_unique<PtyPeer>([this](const Bytes &request) {
            std::lock_guard<std::mutex> hold(m_mutex);
            if (request.size() < 3 || !m_handlers.count(request[2]))
                return PeerAction::Silent();
            return m_handlers[request[2]](request);
        });
        ASSERT_TRUE(m_peer->Start());
        m_comm = std::make_unique<CCommImplement>();
        m_comm->Ports().SetPath(kPort, m_peer->Path());
        m_commands = std::make_unique<CServoCommands>(m_comm.get());
        ASSERT_EQ(m_commands->OpenPort(kPort, kSpeed), 1);
    }

    void TearDown() override
    {
        m_commands->ClosePort();
        m_peer->Stop();
    }

    void On(uint8_t command, Handler handler)
    {
        std::lock_guard<std::mutex> hold(m_mutex);
        m_handlers[command] = std::move(handler);
    }

    Bytes LastRequest() const { return m_peer->Requests().back(); }

    std::unique_ptr<PtyPeer> m_peer;
    std::unique_ptr<CCommImplement> m_comm;
    std::unique_ptr<CServoCommands> m_commands;

private:
    std::mutex m_mutex;
    std::map<uint8_t, Handler> m_handlers;
};

TEST_F(EndToEnd, PortOperations)
{
    EXPECT_EQ(m_commands->IsPortOpen(), 1);
    m_commands->ClosePort();
    EXPECT_EQ(m_commands->IsPortOpen(), 0);
    EXPECT_EQ(m_commands->OpenPort(kPort, kSpeed), 1);
    EXPECT_EQ(m_commands->IsPortOpen(), 1);
}

TEST_F(EndToEnd, IdentificationChainAndStatus)
{
    On(0x01, [](const Bytes &) { return Reply(0x01, {0x00, 0x03}); });
    On(0x04, [](const Bytes &) {
        const std::string text = "1.02Gantry X";
        Bytes data(20, 0);
        std::copy(text.begin(), text.end(), data.begin());
        return Reply(0x04, data);
    });
    On(0x17, [](const Bytes &) { return Reply(0x17, {0x10, 0x27, 0x00, 0x00, 0x20, 0x4E, 0x00, 0x00}); });
    std::string model, version, name;
    EXPECT_EQ(m_commands->ReadDeviceType(model, version, name, kAxis, 30), -200);
    EXPECT_EQ(model, "MDC");
    EXPECT_EQ(version, "1.02");
    EXPECT_EQ(name, "Gantry X");
    ASSERT_EQ(m_peer->RequestCount(), 2);
    EXPECT_EQ(m_peer->Requests()[0], (Bytes{0xEF, 0x03, 0x01, 0x10, 0x21, 0x0D, 0x0A}));

    Positions p;
    EXPECT_EQ(m_commands->ReadPositions(p, kAxis, 200), -200);
    EXPECT_EQ(p.current, 10000);
    EXPECT_EQ(p.command, 20000);
}

TEST_F(EndToEnd, NoiseAroundTheReplyIsCleanedAndSilenceTimesOut)
{
    On(0x15, [](const Bytes &) {
        Bytes noisy = frame::Build(kAxis, 0x15, {0x01});
        noisy.insert(noisy.begin(), 2, 0x00);
        return PeerAction::Reply(noisy);
    });
    uint8_t servo = 0;
    EXPECT_EQ(m_commands->ReadServoState(servo, kAxis, 200), -200);
    EXPECT_EQ(servo, 1);

    uint8_t home = 0x42;
    EXPECT_EQ(m_commands->ReadHomeDone(home, kAxis, 50), -202);
    EXPECT_EQ(home, 0x42);
}

TEST_F(EndToEnd, ParametersReadWriteAndRefusal)
{
    On(0x24, [](const Bytes &req) {
        if (req[3] == 99)
            return PeerAction::Reply({0xEF, kAxis, 0x24, 0x0F, 0x00, 0x00, 0, 0, 0, 0, 0, 0x0D, 0x0A});
        return Reply(0x24, {req[3], req[4], 0xFE, 0xFF, 0xFF, 0xFF});
    });
    On(0x25, [](const Bytes &) { return Reply(0x25, {0x01}); });
    int32_t value = 0;
    EXPECT_EQ(m_commands->ReadParameter(35, value, kAxis, 200), -200);
    EXPECT_EQ(value, -2);
    EXPECT_EQ(m_commands->ReadParameter(99, value, kAxis, 200), 0);
    EXPECT_EQ(value, -2);
    EXPECT_EQ(m_commands->WriteParameter(35, -1, kAxis, 200), -200);
    const Bytes write = LastRequest();
    EXPECT_EQ(Bytes(write.begin() + 3, write.begin() + 9), (Bytes{0x23, 0x00, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST_F(EndToEnd, PointTableBulkReadWriteAndSingleStep)
{
    StepRecord rec;
    rec.step = 1;
    rec.mode = 1;
    rec.position = 2.5;
    rec.speed = 50;
    rec.acc = 0.29;
    rec.dcc = 0.3;
    rec.jump = 2;
    const Bytes record = CStepCodec::Encode(1, rec, true);
    On(0x1F, [record](const Bytes &req) {
        const Bytes step = frame::Build(kAxis, 0x1F, record);
        if (req[3] != 0 || req[4] != 0)
            return PeerAction::Reply(step);
        Bytes stream = step;
        const Bytes ack = frame::Build(kAxis, 0x1F, {0x01});
        stream.insert(stream.end(), ack.begin(), ack.end());
        stream.insert(stream.end(), step.begin(), step.end());
        // 40 bytes of padding, then a tail of 4 that ends the stream.
        stream.insert(stream.end(), 42, 0xFF);
        stream.push_back(0x0D);
        stream.push_back(0x0A);
        // The stream comes in two chunks, as a slow controller sends it.
        const size_t half = stream.size() / 2;
        return PeerAction::Chunks({{Bytes(stream.begin(), stream.begin() + half), 0},
                                   {Bytes(stream.begin() + half, stream.end()), 5}});
    });
    On(0x20, [](const Bytes &) { return Reply(0x20, {0x01}); });

    std::vector<std::string> lines;
    EXPECT_EQ(m_commands->ReadAllSteps("MDC", lines, kAxis, 200), -200);
    const std::string line = "1,A,2.5000,50.00,0.3,0.3,0,0,0.0000,0.0000,0.0000,0,0,0,0,2";
    EXPECT_EQ(lines, (std::vector<std::string>{line, line}));
    EXPECT_FALSE(m_comm->PaddingMode());

    StepRecord read;
    EXPECT_EQ(m_commands->ReadStep(1, "MDC", read, kAxis, 200), -200);
    EXPECT_EQ(CStepCodec::FormatLine(read), line);

    EXPECT_EQ(m_commands->WriteStep(rec, "MDC", kAxis, 200), -200);
    EXPECT_EQ(LastRequest().size(), 51u);
    EXPECT_EQ(LastRequest()[16], 29);   // ACC 0.29, exact at the field's resolution
    EXPECT_EQ(m_commands->WriteStepValues(4, StepRecord{}, kAxis, 200), -200);
    EXPECT_EQ(LastRequest().size(), 49u);
}

TEST_F(EndToEnd, MotionAndMonitor)
{
    On(0x10, [](const Bytes &) { return Reply(0x10, {0x01}); });
    On(0x19, [](const Bytes &) { return Reply(0x19, {0x78, 0x56, 0x34, 0x12}); });
    On(0x34, [](const Bytes &) { return Reply(0x34, {42, 0}); });
    uint8_t status = 0;
    EXPECT_EQ(m_commands->JogStart(250, status, kAxis, 200), -200);
    EXPECT_EQ(LastRequest(), (Bytes{0xEF, 0x03, 0x10, 0x01, 0x13, 0x52, 0x0D, 0x0A}));
    uint32_t signals = 0;
    EXPECT_EQ(m_commands->ReadIOSignals(signals, kAxis, 200), -200);
    EXPECT_EQ(signals, 0x12345678u);
    uint8_t load = 0;
    EXPECT_EQ(m_commands->ReadLoadFactor("MDC", load, kAxis, 200), -200);
    EXPECT_EQ(load, 42);
    EXPECT_EQ(m_commands->ReadLoadFactor("MDA", load, kAxis, 200), -205);
}

TEST_F(EndToEnd, WaveformBatchOfTwoChannels)
{
    On(0x37, [](const Bytes &) {
        Bytes data;
        frame::PutU16(data, 0x0064);
        frame::PutI32(data, 200);
        frame::PutI32(data, 1);
        frame::PutI32(data, 2);
        for (int k = 0; k < 50; ++k) {
            frame::PutU16(data, static_cast<uint16_t>(k));
            frame::PutU16(data, static_cast<uint16_t>(-k));
        }
        return Reply(0x37, data);
    });
    WaveBatch batch;
    EXPECT_EQ(m_commands->ReadWaveData(2, batch, kAxis, 80), -200);
    EXPECT_EQ(batch.count, 50);
    EXPECT_EQ(batch.firstIndex, 100);
    ASSERT_EQ(batch.channel2.size(), 50u);
    EXPECT_EQ(batch.channel2[49], -49);
}

TEST_F(EndToEnd, WaveformControllerFallingSilentMidReply)
{
    On(0x37, [](const Bytes &) {
        Bytes data;
        frame::PutU16(data, 0x0064);
        data.resize(214, 0);
        const Bytes full = frame::Build(kAxis, 0x37, data);
        return PeerAction::Reply(Bytes(full.begin(), full.begin() + 15));
    });
    WaveBatch batch;
    batch.count = -1;
    EXPECT_EQ(m_commands->ReadWaveData(2, batch, kAxis, 80), -202);
    EXPECT_EQ(batch.count, -1);
}

TEST_F(EndToEnd, AutoTuning)
{
    On(0x50, [](const Bytes &) { return Reply(0x50, {0x01}); });
    On(0x51, [](const Bytes &) { return Reply(0x51, {0x01, 0x00, 0xFF, 0xFF, 0x10, 0x00}); });
    EXPECT_EQ(m_commands->StartAutoTuning(1, 1, 1, kAxis, 200), -200);
    const Bytes start = LastRequest();
    EXPECT_EQ(Bytes(start.begin() + 3, start.begin() + 7), (Bytes{0x01, 0x00, 0x01, 0x01}));
    AutoTuningStatus st;
    EXPECT_EQ(m_commands->ReadAutoTuningStatus(st, kAxis, 200), -200);
    EXPECT_EQ(st.qualityState, 1);
    EXPECT_EQ(st.value1, -1);
    EXPECT_EQ(st.value2, 16);
}

TEST_F(EndToEnd, GatewayTables)
{
    On(0xD2, [](const Bytes &) { return Reply(0xD2, {0x01}, 0xF1); });
    On(0xCA, [](const Bytes &) {
        Bytes list(16, 8);
        list[0] = 4;
        return Reply(0xCA, list, 0xF1);
    });
    UnitDeviceTables tables;
    tables.deviceList.fill(8);
    tables.inputModes.fill(3);
    uint8_t status = 0;
    EXPECT_EQ(m_commands->WriteUnitDeviceTables(tables, status, 0xF1, 30), -200);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(LastRequest().size(), 39u);
    UnitDeviceList list{};
    EXPECT_EQ(m_commands->ReadUnitDeviceList(list, 0xF1, 200), -200);
    EXPECT_EQ(list[0], 0);
    EXPECT_EQ(list[15], 8);
}

} // namespace
} // namespace kvl::test
