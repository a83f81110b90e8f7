#pragma once
// Fixture of the axis window tests: the application on its in-process demo bus (English), Link
// Start in the axis link, and an axis window opened by clicking the axis' live button. The demo
// bus holds MDA at 0, MDB at 1, MDC at 2, MDC-X at 3, MDA-Y at 4 and MDA-Z at 5. Helpers wait on
// conditions while the event loop runs, and read what the simulator took off the bus.
#include <cstdint>
#include <functional>

#include "StartAppFixture.h"
#include "config/CAppSettings.h"
#include "app/CKVL_VER2_AXIS_LINK_DIALOG.h"
#include "points/CKVL_VER2_ProgStepDlg.h"
#include "sim/BusRunner.h"

namespace kvl::sim {
class AxisDevice;
}

namespace kvl::test {

constexpr int kDemoMdb = 1;
constexpr int kDemoMdc = 2;
constexpr int kDemoMdaZ = 5;

class AxisWindowFixture : public StartAppFixture {
public:
    CKVL_VER2_AXIS_LINK_DIALOG &Link() { return *m_link; }
    // Makes `window` the active window (the current axis) and waits until it is.
    void Activate(QWidget *window);

protected:
    void SetUp() override;
    void TearDown() override;

    sim::BusRunner &Bus() { return *m_app->DemoBus(); }
    // Clicks the axis' button in the axis link and returns its axis window.
    points::CKVL_VER2_ProgStepDlg *OpenAxis(int address);

    // Runs the event loop until `done` holds (true) or a generous limit passes (false).
    static bool WaitFor(const std::function<bool()> &done, int limitMs = 10000);
    // Calls fn(device) under the bus lock.
    template <class Fn>
    auto WithAxis(int address, Fn fn)
    {
        return Bus().WithBus([address, &fn](sim::SimBus &bus) { return fn(*bus.Axis(static_cast<uint8_t>(address))); });
    }
    // How many requests with `command` to `address` the bus took since it last forgot them
    // (Bus().ClearCommandsReceived()).
    int Count(int address, uint8_t command) const;
    // Servo ON by its button, and waits for the lamp.
    void ServoOn(points::CKVL_VER2_ProgStepDlg &window);
    bool Jogging(int address);

    CKVL_VER2_AXIS_LINK_DIALOG *m_link = nullptr;
    // The system language SetUp starts the application with (its language follows it).
    int m_systemLanguage = CAppSettings::kSystemLangEnglish;
};

} // namespace kvl::test
