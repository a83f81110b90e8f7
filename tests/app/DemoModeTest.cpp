// Demo mode: the simulator's demo bus runs in-process, the port points at it for this run only,
// and the command layer identifies its axes through the normal serial path.
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

#include "StartAppFixture.h"
#include "app/CKVL_ControlApp.h"
#include "app/CKVL_VER2_AXIS_LINK_DIALOG.h"
#include "app/CKVL_VER2_ControlDlg.h"
#include "app/CKVL_VER2_PortSetDlg.h"
#include "app/CSessionPort.h"
#include "common/CBusyIndicator.h"
#include "common/CMsgDlg.h"
#include "ui/CPictureButton.h"
#include "config/CAppSettings.h"
#include "link/CCommImplement.h"
#include "link/CPortResolver.h"
#include "protocol/CServoCommands.h"
#include "protocol/CommandCodes.h"
#include "protocol/Frame.h"
#include "sim/AxisDevice.h"
#include "sim/BusRunner.h"

namespace kvl {
namespace {

constexpr int kSuccess = -200;
constexpr int kOpened = 1;

class DemoModeTest : public test::StartAppFixture {
protected:
    // The ("Port", "RS485") and ("Speed", "RS485") lines as the settings file holds them.
    std::string PortLines() const
    {
        const QString ini = QString::fromStdString(ReadSystemFile(CAppSettings::kSettingsFile));
        QStringList lines;
        for (const QString &line : ini.split(QRegularExpression(QStringLiteral("\r?\n")))) {
            if (line.startsWith(QLatin1String("Port=")) || line.startsWith(QLatin1String("Speed=")))
                lines << line;
        }
        return lines.join(QLatin1Char(';')).toStdString();
    }
};

TEST_F(DemoModeTest, IdentifiesTheDemoAxesThroughTheSerialPath)
{
    CKVL_ControlApp &app = StartApp(CAppSettings::kSystemLangEnglish, true);
    ASSERT_TRUE(app.DemoMode());
    sim::BusRunner *bus = app.DemoBus();
    ASSERT_NE(bus, nullptr);
    EXPECT_EQ(app.Comm().Ports().DevicePath(app.PortNumber()), bus->SlavePath());
    EXPECT_EQ(app.Speed(), bus->BusSpeed());
    EXPECT_TRUE(app.StartDialog()->windowTitle().endsWith(QStringLiteral("[Demo bus]")))
        << app.StartDialog()->windowTitle().toStdString();

    ASSERT_EQ(app.Commands().OpenPort(app.PortNumber(), app.Speed()), kOpened);
    for (uint8_t axis : {uint8_t{0}, uint8_t{5}}) {
        SCOPED_TRACE(int(axis));
        const auto expected = bus->WithBus([axis](sim::SimBus &simBus) {
            const sim::AxisDevice *device = simBus.Axis(axis);
            return device ? std::make_pair(device->Model().text, device->Name()) : std::make_pair(std::string(), std::string());
        });
        ASSERT_FALSE(expected.first.empty());
        std::string model, version, name;
        ASSERT_EQ(app.Commands().ReadDeviceType(model, version, name, axis, CServoCommands::kTimeoutShortMs * 10),
                  kSuccess);
        EXPECT_EQ(model, expected.first);
        EXPECT_EQ(name, expected.second);
    }
    EXPECT_GT(bus->RequestsAnswered(), 0u);
}

// Whatever path a value comes by, the gate keeps it from the wire when it is outside its range;
// the window application then says so, once for all such values, in the user's language.
TEST_F(DemoModeTest, ValuesTheGateKeepsFromTheWireAreNamedInOneMessage)
{
    CKVL_ControlApp &app = StartApp(CAppSettings::kSystemLangJapanese, true);
    ASSERT_EQ(app.Commands().OpenPort(app.PortNumber(), app.Speed()), kOpened);
    constexpr uint8_t kAxis = 2;
    constexpr uint16_t kJogSpeed = 16;   // 1 to 500 on this model
    std::string model, version, name;
    ASSERT_EQ(app.Commands().ReadDeviceType(model, version, name, kAxis, CServoCommands::kTimeoutMs), kSuccess);

    int shown = 0;
    QString text;
    AnswerNextModal([&](QWidget *dialog) {
        if (auto *message = qobject_cast<CMsgDlg *>(dialog)) {
            ++shown;
            text = message->Text();
        }
        dialog->close();
    });
    EXPECT_EQ(app.Commands().WriteParameter(kJogSpeed, -5, kAxis, CServoCommands::kTimeoutMs), kResultOutOfRange);
    EXPECT_EQ(app.Commands().WriteParameter(kJogSpeed, 600, kAxis, CServoCommands::kTimeoutMs), kResultOutOfRange);
    EXPECT_EQ(app.Commands().WriteParameter(kJogSpeed, 60, kAxis, CServoCommands::kTimeoutMs), kSuccess);
    QTRY_COMPARE_WITH_TIMEOUT(shown, 1, 5000);
    QTest::qWait(300);
    EXPECT_EQ(shown, 1);
    const std::string words = text.toStdString();
    EXPECT_NE(words.find("軸 2, パラメータ 16: -5 は 1 ～ 500 の範囲外です"), std::string::npos) << words;
    EXPECT_NE(words.find("軸 2, パラメータ 16: 600 は 1 ～ 500 の範囲外です"), std::string::npos) << words;
    for (const auto &request : app.DemoBus()->WritesReceived()) {
        if (request.address == kAxis && request.command == cmd::kCmdWriteParameter) {
            EXPECT_EQ(frame::GetI32(request.payload.data() + 2), 60);
        }
    }
    EXPECT_TRUE(app.PendingRefusals().empty());
}

TEST_F(DemoModeTest, LinkStartFromTheStartWindowFindsTheDemoAxes)
{
    CKVL_ControlApp &app = StartApp(CAppSettings::kSystemLangEnglish, true);
    app.StartDialog()->show();
    app.StartDialog()->PressNext();
    auto *link = qobject_cast<CKVL_VER2_AXIS_LINK_DIALOG *>(app.StartDialog()->LinkWindow());
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->windowTitle().endsWith(QStringLiteral("[Demo bus]"))) << link->windowTitle().toStdString();
    const std::string before = PortLines();
    link->PressLinkStart();
    const std::string model0 = app.DemoBus()->WithBus([](sim::SimBus &simBus) {
        return simBus.Axis(0)->Model().text;
    });
    ASSERT_NE(link->AxisButton(0), nullptr);
    EXPECT_TRUE(link->AxisButton(0)->text().startsWith(QStringLiteral("0 ") + QString::fromStdString(model0)))
        << link->AxisButton(0)->text().toStdString();
    EXPECT_TRUE(link->AxisButton(0)->isEnabled());
    EXPECT_FALSE(app.Busy().Shown()) << "the busy indicator is gone after the search";
    EXPECT_EQ(app.Busy().Nesting(), 0);
    EXPECT_EQ(PortLines(), before) << "a demo link stores nothing in the user's settings";
}

TEST_F(DemoModeTest, FoundSpeedIsKeptForTheRunAndTheStoredPortStays)
{
    const std::string before = PortLines();
    ASSERT_FALSE(before.empty());
    CKVL_ControlApp &app = StartApp(CAppSettings::kSystemLangEnglish, true);
    const int demoPort = app.PortNumber();
    ASSERT_GT(demoPort, 0);
    EXPECT_TRUE(app.SetPortAndSpeed(demoPort, 57600));
    EXPECT_EQ(app.Speed(), 57600);
    EXPECT_EQ(app.PortNumber(), demoPort);
    EXPECT_EQ(PortLines(), before);
    app.StartDialog()->close();
    EXPECT_EQ(PortLines(), before) << "the user's port survives a demo run";
}

TEST_F(DemoModeTest, WithoutDemoThePortComesFromTheSettings)
{
    CKVL_ControlApp &app = StartApp(CAppSettings::kSystemLangEnglish, false);
    EXPECT_EQ(app.DemoBus(), nullptr);
    EXPECT_EQ(app.PortNumber(), app.Settings().Port());
    EXPECT_FALSE(app.StartDialog()->windowTitle().contains(QStringLiteral("Demo")));
    ASSERT_TRUE(app.SetPortAndSpeed(7, 115200));
    EXPECT_EQ(app.PortNumber(), 7);
    EXPECT_EQ(app.Speed(), 115200);
    EXPECT_EQ(PortLines(), "Port=7;Speed=115200") << "stored at once";
}

TEST_F(DemoModeTest, MissingSpeedMeansTheLinkDefault)
{
    CKVL_ControlApp &app = StartApp(CAppSettings::kSystemLangEnglish, false);
    app.Settings().Settings().SetString("RS485", "Speed", "");
    EXPECT_EQ(app.Speed(), CAppSettings::kDefaultSpeed);
}

// kvl_motor --port DEVICE: the device is used for this run with the stored speed; neither the
// port nor the device path nor a speed found on the way reaches the settings file.
TEST_F(DemoModeTest, PortGivenForTheRunLeavesTheStoredPortAlone)
{
    const std::string before = PortLines();
    ASSERT_FALSE(before.empty());
    const std::string device = (m_folder / "ttyRunOnly").string();
    m_portDevice = QString::fromStdString(device);
    CKVL_ControlApp &app = StartApp(CAppSettings::kSystemLangEnglish, false);
    EXPECT_EQ(app.DemoBus(), nullptr);
    EXPECT_FALSE(app.StartDialog()->windowTitle().contains(QStringLiteral("Demo")));
    const int port = app.PortNumber();
    ASSERT_GT(port, 0);
    EXPECT_EQ(app.Comm().Ports().DevicePath(port), device);
    EXPECT_EQ(app.Speed(), CAppSettings::SpeedOrDefault(app.Settings().Speed())) << "the stored speed";
    EXPECT_TRUE(app.SetPortAndSpeed(port, 57600));
    EXPECT_TRUE(app.SetDevicePath(port, device));
    EXPECT_EQ(app.PortNumber(), port);
    EXPECT_EQ(app.Speed(), 57600);
    EXPECT_EQ(app.Settings().DevicePath(port), "");
    app.StartDialog()->close();
    EXPECT_EQ(PortLines(), before);
    EXPECT_EQ(ReadSystemFile(CAppSettings::kSettingsFile).find(device), std::string::npos);
}

// The rule itself, in both modes: what the models read, what they store, and where it goes.
TEST_F(DemoModeTest, SessionPortWritesTheSettingsOnlyOutsideDemoMode)
{
    CKVL_ControlApp &app = StartApp(CAppSettings::kSystemLangEnglish, false);
    const std::string before = PortLines();
    for (bool demo : {true, false}) {
        SCOPED_TRACE(demo ? "demo" : "settings");
        app.Settings().Settings().SetString("RS485", "Speed", "");
        CSessionPort port(app.Settings(), app.Comm().Ports());
        if (demo)
            port.UseDemoBus(9, 0);
        EXPECT_EQ(port.RunOnly(), demo);
        EXPECT_EQ(port.Port(), demo ? 9 : app.Settings().Port());
        EXPECT_EQ(port.StoredSpeed(), 0);
        EXPECT_EQ(port.OpenSpeed(), CAppSettings::kDefaultSpeed) << "no speed stored";

        const CBusPortAccess access = port.Access();
        ASSERT_TRUE(access.Store(7, 57600));
        EXPECT_EQ(port.Port(), 7);
        EXPECT_EQ(access.Port(), 7);
        EXPECT_EQ(access.Speed(), 57600);
        EXPECT_EQ(port.OpenSpeed(), 57600);
        ASSERT_TRUE(access.StorePath(7, "/dev/ttyUSB7"));
        EXPECT_EQ(app.Settings().DevicePath(7), demo ? "" : "/dev/ttyUSB7");
        EXPECT_EQ(PortLines(), demo ? before : "Port=7;Speed=57600");
    }
}

} // namespace
} // namespace kvl
