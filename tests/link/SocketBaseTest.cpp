#include <gtest/gtest.h>

#include "link/SocketBase.h"

namespace kvl {
namespace {

TEST(SocketBase, StartsWithTheLocalServiceAddress)
{
    SocketBase socket;
    EXPECT_EQ(socket.Address(), "127.0.0.1");
    EXPECT_EQ(socket.AddressValue(), 0x7F000001u);
    EXPECT_EQ(socket.Port(), 9000);
    EXPECT_TRUE(socket.Initialised());
    EXPECT_FALSE(socket.IsConnected());
    EXPECT_EQ(socket.LastError(), "");
}

TEST(SocketBase, ParsesDottedAddressesOnly)
{
    struct Case {
        const char *text;
        bool ok;
        uint32_t value;
    };
    const Case cases[] = {
        {"127.0.0.1", true, 0x7F000001u}, {"192.168.10.254", true, 0xC0A80AFEu}, {"0.0.0.0", true, 0},
        {"255.255.255.255", true, 0xFFFFFFFFu}, {"256.0.0.1", false, 0}, {"1.2.3", false, 0},
        {"1.2.3.4.5", false, 0}, {"1..2.3", false, 0}, {"localhost", false, 0}, {"", false, 0},
        {"1.2.3.4 ", false, 0}, {"0001.2.3.4", false, 0}, {"-1.2.3.4", false, 0},
    };
    for (const Case &c : cases) {
        uint32_t value = 0xDEADBEEF;
        EXPECT_EQ(SocketBase::ParseAddress(c.text, &value), c.ok) << c.text;
        if (c.ok)
            EXPECT_EQ(value, c.value) << c.text;
        else
            EXPECT_EQ(value, 0xDEADBEEFu) << c.text;
    }
}

TEST(SocketBase, KeepsTheTextOfTheLastFailure)
{
    SocketBase socket;
    EXPECT_TRUE(socket.SetServer("10.0.0.2", 9100));
    EXPECT_EQ(socket.Address(), "10.0.0.2");
    EXPECT_EQ(socket.Port(), 9100);
    EXPECT_FALSE(socket.SetServer("10.0.0.300", 9100));
    EXPECT_EQ(socket.LastError(), "ERROR: Set IP Error!");
    EXPECT_EQ(socket.Address(), "10.0.0.2");
    EXPECT_FALSE(socket.SetServer("10.0.0.3", 0));
    EXPECT_EQ(socket.Connect(), 0);
    EXPECT_EQ(socket.LastError(), "ERROR: Connect Error!");
    EXPECT_EQ(socket.Send(""), 0);
    EXPECT_EQ(socket.LastError(), "ERROR: Data is NULL!");
    EXPECT_EQ(socket.Send("RUN"), 0);
    EXPECT_EQ(socket.LastError(), "ERROR: Send 'RUN' Error!");
    std::string answer = "old";
    EXPECT_EQ(socket.Receive(&answer), 0);
    EXPECT_EQ(answer, "");
    EXPECT_EQ(socket.LastError(), "ERROR: Recv Error!");
}

} // namespace
} // namespace kvl
