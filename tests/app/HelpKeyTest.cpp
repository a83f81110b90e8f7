// F1 in the windows without a Help button opens the help at the window's own section, also when
// a widget inside the window has the keyboard focus: the offline choice, the axis window and its
// point table grid, the parameter list, the waveform window and the network unit window (all
// reached offline, without a bus).
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QTextBrowser>

#include <functional>

#include "LinkFixture.h"
#include "app/CKVL_VER2_AXIS_LINK_DIALOG.h"
#include "app/CKVL_VER2_OFFLINE_EDIT_CHIOCE.h"
#include "common/CHelpWindow.h"
#include "gateway/CKVL_GWX_SETTING.h"
#include "params/CKVL_VER2_ParameterListDlg.h"
#include "points/CKVL_VER2_ProgStepDlg.h"
#include "ui/CPictureButton.h"
#include "waveform/CRogDlg.h"

namespace kvl::test {

namespace {

constexpr int kMdc = 2;
constexpr int kGwx = 3;

// The shown top-level window of type T (nullptr when there is none).
template <class T>
T *ShownWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<T *>(widget); window && window->isVisible())
            return window;
    }
    return nullptr;
}

} // namespace

class HelpKeyTest : public LinkAppFixture {
protected:
    void SetUp() override
    {
        LinkAppFixture::SetUp();
        StartApp();
        m_link = std::make_unique<CKVL_VER2_AXIS_LINK_DIALOG>(*m_app, m_app->StartWindow());
        m_link->show();
    }
    void TearDown() override
    {
        m_link.reset();
        LinkAppFixture::TearDown();
    }
    CKVL_VER2_OFFLINE_EDIT_CHIOCE *Choice()
    {
        QTest::mouseClick(m_link->OfflineButton(), Qt::LeftButton);
        return m_link->OfflineChoiceWindow();
    }
    points::CKVL_VER2_ProgStepDlg *OfflineAxisWindow()
    {
        if (m_link->OfflineAxisWindow() == nullptr) {
            CKVL_VER2_OFFLINE_EDIT_CHIOCE *choice = Choice();
            if (choice == nullptr)
                return nullptr;
            choice->ChooseModel(kMdc);
            choice->PressType(0);
        }
        return m_link->OfflineAxisWindow();
    }

    std::unique_ptr<CKVL_VER2_AXIS_LINK_DIALOG> m_link;
};

TEST_F(HelpKeyTest, F1OpensTheSectionOfTheWindowItIsPressedIn)
{
    const struct {
        const char *window;
        std::function<QWidget *()> target;  // opens the window, returns the widget F1 goes to
        const char *section;
    } cases[] = {
        {"offline choice", [this]() -> QWidget * { return Choice(); }, "offline"},
        {"offline choice's model list",
         [this]() -> QWidget * {
             CKVL_VER2_OFFLINE_EDIT_CHIOCE *choice = Choice();
             return choice ? choice->ModelList() : nullptr;
         },
         "offline"},
        {"axis window", [this]() -> QWidget * { return OfflineAxisWindow(); }, "axis"},
        {"axis window's ABS box",
         [this]() -> QWidget * {
             points::CKVL_VER2_ProgStepDlg *window = OfflineAxisWindow();
             return window ? window->AbsBox() : nullptr;
         },
         "axis"},
        {"point table grid",
         [this]() -> QWidget * {
             points::CKVL_VER2_ProgStepDlg *window = OfflineAxisWindow();
             return window ? window->Grid() : nullptr;
         },
         "points"},
        {"parameter list's filter box",
         [this]() -> QWidget * {
             points::CKVL_VER2_ProgStepDlg *window = OfflineAxisWindow();
             if (window == nullptr)
                 return nullptr;
             window->PressParam();
             params::CKVL_VER2_ParameterListDlg *list = m_link->OfflineParamList();
             return list ? list->FilterBox() : nullptr;
         },
         "params"},
        {"parameter grid",
         [this]() -> QWidget * {
             params::CKVL_VER2_ParameterListDlg *list = m_link->OfflineParamList();
             return list ? list->Grid() : nullptr;
         },
         "params"},
        {"waveform window's sampling box",
         [this]() -> QWidget * {
             points::CKVL_VER2_ProgStepDlg *window = OfflineAxisWindow();
             if (window == nullptr)
                 return nullptr;
             window->PressWave();
             CRogDlg *wave = ShownWindow<CRogDlg>();
             return wave ? wave->SamplingBox() : nullptr;
         },
         "wave"},
        {"network unit window",
         [this]() -> QWidget * {
             // Closing the offline axis window gives the offline edit button back.
             if (points::CKVL_VER2_ProgStepDlg *window = m_link->OfflineAxisWindow())
                 window->close();
             CKVL_VER2_OFFLINE_EDIT_CHIOCE *choice = Choice();
             if (choice == nullptr)
                 return nullptr;
             choice->ChooseModel(kGwx);
             choice->PressGateway();
             return m_link->OfflineGatewayWindow();
         },
         "gateway"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.window);
        if (CHelpWindow *help = m_app->HelpWindow())
            help->hide();
        QWidget *target = c.target();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, Qt::Key_F1);
        CHelpWindow *help = m_app->HelpWindow();
        ASSERT_NE(help, nullptr);
        EXPECT_TRUE(help->isVisible());
        EXPECT_TRUE(help->PageShown());
        EXPECT_EQ(help->Section(), QLatin1String(c.section));
        EXPECT_EQ(help->Browser()->source().fragment(), QLatin1String(c.section));
    }
}

TEST_F(HelpKeyTest, OtherKeysDoNotOpenTheHelp)
{
    CKVL_VER2_OFFLINE_EDIT_CHIOCE *choice = Choice();
    ASSERT_NE(choice, nullptr);
    for (Qt::Key key : {Qt::Key_F2, Qt::Key_H, Qt::Key_Question})
        QTest::keyClick(choice, key);
    EXPECT_EQ(m_app->HelpWindow(), nullptr);
}

} // namespace kvl::test
