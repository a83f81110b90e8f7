#include "AxisWindowFixture.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <algorithm>

#include "app/CKVL_VER2_ControlDlg.h"
#include "common/CMsgDlg.h"
#include "config/CAppSettings.h"
#include "sim/AxisDevice.h"
#include "ui/CLampWidget.h"
#include "ui/CPictureButton.h"

namespace kvl::test {

namespace {
constexpr int kCloserPollMs = 20;
} // namespace

void AxisWindowFixture::SetUp()
{
    StartAppFixture::SetUp();
    CKVL_ControlApp &app = StartApp(m_systemLanguage, true);
    app.StartDialog()->show();
    app.StartDialog()->PressNext();
    m_link = qobject_cast<CKVL_VER2_AXIS_LINK_DIALOG *>(app.StartDialog()->LinkWindow());
    ASSERT_NE(m_link, nullptr);
    m_link->show();
    m_link->PressLinkStart();
    ASSERT_GT(m_link->Model().LinkedCount(), 0);
}

void AxisWindowFixture::TearDown()
{
    StartAppFixture::TearDown();
}

points::CKVL_VER2_ProgStepDlg *AxisWindowFixture::OpenAxis(int address)
{
    EXPECT_TRUE(m_link->AxisButton(address)->isEnabled());
    // On a loaded machine the simulator may miss the 30 ms identification; the axis link then says
    // the axis did not answer. That message is closed and the button pressed again, as a user would.
    QTimer closer;
    closer.setInterval(kCloserPollMs);
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (auto *message = qobject_cast<CMsgDlg *>(QApplication::activeModalWidget()))
            message->close();
    });
    closer.start();
    // The busy indicator refuses a run within 100 ms of the previous one (Link Start, an earlier
    // opening): the button is pressed again until the window shows.
    EXPECT_TRUE(WaitFor([this, address] {
        QTest::mouseClick(m_link->AxisButton(address), Qt::LeftButton);
        const QWidget *window = m_link->AxisWindow(address);
        return window && window->isVisible();
    }));
    points::CKVL_VER2_ProgStepDlg *window = m_link->AxisWindow(address);
    if (window)
        Activate(window);
    return window;
}

void AxisWindowFixture::Activate(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    EXPECT_TRUE(WaitFor([window] { return window->isActiveWindow(); }));
}

bool AxisWindowFixture::WaitFor(const std::function<bool()> &done, int limitMs)
{
    return QTest::qWaitFor(done, limitMs);
}

int AxisWindowFixture::Count(int address, uint8_t command) const
{
    const std::vector<uint8_t> commands = m_app->DemoBus()->CommandsReceived(static_cast<uint8_t>(address));
    return static_cast<int>(std::count(commands.begin(), commands.end(), command));
}

void AxisWindowFixture::ServoOn(points::CKVL_VER2_ProgStepDlg &window)
{
    QTest::mouseClick(window.ServoOnButton(), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&window] {
        return window.LampWidget(points::CKVL_VER2_ProgStepDlg::Lamp::kServo)->GetState() == CLampWidget::State::kOn;
    }));
}

bool AxisWindowFixture::Jogging(int address)
{
    return WithAxis(address, [](sim::AxisDevice &axis) { return axis.Motion().Jogging(); });
}

} // namespace kvl::test
