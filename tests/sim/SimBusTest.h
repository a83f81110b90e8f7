#pragma once
// A test fixture with the simulator running in-process on its pseudo-terminal and the tool's own
// facade and command layer pointed at it (port number kSimPort). The port is not opened: each test
// opens it at the speed it needs.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "link/CCommImplement.h"
#include "link/CPortResolver.h"
#include "protocol/CServoCommands.h"
#include "sim/BusRunner.h"
#include "sim/SimBus.h"

namespace kvl::sim {

class SimBusTest : public ::testing::Test {
public:
    static constexpr int kSimPort = 1;

protected:
    void StartSim(BusRunner::Settings settings = {}, std::unique_ptr<SimBus> bus = SimBus::CreateDemo())
    {
        m_runner = std::make_unique<BusRunner>(std::move(bus), settings);
        std::string error;
        ASSERT_TRUE(m_runner->Open(&error)) << error;
        ASSERT_TRUE(m_runner->Start());
        m_comm = std::make_unique<CCommImplement>();
        m_comm->Ports().SetPath(kSimPort, m_runner->SlavePath());
        m_commands = std::make_unique<CServoCommands>(m_comm.get());
    }

    void TearDown() override
    {
        if (m_commands)
            m_commands->ClosePort();
        if (m_runner)
            m_runner->Stop();
    }

    std::unique_ptr<BusRunner> m_runner;
    std::unique_ptr<CCommImplement> m_comm;
    std::unique_ptr<CServoCommands> m_commands;
};

} // namespace kvl::sim
