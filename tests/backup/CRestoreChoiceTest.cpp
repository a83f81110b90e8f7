// The restore dialog's choice: devices grouped from the difference records, refused devices
// never ticked, the ticked addresses handed to the restore.
#include <gtest/gtest.h>

#include "backup/CRestoreChoice.h"
#include "protocol/Frame.h"

namespace kvl::backup {
namespace {

using Kind = Difference::Kind;
constexpr int kGw = frame::kGatewayAddress;

Difference Diff(int address, Kind kind, int number = 0)
{
    Difference d;
    d.address = address;
    d.model = "MDB";
    d.kind = kind;
    d.number = number;
    return d;
}

TEST(CRestoreChoiceTest, WhichKindsMakeADeviceRefused)
{
    const struct {
        Kind kind;
        bool refused;
    } cases[] = {
        {Kind::kDeviceMissing, true}, {Kind::kDeviceAdded, true},     {Kind::kOtherModel, true},
        {Kind::kName, false},         {Kind::kParameter, false},      {Kind::kStep, false},
        {Kind::kGatewaySetting, false},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(CRestoreChoice::Refuses(c.kind), c.refused) << KindName(c.kind);
        const CRestoreChoice choice({Diff(3, Kind::kName), Diff(3, c.kind, 7)});
        ASSERT_EQ(choice.Devices().size(), 1u);
        EXPECT_EQ(choice.Devices()[0].writable, !c.refused) << KindName(c.kind);
        EXPECT_EQ(choice.Ticked(3), !c.refused) << KindName(c.kind);
        EXPECT_EQ(choice.TickedAddresses(), c.refused ? std::vector<int>{} : std::vector<int>{3});
    }
}

TEST(CRestoreChoiceTest, DevicesInTheOrderOfTheirFirstDifferenceAllTickedAtFirst)
{
    const CRestoreChoice choice({Diff(kGw, Kind::kGatewaySetting, 2), Diff(1, Kind::kParameter, 16),
                                 Diff(1, Kind::kStep, 2), Diff(4, Kind::kParameter, 16), Diff(5, Kind::kOtherModel)});
    EXPECT_EQ(choice.Differences().size(), 5u);
    ASSERT_EQ(choice.Devices().size(), 4u);
    EXPECT_EQ(choice.Devices()[0].address, kGw);
    EXPECT_EQ(choice.Devices()[1].address, 1);
    EXPECT_EQ(choice.Devices()[2].address, 4);
    EXPECT_EQ(choice.Devices()[3].address, 5);
    EXPECT_EQ(choice.Devices()[3].refusal, Kind::kOtherModel);
    EXPECT_EQ(choice.TickedAddresses(), (std::vector<int>{kGw, 1, 4}));
    EXPECT_TRUE(choice.UntickedAddresses().empty());
}

TEST(CRestoreChoiceTest, UntickingLeavesTheDeviceOutAndARefusedOneCannotBeTicked)
{
    CRestoreChoice choice({Diff(1, Kind::kParameter, 16), Diff(4, Kind::kParameter, 16), Diff(5, Kind::kOtherModel)});
    EXPECT_TRUE(choice.SetTicked(4, false));
    EXPECT_EQ(choice.TickedAddresses(), std::vector<int>{1});
    EXPECT_EQ(choice.UntickedAddresses(), std::vector<int>{4});
    EXPECT_FALSE(choice.SetTicked(5, true));
    EXPECT_FALSE(choice.Ticked(5));
    EXPECT_FALSE(choice.SetTicked(9, true));   // no difference names it
    EXPECT_EQ(choice.FindDevice(9), nullptr);
    EXPECT_TRUE(choice.SetTicked(4, true));
    EXPECT_EQ(choice.TickedAddresses(), (std::vector<int>{1, 4}));
}

TEST(CRestoreChoiceTest, NothingDiffersNothingToTick)
{
    const CRestoreChoice choice(std::vector<Difference>{});
    EXPECT_TRUE(choice.Empty());
    EXPECT_TRUE(choice.Devices().empty());
    EXPECT_TRUE(choice.TickedAddresses().empty());
}

} // namespace
} // namespace kvl::backup
