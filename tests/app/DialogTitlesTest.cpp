// Every file, folder, print and print preview dialog the tool opens has a title in the user's
// language: opened through the real buttons and menu entries of each window on the demo bus, in
// Japanese, and read before it is closed.
#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "StartAppFixture.h"
#include "app/CKVL_ControlApp.h"
#include "app/CKVL_VER2_AXIS_LINK_DIALOG.h"
#include "app/CKVL_VER2_ControlDlg.h"
#include "app/CKVL_VER2_PortSetDlg.h"
#include "common/CWindowRegistry.h"
#include "config/CAppSettings.h"
#include "gateway/CKVL_GWX_SETTING.h"
#include "params/CKVL_VER2_ParameterListDlg.h"
#include "points/CKVL_VER2_ProgStepDlg.h"
#include "ui/CPictureButton.h"
#include "waveform/CRogDlg.h"

namespace kvl {
namespace {

using test::StartAppFixture;

// The titles of the Japanese language file.
const QString kOpenTitle = QStringLiteral("ファイルを開く");
const QString kSaveTitle = QStringLiteral("名前を付けて保存");
const QString kPrintTitle = QStringLiteral("印刷");
const QString kPreviewTitle = QStringLiteral("印刷プレビュー");
const QString kBackupTitle = QStringLiteral("バックアップの保存先フォルダ");
const QString kRestoreTitle = QStringLiteral("復元するバックアップのフォルダ");

// The busy indicator takes no new run this soon after the last one ended.
constexpr int kBusyGapMs = 150;

// The entries of a print button's menu: print, preview, PDF file.
enum PrintEntry { kPrintEntry = 0, kPreviewEntry = 1, kPdfEntry = 2 };

void Click(QAbstractButton *button)
{
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isEnabled()) << button->objectName().toStdString();
    QTest::mouseClick(button, Qt::LeftButton);
}

void Trigger(QAbstractButton *button, PrintEntry entry)
{
    ASSERT_NE(button, nullptr);
    QMenu *menu = button->findChild<QMenu *>();
    ASSERT_NE(menu, nullptr) << button->objectName().toStdString();
    ASSERT_GT(menu->actions().size(), entry);
    menu->actions().at(entry)->trigger();
}

class DialogTitlesTest : public StartAppFixture {
protected:
    void SetUp() override
    {
        StartAppFixture::SetUp();
        CKVL_ControlApp &app = StartApp(CAppSettings::kSystemLangJapanese, true);
        app.StartDialog()->show();
        app.StartDialog()->PressNext();
        m_link = qobject_cast<CKVL_VER2_AXIS_LINK_DIALOG *>(app.StartDialog()->LinkWindow());
        ASSERT_NE(m_link, nullptr);
        m_link->show();
        m_link->PressLinkStart();
        for (int address = 0; address < CAxisLinkModel::kAxisCount && m_axis < 0; ++address) {
            const CAxisLinkModel::Axis &axis = m_link->Model().AxisAt(address);
            if (axis.linked && axis.model == "MDC")
                m_axis = address;
        }
        ASSERT_GE(m_axis, 0) << "the demo bus holds an MDC axis";
        QTest::qWait(kBusyGapMs);
        m_link->PressAxis(m_axis);
        ASSERT_NE(AxisWindow(), nullptr);
        AxisWindow()->show();
    }

    points::CKVL_VER2_ProgStepDlg *AxisWindow() const { return m_link->AxisWindow(m_axis); }

    params::CKVL_VER2_ParameterListDlg *ParamList()
    {
        AxisWindow()->PressParam();
        return m_app->Windows().Find<params::CKVL_VER2_ParameterListDlg>(CWindowRegistry::Kind::kParamList, m_axis);
    }

    CRogDlg *Wave()
    {
        AxisWindow()->PressWave();
        return m_app->Windows().Find<CRogDlg>(CWindowRegistry::Kind::kWaveform, m_axis);
    }

    CKVL_GWX_SETTING *Gateway()
    {
        m_link->PressGateway();
        return m_app->Windows().Find<CKVL_GWX_SETTING>(CWindowRegistry::Kind::kGateway);
    }

    CKVL_VER2_AXIS_LINK_DIALOG *m_link = nullptr;
    int m_axis = -1;
};

TEST_F(DialogTitlesTest, EveryDialogTheWindowsOpenHasItsTitle)
{
    ASSERT_FALSE(HasFatalFailure());
    const struct {
        const char *what;
        std::function<void()> open;
        QString title;
        bool fileDialog;
    } cases[] = {
        {"point table open", [this] { Click(AxisWindow()->OpenButton()); }, kOpenTitle, true},
        {"point table save", [this] { Click(AxisWindow()->SaveButton()); }, kSaveTitle, true},
        {"point table print", [this] { Trigger(AxisWindow()->PrintButton(), kPrintEntry); }, kPrintTitle, false},
        {"point table preview", [this] { Trigger(AxisWindow()->PrintButton(), kPreviewEntry); }, kPreviewTitle, false},
        {"point table PDF", [this] { Trigger(AxisWindow()->PrintButton(), kPdfEntry); }, kSaveTitle, true},
        {"parameter load", [this] { Click(ParamList()->LoadButton()); }, kOpenTitle, true},
        {"parameter save", [this] { Click(ParamList()->SaveButton()); }, kSaveTitle, true},
        {"parameter print", [this] { Trigger(ParamList()->PrintButton(), kPrintEntry); }, kPrintTitle, false},
        {"parameter preview", [this] { Trigger(ParamList()->PrintButton(), kPreviewEntry); }, kPreviewTitle, false},
        {"parameter PDF", [this] { Trigger(ParamList()->PrintButton(), kPdfEntry); }, kSaveTitle, true},
        {"waveform save", [this] { Click(Wave()->SaveButton()); }, kSaveTitle, true},
        {"waveform open", [this] { Click(Wave()->OpenButton()); }, kOpenTitle, true},
        {"waveform picture", [this] { Click(Wave()->ExportButton()); }, kSaveTitle, true},
        {"waveform print", [this] { Trigger(Wave()->PrintButton(), kPrintEntry); }, kPrintTitle, false},
        {"waveform preview", [this] { Trigger(Wave()->PrintButton(), kPreviewEntry); }, kPreviewTitle, false},
        {"waveform PDF", [this] { Trigger(Wave()->PrintButton(), kPdfEntry); }, kSaveTitle, true},
        {"unit settings save", [this] { Click(Gateway()->SaveButton()); }, kSaveTitle, true},
        {"unit settings open", [this] { Click(Gateway()->OpenButton()); }, kOpenTitle, true},
        {"unit settings print", [this] { Click(Gateway()->PrintButton()); }, kPrintTitle, false},
        {"backup folder", [this] { Click(m_link->BackupButton()); }, kBackupTitle, true},
        {"restore folder", [this] { Click(m_link->RestoreButton()); }, kRestoreTitle, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        bool shown = false;
        QString title;
        bool fileDialog = false;
        AnswerNextModal([&](QWidget *dialog) {
            shown = true;
            title = dialog->windowTitle();
            fileDialog = qobject_cast<QFileDialog *>(dialog) != nullptr;
            dialog->close();
        });
        QTest::qWait(kBusyGapMs);
        c.open();
        // A press that opened nothing leaves the answer waiting: no later case may take it.
        ASSERT_TRUE(shown);
        EXPECT_EQ(title, c.title);
        EXPECT_EQ(fileDialog, c.fileDialog);
    }
}

} // namespace
} // namespace kvl
