// The axis window on the demo bus: opening from the axis link, boxes and captions by model, the
// grid's columns and start-step row, polling of the current axis only, servo, program start,
// teaching, coordinate reset, the silent axis, Return and Help.
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include "AxisWindowFixture.h"
#include "common/CHelpWindow.h"
#include "monitor/CKVL_VER2_MTRMONITOR_DIALOG.h"
#include "monitor/CMonitorModel.h"
#include "common/CMsgDlg.h"
#include "common/CWindowRegistry.h"
#include "common/CWindowTexts.h"
#include "config/CAppSettings.h"
#include "config/CAppValues.h"
#include "points/CPointGridModel.h"
#include "sim/ParameterStore.h"
#include "ui/CSvgPicture.h"
#include "protocol/CommandCodes.h"
#include "sim/AxisDevice.h"
#include "ui/CLampWidget.h"
#include "ui/CJogButton.h"
#include "ui/CPictureButton.h"

namespace kvl::test {
namespace {

using points::CAxisWindowModel;
using points::CKVL_VER2_ProgStepDlg;
using points::CPointGridModel;

bool Matches(const QString &text, const char *pattern)
{
    return QRegularExpression(QString::fromLatin1(pattern)).match(text).hasMatch();
}

using AxisWindowTest = AxisWindowFixture;

TEST_F(AxisWindowTest, OpensAnAxisFromItsLinkButtonWithTheBoxesAndCaptionsOfItsModel)
{
    struct Case {
        int address;
        const char *model;
        const char *positionCaption;
        const char *jogUnit;
        const char *feedUnit;
        const char *feedPattern;
    };
    const Case cases[] = {
        {kDemoMdc, "MDC", "Position [mm]", "mm/s", "mm", "^[0-9]+\\.[0-9]{3}$"},
        {kDemoMdaZ, "MDA-Z", "Angle [deg]", "deg/s", "deg", "^[0-9]+\\.[0-9]$"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.model);
        CKVL_VER2_ProgStepDlg *window = OpenAxis(c.address);
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(m_app->Windows().Find<CKVL_VER2_ProgStepDlg>(CWindowRegistry::Kind::kAxisMain, c.address), window);
        EXPECT_TRUE(window->windowTitle().startsWith(QStringLiteral("Point Table"))) << window->windowTitle().toStdString();
        EXPECT_EQ(window->AxisBox()->text(), QString::number(c.address, 16).toUpper());
        EXPECT_EQ(window->ModelBox()->text(), QString::fromLatin1(c.model));
        EXPECT_EQ(window->NameBox()->text(), QStringLiteral("DEMO ") + QString::fromLatin1(c.model));
        EXPECT_TRUE(Matches(window->TypeBox()->text(), "^TYPE[0-5]$")) << window->TypeBox()->text().toStdString();
        EXPECT_TRUE(Matches(window->VersionBox()->text(), "^.\\...$")) << window->VersionBox()->text().toStdString();
        EXPECT_FALSE(window->DescriptionBox()->text().isEmpty());
        EXPECT_EQ(window->Grid()->model()->headerData(points::kColPosition, Qt::Horizontal).toString(),
                  QString::fromLatin1(c.positionCaption));
        EXPECT_EQ(window->Grid()->model()->rowCount(), window->Model().Table().StepCount());
        EXPECT_GT(window->Model().Table().StepCount(), 0);
        EXPECT_EQ(window->Grid()->model()->columnCount(), 17);
        EXPECT_EQ(window->JogUnit()->text(), QString::fromLatin1(c.jogUnit));
        EXPECT_EQ(window->FeedUnit()->text(), QString::fromLatin1(c.feedUnit));
        EXPECT_TRUE(Matches(window->JogSpeedBox()->text(), "^[0-9]+$")) << window->JogSpeedBox()->text().toStdString();
        EXPECT_TRUE(Matches(window->FeedBox()->text(), c.feedPattern)) << window->FeedBox()->text().toStdString();
        EXPECT_TRUE(window->ParamButton()->isEnabled());
        EXPECT_TRUE(window->WaveButton()->isEnabled());
        EXPECT_TRUE(window->TuningButton()->isEnabled());
        EXPECT_TRUE(window->ReadButton()->isEnabled());
        EXPECT_EQ(window->ReturnButton()->toolTip(),
                  QString::fromStdString(m_app->Settings().Texts().Tooltip(80)));
    }
}

TEST_F(AxisWindowTest, PressingALiveAxisAgainKeepsItsWindowAndItsTableEdits)
{
    CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(window->Model().Table().CreateRow(0));
    window->hide();
    EXPECT_EQ(OpenAxis(kDemoMdc), window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->Model().Table().Working(0).IsEmpty());
}

TEST_F(AxisWindowTest, GridHidesPushColumnsByTypeAndTheShortViewHidesTheDetailColumns)
{
    struct Case {
        int type;
        bool shortView;
        std::vector<int> hidden;
    };
    const Case cases[] = {
        {0, false, {}},
        {1, false, {6, 7}},
        {5, false, {6, 7}},
        {2, true, {6, 7, 8, 9, 10, 11, 12, 13, 14}},
    };
    for (const Case &c : cases) {
        for (int k = 0; k < CPointGridModel::kColumnCount; ++k) {
            const bool hidden = std::find(c.hidden.begin(), c.hidden.end(), k) != c.hidden.end();
            EXPECT_EQ(CPointGridModel::ColumnShown(k, c.type, c.shortView), !hidden) << c.type << " column " << k;
        }
    }
    CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    const int type = window->Model().OperationType();
    QTest::mouseClick(window->ShortViewButton(), Qt::LeftButton);
    EXPECT_TRUE(window->ShortView());
    for (int k = 0; k < CPointGridModel::kColumnCount; ++k)
        EXPECT_EQ(window->Grid()->isColumnHidden(k), !CPointGridModel::ColumnShown(k, type, true)) << k;
    EXPECT_TRUE(window->Grid()->isColumnHidden(points::kColRepeat));
    QTest::mouseClick(window->FullViewButton(), Qt::LeftButton);
    EXPECT_FALSE(window->Grid()->isColumnHidden(points::kColRepeat));
    EXPECT_FALSE(window->Grid()->isColumnHidden(points::kColComment));
}

TEST_F(AxisWindowTest, OperationType5ShowsItsPictureInTheLanguageOfTheTexts)
{
    EXPECT_EQ(CKVL_VER2_ProgStepDlg::Type5PictureName(1), QStringLiteral("type5_ja"));
    EXPECT_EQ(CKVL_VER2_ProgStepDlg::Type5PictureName(2), QStringLiteral("type5_en"));
    EXPECT_EQ(CKVL_VER2_ProgStepDlg::Type5PictureName(3), QStringLiteral("type5_zh"));
    for (int language : {1, 2, 3})
        EXPECT_TRUE(CSvgPicture::Exists(CKVL_VER2_ProgStepDlg::Type5PictureName(language))) << language;

    constexpr int32_t kAirCylinderType = 5;
    WithAxis(kDemoMdc, [](sim::AxisDevice &axis) { return axis.Parameters().Set(sim::param::kOperationType, kAirCylinderType); });
    CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(window->Model().OperationType(), 5);
    EXPECT_TRUE(window->Type5Picture()->isVisible());
    EXPECT_FALSE(window->Type5Picture()->pixmap().isNull());
    EXPECT_EQ(window->Type5Picture()->property("picture").toString(), QStringLiteral("type5_en"));
    EXPECT_EQ(window->GridModel()->rowCount(), 3);

    CKVL_VER2_ProgStepDlg *other = OpenAxis(kDemoMdb);
    ASSERT_NE(other, nullptr);
    EXPECT_FALSE(other->Type5Picture()->isVisible()) << "type " << other->Model().OperationType();
}

TEST_F(AxisWindowTest, StartStepRowIsLightCyan)
{
    CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    QAbstractItemModel *grid = window->Grid()->model();
    window->Model().SetStartRow(3);
    window->RefreshView();
    EXPECT_EQ(grid->index(2, 4).data(Qt::BackgroundRole).value<QBrush>().color(), CPointGridModel::kStartRowColour);
    EXPECT_NE(grid->index(0, 4).data(Qt::BackgroundRole).value<QBrush>().color(), CPointGridModel::kStartRowColour);
}

TEST_F(AxisWindowTest, OnlyTheLastActivatedOfTwoAxisWindowsPolls)
{
    CKVL_VER2_ProgStepDlg *first = OpenAxis(kDemoMdb);
    CKVL_VER2_ProgStepDlg *second = OpenAxis(kDemoMdc);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    Activate(first);
    ASSERT_TRUE(WaitFor([second] { return !second->TimerRunning(CAxisWindowModel::Timer::kStatus) &&
                                          !second->TimerRunning(CAxisWindowModel::Timer::kMotion); }));
    Bus().ClearCommandsReceived();
    ASSERT_TRUE(WaitFor([this] { return Count(kDemoMdb, cmd::kCmdReadPositions) >= 10; }));
    EXPECT_EQ(Count(kDemoMdc, cmd::kCmdReadPositions), 0);
    EXPECT_TRUE(first->TimerRunning(CAxisWindowModel::Timer::kMotion));

    Activate(second);
    ASSERT_TRUE(WaitFor([first] { return !first->TimerRunning(CAxisWindowModel::Timer::kMotion); }));
    Bus().ClearCommandsReceived();
    ASSERT_TRUE(WaitFor([this] { return Count(kDemoMdc, cmd::kCmdReadPositions) >= 10; }));
    EXPECT_EQ(Count(kDemoMdb, cmd::kCmdReadPositions), 0);
}

TEST_F(AxisWindowTest, ServoOnAndOffLightTheLampAndSwitchTheControls)
{
    CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->ServoOnButton()->isEnabled());
    EXPECT_FALSE(window->ServoOffButton()->isEnabled());
    EXPECT_FALSE(window->JogButton(CAxisWindowModel::JogDirection::kForward)->isEnabled());
    EXPECT_FALSE(window->HomeButton()->isEnabled());

    ServoOn(*window);
    EXPECT_TRUE(WithAxis(kDemoMdc, [](sim::AxisDevice &axis) { return axis.Motion().ServoOn(); }));
    EXPECT_FALSE(window->ServoOnButton()->isEnabled());
    EXPECT_TRUE(window->ServoOffButton()->isEnabled());
    EXPECT_TRUE(window->HomeButton()->isEnabled());
    EXPECT_TRUE(window->StartButton()->isEnabled());
    EXPECT_FALSE(window->PauseButton()->isEnabled());
    EXPECT_TRUE(window->JogButton(CAxisWindowModel::JogDirection::kReverse)->isEnabled());
    EXPECT_TRUE(window->FeedButton(CAxisWindowModel::JogDirection::kForward)->isEnabled());

    QTest::mouseClick(window->ServoOffButton(), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([window] {
        return window->LampWidget(CKVL_VER2_ProgStepDlg::Lamp::kServo)->GetState() == CLampWidget::State::kOff;
    }));
    EXPECT_FALSE(WithAxis(kDemoMdc, [](sim::AxisDevice &axis) { return axis.Motion().ServoOn(); }));
    EXPECT_TRUE(window->ServoOnButton()->isEnabled());
    EXPECT_FALSE(window->ServoOffButton()->isEnabled());
    EXPECT_FALSE(window->JogButton(CAxisWindowModel::JogDirection::kForward)->isEnabled());
}

TEST_F(AxisWindowTest, ProgramStartBeginsAtTheStartStepRow)
{
    constexpr int kStartRow = 5;
    WithAxis(kDemoMdc, [](sim::AxisDevice &axis) {
        sim::StepRecord record;
        record.number = kStartRow;
        record.position = 400000;   // 40 mm
        record.speed = 500;         // 5 mm/s: still running when the test looks
        record.acc = 30;
        record.dcc = 30;
        record.positionRange = 1000;
        return axis.Table().SetStep(kStartRow, record);
    });
    CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    ServoOn(*window);
    QTest::mouseClick(window->HomeButton(), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([window] {
        return window->LampWidget(CKVL_VER2_ProgStepDlg::Lamp::kHome)->GetState() == CLampWidget::State::kOn;
    }));
    window->Model().SetStartRow(kStartRow);
    Bus().ClearCommandsReceived();
    QTest::mouseClick(window->StartButton(), Qt::LeftButton);
    EXPECT_EQ(Count(kDemoMdc, cmd::kCmdStartProgram), 1);
    EXPECT_TRUE(WithAxis(kDemoMdc, [](sim::AxisDevice &axis) { return axis.ProgramActive(); }));
    EXPECT_TRUE(window->Model().Running());
    EXPECT_FALSE(window->StartButton()->isEnabled());
    EXPECT_TRUE(window->PauseButton()->isEnabled());
    EXPECT_EQ(window->AlarmBox()->text(), QStringLiteral("Normal"));
    EXPECT_EQ(window->AlarmBox()->palette().color(QPalette::Window), CKVL_VER2_ProgStepDlg::kAlarmNormal);
    EXPECT_EQ(window->Model().StartRow(), kStartRow);
}

// Program Reset that the controller acknowledges shows "Normal" in green at once, not only the
// text until the next status poll.
TEST_F(AxisWindowTest, ProgramResetRecoloursTheAlarmBoxAtOnce)
{
    CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    WithAxis(kDemoMdc, [](sim::AxisDevice &axis) {
        axis.Alarms().Raise(0x31);
        return true;
    });
    ASSERT_TRUE(WaitFor([window] { return window->AlarmBox()->text() == QStringLiteral("Unormal"); }));
    EXPECT_EQ(window->AlarmBox()->palette().color(QPalette::Window), CKVL_VER2_ProgStepDlg::kAlarmAbnormal);
    ASSERT_TRUE(window->ProgramResetButton()->isEnabled());
    QTest::mouseClick(window->ProgramResetButton(), Qt::LeftButton);
    EXPECT_EQ(window->AlarmBox()->text(), QStringLiteral("Normal"));
    EXPECT_EQ(window->AlarmBox()->palette().color(QPalette::Window), CKVL_VER2_ProgStepDlg::kAlarmNormal);
}

TEST_F(AxisWindowTest, GetOnAnEmptyRowCreatesItAndAdvancesForPositionButNotForAreaA)
{
    CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    QTableView *grid = window->Grid();
    ASSERT_TRUE(window->Model().Table().Working(2).IsEmpty());
    const QRect stepCell = grid->visualRect(grid->model()->index(2, points::kColStep));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, stepCell.center());
    QTest::mouseClick(window->TeachButton(), Qt::LeftButton);
    const points::CPointTable &table = window->Model().Table();
    EXPECT_FALSE(table.Working(2).IsEmpty());
    EXPECT_EQ(QString::fromStdString(table.Cell(2, points::kColPosition)), window->AbsBox()->text());
    EXPECT_EQ(table.Cell(2, points::kColMode), "ABS");
    // The whole next row is selected now.
    QItemSelectionModel *selection = grid->selectionModel();
    EXPECT_TRUE(selection->isSelected(grid->model()->index(3, points::kColComment)));
    EXPECT_FALSE(selection->isSelected(grid->model()->index(2, points::kColComment)));

    QTest::mouseClick(window->TargetButton(CAxisWindowModel::TeachTarget::kPAreaA), Qt::LeftButton);
    EXPECT_EQ(window->Model().Target(), CAxisWindowModel::TeachTarget::kPAreaA);
    QTest::mouseClick(window->TeachButton(), Qt::LeftButton);
    // P-area A keeps the decimals of its column.
    EXPECT_NEAR(std::stod(table.Cell(3, points::kColPAreaA)), window->AbsBox()->text().toDouble(), 0.01);
    EXPECT_TRUE(selection->isSelected(grid->model()->index(3, points::kColComment)));

    // One cell is not a whole row: nothing is taught.
    grid->selectionModel()->select(grid->model()->index(6, points::kColSpeed), QItemSelectionModel::ClearAndSelect);
    QTest::mouseClick(window->TeachButton(), Qt::LeftButton);
    EXPECT_TRUE(table.Working(6).IsEmpty());
}

TEST_F(AxisWindowTest, CoordinateResetThenAFeedOf12p5ShowsIncrement12p500OnAnMdc)
{
    CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    ServoOn(*window);
    QTest::mouseClick(window->CoordinateResetButton(), Qt::LeftButton);
    EXPECT_EQ(window->IncBox()->text(), QStringLiteral("0.000"));
    // The controller moves by its parameter 31; without a parameter list window the feed box
    // does not write it. Here it is set as the parameter list sets it: in the controller, in the
    // store, and the window is told.
    WithAxis(kDemoMdc, [](sim::AxisDevice &axis) {
        return axis.Parameters().Set(sim::param::kInchingDistance,
                                     static_cast<int32_t>(12.5 * axis.Model().inchingFactor));
    });
    window->Model().Params().Store().SetString("31", "Value", "12.5");
    window->Model().FeedAmountChanged();
    EXPECT_EQ(window->FeedBox()->text(), QStringLiteral("12.500"));
    QTest::mouseClick(window->FeedButton(CAxisWindowModel::JogDirection::kForward), Qt::LeftButton);
    EXPECT_EQ(window->FeedBox()->text(), QStringLiteral("12.500"));
    EXPECT_TRUE(WaitFor([window] { return window->IncBox()->text() == QStringLiteral("12.500"); }))
        << window->IncBox()->text().toStdString();
}

TEST_F(AxisWindowTest, ASilentAxisSaysSoInTheAlarmBox)
{
    CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    const QString silent = CWindowTexts::Text(m_app->Settings().Texts(), CKVL_VER2_ProgStepDlg::kNoAnswerKey,
                                              "Common", QString::fromLatin1(CKVL_VER2_ProgStepDlg::kNoAnswerBuiltIn));
    EXPECT_NE(window->AlarmBox()->text(), silent);
    Bus().Stop();
    ASSERT_TRUE(WaitFor([window] { return window->Model().Silent(); }));
    EXPECT_EQ(window->AlarmBox()->text(), silent);
    EXPECT_EQ(window->AlarmBox()->palette().color(QPalette::Window), CKVL_VER2_ProgStepDlg::kAlarmSilent);
}

TEST_F(AxisWindowTest, TheWindowNamesTheParametersItCouldNotReadFromTheController)
{
    // Read well: no line.
    CKVL_VER2_ProgStepDlg *first = OpenAxis(kDemoMdc);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->NotReadLine()->isHidden());
    // Two parameters the controller refuses to read: the window opens with the file's values for
    // them and says which.
    WithAxis(kDemoMdaZ, [](sim::AxisDevice &device) {
        device.RefuseParameterRead(16);
        device.RefuseParameterRead(31);
        return 0;
    });
    CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdaZ);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->NotReadLine()->isHidden());
    const QString text = window->NotReadLine()->text();
    EXPECT_TRUE(text.contains(QStringLiteral("(2)")) && text.contains(QStringLiteral("16, 31"))) << text.toStdString();
    EXPECT_TRUE(window->NotReadLine()->toolTip().startsWith(QStringLiteral("16 "))) << window->NotReadLine()->toolTip().toStdString();
}

TEST_F(AxisWindowTest, ReturnHidesTheWindowAndInServiceModeShowsTheVersionMessage)
{
    CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    m_app->Settings().Settings().SetString("Debug", "Level", "10");
    window->ApplyTexts();
    EXPECT_EQ(window->ReturnButton()->text(), QStringLiteral("Factory"));
    QString shown;
    AnswerNextModal([&shown](QWidget *dialog) {
        if (auto *message = qobject_cast<CMsgDlg *>(dialog)) {
            shown = message->Text();
            message->accept();
        }
    });
    QTest::mouseClick(window->ReturnButton(), Qt::LeftButton);
    EXPECT_TRUE(shown.contains(QStringLiteral("MDC Ver"))) << shown.toStdString();
    EXPECT_TRUE(window->isVisible());

    m_app->Settings().Settings().SetString("Debug", "Level", "0");
    window->ApplyTexts();
    QTest::mouseClick(window->ReturnButton(), Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(m_link->isVisible());
    EXPECT_FALSE(window->TimerRunning(CAxisWindowModel::Timer::kStatus));
}

TEST_F(AxisWindowTest, MonitorOpensOnceAndFollowsAClearingTypeChangeAndReturnHidesIt)
{
    CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    QTest::mouseClick(window->MonitorButton(), Qt::LeftButton);
    auto *monitor = m_app->Windows().Find<CKVL_VER2_MTRMONITOR_DIALOG>(CWindowRegistry::Kind::kMonitor, kDemoMdc);
    ASSERT_NE(monitor, nullptr);
    EXPECT_TRUE(monitor->isVisible());
    EXPECT_EQ(monitor->Model().IoMode(), window->Model().OperationType());
    Activate(window);
    QTest::mouseClick(window->MonitorButton(), Qt::LeftButton);
    EXPECT_EQ(m_app->Windows().Find<CKVL_VER2_MTRMONITOR_DIALOG>(CWindowRegistry::Kind::kMonitor, kDemoMdc), monitor);

    // A type change the parameter list read (no clear) leaves the monitor's I/O mode; one it
    // wrote (clear) gives the monitor the window's operation type.
    constexpr int kOtherMode = 3;
    ASSERT_NE(window->Model().OperationType(), kOtherMode);
    monitor->SetIoMode(kOtherMode);
    window->OperationTypeChanged(false);
    EXPECT_EQ(monitor->Model().IoMode(), kOtherMode);
    window->OperationTypeChanged(true);
    EXPECT_EQ(monitor->Model().IoMode(), window->Model().OperationType());
    EXPECT_EQ(window->TypeBox()->text(), QStringLiteral("TYPE%1").arg(window->Model().OperationType()));

    QTest::mouseClick(window->ReturnButton(), Qt::LeftButton);
    EXPECT_FALSE(monitor->isVisible());
}

TEST_F(AxisWindowTest, ReturnHidesTheParameterListAndTheWaveformToo)
{
    CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    QTest::mouseClick(window->ParamButton(), Qt::LeftButton);
    QTest::mouseClick(window->WaveButton(), Qt::LeftButton);
    QWidget *list = m_app->Windows().Find<QWidget>(CWindowRegistry::Kind::kParamList, kDemoMdc);
    QWidget *wave = m_app->Windows().Find<QWidget>(CWindowRegistry::Kind::kWaveform, kDemoMdc);
    ASSERT_NE(list, nullptr);
    ASSERT_NE(wave, nullptr);
    ASSERT_TRUE(WaitFor([&] { return list->isVisible() && wave->isVisible(); }));
    Activate(window);
    QTest::mouseClick(window->ReturnButton(), Qt::LeftButton);
    EXPECT_FALSE(list->isVisible());
    EXPECT_FALSE(wave->isVisible());
}

TEST_F(AxisWindowTest, TitlesNameTheAxisSoThatTwoAxesCanBeToldApart)
{
    WithAxis(kDemoMdc, [](sim::AxisDevice &axis) {
        axis.SetName("LIFTER");
        return true;
    });
    CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    QTest::mouseClick(window->ParamButton(), Qt::LeftButton);
    QWidget *list = m_app->Windows().Find<QWidget>(CWindowRegistry::Kind::kParamList, kDemoMdc);
    ASSERT_NE(list, nullptr);
    const QString tag = QStringLiteral(" - %1 LIFTER").arg(kDemoMdc, 0, 16).toUpper();
    EXPECT_TRUE(window->windowTitle().contains(tag)) << window->windowTitle().toStdString();
    EXPECT_TRUE(list->windowTitle().contains(tag)) << list->windowTitle().toStdString();

    // A new name follows into both titles.
    window->Model().DeviceNameChanged("PRESS");
    ASSERT_TRUE(WaitFor([&] { return window->windowTitle().contains(QStringLiteral("PRESS")); }))
        << window->windowTitle().toStdString();
}

TEST_F(AxisWindowTest, HelpOpensTheAxisSection)
{
    CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    QTest::mouseClick(window->HelpButton(), Qt::LeftButton);
    ASSERT_NE(m_app->HelpWindow(), nullptr);
    EXPECT_TRUE(m_app->HelpWindow()->isVisible());
}

} // namespace
} // namespace kvl::test
