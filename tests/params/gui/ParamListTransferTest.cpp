// The parameter list's write to the controller: nothing changed, automatic mode, the caution
// with the servo on, the 102 -> 12 follow-up, the operation type, and the read-back check.
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include "ParamListFixture.h"
#include "base/CModelTraits.h"
#include "common/CCellEdit.h"
#include "config/CAppValues.h"
#include "monitor/CKVL_VER2_MTRMONITOR_DIALOG.h"
#include "monitor/CMonitorModel.h"
#include "params/CParamGridModel.h"
#include "points/CPointGridEditor.h"
#include "protocol/CommandCodes.h"
#include "sim/AxisDevice.h"
#include "sim/PointTable.h"
#include "ui/CPictureButton.h"

namespace kvl::test {

namespace {

using params::CParamListModel;

constexpr const char *kList = "IDD_KVL_VER2_PMTLIST_DIALOG";

class ParamListTransferTest : public ParamListFixture {
protected:
    // Presses Write once the busy indicator takes a run; counts start afresh.
    void PressWrite(params::CKVL_VER2_ParameterListDlg &list)
    {
        WaitBusyReady();
        Bus().ClearCommandsReceived();
        QTest::mouseClick(list.WriteButton(), Qt::LeftButton);
    }
    bool SimServoOn()
    {
        return WithAxis(kDemoMdc, [](sim::AxisDevice &axis) { return axis.Motion().ServoOn(); });
    }
};

TEST_F(ParamListTransferTest, AWriteWithNothingChangedSendsNothingAndAsksNothing)
{
    params::CKVL_VER2_ParameterListDlg *list = OpenList(kDemoMdc);
    ASSERT_NE(list, nullptr);
    ServoOn(*m_axis);
    ModalWatch watch;
    PressWrite(*list);
    EXPECT_TRUE(watch.Texts().isEmpty()) << watch.Texts().join(" | ").toStdString();
    EXPECT_EQ(Count(kDemoMdc, cmd::kCmdWriteParameter), 0);
    EXPECT_EQ(Count(kDemoMdc, cmd::kCmdWriteDeviceName), 0);
    EXPECT_EQ(Count(kDemoMdc, cmd::kCmdServoOff), 0);
    EXPECT_TRUE(SimServoOn());
    EXPECT_TRUE(m_app->Values().pollingOn);
}

TEST_F(ParamListTransferTest, AutomaticModeRefusesTheWrite)
{
    params::CKVL_VER2_ParameterListDlg *list = OpenList(kDemoMdc);
    ASSERT_NE(list, nullptr);
    ModalWatch watch;
    Edit(*list, 12, QStringLiteral("150"));
    WithAxis(kDemoMdc, [](sim::AxisDevice &axis) {
        axis.SetAutomaticMode(true);
        return true;
    });
    PressWrite(*list);
    ASSERT_EQ(watch.Texts().size(), 1);
    EXPECT_EQ(watch.Texts().front(), Text("ID_PMT_WRITE_WARN_AUTO", kList));
    EXPECT_EQ(Count(kDemoMdc, cmd::kCmdWriteParameter), 0);
    EXPECT_NE(SimParam(kDemoMdc, 12), 150);
    EXPECT_TRUE(list->Model().Marked(12));
    EXPECT_TRUE(m_app->Values().pollingOn);
}

TEST_F(ParamListTransferTest, TheWriteCautionWithTheServoOnTurnsItOffOrStops)
{
    params::CKVL_VER2_ParameterListDlg *list = OpenList(kDemoMdc);
    ASSERT_NE(list, nullptr);
    ServoOn(*m_axis);
    {
        ModalWatch watch;
        Edit(*list, 12, QStringLiteral("150")); // write caution 0: asks while the servo is on
        watch.Answer({false});
        PressWrite(*list);
        ASSERT_EQ(watch.Texts().size(), 1);
        EXPECT_EQ(watch.Texts().front(), Text("ID_PMT_WRITE_WARN", kList));
        EXPECT_EQ(Count(kDemoMdc, cmd::kCmdServoOff), 0);
        EXPECT_EQ(Count(kDemoMdc, cmd::kCmdWriteParameter), 0);
        EXPECT_TRUE(SimServoOn());
        EXPECT_TRUE(m_app->Values().pollingOn);
    }
    ModalWatch watch;
    PressWrite(*list);
    ASSERT_EQ(watch.Texts().size(), 1);
    EXPECT_EQ(Count(kDemoMdc, cmd::kCmdServoOff), 1);
    EXPECT_FALSE(SimServoOn());
    EXPECT_EQ(SimParam(kDemoMdc, 12), 150);
    EXPECT_FALSE(list->Model().Marked(12));
    EXPECT_EQ(m_axis->Model().Params().Store().GetString("12", "Value", ""), "150");
    EXPECT_TRUE(m_app->Values().pollingOn);
}

TEST_F(ParamListTransferTest, WritingParameter102LowersParameter12AndSaysSo)
{
    params::CKVL_VER2_ParameterListDlg *list = OpenList(kDemoMdc);
    ASSERT_NE(list, nullptr);
    ASSERT_GT(SimParam(kDemoMdc, 12), 100);
    list->SetAccessLevel(1);
    ModalWatch watch;
    Edit(*list, 102, QStringLiteral("100"));
    PressWrite(*list);
    ASSERT_EQ(watch.Texts().size(), 1) << watch.Texts().join(" | ").toStdString();
    EXPECT_EQ(watch.Texts().front(), Text("IDS_INPUT_CHK_6", "Common"));
    EXPECT_EQ(SimParam(kDemoMdc, 102), 100);
    EXPECT_EQ(SimParam(kDemoMdc, 12), 100);
    EXPECT_EQ(list->Lists().Driver().At(12).IntValue(), 100);
    EXPECT_EQ(list->Lists().File().At(12).IntValue(), 100);
    EXPECT_EQ(list->Model().CellText(12, CParamListModel::kColRange), "[10, 100]");
    EXPECT_FALSE(list->Model().Marked(12));
}

// A controller reporting parameter 102 as 0 closes parameter 12's range at its minimum instead of
// opening it downwards; a later 102 opens it upwards only, and a value under the minimum typed
// into 12 is refused and never sent.
TEST_F(ParamListTransferTest, Parameter102UnderTheMinimumNeverLowersParameter12sMinimum)
{
    SetSimParam(kDemoMdc, 102, 0);
    params::CKVL_VER2_ParameterListDlg *list = OpenList(kDemoMdc);
    ASSERT_NE(list, nullptr);
    list->SetAccessLevel(1);
    const params::CParamData &twelve = list->Lists().File().At(12);
    EXPECT_EQ(twelve.IntMin(), 10);
    EXPECT_EQ(twelve.IntMax(), 10);
    EXPECT_EQ(list->Model().CellText(12, CParamListModel::kColRange), "-");

    ModalWatch watch;
    Edit(*list, 102, QStringLiteral("150"));
    PressWrite(*list);
    ASSERT_EQ(SimParam(kDemoMdc, 102), 150);
    EXPECT_EQ(list->Model().CellText(12, CParamListModel::kColRange), "[10, 150]");
    const std::int32_t before = SimParam(kDemoMdc, 12);

    Edit(*list, 12, QStringLiteral("5"));
    EXPECT_NE(list->Lists().File().At(12).IntValue(), 5);
    PressWrite(*list);
    EXPECT_EQ(Count(kDemoMdc, cmd::kCmdWriteParameter), 0);
    EXPECT_EQ(SimParam(kDemoMdc, 12), before);
}

// The axis window's step rules follow the parameters: a soft limit (+) lowered through the list
// bounds the next position typed into an ABS step, and the axis window's Write sends the bound.
TEST_F(ParamListTransferTest, ALoweredSoftLimitBoundsTheNextPositionTypedAndWritten)
{
    WithAxis(kDemoMdc, [](sim::AxisDevice &axis) {
        axis.Table().Clear();
        return true;
    });
    params::CKVL_VER2_ParameterListDlg *list = OpenList(kDemoMdc);
    ASSERT_NE(list, nullptr);
    ASSERT_GT(SimParam(kDemoMdc, 3), 1000000);
    ModalWatch watch;
    Edit(*list, 3, QStringLiteral("100"));
    PressWrite(*list);
    ASSERT_EQ(SimParam(kDemoMdc, 3), 1000000);

    // A double-click creates the step (ABS), the next one opens the position's edit.
    QTableView *grid = m_axis->Grid();
    const QModelIndex cell = grid->model()->index(0, points::kColPosition);
    const QPoint at = grid->visualRect(cell).center();
    for (int click = 0; click < 2; ++click) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, at);
    }
    CCellEdit *edit = m_axis->GridEditor()->CellEdit();
    ASSERT_TRUE(edit->isVisible());
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("500"));
    QTest::keyClick(edit, Qt::Key_Return);
    const points::CPointTable &table = m_axis->Model().Table();
    EXPECT_EQ(table.Cell(0, points::kColPosition), "100.000");
    EXPECT_TRUE(watch.Texts().contains(Text("IDS_WARNMSG_POSRANGE", "COMMON"))) << watch.Texts().join(" | ").toStdString();

    WaitBusyReady();
    Bus().ClearCommandsReceived();
    QTest::mouseClick(m_axis->WriteButton(), Qt::LeftButton);
    ASSERT_EQ(Count(kDemoMdc, cmd::kCmdWriteStep), 1);
    const sim::StepRecord written = WithAxis(kDemoMdc, [](sim::AxisDevice &axis) { return axis.Table().Step(1); });
    EXPECT_EQ(written.position, 1000000) << "100 mm, not the 500 typed";
}

TEST_F(ParamListTransferTest, WritingParameter36ClearsBothTablesAndTellsTheMonitor)
{
    params::CKVL_VER2_ParameterListDlg *list = OpenList(kDemoMdc);
    ASSERT_NE(list, nullptr);
    QTest::mouseClick(m_axis->MonitorButton(), Qt::LeftButton);
    auto *monitor = m_app->Windows().Find<CKVL_VER2_MTRMONITOR_DIALOG>(CWindowRegistry::Kind::kMonitor, kDemoMdc);
    ASSERT_NE(monitor, nullptr);
    const params::CParamData &record = list->Lists().File().At(36);
    const int before = record.SelectedIndex();
    const int choice = before == 1 ? 2 : 1;
    ModalWatch watch;
    Edit(*list, 36, QString::fromStdString(record.Choices()[static_cast<size_t>(choice)].ToUtf8()));
    ASSERT_EQ(watch.Texts().size(), 1);
    EXPECT_EQ(watch.Texts().front(), Text("IDS_INPUT_CHK_1", "Common"));
    ASSERT_EQ(record.SelectedIndex(), choice);
    PressWrite(*list);
    EXPECT_EQ(SimParam(kDemoMdc, 36), choice);
    EXPECT_EQ(Count(kDemoMdc, cmd::kCmdClearPointTable), 1);
    EXPECT_EQ(m_axis->Model().OperationType(), choice);
    EXPECT_EQ(m_axis->Model().Table().StepCount(), CModelTraits::StepCount(choice));
    EXPECT_EQ(monitor->Model().IoMode(), CMonitorModel::IoModeOfChoice("MDC", choice));
}

TEST_F(ParamListTransferTest, AValueThatReadsBackDifferentIsReportedAndStaysMarked)
{
    params::CKVL_VER2_ParameterListDlg *list = OpenList(kDemoMdc);
    ASSERT_NE(list, nullptr);
    WithAxis(kDemoMdc, [](sim::AxisDevice &axis) {
        axis.StoreInsteadOnWrite(29, 1234);
        return true;
    });
    ModalWatch watch;
    Edit(*list, 29, QStringLiteral("1000"));
    Edit(*list, 12, QStringLiteral("150"));
    PressWrite(*list);
    // Each written parameter read back once.
    EXPECT_EQ(Count(kDemoMdc, cmd::kCmdWriteParameter), 2);
    EXPECT_EQ(Count(kDemoMdc, cmd::kCmdReadParameter), 2);
    ASSERT_EQ(watch.Texts().size(), 2); // the confirmation of 29's edit, then the report
    const QString report = watch.Texts().back();
    EXPECT_TRUE(report.startsWith(Text("IDS_PMT_VERIFY_MISMATCH", kList))) << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("29  ") +
                                QString::fromStdString(list->Model().CellText(29, CParamListModel::kColName))));
    EXPECT_FALSE(report.contains(QStringLiteral("\n12 ")));
    EXPECT_TRUE(list->Model().VerifyMismatch(29));
    EXPECT_TRUE(list->Model().Marked(29));
    EXPECT_EQ(list->Model().CellText(29, CParamListModel::kColDriver), "1234");
    EXPECT_EQ(list->Model().CellText(29, CParamListModel::kColFile), "1000");
    EXPECT_FALSE(list->Model().Marked(12));
    EXPECT_EQ(m_axis->Model().Params().Store().GetString("29", "Value", ""), "1234");
}

} // namespace

} // namespace kvl::test
