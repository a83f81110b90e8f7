// Jogging from the axis window on the demo bus: a held button keeps the axis moving with
// JogStart every 30 ms and its release sends Stop; every way out of a held jog (the mouse grab
// or the focus lost, the window deactivated, hidden, closed or destroyed, the application
// quitting on a signal) sends Stop at once and the axis is stopped afterwards. The simulator
// would stop a jog by itself 100 ms after the last JogStart, so each case checks that Stop was
// sent, not merely that the axis stands.
#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>
#include <QTest>
#include <QWidget>

#include <csignal>
#include <algorithm>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "AxisWindowFixture.h"
#include "app/CQuitOnSignal.h"
#include "protocol/CommandCodes.h"
#include "ui/CJogButton.h"

namespace kvl::test {
namespace {

using points::CAxisWindowModel;
using points::CKVL_VER2_ProgStepDlg;
using JogDirection = CAxisWindowModel::JogDirection;

constexpr int kKeepAlives = 10;

class AxisJogTest : public AxisWindowFixture {
protected:
    // Opens the MDC, servo on, holds the forward jog button down and waits for the keep-alive.
    CKVL_VER2_ProgStepDlg *HoldJog()
    {
        CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
        EXPECT_NE(window, nullptr);
        if (!window)
            return nullptr;
        ServoOn(*window);
        Bus().ClearCommandsReceived();
        CJogButton *jog = window->JogButton(JogDirection::kForward);
        QTest::mousePress(jog, Qt::LeftButton);
        EXPECT_TRUE(jog->hasFocus());
        EXPECT_TRUE(WaitFor([this] { return Count(kDemoMdc, cmd::kCmdJogStart) >= kKeepAlives; }));
        // Held for ten keep-alives, i.e. far longer than the controller's own 100 ms guard.
        EXPECT_TRUE(Jogging(kDemoMdc));
        EXPECT_EQ(Count(kDemoMdc, cmd::kCmdStop), 0);
        return window;
    }

    // After a way-out: Stop went to the axis and the axis stands.
    void ExpectStopped()
    {
        EXPECT_TRUE(WaitFor([this] { return Count(kDemoMdc, cmd::kCmdStop) >= 1; }));
        EXPECT_TRUE(WaitFor([this] { return !Jogging(kDemoMdc); }));
    }
};

TEST_F(AxisJogTest, HeldButtonKeepsTheAxisMovingAndItsReleaseSendsStop)
{
    CKVL_VER2_ProgStepDlg *window = HoldJog();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->JogSpeedBox()->isEnabled());
    EXPECT_FALSE(window->FeedBox()->isEnabled());
    EXPECT_TRUE(window->TimerRunning(CAxisWindowModel::Timer::kJog));
    // From one keep-alive to the next: 30 ms less the time the last one took on the line.
    EXPECT_LE(window->Model().TimerPeriodMs(CAxisWindowModel::Timer::kJog), 30);
    QTest::mouseRelease(window->JogButton(JogDirection::kForward), Qt::LeftButton);
    EXPECT_EQ(Count(kDemoMdc, cmd::kCmdStop), 1);
    ExpectStopped();
    EXPECT_FALSE(window->TimerRunning(CAxisWindowModel::Timer::kJog));
    EXPECT_TRUE(window->JogSpeedBox()->isEnabled());
    EXPECT_TRUE(window->FeedBox()->isEnabled());
    // No keep-alive after the release: a poll of positions goes by and no JogStart with it.
    Bus().ClearCommandsReceived();
    ASSERT_TRUE(WaitFor([this] { return Count(kDemoMdc, cmd::kCmdReadPositions) >= 3; }));
    EXPECT_EQ(Count(kDemoMdc, cmd::kCmdJogStart), 0);
}

// Replies 40 ms late: a keep-alive fills more than the jog period, so while the button is held
// nothing but JogStart goes to the axis (no status or position poll in between, which would
// leave the controller without its keep-alive past its own guard), and the release sends Stop
// as the very next request.
TEST_F(AxisJogTest, OnASlowLineTheKeepAliveComesBeforeEveryPoll)
{
    constexpr int kLateReplyMs = 40;
    CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    ServoOn(*window);
    Bus().SetReplyDelay(kLateReplyMs);
    CJogButton *jog = window->JogButton(JogDirection::kForward);
    QTest::mousePress(jog, Qt::LeftButton);
    ASSERT_TRUE(WaitFor([this] { return Count(kDemoMdc, cmd::kCmdJogStart) >= 2; }));
    Bus().ClearCommandsReceived();
    ASSERT_TRUE(WaitFor([this] { return Count(kDemoMdc, cmd::kCmdJogStart) >= kKeepAlives; }));
    QTest::mouseRelease(jog, Qt::LeftButton);
    Bus().SetReplyDelay(0);
    ASSERT_TRUE(WaitFor([this] { return Count(kDemoMdc, cmd::kCmdStop) >= 1; }));

    std::vector<uint8_t> sent;
    for (const sim::BusRunner::LoggedRequest &request : Bus().RequestLog()) {
        if (request.address == kDemoMdc)
            sent.push_back(request.command);
    }
    const auto stop = std::find(sent.begin(), sent.end(), cmd::kCmdStop);
    ASSERT_NE(stop, sent.end());
    for (auto it = sent.begin(); it != stop; ++it)
        EXPECT_EQ(*it, cmd::kCmdJogStart) << "request " << (it - sent.begin()) << " while the jog was held";
    EXPECT_GE(stop - sent.begin(), kKeepAlives);
}

TEST_F(AxisJogTest, EveryWayOutOfAHeldJogSendsStop)
{
    struct Case {
        const char *name;
        std::function<void(AxisJogTest &, CKVL_VER2_ProgStepDlg &)> wayOut;
    };
    const Case cases[] = {
        {"mouse grab lost",
         [](AxisJogTest &, CKVL_VER2_ProgStepDlg &window) {
             auto *grabber = new QWidget(&window);
             grabber->show();
             grabber->grabMouse();
             EXPECT_TRUE(WaitFor([&window] { return !window.TimerRunning(CAxisWindowModel::Timer::kJog); }));
             grabber->releaseMouse();
             delete grabber;
         }},
        {"focus lost",
         [](AxisJogTest &, CKVL_VER2_ProgStepDlg &window) { window.Grid()->setFocus(); }},
        {"window deactivated",
         [](AxisJogTest &test, CKVL_VER2_ProgStepDlg &) { test.Activate(&test.Link()); }},
        {"window hidden", [](AxisJogTest &, CKVL_VER2_ProgStepDlg &window) { window.hide(); }},
        {"window closed", [](AxisJogTest &, CKVL_VER2_ProgStepDlg &window) { window.close(); }},
        {"window destroyed", [](AxisJogTest &, CKVL_VER2_ProgStepDlg &window) { delete &window; }},
        {"application quit by SIGTERM",
         [](AxisJogTest &, CKVL_VER2_ProgStepDlg &) {
             CQuitOnSignal quitOnSignal;
             ASSERT_TRUE(quitOnSignal.Installed());
             QTimer::singleShot(0, [] { std::raise(SIGTERM); });
             QApplication::exec();
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        CKVL_VER2_ProgStepDlg *window = HoldJog();
        ASSERT_NE(window, nullptr);
        c.wayOut(*this, *window);
        ExpectStopped();
        // The servo goes off for the next case, which turns it on again.
        if (CKVL_VER2_ProgStepDlg *left = m_link->AxisWindow(kDemoMdc)) {
            Activate(left);
            left->PressServoOff();
        }
    }
}

} // namespace
} // namespace kvl::test
