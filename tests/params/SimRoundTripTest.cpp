// The bulk read and write against the device simulator in the same process: what the write
// sends, the simulated controller stores, and a fresh read brings back the same values.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "ParamFixture.h"
#include "support/CommStub.h"
#include "link/CComm.h"
#include "link/ResultCode.h"
#include "params/CParamReadAll.h"
#include "params/CParamWriter.h"
#include "protocol/CServoCommands.h"
#include "sim/AxisDevice.h"
#include "sim/SimBus.h"
#include "support/CodePageTexts.h"

namespace kvl::params {
namespace {

// The facade handing each request straight to the simulated bus.
class SimComm : public test::CommStub {
public:
    explicit SimComm(sim::SimBus &bus) : m_bus(bus) {}

    int Exchange(const std::uint8_t *request, int requestLength, std::uint8_t *reply,
                 int *received, int, int, int) override
    {
        const std::vector<std::uint8_t> answer =
            m_bus.Dispatch(request, static_cast<std::size_t>(requestLength));
        if (answer.empty())
            return kResultTimeout;
        std::memcpy(reply, answer.data(), answer.size());
        *received = static_cast<int>(answer.size());
        return kResultOk;
    }

private:
    sim::SimBus &m_bus;
};

constexpr std::uint8_t kMdbAddress = 1; // the demo bus puts one axis of each model on 0 to 5

TEST(ParamSimRoundTrip, WrittenValuesReadBackFromTheSimulatedController)
{
    std::unique_ptr<sim::SimBus> bus = sim::SimBus::CreateDemo();
    ASSERT_NE(bus->Axis(kMdbAddress), nullptr);
    ASSERT_EQ(bus->Axis(kMdbAddress)->Model().text, "MDB");
    SimComm comm(*bus);
    CServoCommands commands(&comm);
    ParamTarget target = test::MdbTarget();
    target.address = kMdbAddress;
    target.version = bus->Axis(kMdbAddress)->Version();

    CParamList driver = test::LoadList(target);
    CParamListPair lists(driver);
    const ReadAllReport first = CParamReadAll::Run(commands, target, lists, {});
    for (const ParamOutcome &o : first.outcomes) {
        if (o.number == 12 || o.number == 16 || o.number == 31 || o.number == 100) {
            EXPECT_EQ(o.result, kResultOk) << o.number;
        }
    }

    lists.File().At(12).SetIntValue(1234);
    lists.File().At(16).SetRealValue(0.29);
    lists.File().At(31).SetRealValue(7.125);
    lists.File().At(45).SetIndex(11);
    lists.File().At(100).SetTextValue(test::Western("LIFT 2"));
    const WriteReport written = CParamWriter::Run(commands, target, lists, {});
    EXPECT_EQ(written.status, WriteStatus::Done);
    EXPECT_EQ(written.failures, 0);
    EXPECT_EQ(bus->Axis(kMdbAddress)->Parameters().Get(16), 29) << "0.29 at factor 100";
    EXPECT_EQ(bus->Axis(kMdbAddress)->Parameters().Get(31), 7125) << "MDB: factor 1000";
    EXPECT_EQ(bus->Axis(kMdbAddress)->Parameters().Get(45), 62500);

    CParamList fresh = test::LoadList(target);
    CParamListPair again(fresh);
    CParamReadAll::Run(commands, target, again, {});
    EXPECT_EQ(fresh.At(12).IntValue(), 1234);
    EXPECT_DOUBLE_EQ(fresh.At(16).RealValue(), 0.29);
    EXPECT_DOUBLE_EQ(fresh.At(31).RealValue(), 7.125);
    EXPECT_EQ(fresh.At(45).SelectedText().Bytes(), "62500");
    EXPECT_EQ(fresh.At(100).TextValue().Bytes(), "LIFT 2");
}

} // namespace
} // namespace kvl::params
