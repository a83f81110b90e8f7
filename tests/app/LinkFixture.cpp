#include "LinkFixture.h"

#include "ModalAnswer.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTimer>
#include <QWidget>

#include <fstream>
#include <iterator>

#include <unistd.h>

#include "config/CIniEx.h"
#include "link/CPortResolver.h"
#include "protocol/Frame.h"
#include "sim/GatewayDevice.h"
#include "sim/SimOptions.h"

namespace kvl::test {

namespace {
constexpr char kRs485[] = "RS485";
} // namespace

void LinkFixture::SetUp()
{
    ASSERT_TRUE(m_scratch->Ok()) << "the build writes the system folder beside the tests";
    m_folder = m_scratch->Folder();
}

void LinkFixture::TearDown()
{
    StopSim();
    m_scratch.reset();
}

void LinkFixture::StartSim(const std::vector<std::string> &options)
{
    sim::SimOptions parsed;
    std::string error;
    ASSERT_TRUE(parsed.Parse(options, &error)) << error;
    StartSimBus(parsed.BuildBus(), parsed.runner.baud);
}

void LinkFixture::StartSimBus(std::unique_ptr<sim::SimBus> bus, int baud)
{
    StopSim();
    sim::BusRunner::Settings settings;
    settings.baud = baud;
    m_sim = std::make_unique<sim::BusRunner>(std::move(bus), settings);
    std::string error;
    ASSERT_TRUE(m_sim->Open(&error)) << error;
    ASSERT_TRUE(m_sim->Start());
    if (CPortResolver *ports = TestPorts())
        ports->SetPath(kSimPort, m_sim->SlavePath());
}

void LinkFixture::StopSim()
{
    if (m_sim)
        m_sim->Stop();
    m_sim.reset();
}

std::unique_ptr<sim::SimBus> LinkFixture::GatewayOnlyBus()
{
    auto bus = std::make_unique<sim::SimBus>();
    bus->Add(std::make_unique<sim::GatewayDevice>(frame::kGatewayAddress, "1200", "GWX UNIT"));
    return bus;
}

std::string LinkFixture::SettingsPath() const
{
    return (m_folder / "system" / CAppSettings::kSettingsFile).string();
}

std::string LinkFixture::SettingsFileText() const
{
    std::ifstream in(SettingsPath(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int LinkFixture::StoredValue(const std::string &key) const
{
    CIniEx file;
    if (!file.Open(SettingsPath(), false, false, true))
        return -1;
    return file.GetInt(kRs485, key, -1);
}

void LinkFixture::AnswerNextModal(std::function<void(QWidget *)> answer)
{
    test::AnswerNextModal(std::move(answer));
}

void LinkModelFixture::SetUp()
{
    LinkFixture::SetUp();
    ASSERT_TRUE(m_settings.Start(CAppSettings::kSystemLangEnglish));
    m_commands = std::make_unique<CServoCommands>(&m_comm);
}

void LinkModelFixture::TearDown()
{
    m_comm.Close();
    m_commands.reset();
    m_settings.Close();
    LinkFixture::TearDown();
}

void LinkModelFixture::UseSimPort(int speed)
{
    ASSERT_TRUE(m_settings.SetPortAndSpeed(kSimPort, speed));
}

void LinkAppFixture::TearDown()
{
    m_app.reset();
    LinkFixture::TearDown();
}

CKVL_ControlApp &LinkAppFixture::StartApp(bool demo, int systemLanguageId)
{
    CKVL_ControlApp::Options options;
    options.demo = demo;
    options.systemLanguageId = systemLanguageId;
    options.startFolder = QString::fromStdString(m_folder.string());
    options.systemFolder = QString::fromStdString(m_scratch->System().string());
    m_app = std::make_unique<CKVL_ControlApp>(options);
    // A simulator started before the application is port kSimPort unless the settings say otherwise.
    if (m_sim)
        m_app->Comm().Ports().SetPath(kSimPort, SimPath());
    EXPECT_EQ(m_app->Start(), CKVL_ControlApp::StartResult::kStarted) << m_app->DemoError().toStdString();
    return *m_app;
}

CPortResolver *LinkAppFixture::TestPorts()
{
    return m_app ? &m_app->Comm().Ports() : nullptr;
}

void LinkAppFixture::UseSimPort(int speed)
{
    ASSERT_TRUE(m_app->Settings().SetDevicePath(kSimPort, SimPath()));
    m_app->Comm().Ports().SetPath(kSimPort, SimPath());
    ASSERT_TRUE(m_app->Settings().SetPortAndSpeed(kSimPort, speed));
}

} // namespace kvl::test
