#pragma once
// Fixtures of the axis link and port settings tests. LinkFixture gives every test a scratch copy
// of the shipped system folder (nothing touches the build's files) and an in-process simulator
// behind a pseudo-terminal. LinkModelFixture adds the settings, facade and command layer the
// models use; LinkAppFixture the application object the windows use.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/ScratchSystemFolder.h"
#include "app/CBusPortAccess.h"
#include "app/CKVL_ControlApp.h"
#include "config/CAppSettings.h"
#include "link/CCommImplement.h"
#include "link/CPortResolver.h"
#include "protocol/CServoCommands.h"
#include "sim/BusRunner.h"

class QWidget;

namespace kvl::test {

// The port number the tests give the simulator's pseudo-terminal.
constexpr int kSimPort = 1;

class LinkFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the simulator with kvlsim's options ("--axis 2:MDB", "--baud 57600", ...).
    void StartSim(const std::vector<std::string> &options);
    void StartSimBus(std::unique_ptr<sim::SimBus> bus, int baud = 115200);
    void StopSim();
    const std::string &SimPath() const { return m_sim->SlavePath(); }
    // A bus with the gateway unit alone.
    static std::unique_ptr<sim::SimBus> GatewayOnlyBus();

    // The port table of the facade under test (nullptr while there is none): the simulator's
    // pseudo-terminal is port kSimPort in it.
    virtual CPortResolver *TestPorts() { return nullptr; }

    std::string SettingsPath() const;
    // The settings file as it is on disk now.
    std::string SettingsFileText() const;
    // ("Port"/"Speed"/..., "RS485") read afresh from the file on disk; -1 when missing.
    int StoredValue(const std::string &key) const;

    // Calls `answer` with the next modal dialog as soon as it runs its event loop.
    static void AnswerNextModal(std::function<void(QWidget *)> answer);

    // Made with the fixture, so that the members of a derived fixture can be given its folder.
    std::unique_ptr<ScratchSystemFolder> m_scratch = std::make_unique<ScratchSystemFolder>();
    std::filesystem::path m_folder;
    std::unique_ptr<sim::BusRunner> m_sim;
};

class LinkModelFixture : public LinkFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // Points port kSimPort at the simulator and stores it with `speed`.
    void UseSimPort(int speed);
    CPortResolver *TestPorts() override { return &m_comm.Ports(); }

    CAppValues m_values;
    CAppSettings m_settings{m_values, m_scratch->System().string()};
    CCommImplement m_comm;
    std::unique_ptr<CServoCommands> m_commands;
};

class LinkAppFixture : public LinkFixture {
protected:
    void TearDown() override;

    // Builds and starts the application object (English unless told otherwise).
    CKVL_ControlApp &StartApp(bool demo = false,
                              int systemLanguageId = CAppSettings::kSystemLangEnglish);
    // Points port kSimPort at the simulator in the application's settings, with `speed`.
    void UseSimPort(int speed);
    CPortResolver *TestPorts() override;

    std::unique_ptr<CKVL_ControlApp> m_app;
};

} // namespace kvl::test
