#include <gtest/gtest.h>

#include "link/CPortResolver.h"

namespace kvl {
namespace {

class PortResolverTest : public ::testing::Test {
protected:
    CPortResolver resolver;
};

TEST_F(PortResolverTest, NumbersWithoutEntryUseThePlatformNames)
{
    struct Case {
        int number;
        const char *path;
    };
#ifdef _WIN32
    const Case cases[] = {{1, "\\\\.\\COM1"}, {12, "\\\\.\\COM12"}, {0, ""}, {-3, ""}};
#else
    const Case cases[] = {{1, "/dev/ttyS0"}, {4, "/dev/ttyS3"}, {12, "/dev/ttyS11"}, {0, ""}, {-3, ""}};
#endif
    for (const Case &c : cases)
        EXPECT_EQ(resolver.DevicePath(c.number), c.path) << "port " << c.number;
}

TEST_F(PortResolverTest, ExplicitEntryWinsAndCanBeRemoved)
{
    EXPECT_TRUE(resolver.SetPath(3, "/dev/ttyUSB0"));
    EXPECT_EQ(resolver.DevicePath(3), "/dev/ttyUSB0");
    EXPECT_EQ(resolver.GetPath(3), "/dev/ttyUSB0");
    EXPECT_EQ(resolver.GetPath(4), "");
    EXPECT_TRUE(resolver.SetPath(3, "/dev/pts/5"));
    EXPECT_EQ(resolver.DevicePath(3), "/dev/pts/5");
    EXPECT_TRUE(resolver.SetPath(3, ""));
    EXPECT_EQ(resolver.GetPath(3), "");
    EXPECT_TRUE(resolver.Entries().empty());
    EXPECT_FALSE(resolver.SetPath(0, "/dev/ttyACM0"));
    EXPECT_FALSE(resolver.SetPath(-1, "/dev/ttyACM0"));
    EXPECT_TRUE(resolver.Entries().empty());
}

TEST_F(PortResolverTest, AssignNumberReusesOrTakesTheLowestFreeNumber)
{
    EXPECT_EQ(resolver.AssignNumber("/dev/ttyUSB0"), 1);
    EXPECT_EQ(resolver.AssignNumber("/dev/ttyACM0"), 2);
    EXPECT_EQ(resolver.AssignNumber("/dev/ttyUSB0"), 1);
    resolver.SetPath(4, "/dev/pts/7");
    EXPECT_EQ(resolver.AssignNumber("/dev/pts/7"), 4);
    EXPECT_EQ(resolver.AssignNumber("/dev/pts/8"), 3);
    EXPECT_EQ(resolver.AssignNumber("/dev/pts/9"), 5);
    EXPECT_EQ(resolver.DevicePath(3), "/dev/pts/8");
    EXPECT_EQ(resolver.AssignNumber(""), 0);
    EXPECT_EQ(resolver.Entries().size(), 5u);
}

} // namespace
} // namespace kvl
