#pragma once
// What one axis window knows, shared by the parts of its model (the opening and the menu in
// CAxisWindowModel, the polling ticks in CAxisStatusPoller, the manual operations in
// CAxisManualOperation): the borrowed application objects, the identity, the parameter store and
// point table, and the flags, positions and boxes the polling and the operations keep. Plain
// data; the thread that makes the exchanges.
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "points/CAxisWindowModel.h"

namespace kvl::points {

struct AxisWindowState {
    AxisWindowState(CServoCommands &commandLayer, CAppSettings &appSettings, CAppValues &appValues,
                    AxisIdentity who, CAxisWindowModel::Hooks windowHooks)
        : commands(commandLayer), settings(appSettings), values(appValues), identity(std::move(who)),
          hooks(std::move(windowHooks))
    {
    }

    std::uint8_t Address() const { return static_cast<std::uint8_t>(identity.axis); }
    void Changed() const
    {
        if (hooks.changed)
            hooks.changed();
    }

    CServoCommands &commands;
    CAppSettings &settings;
    CAppValues &values;
    AxisIdentity identity;
    CAxisWindowModel::Hooks hooks;
    params::CAxisParamSetup params;
    bool paramsOpen = false;
    // The parameters the opening asked the controller for, and those of them it did not read
    // (they show the parameter file's values).
    int paramsAsked = 0;
    std::vector<int> paramsNotRead;
    CPointTable table{CStepRules(CStepContext{}, CStepTexts{})};
    int operationType = 0;

    // Status as the polling last saw it.
    bool servoOn = false;
    bool homeDone = false;
    bool homeSeen = false;     // the first home completion has moved the highlight to row 1
    bool autoMode = false;
    bool manualMode = false;
    CAxisWindowModel::AlarmBox alarm = CAxisWindowModel::AlarmBox::kNormal;
    bool running = false;
    bool paused = false;
    bool silent = false;       // the axis gave no answer; only the identification probe runs
    // Until when an answer to the read that found the axis silent may still come: a probe before
    // then would first wait for it in the transport.
    std::chrono::steady_clock::time_point lateUntil{};

    // Manual operation.
    bool jogging = false;
    bool forwardHeld = false;
    bool reverseHeld = false;
    int startRow = 1;
    std::string jogBox;
    std::string feedBox;
    CAxisWindowModel::TeachTarget target = CAxisWindowModel::TeachTarget::kPosition;
    CAxisWindowModel::TeachMode mode = CAxisWindowModel::TeachMode::kAbs;
    int directionPictureSet = 0;

    // Positions in 0.0001 of the axis' unit: the current one behind the ABS display and the
    // reference of the INC display.
    std::int32_t position = 0;
    std::int32_t reference = 0;
};

} // namespace kvl::points
