// Closing windows one after another, as the window manager's close does: every kind of window open
// for two axes (start window, axis link, port settings, help, network unit, and per axis the axis
// window, its parameter list, monitor, waveform and tuning windows), closed in one order per case.
// A window closed before the start window is kept (hidden); closing the start window destroys
// every window left. Closing the start window while a transfer runs ends the program only after
// the transfer: the window that runs it stays until then.
// Built without sanitizers in CI; scripts/sanitize runs it under AddressSanitizer and UBSan.
#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "AxisWindowFixture.h"
#include "ModalAnswer.h"
#include "app/CKVL_VER2_ControlDlg.h"
#include "common/CBusyIndicator.h"
#include "common/CWindowRegistry.h"
#include "params/CKVL_VER2_ParameterListDlg.h"
#include "points/CKVL_VER2_ProgStepDlg.h"
#include "tuning/CKVL_VER2_AutoTuningDlgDlg.h"

namespace kvl::test {
namespace {

using Kind = CWindowRegistry::Kind;

struct NamedWindow {
    std::string name;
    QPointer<QWidget> window;
};

void PressOk(QWidget *modal)
{
    auto *ok = modal->findChild<QPushButton *>(QStringLiteral("okButton"));
    ASSERT_NE(ok, nullptr);
    ok->click();
}

// Lets deferred deletions and queued signals run, as the event loop would between two closes.
void Settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

class WindowCloseOrderTest : public AxisWindowFixture {
protected:
    // Opens every window there is for `address` through its axis window's buttons.
    void OpenAxisWindows(int address, std::vector<NamedWindow> &windows)
    {
        points::CKVL_VER2_ProgStepDlg *axis = OpenAxis(address);
        ASSERT_NE(axis, nullptr);
        const std::string tag = " " + std::to_string(address);
        windows.push_back({"axis window" + tag, axis});
        QTest::mouseClick(axis->ParamButton(), Qt::LeftButton);
        QTest::mouseClick(axis->MonitorButton(), Qt::LeftButton);
        QTest::mouseClick(axis->WaveButton(), Qt::LeftButton);
        AnswerNextModal([](QWidget *notice) {
            AnswerNextModal(PressOk);
            PressOk(notice);
        });
        QTest::mouseClick(axis->TuningButton(), Qt::LeftButton);
        const std::pair<Kind, const char *> kinds[] = {
            {Kind::kParamList, "parameter list"},
            {Kind::kMonitor, "monitor"},
            {Kind::kWaveform, "waveform"},
            {Kind::kTuning, "tuning"},
        };
        for (const auto &[kind, name] : kinds) {
            QWidget *window = m_app->Windows().FindWidget(kind, address);
            ASSERT_NE(window, nullptr) << name << tag;
            EXPECT_TRUE(window->isVisible()) << name << tag;
            windows.push_back({name + tag, window});
        }
    }

    // Every kind of window for axes 1 and 2, in the order they were opened.
    std::vector<NamedWindow> OpenEverything()
    {
        std::vector<NamedWindow> windows;
        windows.push_back({"start window", m_app->StartDialog()});
        windows.push_back({"axis link", m_link});
        m_link->PressPortSettings();
        windows.push_back({"port settings", m_app->Windows().FindWidget(Kind::kPortSettings)});
        m_link->PressHelp();
        windows.push_back({"help", m_app->Windows().FindWidget(Kind::kHelp)});
        m_link->PressGateway();
        windows.push_back({"network unit", m_app->Windows().FindWidget(Kind::kGateway)});
        OpenAxisWindows(kDemoMdb, windows);
        OpenAxisWindows(kDemoMdc, windows);
        for (const NamedWindow &entry : windows)
            EXPECT_FALSE(entry.window.isNull()) << entry.name;
        return windows;
    }
};

constexpr size_t kWindowCount = 15;

// The order of a case: the windows as opened, turned so that `first` is closed first, forwards or
// backwards.
std::vector<size_t> Order(size_t first, bool backwards)
{
    std::vector<size_t> order;
    for (size_t step = 0; step < kWindowCount; ++step) {
        const size_t offset = backwards ? kWindowCount - step : step;
        order.push_back((first + offset) % kWindowCount);
    }
    return order;
}

class WindowCloseOrder : public WindowCloseOrderTest,
                         public testing::WithParamInterface<std::tuple<bool, size_t>> {};

TEST_P(WindowCloseOrder, EveryWindowClosedOneAfterAnother)
{
    const auto [backwards, first] = GetParam();
    std::vector<NamedWindow> windows = OpenEverything();
    ASSERT_EQ(windows.size(), kWindowCount);
    bool startClosed = false;
    for (size_t index : Order(first, backwards)) {
        NamedWindow &entry = windows[index];
        if (startClosed) {
            EXPECT_TRUE(entry.window.isNull()) << entry.name << " outlived the start window";
            continue;
        }
        ASSERT_FALSE(entry.window.isNull()) << entry.name << " went before the start window";
        entry.window->close();
        Settle();
        if (index == 0) {
            startClosed = true;
            EXPECT_EQ(m_app->Windows().Count(), 0) << "closing the start window destroys every window";
        } else {
            EXPECT_FALSE(entry.window.isNull()) << entry.name << " is kept after its close";
            EXPECT_FALSE(entry.window->isVisible()) << entry.name;
        }
    }
    EXPECT_TRUE(startClosed);
}

INSTANTIATE_TEST_SUITE_P(EveryTurn, WindowCloseOrder,
                         testing::Combine(testing::Bool(), testing::Range<size_t>(0, kWindowCount)));

struct TransferCase {
    const char *what;
    Kind kind;
    int address;
};

class CloseDuringTransfer : public WindowCloseOrderTest, public testing::WithParamInterface<TransferCase> {};

TEST_P(CloseDuringTransfer, TheProgramEndsOnlyOnceTheTransferIsOver)
{
    const TransferCase &c = GetParam();
    std::vector<NamedWindow> windows = OpenEverything();
    QPointer<QWidget> transferring = m_app->Windows().FindWidget(c.kind, c.address);
    ASSERT_FALSE(transferring.isNull());
    // Slow replies, so the transfer lets events through between its exchanges; the first one is
    // the close of the start window.
    Bus().SetReplyDelay(5);
    QPointer<QWidget> start = m_app->StartDialog();
    bool closedDuringTransfer = false;
    int windowsAfterClose = -1;
    QTimer::singleShot(0, start, [&] {
        closedDuringTransfer = m_app->Busy().Nesting() > 0;
        start->close();
        windowsAfterClose = m_app->Windows().Count();
    });
    if (auto *axis = qobject_cast<points::CKVL_VER2_ProgStepDlg *>(transferring.data()))
        axis->PressRead();
    else if (auto *list = qobject_cast<params::CKVL_VER2_ParameterListDlg *>(transferring.data()))
        list->PressRead();
    ASSERT_TRUE(closedDuringTransfer) << "the close came after the transfer";
    EXPECT_EQ(windowsAfterClose, static_cast<int>(windows.size()) - 1) << "no window went while the transfer ran";
    EXPECT_FALSE(transferring.isNull());
    ASSERT_TRUE(WaitFor([this] { return m_app->Windows().Count() == 0; })) << "the program ends after the transfer";
    Bus().SetReplyDelay(0);
    // The start window itself is hidden; the application object destroys it at the end.
    EXPECT_FALSE(windows.front().window->isVisible());
    for (size_t index = 1; index < windows.size(); ++index)
        EXPECT_TRUE(windows[index].window.isNull()) << windows[index].name;
}

INSTANTIATE_TEST_SUITE_P(Transfers, CloseDuringTransfer,
                         testing::Values(TransferCase{"point table read", Kind::kAxisMain, kDemoMdc},
                                         TransferCase{"parameter list read", Kind::kParamList, kDemoMdb}),
                         [](const testing::TestParamInfo<TransferCase> &info) {
                             return info.param.kind == Kind::kAxisMain ? "PointTableRead" : "ParameterListRead";
                         });

} // namespace
} // namespace kvl::test
