// The waveform window on the application's demo bus, offscreen, opened by the axis window's Wave
// button: captures against the simulator (a running program, both channels at mode 0), Stop
// keeping the app-wide settings, the series list's buttons with files, zoom buttons, the wheel
// and drag on the chart, the readout, the coalesced redraw, gaps, the line property window and
// the image export.
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "AxisWindowFixture.h"
#include "ModalAnswer.h"
#include "common/CWindowRegistry.h"
#include "config/CAppSettings.h"
#include "config/CAppValues.h"
#include "protocol/CommandCodes.h"
#include "sim/AxisDevice.h"
#include "sim/PointTable.h"
#include "ui/CLampWidget.h"
#include "ui/CPictureButton.h"
#include "waveform/CRogChartProperty.h"
#include "waveform/CRogDlg.h"
#include "waveform/CWaveChart.h"
#include "waveform/WaveModes.h"

namespace kvl {
namespace {

using points::CKVL_VER2_ProgStepDlg;
using test::kDemoMdc;

class WaveWindowTest : public test::AxisWindowFixture {
protected:
    // The axis window of the demo MDC and its waveform window, opened by the Wave button.
    CRogDlg *OpenWave()
    {
        m_axisWindow = OpenAxis(kDemoMdc);
        // The demo gateway lists the MDC the axis reports, which sets the model-match flag that
        // keeps Start disabled; these tests capture, so the flag is cleared before the opening.
        m_app->Values().modelMatch[kDemoMdc] = false;
        if (!m_axisWindow)
            return nullptr;
        QTest::mouseClick(m_axisWindow->WaveButton(), Qt::LeftButton);
        return m_app->Windows().Find<CRogDlg>(CWindowRegistry::Kind::kWaveform, kDemoMdc);
    }

    void SetMode(CRogDlg &window, int row, int mode)
    {
        CRogModel::LineProperty property = window.Model().PropertyOf(row);
        property.mode = mode;
        window.Model().ApplyProperty(row, property);
    }

    bool Idle(CRogDlg &window)
    {
        return WaitFor([&window] { return !window.Model().Running() && !window.PollTimer()->isActive(); }, 20000);
    }

    CKVL_VER2_ProgStepDlg *m_axisWindow = nullptr;
    QTemporaryDir m_dir;
};

TEST_F(WaveWindowTest, WaveOpensOneWindowPerAxisAndReturnHidesIt)
{
    OpenAxis(kDemoMdc);
    ASSERT_TRUE(m_app->Values().modelMatch[kDemoMdc]) << "the demo gateway lists this axis' model";
    CRogDlg *window = OpenWave();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->windowTitle().contains(QStringLiteral("Waveform Logging"))) << window->windowTitle().toStdString();
    EXPECT_TRUE(window->StartStopButton()->isEnabled());
    EXPECT_EQ(window->StartStopButton()->text(), QStringLiteral("Start"));
    EXPECT_EQ(window->SeriesList()->rowCount(), 2);
    EXPECT_EQ(window->SeriesList()->item(0, CRogDlg::kColumnName)->text(), QStringLiteral("CH0"));
    EXPECT_EQ(window->SeriesList()->item(1, CRogDlg::kColumnMode)->text(), QStringLiteral("Actual current"));
    EXPECT_EQ(window->Chart()->SpeedAxis()->label(), QStringLiteral("Speed [mm/s]"));
    window->hide();
    QTest::mouseClick(m_axisWindow->WaveButton(), Qt::LeftButton);
    EXPECT_EQ(m_app->Windows().Find<CRogDlg>(CWindowRegistry::Kind::kWaveform, kDemoMdc), window);
    EXPECT_TRUE(window->isVisible());
    QTest::mouseClick(m_axisWindow->ReturnButton(), Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(WaveWindowTest, BothChannelsAtModeZeroSendOnlyReadWaveScales)
{
    CRogDlg *window = OpenWave();
    ASSERT_NE(window, nullptr);
    m_app->Values().accessLevel[kDemoMdc] = 1;
    // Mode 0 for CH0 through the line property window, opened by a double click on its row.
    test::AnswerNextModal([](QWidget *modal) {
        auto *dialog = qobject_cast<CRogChartProperty *>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->ModeList()->isEnabled());
        dialog->ModeList()->setCurrentIndex(0);
        EXPECT_EQ(dialog->OffsetUnit()->text(), QString());
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("ok")), Qt::LeftButton);
    });
    window->SeriesList()->selectRow(0);
    window->PressProperty();
    EXPECT_EQ(window->Model().Series().Live(0).Mode(), 0);
    EXPECT_EQ(window->SeriesList()->item(0, CRogDlg::kColumnMode)->text(), QStringLiteral("None"));
    SetMode(*window, 1, 0);
    Bus().ClearCommandsReceived();
    QTest::mouseClick(window->StartStopButton(), Qt::LeftButton);
    EXPECT_EQ(Count(kDemoMdc, cmd::kCmdReadWaveScales), 1);
    EXPECT_EQ(Count(kDemoMdc, cmd::kCmdStartWaveCapture), 0);
    EXPECT_FALSE(window->Model().Running());
    EXPECT_FALSE(window->PollTimer()->isActive());
    EXPECT_EQ(window->StartStopButton()->text(), QStringLiteral("Start"));
}

TEST_F(WaveWindowTest, ACaptureOfARunningProgramFollowsTheSimulatorsMotion)
{
    constexpr int kStartRow = 5;
    constexpr double kSpeed = 5.0;        // mm/s
    constexpr int kRecorded = sim::WaveRecorder::kRecordLength;
    WithAxis(kDemoMdc, [](sim::AxisDevice &axis) {
        sim::StepRecord record;
        record.number = kStartRow;
        record.position = 400000;   // 40 mm
        record.speed = 500;         // 5 mm/s
        record.acc = 30;
        record.dcc = 30;
        record.positionRange = 1000;
        return axis.Table().SetStep(kStartRow, record);
    });
    CRogDlg *window = OpenWave();
    ASSERT_NE(window, nullptr);
    ServoOn(*m_axisWindow);
    QTest::mouseClick(m_axisWindow->HomeButton(), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([this] {
        return m_axisWindow->LampWidget(CKVL_VER2_ProgStepDlg::Lamp::kHome)->GetState() == CLampWidget::State::kOn;
    }));
    m_axisWindow->Model().SetStartRow(kStartRow);
    QTest::mouseClick(m_axisWindow->StartButton(), Qt::LeftButton);
    ASSERT_TRUE(WithAxis(kDemoMdc, [](sim::AxisDevice &axis) { return axis.ProgramActive(); }));

    // CH0 actual current (0x08), CH1 position command (0x02): the controller sends CH1's stream first.
    SetMode(*window, 0, wave::kModeActualCurrent);
    SetMode(*window, 1, wave::kModePositionCommand);
    window->SamplingBox()->setText(QStringLiteral("5"));   // 0.5 ms
    Bus().ClearCommandsReceived();
    QTest::mouseClick(window->StartStopButton(), Qt::LeftButton);
    ASSERT_TRUE(window->Model().Running());
    EXPECT_TRUE(window->PollTimer()->isActive());
    EXPECT_EQ(window->StartStopButton()->text(), QStringLiteral("Stop"));
    ASSERT_TRUE(Idle(*window));   // the recorder's finished flag ends the run

    EXPECT_EQ(Count(kDemoMdc, cmd::kCmdStopWaveCapture), 1);
    EXPECT_EQ(window->StartStopButton()->text(), QStringLiteral("Start"));
    EXPECT_TRUE(window->LostLabel()->text().isEmpty());
    const CWaveSeries &current = window->Model().Series().Live(0);
    const CWaveSeries &command = window->Model().Series().Live(1);
    ASSERT_EQ(command.Count(), kRecorded);
    ASSERT_EQ(current.Count(), kRecorded);
    EXPECT_DOUBLE_EQ(command.Point(0).x, 0.5) << "the first sample lies at one period";
    EXPECT_DOUBLE_EQ(command.Point(kRecorded - 1).x, 0.5 * kRecorded);
    for (int i = 1; i < kRecorded; ++i)
        ASSERT_GE(command.Point(i).y, command.Point(i - 1).y - 1e-9) << i;
    EXPECT_GE(command.Point(0).y, 0.0);
    EXPECT_LE(command.Point(kRecorded - 1).y, 40.0);
    // Past the acceleration the command advances at the program's speed.
    const int from = kRecorded / 2;
    const double slope = (command.Point(kRecorded - 1).y - command.Point(from).y) /
                         ((command.Point(kRecorded - 1).x - command.Point(from).x) / 1000.0);
    EXPECT_NEAR(slope, kSpeed, kSpeed * 0.05);
    const double commandNow = WithAxis(kDemoMdc, [](sim::AxisDevice &axis) { return axis.Motion().CommandPosition(); });
    EXPECT_GE(commandNow + 1e-6, command.Point(kRecorded - 1).y);
    bool currentFlows = false;
    for (int i = 0; i < kRecorded && !currentFlows; ++i)
        currentFlows = current.Point(i).y != 0.0;
    EXPECT_TRUE(currentFlows) << "CH0 reads the current stream, not the positions";
    m_axisWindow->Model().ProgramReset();
}

TEST_F(WaveWindowTest, StopKeepsTheWindowsScalesAndSamplingAsTheAppWideSettings)
{
    CRogDlg *window = OpenWave();
    ASSERT_NE(window, nullptr);
    const CWaveformSettings::Values before = m_app->Settings().Waveform().Get();
    QLineEdit *time = window->PerDivisionBox(CWaveDisplay::kTime);
    time->selectAll();
    QTest::keyClicks(time, QStringLiteral("50"));
    QTest::keyClick(time, Qt::Key_Return);
    window->Chart()->ReplotNow();
    EXPECT_EQ(window->Model().Display().TimePerDivision(), 50);
    EXPECT_DOUBLE_EQ(window->Chart()->TimeAxis()->range().size(), 0.0 + window->Model().Display().Range(CWaveDisplay::kTime).max -
                                                                     window->Model().Display().Range(CWaveDisplay::kTime).min);
    window->SamplingBox()->setText(QStringLiteral("20"));
    QTest::mouseClick(window->StartStopButton(), Qt::LeftButton);
    ASSERT_TRUE(window->Model().Running());
    EXPECT_EQ(m_app->Settings().Waveform().Get().time, before.time);
    QTest::mouseClick(window->StartStopButton(), Qt::LeftButton);
    EXPECT_FALSE(window->Model().Running());
    EXPECT_FALSE(window->PollTimer()->isActive());
    EXPECT_EQ(m_app->Settings().Waveform().Get().time, 50);
    EXPECT_EQ(m_app->Settings().Waveform().Get().periodTimes, 20);
}

TEST_F(WaveWindowTest, OpenFollowsMaxListAndOnlyLoadedRowsCanBeDeleted)
{
    CRogDlg *window = OpenWave();
    ASSERT_NE(window, nullptr);
    window->Model().Series().Live(0).Append(1.0, 2.0);
    window->Model().Series().Live(1).Append(1.0, 3.0);
    const QString path = m_dir.filePath(QStringLiteral("run.csv"));
    window->PressSave(path);
    ASSERT_TRUE(QFile::exists(path));
    EXPECT_TRUE(window->OpenButton()->isEnabled());
    window->PressOpen(path);
    EXPECT_EQ(window->SeriesList()->rowCount(), 4);
    EXPECT_TRUE(window->OpenButton()->isEnabled());
    window->PressOpen(path);
    EXPECT_EQ(window->SeriesList()->rowCount(), 6);
    EXPECT_FALSE(window->OpenButton()->isEnabled());
    for (int row : {0, 1}) {
        window->SeriesList()->selectRow(row);
        EXPECT_FALSE(window->DeleteButton()->isEnabled()) << row;
        window->PressDelete();
        EXPECT_EQ(window->SeriesList()->rowCount(), 6) << row;
    }
    window->SeriesList()->selectRow(5);
    ASSERT_TRUE(window->DeleteButton()->isEnabled());
    QTest::mouseClick(window->DeleteButton(), Qt::LeftButton);
    EXPECT_EQ(window->SeriesList()->rowCount(), 5);
    window->Chart()->ReplotNow();
    EXPECT_EQ(window->Chart()->graphCount(), 5);
    EXPECT_FALSE(window->OpenButton()->isEnabled());
}

TEST_F(WaveWindowTest, ZoomButtonsShowTheirFactorAndStopAtTheirLimits)
{
    CRogDlg *window = OpenWave();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->ZoomLabel()->text(), QStringLiteral("1x"));
    window->Chart()->ReplotNow();
    const double span = window->Chart()->TimeAxis()->range().size();
    for (const char *text : {"2x", "4x", "8x"}) {
        QTest::mouseClick(window->ZoomLargeButton(), Qt::LeftButton);
        EXPECT_EQ(window->ZoomLabel()->text(), QString::fromLatin1(text));
    }
    EXPECT_FALSE(window->ZoomLargeButton()->isEnabled());
    window->Chart()->ReplotNow();
    EXPECT_DOUBLE_EQ(window->Chart()->TimeAxis()->range().size(), span / 8);
    QTest::mouseClick(window->ZoomResetButton(), Qt::LeftButton);
    EXPECT_EQ(window->ZoomLabel()->text(), QStringLiteral("1x"));
    EXPECT_TRUE(window->ZoomLargeButton()->isEnabled());
    for (int i = 0; i < 5; ++i)
        QTest::mouseClick(window->ZoomSmallButton(), Qt::LeftButton);
    EXPECT_EQ(window->ZoomLabel()->text(), QStringLiteral("1/32x"));
    EXPECT_FALSE(window->ZoomSmallButton()->isEnabled());
    QTest::mouseClick(window->ZoomResetButton(), Qt::LeftButton);
    const double min = window->Model().Display().Range(CWaveDisplay::kTime).min;
    QTest::mouseClick(window->ScrollButtonOf(CRogDlg::kScrollRight), Qt::LeftButton);
    EXPECT_DOUBLE_EQ(window->Model().Display().Range(CWaveDisplay::kTime).min,
                     min + window->Model().Display().Range(CWaveDisplay::kTime).tick / 2);
}

TEST_F(WaveWindowTest, TheWheelZoomsAboutThePointerDragMovesTimeAndTheReadoutFollows)
{
    CRogDlg *window = OpenWave();
    ASSERT_NE(window, nullptr);
    for (int i = 1; i <= 100; ++i)
        window->Model().Series().Live(0).Append(i * 10.0, i * 0.5);
    CWaveChart *chart = window->Chart();
    chart->ReplotNow();
    const QRect plot = chart->axisRect()->rect();
    const QPoint middle = plot.center();
    const double timeUnder = chart->TimeAt(middle.x());
    QWheelEvent wheel(QPointF(middle), chart->mapToGlobal(QPointF(middle)), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(chart, &wheel);
    chart->ReplotNow();
    EXPECT_EQ(window->ZoomLabel()->text(), QStringLiteral("2x"));
    EXPECT_NEAR(chart->TimeAt(middle.x()), timeUnder, 1.0);

    QMouseEvent hover(QEvent::MouseMove, QPointF(middle), chart->mapToGlobal(QPointF(middle)), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(chart, &hover);
    EXPECT_TRUE(window->ReadoutLabel()->text().contains(QStringLiteral(" ms"))) << window->ReadoutLabel()->text().toStdString();
    EXPECT_TRUE(window->ReadoutLabel()->text().contains(QStringLiteral("CH0: "))) << window->ReadoutLabel()->text().toStdString();

    const double min = chart->TimeAxis()->range().lower;
    QTest::mousePress(chart, Qt::LeftButton, Qt::NoModifier, middle);
    QMouseEvent move(QEvent::MouseMove, QPointF(middle + QPoint(50, 0)), chart->mapToGlobal(QPointF(middle + QPoint(50, 0))),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(chart, &move);
    QTest::mouseRelease(chart, Qt::LeftButton, Qt::NoModifier, middle + QPoint(50, 0));
    chart->ReplotNow();
    EXPECT_LT(chart->TimeAxis()->range().lower, min) << "dragging right shows earlier times";
}

TEST_F(WaveWindowTest, RedrawsAreCoalescedAndMissingSamplesLeaveAGap)
{
    CRogDlg *window = OpenWave();
    ASSERT_NE(window, nullptr);
    CWaveChart *chart = window->Chart();
    ASSERT_TRUE(WaitFor([chart] { return !chart->ReplotPending(); }));
    const int before = chart->ReplotCount();
    for (int i = 0; i < 200; ++i)
        chart->RequestReplot();
    ASSERT_TRUE(WaitFor([chart] { return !chart->ReplotPending(); }));
    EXPECT_EQ(chart->ReplotCount(), before + 1);

    const std::string path = m_dir.filePath(QStringLiteral("gap.csv")).toStdString();
    {
        std::ofstream file(path, std::ios::binary);
        file << "No,Time [ms],CH0-7,CH1-0\r\n0,1.00,1.00,0.00\r\n1,2.00,2.00,0.00\r\n2,3.00,3.00,0.00\r\n"
                "3,7.00,7.00,0.00\r\n4,8.00,8.00,0.00\r\n";
    }
    window->PressOpen(QString::fromStdString(path));
    chart->ReplotNow();
    ASSERT_EQ(chart->graphCount(), 4);
    const auto data = chart->graph(2)->data();
    ASSERT_EQ(data->size(), 6) << "five points and one gap";
    int gaps = 0;
    for (auto it = data->constBegin(); it != data->constEnd(); ++it)
        gaps += std::isnan(it->value) ? 1 : 0;
    EXPECT_EQ(gaps, 1);
    EXPECT_EQ(chart->graph(2)->valueAxis(), chart->CurrentAxis());
    EXPECT_EQ(chart->graph(3)->data()->size(), 0) << "a mode-0 series gets no points";
}

TEST_F(WaveWindowTest, LinePropertiesApplyOnOkAndCancelChangesNothing)
{
    CRogDlg *window = OpenWave();
    ASSERT_NE(window, nullptr);
    m_app->Values().accessLevel[kDemoMdc] = 0;
    test::AnswerNextModal([](QWidget *modal) {
        auto *dialog = qobject_cast<CRogChartProperty *>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_FALSE(dialog->ModeList()->isEnabled()) << "access level 0";
        EXPECT_EQ(dialog->ModeList()->count(), 9);
        EXPECT_EQ(dialog->OffsetUnit()->text(), QStringLiteral("mA"));
        dialog->NameBox()->setText(QStringLiteral("motor current"));
        dialog->OffsetBox()->setText(QStringLiteral("25"));
        dialog->WidthList()->setCurrentIndex(2);
        dialog->SetColour(0xFF0000);
        QTest::mouseClick(dialog->VisibleButton(), Qt::LeftButton);
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("ok")), Qt::LeftButton);
    });
    window->SeriesList()->selectRow(1);
    QTest::mouseClick(window->PropertyButton(), Qt::LeftButton);
    EXPECT_EQ(window->SeriesList()->item(1, CRogDlg::kColumnName)->text(), QStringLiteral("motor current"));
    EXPECT_EQ(window->SeriesList()->item(1, CRogDlg::kColumnOffset)->text(), QStringLiteral("25.000 mA"));
    EXPECT_EQ(window->SeriesList()->item(1, CRogDlg::kColumnWidth)->text(), QStringLiteral("3"));
    EXPECT_EQ(window->SeriesList()->item(1, CRogDlg::kColumnColour)->background().color(), QColor(0, 0, 255));
    EXPECT_EQ(window->SeriesList()->item(1, CRogDlg::kColumnName)->foreground().color(), QColor(128, 128, 128));
    window->Chart()->ReplotNow();
    EXPECT_FALSE(window->Chart()->graph(1)->visible());

    test::AnswerNextModal([](QWidget *modal) {
        auto *dialog = qobject_cast<CRogChartProperty *>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->NameBox()->setText(QStringLiteral("other"));
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cancel")), Qt::LeftButton);
    });
    QTest::mouseClick(window->PropertyButton(), Qt::LeftButton);
    EXPECT_EQ(window->SeriesList()->item(1, CRogDlg::kColumnName)->text(), QStringLiteral("motor current"));
}

TEST_F(WaveWindowTest, TheChartExportsAsPngOrPdf)
{
    CRogDlg *window = OpenWave();
    ASSERT_NE(window, nullptr);
    struct Case {
        const char *name;
        QByteArray magic;
    };
    for (const Case &c : {Case{"chart", QByteArray("\x89PNG")}, Case{"chart.pdf", QByteArray("%PDF")}}) {
        const QString path = m_dir.filePath(QString::fromLatin1(c.name));
        ASSERT_TRUE(window->PressExport(path)) << c.name;
        QFile file(QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".png") : path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << c.name;
        EXPECT_TRUE(file.read(4).startsWith(c.magic)) << c.name;
    }
}

TEST_F(WaveWindowTest, AnOfflineWindowNeverStarts)
{
    CRogDlg window(*m_app, kDemoMdc, "MDC", true);
    window.show();
    EXPECT_FALSE(window.StartStopButton()->isEnabled());
    window.PressStartStop();
    EXPECT_FALSE(window.Model().Running());
}

} // namespace
} // namespace kvl
