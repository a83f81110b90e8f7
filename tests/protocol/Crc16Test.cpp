#include "protocol/Crc16.h"
#include "protocol/Frame.h"

#include <gtest/gtest.h>

#include <cstring>

namespace kvl {
namespace {

TEST(Crc16, CheckValuesOfTheBusCrc)
{
    const char *check = "123456789";
    EXPECT_EQ(Crc16(reinterpret_cast<const uint8_t *>(check), std::strlen(check)), 0x31C3);
    const uint8_t one = 0x01;
    EXPECT_EQ(Crc16(&one, 1), 0x1021);
    EXPECT_EQ(Crc16(nullptr, 0), 0x0000);
}

TEST(Frame, ReadDeviceTypeOnAxis3IsGolden)
{
    const std::vector<uint8_t> expected{0xEF, 0x03, 0x01, 0x10, 0x21, 0x0D, 0x0A};
    const auto request = frame::Build(3, 0x01);
    EXPECT_EQ(request, expected);
    EXPECT_TRUE(frame::CrcMatches(request.data(), request.size()));
    EXPECT_TRUE(frame::EndsWithCrLf(request.data(), request.size()));
}

TEST(Frame, CrcMismatchAndShortFramesAreDetected)
{
    auto request = frame::Build(2, 0x24, {0x23, 0x00});
    ASSERT_EQ(request.size(), 9u);
    request[3] ^= 0x01;
    EXPECT_FALSE(frame::CrcMatches(request.data(), request.size()));
    EXPECT_FALSE(frame::CrcMatches(request.data(), 6));
}

TEST(Frame, WholeReplyNeedsEveryPartButTheCrc)
{
    const std::vector<uint8_t> good = frame::Build(2, 0x24, {0x23, 0x00});
    struct Case {
        const char *name;
        size_t at;      // byte changed; good.size() for none
        size_t length;  // length handed over
        bool whole;
    };
    const Case cases[] = {
        {"Intact", good.size(), good.size(), true},
        {"CrcByteIsNotLookedAt", 5, good.size(), true},
        {"StartByte", frame::kOffsetStart, good.size(), false},
        {"OtherAxis", frame::kOffsetAxis, good.size(), false},
        {"OtherCommand", frame::kOffsetCommand, good.size(), false},
        {"NoCr", good.size() - 2, good.size(), false},
        {"NoLf", good.size() - 1, good.size(), false},
        {"ShorterThanAFrame", good.size(), frame::kFrameOverhead - 1, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> reply = good;
        if (c.at < reply.size())
            reply[c.at] ^= 0x40;
        if (c.length < reply.size()) {
            reply.resize(c.length);
            reply.back() = frame::kLf;
            reply[reply.size() - 2] = frame::kCr;
        }
        EXPECT_EQ(frame::IsWholeReply(reply.data(), reply.size(), 2, 0x24), c.whole);
    }
}

TEST(Frame, LittleEndianFields)
{
    const uint8_t bytes[] = {0xFE, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(frame::GetI32(bytes), -2);
    EXPECT_EQ(frame::GetI16(bytes + 2), -1);
    std::vector<uint8_t> out;
    frame::PutI32(out, -1);
    frame::PutU16(out, 0x0124);
    EXPECT_EQ(out, (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0x24, 0x01}));
}

} // namespace
} // namespace kvl
