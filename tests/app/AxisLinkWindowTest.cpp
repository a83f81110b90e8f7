// The axis link and port settings windows, clicked like a user would, offscreen, against the
// in-process simulator.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "LinkFixture.h"
#include "app/CKVL_VER2_AXIS_LINK_DIALOG.h"
#include "app/CKVL_VER2_ControlDlg.h"
#include "app/CKVL_VER2_PortSetDlg.h"
#include "common/CBusyIndicator.h"
#include "common/CMsgDlg.h"
#include "ui/CLampWidget.h"
#include "ui/CPictureButton.h"

namespace kvl::test {

namespace {

// Guard of the busy indicator: a Link Start this soon after the last one ended is refused.
constexpr qint64 kBusyGuardMs = 100;

std::string Utf8(const QString &text)
{
    return text.toStdString();
}

} // namespace

class AxisLinkWindowTest : public LinkAppFixture {
protected:
    CKVL_VER2_AXIS_LINK_DIALOG &OpenWindow()
    {
        m_window = std::make_unique<CKVL_VER2_AXIS_LINK_DIALOG>(*m_app, m_app->StartWindow());
        m_window->show();
        return *m_window;
    }
    void TearDown() override
    {
        m_window.reset();
        LinkAppFixture::TearDown();
    }
    // Which axis buttons are enabled, and their texts.
    std::vector<int> EnabledAxes() const
    {
        std::vector<int> enabled;
        for (int a = 0; a < CAxisLinkModel::kAxisCount; ++a) {
            if (m_window->AxisButton(a)->isEnabled())
                enabled.push_back(a);
        }
        return enabled;
    }

    std::unique_ptr<CKVL_VER2_AXIS_LINK_DIALOG> m_window;
};

TEST_F(AxisLinkWindowTest, OpensUnlinkedWithTheLanguageTexts)
{
    StartApp();
    auto &window = OpenWindow();
    EXPECT_EQ(Utf8(window.windowTitle()), "Axis Link");
    EXPECT_EQ(Utf8(window.LinkStartButton()->text()), "Link Start");
    EXPECT_EQ(Utf8(window.PortSettingsButton()->text()), "Port Settings");
    EXPECT_EQ(Utf8(window.LinkStartButton()->toolTip()), "Search the bus for axes");
    EXPECT_EQ(Utf8(window.StatusLabel()->text()), "Not linked");
    EXPECT_EQ(window.Lamp()->GetState(), CLampWidget::State::kOff);
    for (int a = 0; a < CAxisLinkModel::kAxisCount; ++a) {
        EXPECT_EQ(window.AxisButton(a)->text(), QString::number(a, 16).toUpper());
        EXPECT_FALSE(window.AxisButton(a)->isEnabled());
    }
    EXPECT_FALSE(window.GatewayButton()->isVisibleTo(&window));
    EXPECT_TRUE(window.OfflineButton()->isEnabled()) << "offline editing needs no bus";
    EXPECT_TRUE(window.LinkStartButton()->isEnabled());
}

TEST_F(AxisLinkWindowTest, LinkStartFindsTheDemoBusAtAnotherSpeed)
{
    StartSim({"--baud", "57600"});
    StartApp();
    UseSimPort(115200);
    auto &window = OpenWindow();

    QTest::mouseClick(window.LinkStartButton(), Qt::LeftButton);

    EXPECT_EQ(EnabledAxes(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    for (int a = 0; a < 6; ++a) {
        const auto &axis = window.Model().AxisAt(a);
        EXPECT_EQ(Utf8(window.AxisButton(a)->text()), CAxisLinkModel::LiveText(a, axis.model, axis.name));
        EXPECT_EQ(window.AxisButton(a)->Picture(), QStringLiteral("axis"));
        const std::string tip = Utf8(window.AxisButton(a)->toolTip());
        EXPECT_NE(tip.find("Model: " + axis.model), std::string::npos) << tip;
        EXPECT_NE(tip.find("Version: 2105"), std::string::npos) << tip;
        EXPECT_NE(tip.find("Name: DEMO " + axis.model), std::string::npos) << tip;
    }
    EXPECT_EQ(window.AxisButton(6)->Picture(), QStringLiteral("axis_off"));
    EXPECT_TRUE(window.GatewayButton()->isVisibleTo(&window));
    EXPECT_EQ(Utf8(window.StatusLabel()->text()), "Linked");
    EXPECT_EQ(window.Lamp()->GetState(), CLampWidget::State::kOn);
    EXPECT_EQ(m_sim->RequestsGated(), 1u);
    EXPECT_EQ(StoredValue("Speed"), 57600);
    EXPECT_EQ(StoredValue("Port"), kSimPort);
    EXPECT_FALSE(m_app->Busy().Shown());
    EXPECT_EQ(m_app->Busy().Nesting(), 0);
}

TEST_F(AxisLinkWindowTest, AxesTwoAndFiveOnly)
{
    StartSim({"--axis", "2:MDB", "--axis", "5:MDA-Z:2105:LIFTER"});
    StartApp();
    UseSimPort(115200);
    auto &window = OpenWindow();
    QTest::mouseClick(window.LinkStartButton(), Qt::LeftButton);
    EXPECT_EQ(EnabledAxes(), (std::vector<int>{2, 5}));
    EXPECT_EQ(Utf8(window.AxisButton(5)->text()), "5 MDA-Z LIFTER");
    EXPECT_EQ(Utf8(window.AxisButton(3)->text()), "3");
    EXPECT_FALSE(window.GatewayButton()->isVisibleTo(&window));
    EXPECT_EQ(Utf8(window.StatusLabel()->text()), "Linked");
}

TEST_F(AxisLinkWindowTest, GatewayOnly)
{
    StartSimBus(GatewayOnlyBus());
    StartApp();
    UseSimPort(115200);
    auto &window = OpenWindow();
    QTest::mouseClick(window.LinkStartButton(), Qt::LeftButton);
    EXPECT_TRUE(EnabledAxes().empty());
    EXPECT_TRUE(window.GatewayButton()->isVisibleTo(&window));
    EXPECT_EQ(Utf8(window.StatusLabel()->text()), "Linked");
    EXPECT_EQ(window.Lamp()->GetState(), CLampWidget::State::kOn);
}

TEST_F(AxisLinkWindowTest, SecondLinkStartRightAfterTheFirstDoesNothing)
{
    StartSim({"--axis", "1:MDA"});
    StartApp();
    UseSimPort(115200);
    auto &window = OpenWindow();
    QTest::mouseClick(window.LinkStartButton(), Qt::LeftButton);
    QElapsedTimer sinceEnd;
    sinceEnd.start();
    ASSERT_EQ(EnabledAxes(), std::vector<int>{1});
    const uint64_t answered = m_sim->RequestsAnswered();

    QTest::mouseClick(window.LinkStartButton(), Qt::LeftButton);
    if (sinceEnd.elapsed() >= kBusyGuardMs)
        GTEST_SKIP() << "the machine was too slow to click again within the guard";
    EXPECT_EQ(m_sim->RequestsAnswered(), answered);
    EXPECT_EQ(Utf8(window.StatusLabel()->text()), "Linked");
    EXPECT_EQ(EnabledAxes(), std::vector<int>{1});
    EXPECT_EQ(m_app->Busy().Nesting(), 0);
}

TEST_F(AxisLinkWindowTest, AnAxisThatStoppedAnsweringShowsTheMessageAndUnlinks)
{
    StartSim({"--axis", "2:MDA", "--axis", "5:MDB"});
    StartApp();
    UseSimPort(115200);
    auto &window = OpenWindow();
    QTest::mouseClick(window.LinkStartButton(), Qt::LeftButton);
    ASSERT_EQ(EnabledAxes(), (std::vector<int>{2, 5}));
    StopSim();

    QString shownText;
    QString shownTitle;
    AnswerNextModal([&](QWidget *dialog) {
        auto *message = qobject_cast<CMsgDlg *>(dialog);
        if (message) {
            shownText = message->Text();
            shownTitle = message->windowTitle();
        }
        dialog->close();
    });
    QTest::mouseClick(window.AxisButton(5), Qt::LeftButton);
    EXPECT_EQ(Utf8(shownText), "Cannot connect. Please use offline editing.");
    EXPECT_NE(Utf8(shownTitle).find("Warning"), std::string::npos);
    EXPECT_EQ(EnabledAxes(), std::vector<int>{2});
    EXPECT_EQ(Utf8(window.AxisButton(5)->text()), "5");
    EXPECT_EQ(Utf8(window.StatusLabel()->text()), "Linked");
}

TEST_F(AxisLinkWindowTest, DemoModeLinksWithoutTouchingTheStoredPort)
{
    StartApp(true);
    const std::string before = SettingsFileText();
    auto &window = OpenWindow();
    EXPECT_NE(Utf8(window.windowTitle()).find("Axis Link"), std::string::npos);
    EXPECT_NE(window.windowTitle(), QStringLiteral("Axis Link"));
    QTest::mouseClick(window.LinkStartButton(), Qt::LeftButton);
    EXPECT_EQ(EnabledAxes(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_TRUE(window.GatewayButton()->isVisibleTo(&window));
    EXPECT_EQ(SettingsFileText(), before);
}

TEST_F(AxisLinkWindowTest, LanguageSwitchRewritesTheCaptions)
{
    StartApp(false, CAppSettings::kSystemLangJapanese);
    auto &window = OpenWindow();
    const QString japanese = window.LinkStartButton()->text();
    const QString japaneseStatus = window.StatusLabel()->text();
    EXPECT_EQ(japanese, m_app->Text("IDC_BUTTON_LINK_START", CKVL_VER2_AXIS_LINK_DIALOG::kSection));
    QTest::mouseClick(window.PortSettingsButton(), Qt::LeftButton);
    CKVL_VER2_PortSetDlg *ports = window.PortSettingsWindow();
    ASSERT_NE(ports, nullptr);
    const QString japaneseTest = ports->TestButton()->text();
    const QString japanesePortStatus = ports->StatusLabel()->text();
    EXPECT_EQ(japaneseTest, m_app->Text("IDC_TEST", CKVL_VER2_PortSetDlg::kSection));

    ASSERT_NE(m_app->StartDialog(), nullptr);
    m_app->StartDialog()->PressLanguage(CAppSettings::kLanguageEnglish);
    EXPECT_EQ(Utf8(ports->windowTitle()), "Port Settings");
    EXPECT_EQ(Utf8(ports->TestButton()->text()), "Test");
    EXPECT_EQ(Utf8(ports->TestButton()->toolTip()), "Open the port and check it");
    EXPECT_NE(ports->TestButton()->text(), japaneseTest);
    EXPECT_NE(ports->StatusLabel()->text(), japanesePortStatus);
    EXPECT_EQ(Utf8(window.LinkStartButton()->text()), "Link Start");
    EXPECT_EQ(Utf8(window.StatusLabel()->text()), "Not linked");
    EXPECT_NE(window.LinkStartButton()->text(), japanese);
    EXPECT_NE(window.StatusLabel()->text(), japaneseStatus);
}

TEST_F(AxisLinkWindowTest, PortSettingsTestThenCancelRestoresTheFile)
{
    StartSim({"--axis", "0:MDA"});
    StartApp();
    UseSimPort(115200);
    auto &window = OpenWindow();
    QTest::mouseClick(window.PortSettingsButton(), Qt::LeftButton);
    CKVL_VER2_PortSetDlg *ports = window.PortSettingsWindow();
    ASSERT_NE(ports, nullptr);
    EXPECT_TRUE(ports->isVisible());
    EXPECT_EQ(Utf8(ports->windowTitle()), "Port Settings");
    EXPECT_EQ(Utf8(ports->StatusLabel()->text()), "The port is open.");
    EXPECT_EQ(Utf8(ports->SpeedList()->currentText()), "115200");
    EXPECT_EQ(Utf8(ports->PortList()->currentText()), SimPath());

    ports->PortList()->setCurrentText(QStringLiteral("/tmp/kvl-test-no-such-tty"));
    ports->SpeedList()->setCurrentIndex(ports->SpeedList()->findText(QStringLiteral("57600")));
    QTest::mouseClick(ports->TestButton(), Qt::LeftButton);
    EXPECT_EQ(Utf8(ports->StatusLabel()->text()), "The port /tmp/kvl-test-no-such-tty does not exist. Check the "
                                                   "cable and the adapter, or choose another port.");
    EXPECT_NE(StoredValue("Port"), kSimPort);
    EXPECT_EQ(StoredValue("Speed"), 57600);

    QTest::mouseClick(ports->CancelButton(), Qt::LeftButton);
    EXPECT_FALSE(ports->isVisible());
    EXPECT_EQ(StoredValue("Port"), kSimPort);
    EXPECT_EQ(StoredValue("Speed"), 115200);

    // Shown again, it reads the store afresh.
    QTest::mouseClick(window.PortSettingsButton(), Qt::LeftButton);
    EXPECT_EQ(window.PortSettingsWindow(), ports);
    EXPECT_EQ(Utf8(ports->SpeedList()->currentText()), "115200");
    EXPECT_EQ(Utf8(ports->StatusLabel()->text()), "The port is open.");
}

TEST_F(AxisLinkWindowTest, PortSettingsOkWithAnotherSpeedShowsUnlinked)
{
    StartSim({"--axis", "0:MDA"});
    StartApp();
    UseSimPort(115200);
    auto &window = OpenWindow();
    QTest::mouseClick(window.LinkStartButton(), Qt::LeftButton);
    ASSERT_EQ(Utf8(window.StatusLabel()->text()), "Linked");

    QTest::mouseClick(window.PortSettingsButton(), Qt::LeftButton);
    CKVL_VER2_PortSetDlg *ports = window.PortSettingsWindow();
    ASSERT_NE(ports, nullptr);
    // OK without a change keeps the link.
    QTest::mouseClick(ports->OkButton(), Qt::LeftButton);
    EXPECT_EQ(Utf8(window.StatusLabel()->text()), "Linked");

    QTest::mouseClick(window.PortSettingsButton(), Qt::LeftButton);
    ports->SpeedList()->setCurrentIndex(ports->SpeedList()->findText(QStringLiteral("38400")));
    QTest::mouseClick(ports->TestButton(), Qt::LeftButton);
    QTest::mouseClick(ports->OkButton(), Qt::LeftButton);
    EXPECT_FALSE(ports->isVisible());
    EXPECT_EQ(StoredValue("Speed"), 38400);
    EXPECT_EQ(Utf8(window.StatusLabel()->text()), "Not linked");
    EXPECT_EQ(window.Lamp()->GetState(), CLampWidget::State::kOff);
}

} // namespace kvl::test
