// A device that goes away while the port is open (the pseudo-terminal closed, as when a USB
// adapter is unplugged): a clear result, the port closed, and a working exchange once a device
// is back.
#include "PeerTest.h"
#include "link/CComAccess.h"
#include "link/CCommImplement.h"
#include "link/ResultCode.h"

namespace kvl::test {
namespace {

class DeviceLossTest : public PeerTest {
protected:
    static constexpr const char *kMissingDevice = "/dev/kvl-no-such-device";

    int Run(CComm &comm, uint8_t command, int expected, int timeoutMs, int *count)
    {
        const std::vector<uint8_t> request = Frame(command);
        return comm.Exchange(request.data(), static_cast<int>(request.size()), reply.data(), count, expected,
                             timeoutMs, 20);
    }
    // A second device, on a new pseudo-terminal, that answers every request.
    std::unique_ptr<PtyPeer> StartNewDevice()
    {
        auto device = std::make_unique<PtyPeer>([](const std::vector<uint8_t> &request) {
            return PeerAction::Reply(frame::Build(request[1], request[2], {0x01}));
        });
        EXPECT_TRUE(device->Start());
        return device;
    }

    std::vector<uint8_t> reply = std::vector<uint8_t>(link::kReceiveLimit);
};

TEST_F(DeviceLossTest, VanishingDuringTheReplyGivesTimeoutAndClosesThePort)
{
    CCommImplement comm;
    PointAtPeer(comm.Ports());
    ASSERT_EQ(comm.OpenSerial(kPort, kSpeed), 1);
    const std::vector<uint8_t> full = Frame(0x15, {0x01});
    for (uint8_t command : {uint8_t{0x15}, uint8_t{0x37}}) {
        Script([&full](const std::vector<uint8_t> &) {
            return PeerAction::Vanish({{std::vector<uint8_t>(full.begin(), full.begin() + 3), 0}});
        });
        int count = -1;
        EXPECT_EQ(Run(comm, command, command == 0x37 ? -1 : 8, 200, &count), kResultTimeout) << int(command);
        EXPECT_EQ(comm.IsOpen(), 0) << int(command);
        EXPECT_TRUE(m_peer->Vanished());
        // A new device on the same number: the next exchange reopens the port by itself.
        m_peer->Stop();
        m_peer = MakePeer();
        ASSERT_TRUE(m_peer->Start());
        comm.Ports().SetPath(kPort, m_peer->Path());
        ASSERT_EQ(comm.OpenSerial(kPort, kSpeed), 1);
    }
}

TEST_F(DeviceLossTest, AfterTheLossALaterExchangeFailsToOpenThenWorksWithTheNewDevice)
{
    CCommImplement comm;
    PointAtPeer(comm.Ports());
    ASSERT_EQ(comm.OpenSerial(kPort, kSpeed), 1);
    Script([](const std::vector<uint8_t> &) { return PeerAction::Vanish(); });
    int count = -1;
    EXPECT_EQ(Run(comm, 0x15, 8, 200, &count), kResultTimeout);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(comm.IsOpen(), 0);
    // While no device is there, the implicit reopen fails. (The freed pseudo-terminal name may
    // be taken at once by another process's new one, so the number points at a missing device.)
    comm.Ports().SetPath(kPort, kMissingDevice);
    EXPECT_EQ(Run(comm, 0x15, 8, 200, &count), kResultOpenFailed);
    EXPECT_EQ(comm.IsOpen(), 0);

    auto device = StartNewDevice();
    comm.Ports().SetPath(kPort, device->Path());
    EXPECT_EQ(Run(comm, 0x16, 8, 200, &count), kResultOk);
    EXPECT_EQ(count, 8);
    EXPECT_EQ(comm.IsOpen(), 1);
    EXPECT_EQ(device->RequestCount(), 1);
}

TEST_F(DeviceLossTest, VanishingBetweenExchangesGivesAWriteFailureThenANewNumberWorks)
{
    CCommImplement comm;
    PointAtPeer(comm.Ports());
    ASSERT_EQ(comm.OpenSerial(kPort, kSpeed), 1);
    AnswerWith({{Frame(0x15, {0x01}), 0}});
    int count = -1;
    EXPECT_EQ(Run(comm, 0x15, 8, 200, &count), kResultOk);
    // Started while the first device still exists, so it gets a path of its own.
    auto device = StartNewDevice();
    ASSERT_NE(device->Path(), m_peer->Path());
    // The device goes away while the port is idle.
    m_peer->Stop();

    EXPECT_EQ(Run(comm, 0x15, 8, 200, &count), kResultWriteFailed);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(comm.IsOpen(), 0);
    comm.Ports().SetPath(kPort, kMissingDevice);
    EXPECT_EQ(Run(comm, 0x15, 8, 200, &count), kResultOpenFailed);

    const int number = comm.Ports().AssignNumber(device->Path());
    EXPECT_EQ(number, kPort + 1);
    ASSERT_EQ(comm.OpenSerial(number, kSpeed), 1);
    EXPECT_EQ(comm.GetPort(), number);
    EXPECT_EQ(Run(comm, 0x16, 8, 200, &count), kResultOk);
    EXPECT_EQ(count, 8);
    EXPECT_EQ(device->RequestCount(), 1);
}

} // namespace
} // namespace kvl::test
