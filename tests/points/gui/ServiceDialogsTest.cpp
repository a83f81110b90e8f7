// The service dialogs on the demo bus: the message dialog's manual home and remote-state buttons
// acting on the dialog's axis, and the version and access-level dialog opened from the axis
// window's corner button, whose level the axis' parameter list follows.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "base/Version.h"
#include "AxisWindowFixture.h"
#include "MessageAnswerer.h"
#include "common/CConfirm.h"
#include "common/CMsgDlg.h"
#include "common/CWindowTexts.h"
#include "config/CAppSettings.h"
#include "config/CAppValues.h"
#include "params/CKVL_VER2_ParameterListDlg.h"
#include "protocol/CServiceButtons.h"
#include "protocol/CommandCodes.h"
#include "sim/AxisDevice.h"
#include "ui/CPictureButton.h"

namespace kvl::test {
namespace {

class ServiceDialogsTest : public AxisWindowFixture {
protected:
    CMsgDlg::ServiceHooks Service()
    {
        auto buttons = std::make_shared<CServiceButtons>(m_app->Commands());
        CMsgDlg::ServiceHooks hooks;
        hooks.manualHome = [buttons](int axis) { buttons->ManualHome(static_cast<std::uint8_t>(axis)); };
        hooks.remote = [buttons](int axis) { return buttons->Remote(static_cast<std::uint8_t>(axis)); };
        return hooks;
    }
    void SetRemote(int address, std::uint8_t state)
    {
        WithAxis(address, [state](sim::AxisDevice &axis) {
            axis.SetRemoteState(state);
            return true;
        });
    }
    // The access dialog the corner button of `window` opened.
    CConfirm *OpenConfirm(points::CKVL_VER2_ProgStepDlg &window)
    {
        QTest::mouseClick(window.VersionButton(), Qt::LeftButton);
        auto *dialog = window.findChild<CConfirm *>();
        EXPECT_NE(dialog, nullptr);
        if (dialog) {
            EXPECT_TRUE(WaitFor([dialog] { return dialog->isVisible(); }));
        }
        return dialog;
    }
    void Enter(CConfirm &dialog, const QString &text)
    {
        dialog.Entry()->clear();
        QTest::keyClicks(dialog.Entry(), text);
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    }
};

TEST_F(ServiceDialogsTest, TheRemoteButtonShowsWhatTheDialogsAxisAnswersAndSilenceReadsLocal)
{
    const struct {
        const char *what;
        std::uint8_t mdcState, mdbState;
        bool silent;
        bool shown;
    } cases[] = {
        {"local", 0, 1, false, false},
        {"remote", 1, 0, false, true},
        {"another value", 2, 1, false, false},
        {"no reply", 1, 1, true, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        SetRemote(kDemoMdc, c.mdcState);
        SetRemote(kDemoMdb, c.mdbState);
        Bus().SetSilent(kDemoMdc, c.silent);
        Bus().ClearCommandsReceived();
        MessageAnswerer answers;
        CMsgDlg dialog(nullptr, QString(), QStringLiteral("Go on?"), true, kDemoMdc, true, nullptr, Service());
        dialog.show();
        EXPECT_EQ(dialog.RemoteShown(), c.shown);
        EXPECT_EQ(Count(kDemoMdc, cmd::kCmdReadRemoteState), 1) << "asked once when shown";
        EXPECT_EQ(Count(kDemoMdb, cmd::kCmdReadRemoteState), 0) << "only the dialog's axis";
        SetRemote(kDemoMdc, c.shown ? 0 : 1);
        QTest::mouseClick(dialog.RemoteButton(), Qt::LeftButton);
        EXPECT_EQ(dialog.RemoteShown(), !c.shown && !c.silent) << "asked again when redrawn";
        EXPECT_TRUE(answers.texts.isEmpty()) << "nothing is said";
        Bus().SetSilent(kDemoMdc, false);
    }
}

TEST_F(ServiceDialogsTest, ManualHomeMakesThePresentPositionTheOriginAndTheDialogStaysOpen)
{
    points::CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    ServoOn(*window);
    ASSERT_FALSE(WithAxis(kDemoMdc, [](sim::AxisDevice &axis) { return axis.HomeDone(); }));
    Bus().ClearCommandsReceived();
    CMsgDlg dialog(window, QString(), QStringLiteral("Go on?"), true, kDemoMdc, true, nullptr, Service());
    dialog.show();
    QTest::mouseClick(dialog.HomeButton(), Qt::LeftButton);
    EXPECT_EQ(Count(kDemoMdc, cmd::kCmdHomeReturn), 1);
    EXPECT_EQ(Count(kDemoMdb, cmd::kCmdHomeReturn), 0);
    // The manual mode: homed at once, no homing move.
    EXPECT_TRUE(WithAxis(kDemoMdc, [](sim::AxisDevice &axis) { return axis.HomeDone(); }));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.isEnabled());
}

TEST_F(ServiceDialogsTest, TheManualHomeCaptionFollowsTheDebugLevel)
{
    const CLanguageTexts &texts = m_app->Settings().Texts();
    const QString manual = CWindowTexts::Text(texts, "IDC_MANU", "IDD_KVL_VER2_PROGSTEP_DIALOG");
    const QString zPhase = CWindowTexts::Text(texts, "IDC_Z_PHASE_DETECTION", "IDD_KVL_VER2_PROGSTEP_DIALOG");
    ASSERT_NE(manual, zPhase);
    for (const auto &[level, caption] : {std::pair{0, manual}, std::pair{CAppSettings::kServiceLevel, zPhase}}) {
        CMsgDlg::ApplyTexts(texts, level);
        CMsgDlg dialog(nullptr, QString(), QStringLiteral("text"), false, kDemoMdc, true);
        EXPECT_EQ(dialog.HomeButton()->text(), caption) << "debug level " << level;
    }
    CMsgDlg::ApplyTexts(texts, m_app->Settings().DebugLevel());
}

TEST_F(ServiceDialogsTest, TheCornerButtonsDialogRaisesTheLevelAndTheParameterListFollows)
{
    points::CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    auto *list = m_app->Windows().Find<params::CKVL_VER2_ParameterListDlg>(CWindowRegistry::Kind::kParamList, kDemoMdc);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->Model().Level(), 0);
    ASSERT_TRUE(window->VersionButton()->isEnabled());

    CConfirm *dialog = OpenConfirm(*window);
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(dialog->isModal());
    QPointer<CConfirm> alive(dialog);
    {
        MessageAnswerer answers;
        Enter(*dialog, QString());
        Enter(*dialog, QStringLiteral("1234"));
        ASSERT_TRUE(alive) << "refused entries keep the dialog open";
        EXPECT_TRUE(dialog->Entry()->text().isEmpty()) << "a wrong entry is wiped";
        ASSERT_EQ(answers.texts.size(), 2);
        EXPECT_EQ(answers.texts[0], QStringLiteral("Please enter the password."));
        EXPECT_EQ(answers.texts[1], QStringLiteral("The password is not correct."));
    }
    Enter(*dialog, QStringLiteral("70624815"));
    EXPECT_TRUE(WaitFor([&alive] { return !alive; })) << "closed after the level was raised";
    EXPECT_EQ(m_app->Values().accessLevel[kDemoMdc], 2);
    EXPECT_EQ(list->Model().Level(), 2);

    // The version word: the controller's and the tool's version, then the dialog closes.
    dialog = OpenConfirm(*window);
    ASSERT_NE(dialog, nullptr);
    alive = dialog;
    MessageAnswerer answers;
    Enter(*dialog, QStringLiteral("version"));
    EXPECT_TRUE(WaitFor([&alive] { return !alive; }));
    ASSERT_EQ(answers.texts.size(), 1);
    const std::string version = window->Model().Identity().version;
    EXPECT_EQ(answers.texts[0].toStdString(),
              "MDC Ver " + CConfirmModel::DottedFirmware(version) + "\nV-FLOW Ver 1.305\nkvl_motor " + kVersion);
}

TEST_F(ServiceDialogsTest, TheListsHiddenAreaOpensTheDialogAndAGoneListKeepsOnlyTheLevel)
{
    points::CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdb);
    ASSERT_NE(window, nullptr);
    auto *list = m_app->Windows().Find<params::CKVL_VER2_ParameterListDlg>(CWindowRegistry::Kind::kParamList, kDemoMdb);
    ASSERT_NE(list, nullptr);
    Q_EMIT list->accessDialogRequested(kDemoMdb);
    auto *dialog = list->findChild<CConfirm *>();
    ASSERT_NE(dialog, nullptr);
    Enter(*dialog, QStringLiteral("5190463"));
    EXPECT_EQ(list->Model().Level(), 1);

    // A dialog of the axis window whose list has gone: the level is stored, nothing follows.
    delete list;
    ASSERT_EQ(m_app->Windows().FindWidget(CWindowRegistry::Kind::kParamList, kDemoMdb), nullptr);
    dialog = OpenConfirm(*window);
    ASSERT_NE(dialog, nullptr);
    Enter(*dialog, QStringLiteral("70624815"));
    EXPECT_EQ(m_app->Values().accessLevel[kDemoMdb], 2);
}

} // namespace
} // namespace kvl::test
