#pragma once
// The axis window's model against the simulator over a pseudo-terminal: the demo bus (axis 0 MDA,
// 1 MDB, 2 MDC, 3 MDC-X, 4 MDA-Y, 5 MDA-Z), the tool's facade and command layer, and the
// application settings started in English on a scratch copy of the system folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "config/CAppSettings.h"
#include "config/CAppValues.h"
#include "link/CPortResolver.h"
#include "link/ResultCode.h"
#include "points/CAxisWindowModel.h"
#include "protocol/CommandCodes.h"
#include "sim/AxisDevice.h"
#include "support/ScratchSystemFolder.h"
#include "sim/SimBusTest.h"
#include "support/WaitUntil.h"

namespace kvl::points::test {

inline constexpr int kAxisMda = 0;
inline constexpr int kAxisMdc = 2;
inline constexpr int kAxisMdcx = 3;
inline constexpr int kAxisMdaz = 5;
inline constexpr int kLineSpeed = 115200;

class AxisWindowModelTest : public sim::SimBusTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.Ok());
        ASSERT_TRUE(settings.Start(CAppSettings::kSystemLangEnglish));
        StartSim();
        ASSERT_EQ(m_commands->OpenPort(kSimPort, kLineSpeed), 1);
    }

    static const char *ModelOf(int axis)
    {
        static const char *const kModels[] = {"MDA", "MDB", "MDC", "MDC-X", "MDA-Y", "MDA-Z"};
        return kModels[axis];
    }

    // An axis window's model as the axis link hands it over, opened.
    std::unique_ptr<CAxisWindowModel> OpenAxis(int axis, CAxisWindowModel::Hooks hooks = {})
    {
        if (!hooks.wait)
            hooks.wait = [this](int ms) { waits.push_back(ms); };
        AxisIdentity identity{axis, ModelOf(axis), "linked name", "0000", false, 0};
        auto model = std::make_unique<CAxisWindowModel>(*m_commands, settings, values, identity, std::move(hooks));
        EXPECT_TRUE(model->Open());
        model->Activate();
        return model;
    }

    std::vector<uint8_t> Received(int axis) const { return m_runner->CommandsReceived(static_cast<uint8_t>(axis)); }
    int CountOf(int axis, uint8_t command) const
    {
        const std::vector<uint8_t> seen = Received(axis);
        return static_cast<int>(std::count(seen.begin(), seen.end(), command));
    }
    uint8_t LastOf(int axis) const
    {
        const std::vector<uint8_t> seen = Received(axis);
        return seen.empty() ? 0 : seen.back();
    }
    template <typename Fn>
    auto WithAxis(int axis, Fn fn)
    {
        return m_runner->WithBus([&](sim::SimBus &bus) { return fn(*bus.Axis(static_cast<uint8_t>(axis))); });
    }
    // Servo on through the model, and home taken where the axis stands (the controller's manual
    // home); the status tick sees it.
    void ServoOnAndHome(CAxisWindowModel &model, int axis)
    {
        model.ServoOn();
        ASSERT_TRUE(model.ServoLamp());
        uint8_t status = 0;
        ASSERT_EQ(m_commands->HomeReturn(0, status, static_cast<uint8_t>(axis), 200), kResultOk);
        ASSERT_EQ(status, 1);
        model.OnTick(CAxisWindowModel::Timer::kStatus);
        ASSERT_TRUE(model.HomeLamp());
    }
    // Moves the axis forward by a feed of `feedRaw` (parameter 31 as the controller holds it) and
    // waits until it stands at `target` (0.0001 units).
    void FeedTo(int axis, int32_t feedRaw, int32_t target)
    {
        const auto address = static_cast<uint8_t>(axis);
        ASSERT_EQ(m_commands->WriteParameter(31, feedRaw, address, 200), kResultOk);
        uint8_t status = 0;
        ASSERT_EQ(m_commands->InchingMove(1, status, address, 200), kResultOk);
        ASSERT_EQ(status, 1);
        ASSERT_TRUE(kvl::test::WaitUntil(
            [&] {
                Positions positions;
                return m_commands->ReadPositions(positions, address, 200) == kResultOk &&
                       positions.current == target && positions.command == target;
            },
            10000));
    }

    kvl::test::ScratchSystemFolder folder;
    CAppValues values;
    CAppSettings settings{values, folder.System().string()};
    std::vector<int> waits;
};

} // namespace kvl::points::test
