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
