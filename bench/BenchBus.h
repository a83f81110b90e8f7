#pragma once
// What every window benchmark stands on: the simulator's demo bus paced at 115200 bit/s (real
// wire timing), the tool's facade behind a byte-counting wrapper and the command layer, a scratch
// copy of the shipped system folder (the windows store what they read; the build's copy stays
// clean), and a small window context over all of it, as the application would lend a window.
// Start() before use; the port is open afterwards. User-interface thread (a QApplication exists).
#include <QCoreApplication>
#include <QTemporaryDir>

#include <filesystem>
#include <string>
#include <system_error>

#include "CountingComm.h"
#include "common/CBusyIndicator.h"
#include "common/CWindowContext.h"
#include "common/CWindowRegistry.h"
#include "config/CAppSettings.h"
#include "config/CAppValues.h"
#include "link/CCommImplement.h"
#include "link/CPortResolver.h"
#include "protocol/CServoCommands.h"
#include "sim/BusRunner.h"
#include "sim/SimOptions.h"

namespace kvl::bench {

class BenchBus : public CWindowContext {
public:
    static constexpr int kBaud = 115200;

    BenchBus() : m_settings(m_values, SystemFolder().string()) {}
    ~BenchBus() override
    {
        m_commands.ClosePort();
        if (m_sim)
            m_sim->Stop();
    }

    // Copies the system folder, starts the paced simulator, opens the port and the settings.
    // False with `error` saying what failed.
    bool Start(std::string &error)
    {
        std::error_code copyError;
        const std::filesystem::path shipped =
            std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()) / "system";
        std::filesystem::copy(shipped, SystemFolder(), std::filesystem::copy_options::recursive, copyError);
        if (!m_scratch.isValid() || copyError)
            return Failed(error, "copy of the system folder");
        sim::SimOptions options;
        if (!options.Parse({"--pace", "--baud", std::to_string(kBaud)}, &error))
            return false;
        m_sim = std::make_unique<sim::BusRunner>(options.BuildBus(), options.runner);
        if (!m_sim->Open(&error) || !m_sim->Start())
            return false;
        m_port = m_facade.Ports().AssignNumber(m_sim->SlavePath());
        if (m_commands.OpenPort(m_port, kBaud) != 1)
            return Failed(error, "open port");
        if (!m_settings.Start(0))
            return Failed(error, "settings");
        m_values.startFolder = SystemFolder().parent_path().string();
        return true;
    }

    sim::BusRunner &Sim() { return *m_sim; }
    CountingComm &Counting() { return m_counting; }

    CAppValues &Values() override { return m_values; }
    CAppSettings &Settings() override { return m_settings; }
    CServoCommands &Commands() override { return m_commands; }
    CBusyIndicator &Busy() override { return m_busy; }
    CWindowRegistry &Windows() override { return m_windows; }
    int PortNumber() const override { return m_port; }
    int Speed() const override { return kBaud; }
    QString DecorateTitle(const QString &title) const override { return title; }
    void ShowHelp(const QString &) override {}

private:
    std::filesystem::path SystemFolder() const
    {
        return std::filesystem::path(m_scratch.path().toStdString()) / "system";
    }
    static bool Failed(std::string &error, const char *what)
    {
        error = what;
        return false;
    }

    QTemporaryDir m_scratch;
    CAppValues m_values;
    CAppSettings m_settings;
    std::unique_ptr<sim::BusRunner> m_sim;
    CCommImplement m_facade;
    CountingComm m_counting{m_facade};
    CServoCommands m_commands{&m_counting};
    CBusyIndicator m_busy;
    CWindowRegistry m_windows;
    int m_port = 0;
};

} // namespace kvl::bench
