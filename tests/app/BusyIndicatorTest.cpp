// The busy indicator window: shown and hidden by the guard, its animation and progress line
// drawn on request between the exchanges of a transfer.
#include <QApplication>

#include <gtest/gtest.h>

#include "common/CBusyIndicator.h"
#include "common/CBusyWindow.h"

namespace kvl {
namespace {

class BusyIndicatorTest : public ::testing::Test {
protected:
    void TearDown() override { CBusyIndicator::SetProgressFormat(QString()); }

    CBusyWindow *Window() const { return qobject_cast<CBusyWindow *>(m_busy.Window()); }

    int64_t m_now = 5000;
    CBusyIndicator m_busy{[this] { return m_now; }};
};

TEST_F(BusyIndicatorTest, ShownByTheFirstBeginHiddenByTheLastEnd)
{
    EXPECT_FALSE(m_busy.Shown());
    ASSERT_TRUE(m_busy.Begin(true, 100));
    ASSERT_NE(Window(), nullptr);
    EXPECT_TRUE(m_busy.Shown());
    EXPECT_TRUE(Window()->isVisible());
    ASSERT_TRUE(m_busy.Begin(true, 100));
    EXPECT_EQ(m_busy.Nesting(), 2);
    m_busy.End(true);
    EXPECT_TRUE(m_busy.Shown()) << "one End of two leaves it shown";
    m_busy.End(true);
    EXPECT_FALSE(m_busy.Shown());
    EXPECT_FALSE(Window()->isVisible());
}

TEST_F(BusyIndicatorTest, BeginWithinTheGuardShowsNothing)
{
    ASSERT_TRUE(m_busy.Begin(true, 100));
    m_busy.End(true);
    m_now += 50;
    EXPECT_FALSE(m_busy.Begin(true, 100));
    EXPECT_FALSE(m_busy.Shown());
    EXPECT_EQ(m_busy.Nesting(), 0);
    m_now += 100;
    EXPECT_TRUE(m_busy.Begin(true, 100));
    EXPECT_TRUE(m_busy.Shown());
    m_busy.End(true);
}

TEST_F(BusyIndicatorTest, FramesFollowTheTimeSinceShown)
{
    EXPECT_EQ(m_busy.Frame(), 0);
    ASSERT_TRUE(m_busy.Begin());
    const struct {
        int msShown;
        int frame;
    } cases[] = {{0, 0}, {49, 0}, {50, 1}, {120, 2}, {399, 7}, {400, 0}, {475, 1}};
    const int64_t shownAt = m_now;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.msShown);
        m_now = shownAt + c.msShown;
        EXPECT_EQ(m_busy.Frame(), c.frame);
        m_busy.Repaint();
        EXPECT_EQ(Window()->PaintedFrame(), c.frame) << "Repaint draws the frame at once";
    }
    m_busy.End();
    m_now += 1000;
    ASSERT_TRUE(m_busy.Begin());
    EXPECT_EQ(m_busy.Frame(), 0) << "a new run starts at the first frame";
    m_busy.End();
}

TEST_F(BusyIndicatorTest, ProgressShowsDoneOfTotal)
{
    ASSERT_TRUE(m_busy.Begin());
    m_now += 60;
    m_busy.Progress(3, 16);
    EXPECT_EQ(m_busy.ProgressText(), QStringLiteral("3 of 16"));
    EXPECT_EQ(Window()->PaintedFrame(), 1) << "progress also turns the spinner";
    CBusyIndicator::SetProgressFormat(QStringLiteral("%1 / %2 件"));
    m_busy.Progress(4, 16);
    EXPECT_EQ(m_busy.ProgressText(), QStringLiteral("4 / 16 件"));
    CBusyIndicator::SetProgressFormat(QStringLiteral("broken"));
    m_busy.Progress(5, 16);
    EXPECT_EQ(m_busy.ProgressText(), QStringLiteral("5 of 16")) << "a format without both numbers is not used";
    m_busy.Progress(0, 0);
    EXPECT_EQ(m_busy.ProgressText(), QString());
    m_busy.End();
    m_now += 1000;
    ASSERT_TRUE(m_busy.Begin());
    EXPECT_EQ(m_busy.ProgressText(), QString()) << "a new run starts without the old progress";
    m_busy.End();
}

TEST_F(BusyIndicatorTest, ActivityLineSaysWhatIsDoneAndFitsTheWindow)
{
    m_busy.Activity(QStringLiteral("ignored while hidden"));
    ASSERT_TRUE(m_busy.Begin());
    m_now += 60;
    const QString line = QStringLiteral("115200 bit/s: address 16 of 16");
    m_busy.Activity(line);
    EXPECT_EQ(m_busy.ProgressText(), line);
    EXPECT_EQ(Window()->PaintedFrame(), 1) << "the activity line also turns the spinner";
    EXPECT_LE(Window()->fontMetrics().horizontalAdvance(line), Window()->width() - 8)
        << "the line fits on one line of the window";
    m_busy.Progress(2, 16);
    EXPECT_EQ(m_busy.ProgressText(), QStringLiteral("2 of 16"));
    m_busy.End();
}

} // namespace
} // namespace kvl
