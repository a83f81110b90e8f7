// The motor monitor window on the application's demo bus, offscreen: real lamp buttons and
// history buttons clicked, the poll timer's rules, texts by model and language, and an axis that
// stops answering.
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ModalAnswer.h"
#include "StartAppFixture.h"
#include "app/CKVL_ControlApp.h"
#include "common/CHelpWindow.h"
#include "common/CMsgDlg.h"
#include "config/CAppSettings.h"
#include "config/CLanguageTexts.h"
#include "monitor/CKVL_VER2_MTRMONITOR_DIALOG.h"
#include "protocol/CServoCommands.h"
#include "sim/AxisDevice.h"
#include "sim/BusRunner.h"
#include "ui/CLampWidget.h"
#include "ui/CPictureButton.h"

namespace kvl {
namespace {

constexpr int kOpened = 1;
constexpr int kWaitMs = 5000;
constexpr uint8_t kOverload = 4;

class MonitorWindowTest : public test::StartAppFixture {
protected:
    // The application on the demo bus with its port open, and a monitor of the demo axis of
    // `model` in I/O mode `ioMode`, shown.
    CKVL_VER2_MTRMONITOR_DIALOG &OpenMonitor(const std::string &model, int ioMode, int language = 0)
    {
        CKVL_ControlApp &app = StartApp(language ? language : CAppSettings::kSystemLangEnglish, true);
        EXPECT_EQ(app.Commands().OpenPort(app.PortNumber(), app.Speed()), kOpened);
        m_axis = app.DemoBus()->WithBus([&model](sim::SimBus &bus) {
            for (uint8_t address : bus.Addresses())
                if (const sim::AxisDevice *axis = bus.Axis(address); axis && axis->Model().text == model)
                    return int(address);
            return -1;
        });
        EXPECT_GE(m_axis, 0) << model;
        app.Values().currentAxis = m_axis;
        m_window = std::make_unique<CKVL_VER2_MTRMONITOR_DIALOG>(app, m_axis, model, ioMode);
        m_window->show();
        return *m_window;
    }

    void TearDown() override
    {
        m_window.reset();
        StartAppFixture::TearDown();
    }

    template <class Fn>
    auto OnAxis(Fn fn)
    {
        return m_app->DemoBus()->WithBus([&](sim::SimBus &bus) { return fn(*bus.Axis(static_cast<uint8_t>(m_axis))); });
    }

    bool SimInputOn(int input)
    {
        return OnAxis([input](sim::AxisDevice &axis) { return (axis.IoWord() >> input) & 1u; });
    }

    QString Text(const char *key, const std::string &section) const
    {
        return QString::fromStdString(m_app->Settings().Texts().Text(key, section));
    }

    int m_axis = -1;
    std::unique_ptr<CKVL_VER2_MTRMONITOR_DIALOG> m_window;
};

TEST_F(MonitorWindowTest, InputLampButtonsSwitchTheControllerInputs)
{
    CKVL_VER2_MTRMONITOR_DIALOG &window = OpenMonitor("MDC", 1);
    CPictureButton *input6 = window.InputButton(5);
    ASSERT_NE(input6, nullptr);
    EXPECT_EQ(input6->Picture(), QStringLiteral("lamp_off"));
    QTest::mouseClick(input6, Qt::LeftButton);
    EXPECT_TRUE(SimInputOn(5));
    EXPECT_EQ(input6->Picture(), QStringLiteral("lamp_on"));
    QTest::mouseClick(input6, Qt::LeftButton);
    EXPECT_FALSE(SimInputOn(5));
    EXPECT_EQ(input6->Picture(), QStringLiteral("lamp_off"));
}

TEST_F(MonitorWindowTest, ForbiddenInputsDoNothingUntilTheModeAllowsThem)
{
    CKVL_VER2_MTRMONITOR_DIALOG &window = OpenMonitor("MDC", 5);
    const std::string section = window.Model().WindowSection();
    EXPECT_EQ(window.InputButton(3)->text(), Text("IDC_RADIO_M6_I_4", section));
    for (int k = 3; k <= 8; ++k) {
        EXPECT_FALSE(window.InputButton(k)->isEnabled()) << "input " << k + 1 << " looks as it is: not for the PC";
        QTest::mouseClick(window.InputButton(k), Qt::LeftButton);
        EXPECT_FALSE(SimInputOn(k)) << "input " << k + 1;
        EXPECT_EQ(window.InputButton(k)->Picture(), QStringLiteral("lamp_off")) << "input " << k + 1;
    }
    window.SetIoMode(1);
    EXPECT_EQ(window.InputButton(3)->text(), Text("IDC_RADIO_M2_I_4", section));
    EXPECT_EQ(window.OutputName(0)->text(), Text("IDC_RADIO_M2_O_1", section));
    EXPECT_TRUE(window.InputButton(3)->isEnabled());
    QTest::mouseClick(window.InputButton(3), Qt::LeftButton);
    EXPECT_TRUE(SimInputOn(3));
}

TEST_F(MonitorWindowTest, HistoryButtonsReadAndClearTheHistory)
{
    CKVL_VER2_MTRMONITOR_DIALOG &window = OpenMonitor("MDB", 0);
    OnAxis([](sim::AxisDevice &axis) {
        axis.Alarms().Record(kOverload);
        axis.Alarms().Record(7);
    });
    QTest::mouseClick(window.RefreshHistoryButton(), Qt::LeftButton);
    ASSERT_EQ(window.HistoryList()->count(), 2);
    EXPECT_EQ(window.HistoryList()->item(0)->text(), Text("ALARM7", "AlarmMDB"));
    EXPECT_EQ(window.HistoryList()->item(1)->text(), Text("ALARM4", "AlarmMDB"));

    test::AnswerNextModal([](QWidget *modal) { qobject_cast<CMsgDlg *>(modal)->CancelButton()->click(); });
    QTest::mouseClick(window.ClearHistoryButton(), Qt::LeftButton);
    EXPECT_EQ(window.HistoryList()->count(), 2);
    EXPECT_EQ(OnAxis([](sim::AxisDevice &axis) { return axis.Alarms().History()[0]; }), 7);

    test::AnswerNextModal([](QWidget *modal) { qobject_cast<CMsgDlg *>(modal)->OkButton()->click(); });
    QTest::mouseClick(window.ClearHistoryButton(), Qt::LeftButton);
    EXPECT_EQ(window.HistoryList()->count(), 0);
    EXPECT_EQ(OnAxis([](sim::AxisDevice &axis) { return axis.Alarms().History()[0]; }), 0xFF);
}

TEST_F(MonitorWindowTest, PollingShowsTheAlarmAndFollowsTheCurrentAxis)
{
    CKVL_VER2_MTRMONITOR_DIALOG &window = OpenMonitor("MDC", 0);
    ASSERT_TRUE(window.PollTimer()->isActive());
    EXPECT_EQ(window.PollTimer()->interval(), CMonitorModel::kPollPeriodMs);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.AlarmLabel()->text() == QStringLiteral("Normal"); }, kWaitMs));
    OnAxis([](sim::AxisDevice &axis) { axis.Alarms().Raise(kOverload); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.AlarmLabel()->text() == QStringLiteral("Unormal"); }, kWaitMs));
    EXPECT_EQ(window.AlarmLabel()->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.OutputLamp(3)->GetState() == CLampWidget::State::kOn; }, kWaitMs));

    QTest::mouseClick(window.AlarmResetButton(), Qt::LeftButton);
    EXPECT_EQ(window.AlarmLabel()->text(), QStringLiteral("Normal"));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return window.AlarmLabel()->palette().color(QPalette::WindowText) == QColor(0, 255, 0); }, kWaitMs));

    // Another axis became the current one: the next tick stops the timer.
    m_app->Values().currentAxis = m_axis + 1;
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.PollTimer()->isActive(); }, kWaitMs));
    window.hide();
    window.show();
    EXPECT_TRUE(window.PollTimer()->isActive());
    window.hide();
    EXPECT_FALSE(window.PollTimer()->isActive());
}

TEST_F(MonitorWindowTest, ActivationMakesTheAxisCurrent)
{
    CKVL_VER2_MTRMONITOR_DIALOG &window = OpenMonitor("MDC", 0);
    m_app->Values().currentAxis = m_axis + 1;
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_app->Values().currentAxis == m_axis; }, kWaitMs));
    EXPECT_TRUE(window.PollTimer()->isActive());
}

TEST_F(MonitorWindowTest, SilentAxisIsSaidAndProbedOnceASecond)
{
    CKVL_VER2_MTRMONITOR_DIALOG &window = OpenMonitor("MDC", 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.AlarmLabel()->text() == QStringLiteral("Normal"); }, kWaitMs));
    m_app->DemoBus()->Stop();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return window.AlarmLabel()->text() == QStringLiteral("The axis does not answer"); }, kWaitMs));
    EXPECT_EQ(window.PollTimer()->interval(), CMonitorModel::kSilentProbePeriodMs);
}

TEST_F(MonitorWindowTest, TextsByModelAndLanguage)
{
    CKVL_VER2_MTRMONITOR_DIALOG &window = OpenMonitor("MDA-Z", 0);
    const std::string section = "IDD_KVL_VER2_MTRMONITOR_DIALOG";
    EXPECT_TRUE(window.windowTitle().startsWith(Text("IDD_KVL_VER2_MTRMONITOR_DIALOG", section)));
    EXPECT_TRUE(window.windowTitle().endsWith(QStringLiteral("[Demo bus]")));
    EXPECT_EQ(window.CommandUnitLabel()->text(), Text("IDC_ZMDA_POS_CMD_UNIT", section));
    EXPECT_EQ(window.AlarmResetButton()->text(), QStringLiteral("Alarm reset"));
    EXPECT_FALSE(window.AlarmResetButton()->toolTip().isEmpty());
    EXPECT_EQ(window.AlarmResetButton()->toolTip(),
              QString::fromStdString(m_app->Settings().Texts().Tooltip(CKVL_VER2_MTRMONITOR_DIALOG::kResetTooltip)));

    m_app->Settings().SwitchLanguage(CAppSettings::kLanguageJapanese);
    EXPECT_EQ(window.AlarmResetButton()->text(), Text("IDC_ALARM_RESET", section));
    EXPECT_NE(window.AlarmResetButton()->text(), QStringLiteral("Alarm reset"));
    EXPECT_EQ(window.InputButton(0)->text(), Text("IDC_RADIO_M1_I_1", section));
}

TEST_F(MonitorWindowTest, F1OpensTheHelpAtTheMonitor)
{
    CKVL_VER2_MTRMONITOR_DIALOG &window = OpenMonitor("MDC", 0);
    QTest::keyClick(&window, Qt::Key_F1);
    ASSERT_NE(m_app->HelpWindow(), nullptr);
    EXPECT_TRUE(m_app->HelpWindow()->isVisible());
}

} // namespace
} // namespace kvl
