// The auto-tuning window on the application's demo bus, offscreen, opened by the axis window's
// Tuning start through the danger notice and the guide: a full run on the MDC collecting its
// result, the result view over eleven records, the write rules and conversions, the quality
// toggle's layouts, an MDA axis on which nothing is sent, a run stopped on every way out
// (Stop in the window included), and a lost status reply that leaves the run going.
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QRadioButton>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>

#include "AxisWindowFixture.h"
#include "ModalAnswer.h"
#include "common/CCellEdit.h"
#include "common/CHelpWindow.h"
#include "common/CMsgDlg.h"
#include "common/CWindowRegistry.h"
#include "params/CKVL_VER2_ParameterListDlg.h"
#include "protocol/CommandCodes.h"
#include "sim/AxisDevice.h"
#include "sim/PointTable.h"
#include "tuning/CKVL_VER2_AutoTuningDlgDlg.h"
#include "tuning/CTuningResultTable.h"
#include "ui/CPictureButton.h"

namespace kvl::tuning {
namespace {

using Field = CTuningFields::Field;
using points::CKVL_VER2_ProgStepDlg;
using test::kDemoMdc;
constexpr int kDemoMda = 0;

void PressOk(QWidget *modal)
{
    auto *ok = modal->findChild<QPushButton *>(QStringLiteral("okButton"));
    ASSERT_NE(ok, nullptr);
    ok->click();
}

// What typing does: the edit's text, then its edited signal.
void Type(QLineEdit *edit, const char *text)
{
    edit->setText(QString::fromLatin1(text));
    Q_EMIT edit->textEdited(edit->text());
}

class AutoTuningWindowTest : public test::AxisWindowFixture {
protected:
    CKVL_VER2_AutoTuningDlgDlg *Find(int axis)
    {
        return m_app->Windows().Find<CKVL_VER2_AutoTuningDlgDlg>(CWindowRegistry::Kind::kTuning, axis);
    }

    // Tuning start with OK on the notice and on the guide.
    CKVL_VER2_AutoTuningDlgDlg *OpenTuning(CKVL_VER2_ProgStepDlg &axisWindow)
    {
        test::AnswerNextModal([](QWidget *notice) {
            test::AnswerNextModal(PressOk);
            PressOk(notice);
        });
        QTest::mouseClick(axisWindow.TuningButton(), Qt::LeftButton);
        return Find(axisWindow.Model().Identity().axis);
    }

    // Servo on and home done, so the controller takes a run.
    void Prepare(CKVL_VER2_ProgStepDlg &axisWindow)
    {
        ServoOn(axisWindow);
        axisWindow.PressHome();
        ASSERT_TRUE(WaitFor([this] { return WithAxis(kDemoMdc, [](sim::AxisDevice &a) { return a.HomeDone(); }); }));
        ASSERT_TRUE(WaitFor([this] { return !WithAxis(kDemoMdc, [](sim::AxisDevice &a) { return a.Motion().Moving(); }); }));
        // Step 0 (wire step 1): 20 mm out at 20 mm/s, so a run of six strokes lasts some seconds.
        sim::StepRecord step;
        step.number = 1;
        step.mode = 1;
        step.position = 20 * 10000;
        step.speed = 20 * 100;
        step.acc = 30;
        step.dcc = 30;
        ASSERT_TRUE(WithAxis(kDemoMdc, [&step](sim::AxisDevice &a) { return a.Table().SetStep(1, step); }));
    }

    uint8_t TuningState()
    {
        return WithAxis(kDemoMdc, [](sim::AxisDevice &a) { return a.Tuner().TuningState(); });
    }
    int32_t Parameter(int address, int number)
    {
        return WithAxis(address, [number](sim::AxisDevice &a) { return a.Parameters().Get(number); });
    }
};

TEST_F(AutoTuningWindowTest, CancelledEntryFlowOpensNothing)
{
    CKVL_VER2_ProgStepDlg *axisWindow = OpenAxis(kDemoMdc);
    ASSERT_NE(axisWindow, nullptr);
    ASSERT_TRUE(axisWindow->TuningButton()->isEnabled());
    // Escape at the notice; then OK at the notice and Escape at the guide.
    test::AnswerNextModal([](QWidget *notice) { QTest::keyClick(notice, Qt::Key_Escape); });
    QTest::mouseClick(axisWindow->TuningButton(), Qt::LeftButton);
    EXPECT_EQ(Find(kDemoMdc), nullptr);
    test::AnswerNextModal([](QWidget *notice) {
        test::AnswerNextModal([](QWidget *guide) { QTest::keyClick(guide, Qt::Key_Escape); });
        PressOk(notice);
    });
    QTest::mouseClick(axisWindow->TuningButton(), Qt::LeftButton);
    EXPECT_EQ(Find(kDemoMdc), nullptr);
    EXPECT_EQ(Count(kDemoMdc, cmd::kCmdStartAutoTuning), 0);
}

TEST_F(AutoTuningWindowTest, FullRunOnMdcCollectsOneResult)
{
    CKVL_VER2_ProgStepDlg *axisWindow = OpenAxis(kDemoMdc);
    ASSERT_NE(axisWindow, nullptr);
    Prepare(*axisWindow);
    CKVL_VER2_AutoTuningDlgDlg *window = OpenTuning(*axisWindow);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(window->isVisible());
    EXPECT_TRUE(window->windowTitle().contains(QStringLiteral("Auto Tuning"))) << window->windowTitle().toStdString();
    auto *list = m_app->Windows().Find<params::CKVL_VER2_ParameterListDlg>(CWindowRegistry::Kind::kParamList, kDemoMdc);
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(list->isEnabled()) << "the parameter list is disabled while tuning is shown";
    EXPECT_TRUE(WaitFor([window] { return window->Model().TuningState() != CAutoTuningModel::kStateUnknown; }));
    EXPECT_EQ(window->TuningStateLabel()->text(), QStringLiteral("Idle"));
    ASSERT_TRUE(window->StartButton()->isEnabled());
    EXPECT_FALSE(window->StopButton()->isEnabled());

    Type(window->StepEdit(), "0");
    QTest::mouseClick(window->StartButton(), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([window] { return window->Model().TuningState() == 2; }, 5000));
    EXPECT_EQ(window->TuningStateLabel()->text(), QStringLiteral("Running"));
    EXPECT_FALSE(window->StepEdit()->isEnabled()) << "the fields are locked while a state runs";
    window->close();
    EXPECT_TRUE(window->isVisible()) << "the window cannot be closed while a state runs";

    ASSERT_TRUE(WaitFor([window] { return window->Model().Results().RingPosition() == 1; }, 30000));
    EXPECT_EQ(window->Model().TuningState(), 3);
    EXPECT_EQ(window->TuningStateLabel()->text(), QStringLiteral("Finished"));
    const CTuningResults::Record &record = window->Model().Results().RecordAt(1);
    const sim::StepRecord step = WithAxis(kDemoMdc, [](sim::AxisDevice &a) { return a.Table().Step(1); });
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", step.position / 10000.0);
    EXPECT_EQ(record[6], text);
    std::snprintf(text, sizeof text, "%.4f", step.speed / 100.0);
    EXPECT_EQ(record[7], text);
    EXPECT_EQ(record[10], "0");
    std::snprintf(text, sizeof text, "%.3f", Parameter(kDemoMdc, 119) / 1000.0);
    EXPECT_EQ(record[0], text);
    EXPECT_EQ(record[1], std::to_string(Parameter(kDemoMdc, 40)));
    EXPECT_EQ(record[5], std::to_string(Parameter(kDemoMdc, 118)));
    const int first = WithAxis(kDemoMdc, [](sim::AxisDevice &a) { return a.Tuner().FirstValue(); });
    const int second = WithAxis(kDemoMdc, [](sim::AxisDevice &a) { return a.Tuner().SecondValue(); });
    EXPECT_EQ(record[11], std::to_string(CTuningResults::RoundUpToTen(first)));
    EXPECT_EQ(record[12], std::to_string(CTuningResults::RoundUpToTen(second)));
    EXPECT_EQ(std::stoi(record[12]) % 10, 0);
    // The view shows it in column 1, highlighted; further polls collect nothing more.
    CTuningResultTable *table = window->ResultTable();
    EXPECT_EQ(table->data(table->index(1, 2)).toString().toStdString(), record[0]);
    EXPECT_EQ(table->data(table->index(1, 2), Qt::BackgroundRole).value<QBrush>().color(), QColor(0, 255, 255));
    window->PollNow();
    window->PollNow();
    EXPECT_EQ(window->Model().Results().RingPosition(), 1);

    // Closed after a run (Start counts as a parameter change): the parameter list is enabled
    // again and reads the controller's parameters anew.
    Bus().ClearCommandsReceived();
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(list->isEnabled());
    EXPECT_GT(Count(kDemoMdc, cmd::kCmdReadParameter), 50);
}

TEST_F(AutoTuningWindowTest, ElevenResultsWrapTheRingAndTheViewFollows)
{
    CKVL_VER2_ProgStepDlg *axisWindow = OpenAxis(kDemoMdc);
    ASSERT_NE(axisWindow, nullptr);
    CKVL_VER2_AutoTuningDlgDlg *window = OpenTuning(*axisWindow);
    ASSERT_NE(window, nullptr);
    for (int run = 1; run <= 10; ++run)
        window->Model().CollectResult(run * 100 + 1, 0);
    EXPECT_EQ(window->ResultScrollBar()->value(), 5);
    CTuningResultTable *table = window->ResultTable();
    EXPECT_EQ(table->data(table->index(0, 6)).toString(), QStringLiteral("10"));
    EXPECT_EQ(table->data(table->index(12, 6)).toString(), QStringLiteral("1010"));
    window->Model().CollectResult(1101, 0);
    EXPECT_EQ(window->Model().Results().RingPosition(), 1);
    EXPECT_EQ(window->ResultScrollBar()->value(), 0);
    EXPECT_EQ(table->data(table->index(0, 2)).toString(), QStringLiteral("1"));
    EXPECT_EQ(table->data(table->index(12, 2)).toString(), QStringLiteral("1110")) << "the eleventh overwrote the first";
    EXPECT_EQ(table->data(table->index(12, 2), Qt::BackgroundRole).value<QBrush>().color(), QColor(0, 255, 255));
    // Scroll to the end: the newest is out of view, nothing is highlighted.
    window->ResultScrollBar()->setValue(5);
    EXPECT_EQ(window->Model().Results().HighlightedColumn(), 0);
    QTest::mouseClick(window->ClearButton(), Qt::LeftButton);
    EXPECT_EQ(window->Model().Results().RingPosition(), 0);
    EXPECT_EQ(window->ResultScrollBar()->value(), 0);
    EXPECT_EQ(table->data(table->index(1, 2)).toString(), QString());
}

TEST_F(AutoTuningWindowTest, F1OpensTheHelpAtTheTuningSection)
{
    CKVL_VER2_ProgStepDlg *axisWindow = OpenAxis(kDemoMdc);
    ASSERT_NE(axisWindow, nullptr);
    CKVL_VER2_AutoTuningDlgDlg *window = OpenTuning(*axisWindow);
    ASSERT_NE(window, nullptr);
    // F1 on the window and on a widget inside it (the result table passes the key on).
    for (QWidget *target : {static_cast<QWidget *>(window), static_cast<QWidget *>(window->ResultView())}) {
        if (m_app->HelpWindow() != nullptr)
            m_app->HelpWindow()->hide();
        QTest::keyClick(target, Qt::Key_F1);
        ASSERT_NE(m_app->HelpWindow(), nullptr);
        EXPECT_TRUE(m_app->HelpWindow()->isVisible());
        EXPECT_EQ(m_app->HelpWindow()->Section(), QStringLiteral("tuning"));
    }
}

TEST_F(AutoTuningWindowTest, WriteChecksTheSettlingTimeAndConvertsTheTexts)
{
    CKVL_VER2_ProgStepDlg *axisWindow = OpenAxis(kDemoMdc);
    ASSERT_NE(axisWindow, nullptr);
    CKVL_VER2_AutoTuningDlgDlg *window = OpenTuning(*axisWindow);
    ASSERT_NE(window, nullptr);
    WithAxis(kDemoMdc, [](sim::AxisDevice &a) {
        a.Parameters().Set(172, 10);
        a.Parameters().Set(174, 2);
        return 0;
    });
    window->PressRead();
    const int32_t stiffness = Parameter(kDemoMdc, 174);
    for (const char *settling : {"49", "10001"}) {
        Type(window->FieldEdit(Field::kSettlingTime), settling);
        window->PressStiffnessHigher();
        Bus().ClearCommandsReceived();
        QString said;
        test::AnswerNextModal([&said](QWidget *modal) {
            said = qobject_cast<CMsgDlg *>(modal)->Text();
            PressOk(modal);
        });
        window->PressWrite();
        EXPECT_EQ(said, QStringLiteral("The target settling time must lie between 50 and 10000.")) << settling;
        EXPECT_EQ(Count(kDemoMdc, cmd::kCmdWriteParameter), 0) << settling;
    }
    EXPECT_EQ(Parameter(kDemoMdc, 174), stiffness);

    // Acceleration 2.3 writes 23; with the quality toggle on, load inertia ratio 1.001 writes 1001.
    Type(window->FieldEdit(Field::kSettlingTime), "200");
    Type(window->FieldEdit(Field::kAcceleration), "2.3");
    window->PressWrite();
    EXPECT_EQ(Parameter(kDemoMdc, 172), 23);
    EXPECT_EQ(Parameter(kDemoMdc, 173), 200);
    window->QualityToggle()->setChecked(true);
    Type(window->FieldEdit(Field::kLoadInertia), "1.001");
    Type(window->FieldEdit(Field::kAcceleration), "4.0");
    window->PressWrite();
    EXPECT_EQ(Parameter(kDemoMdc, 119), 1001);
    EXPECT_EQ(Parameter(kDemoMdc, 172), 23) << "acceleration is not written with the quality toggle on";
    EXPECT_TRUE(window->Model().ParametersWritten());
}

// The load inertia ratio goes to the controller x1000: outside 1 to 100 the whole write is
// refused with the field's message (9999999 would arrive as 1410064408, 0 as 0); its bounds are
// written. A ratio the controller reported outside the range is shown as it is and not written.
TEST_F(AutoTuningWindowTest, WriteRefusesALoadInertiaRatioOutsideOneToHundred)
{
    CKVL_VER2_ProgStepDlg *axisWindow = OpenAxis(kDemoMdc);
    ASSERT_NE(axisWindow, nullptr);
    CKVL_VER2_AutoTuningDlgDlg *window = OpenTuning(*axisWindow);
    ASSERT_NE(window, nullptr);
    window->QualityToggle()->setChecked(true);
    const int32_t ratio = Parameter(kDemoMdc, 119);
    const int32_t stiffness = Parameter(kDemoMdc, 174);
    for (const char *typed : {"9999999", "0", "0.999", "100.001"}) {
        Type(window->FieldEdit(Field::kLoadInertia), typed);
        window->PressStiffnessHigher();
        Bus().ClearCommandsReceived();
        QString said;
        test::AnswerNextModal([&said](QWidget *modal) {
            said = qobject_cast<CMsgDlg *>(modal)->Text();
            PressOk(modal);
        });
        window->PressWrite();
        EXPECT_EQ(said, QStringLiteral("The load inertia ratio must lie between 1.000 and 100.000.")) << typed;
        EXPECT_EQ(Count(kDemoMdc, cmd::kCmdWriteParameter), 0) << typed;
    }
    EXPECT_EQ(Parameter(kDemoMdc, 119), ratio);
    EXPECT_EQ(Parameter(kDemoMdc, 174), stiffness);

    const struct {
        const char *typed;
        int32_t raw;
    } bounds[] = {{"100", 100000}, {"1", 1000}};
    for (const auto &c : bounds) {
        Type(window->FieldEdit(Field::kLoadInertia), c.typed);
        window->PressWrite();
        EXPECT_EQ(Parameter(kDemoMdc, 119), c.raw) << c.typed;
    }

    WithAxis(kDemoMdc, [](sim::AxisDevice &a) { return a.Parameters().Set(119, 0), 0; });
    window->PressRead();
    EXPECT_EQ(window->FieldEdit(Field::kLoadInertia)->text(), QStringLiteral("0.000"));
    window->PressStiffnessLower();
    Bus().ClearCommandsReceived();
    window->PressWrite();
    EXPECT_EQ(Count(kDemoMdc, cmd::kCmdWriteParameter), 1) << "an unchanged ratio does not hold the stiffness back";
    EXPECT_EQ(Parameter(kDemoMdc, 119), 0);
}

TEST_F(AutoTuningWindowTest, ServoOnAsksBeforeWritingAndTurnsTheServoOff)
{
    CKVL_VER2_ProgStepDlg *axisWindow = OpenAxis(kDemoMdc);
    ASSERT_NE(axisWindow, nullptr);
    ServoOn(*axisWindow);
    WithAxis(kDemoMdc, [](sim::AxisDevice &a) { return a.Parameters().Set(173, 100), 0; });
    CKVL_VER2_AutoTuningDlgDlg *window = OpenTuning(*axisWindow);
    ASSERT_NE(window, nullptr);
    Type(window->FieldEdit(Field::kSettlingTime), "300");
    test::AnswerNextModal([](QWidget *modal) { modal->findChild<QPushButton *>(QStringLiteral("cancelButton"))->click(); });
    window->PressWrite();
    EXPECT_NE(Parameter(kDemoMdc, 173), 300);
    EXPECT_TRUE(WithAxis(kDemoMdc, [](sim::AxisDevice &a) { return a.Motion().ServoOn(); }));
    test::AnswerNextModal(PressOk);
    window->PressWrite();
    EXPECT_EQ(Parameter(kDemoMdc, 173), 300);
    EXPECT_FALSE(WithAxis(kDemoMdc, [](sim::AxisDevice &a) { return a.Motion().ServoOn(); }));
    EXPECT_FALSE(axisWindow->Model().ServoLamp()) << "the axis window hears of the servo off";
}

TEST_F(AutoTuningWindowTest, QualityToggleSwitchesTheFieldsShown)
{
    CKVL_VER2_ProgStepDlg *axisWindow = OpenAxis(kDemoMdc);
    ASSERT_NE(axisWindow, nullptr);
    CKVL_VER2_AutoTuningDlgDlg *window = OpenTuning(*axisWindow);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->FieldEdit(Field::kStroke)->isVisible());
    EXPECT_TRUE(window->QualityFrame()->isVisible());
    EXPECT_TRUE(window->MotorSideButton()->isVisible());
    EXPECT_TRUE(window->FieldEdit(Field::kLoadInertia)->isReadOnly());
    window->QualityToggle()->click();
    EXPECT_TRUE(window->Model().QualityOn());
    EXPECT_FALSE(window->FieldEdit(Field::kStroke)->isVisible());
    EXPECT_FALSE(window->FieldEdit(Field::kAcceleration)->isVisible());
    EXPECT_FALSE(window->QualityFrame()->isVisible());
    EXPECT_FALSE(window->MotorSideButton()->isVisible());
    EXPECT_FALSE(window->FieldEdit(Field::kLoadInertia)->isReadOnly());
}

TEST_F(AutoTuningWindowTest, OnAnMdaAxisReadWriteAndThePollSendNothing)
{
    CKVL_VER2_ProgStepDlg *axisWindow = OpenAxis(kDemoMda);
    ASSERT_NE(axisWindow, nullptr);
    CKVL_VER2_AutoTuningDlgDlg *window = OpenTuning(*axisWindow);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->Polling());
    // The opening's one status read goes to every model; after it nothing more.
    Bus().ClearCommandsReceived();
    Type(window->FieldEdit(Field::kSettlingTime), "300");
    window->PressRead();
    window->PressWrite();
    window->PollNow();
    window->PressStop();
    for (uint8_t command : {cmd::kCmdReadParameter, cmd::kCmdWriteParameter, cmd::kCmdReadAutoTuningStatus,
                            cmd::kCmdReadStep, cmd::kCmdStop})
        EXPECT_EQ(Count(kDemoMda, command), 0) << int(command);
}

TEST_F(AutoTuningWindowTest, ALostStatusReplyLeavesTheRunGoing)
{
    CKVL_VER2_ProgStepDlg *axisWindow = OpenAxis(kDemoMdc);
    ASSERT_NE(axisWindow, nullptr);
    Prepare(*axisWindow);
    CKVL_VER2_AutoTuningDlgDlg *window = OpenTuning(*axisWindow);
    ASSERT_NE(window, nullptr);
    Type(window->StepEdit(), "0");
    window->PressStart();
    ASSERT_TRUE(WaitFor([window] { return window->Model().Running(); }, 5000));
    Bus().ClearCommandsReceived();
    // Silences shorter than a second, each followed by an answer: nothing is stopped or said.
    for (int lost = 1; lost < CAutoTuningModel::kUnansweredPollsBeforeStop; ++lost) {
        SCOPED_TRACE(testing::Message() << lost << " polls lost");
        Bus().SetSilent(kDemoMdc, true);
        for (int poll = 0; poll < lost; ++poll)
            window->PollNow();
        EXPECT_EQ(window->TuningStateLabel()->text(), QStringLiteral("Running")) << "the last text stays";
        Bus().SetSilent(kDemoMdc, false);
        window->PollNow();
        EXPECT_TRUE(window->Model().Running());
        EXPECT_EQ(TuningState(), sim::AutoTuner::kRunning);
    }
    EXPECT_EQ(Count(kDemoMdc, cmd::kCmdStop), 0);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    window->PressStop();
}

TEST_F(AutoTuningWindowTest, ARunIsStoppedOnEveryWayOut)
{
    const struct {
        const char *name;
        std::function<void(CKVL_VER2_AutoTuningDlgDlg *, CKVL_VER2_ProgStepDlg *)> leave;
    } ways[] = {
        {"the application quits",
         [](CKVL_VER2_AutoTuningDlgDlg *, CKVL_VER2_ProgStepDlg *) {
             QMetaObject::invokeMethod(qApp, "aboutToQuit", Qt::DirectConnection);
         }},
        {"the axis window and its tuning window are destroyed",
         [](CKVL_VER2_AutoTuningDlgDlg *, CKVL_VER2_ProgStepDlg *axisWindow) { delete axisWindow; }},
        {"the controller stays silent for more than a second",
         [this](CKVL_VER2_AutoTuningDlgDlg *window, CKVL_VER2_ProgStepDlg *) {
             Bus().SetSilent(kDemoMdc, true);
             for (int poll = 1; poll < CAutoTuningModel::kUnansweredPollsBeforeStop; ++poll) {
                 window->PollNow();
                 EXPECT_TRUE(window->Model().Running()) << "poll " << poll;
                 EXPECT_EQ(window->TuningStateLabel()->text(), QStringLiteral("Running")) << "the last text stays";
                 EXPECT_EQ(Count(kDemoMdc, cmd::kCmdStop), 0) << "poll " << poll;
             }
             QString said;
             test::AnswerNextModal([&said](QWidget *modal) {
                 if (auto *message = qobject_cast<CMsgDlg *>(modal))
                     said = message->Text();
                 modal->close();
             });
             window->PollNow();
             EXPECT_FALSE(window->Model().Running());
             EXPECT_EQ(said.toStdString(),
                       "The controller did not answer for more than a second: the tuning run was stopped.");
             window->PollNow();
             EXPECT_EQ(Count(kDemoMdc, cmd::kCmdStop), 1) << "Stop is sent once while the controller is silent";
             Bus().SetSilent(kDemoMdc, false);
         }},
        {"Stop in the tuning window",
         [this](CKVL_VER2_AutoTuningDlgDlg *window, CKVL_VER2_ProgStepDlg *) {
             ASSERT_TRUE(window->StopButton()->isEnabled()) << "Stop stays enabled while the run moves the axis";
             QTest::mouseClick(window->StopButton(), Qt::LeftButton);
             EXPECT_EQ(Count(kDemoMdc, cmd::kCmdStop), 1);
             EXPECT_TRUE(WaitFor([window] { return !window->Model().Running(); }));
             EXPECT_FALSE(window->StopButton()->isEnabled()) << "nothing left to stop";
         }},
    };
    for (const auto &way : ways) {
        SCOPED_TRACE(way.name);
        CKVL_VER2_ProgStepDlg *axisWindow = OpenAxis(kDemoMdc);
        ASSERT_NE(axisWindow, nullptr);
        Prepare(*axisWindow);
        CKVL_VER2_AutoTuningDlgDlg *window = OpenTuning(*axisWindow);
        ASSERT_NE(window, nullptr);
        Type(window->StepEdit(), "0");
        window->PressStart();
        ASSERT_TRUE(WaitFor([window] { return window->Model().Running(); }, 5000));
        Bus().ClearCommandsReceived();
        way.leave(window, axisWindow);
        EXPECT_GE(Count(kDemoMdc, cmd::kCmdStop), 1);
        EXPECT_EQ(TuningState(), sim::AutoTuner::kFailed);
        if (m_app->Windows().Find<CKVL_VER2_ProgStepDlg>(CWindowRegistry::Kind::kAxisMain, kDemoMdc))
            delete m_app->Windows().Find<CKVL_VER2_ProgStepDlg>(CWindowRegistry::Kind::kAxisMain, kDemoMdc);
        QCoreApplication::processEvents();
    }
}

} // namespace
} // namespace kvl::tuning
