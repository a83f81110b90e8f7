// Offline editing from the axis link window, without a bus: the choice window (models, the six
// operation types or the network unit), the offline axis window with the table size of the chosen
// type and its parameter list, the offline network unit window (which Enter and Escape leave
// open), and the offline edit button disabled while an offline window is open.
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QPointer>
#include <QTabWidget>
#include <QTest>

#include "LinkFixture.h"
#include "ModalAnswer.h"
#include "app/CKVL_VER2_AXIS_LINK_DIALOG.h"
#include "app/CKVL_VER2_OFFLINE_EDIT_CHIOCE.h"
#include "config/CAppValues.h"
#include "gateway/CKVL_GWX_SETTING.h"
#include "params/CKVL_VER2_ParameterListDlg.h"
#include "points/CKVL_VER2_ProgStepDlg.h"
#include "ui/CPictureButton.h"

namespace kvl::test {

namespace {

constexpr int kMdb = 1;
constexpr int kMdc = 2;
constexpr int kGwx = 3;

} // namespace

class OfflineChoiceTest : public LinkAppFixture {
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
    CKVL_VER2_OFFLINE_EDIT_CHIOCE &Choice()
    {
        QTest::mouseClick(m_link->OfflineButton(), Qt::LeftButton);
        CKVL_VER2_OFFLINE_EDIT_CHIOCE *choice = m_link->OfflineChoiceWindow();
        EXPECT_NE(choice, nullptr);
        return *choice;
    }
    static bool TypesShown(const CKVL_VER2_OFFLINE_EDIT_CHIOCE &choice)
    {
        bool shown = true;
        for (int type = 0; type < COfflineChoiceModel::kOperationTypes; ++type)
            shown = shown && choice.TypeButton(type)->isVisible() && choice.TypeButton(type)->isEnabled();
        return shown;
    }

    std::unique_ptr<CKVL_VER2_AXIS_LINK_DIALOG> m_link;
};

TEST_F(OfflineChoiceTest, TheNetworkUnitTakesThePlaceOfTheOperationTypes)
{
    ASSERT_TRUE(m_link->OfflineButton()->isEnabled());
    CKVL_VER2_OFFLINE_EDIT_CHIOCE &choice = Choice();
    EXPECT_TRUE(choice.isVisible());
    EXPECT_EQ(choice.ModelList()->currentText(), QStringLiteral("MDA"));
    EXPECT_EQ(choice.ModelList()->count(), 4);
    EXPECT_TRUE(TypesShown(choice));
    EXPECT_FALSE(choice.GatewayButton()->isVisible());
    EXPECT_EQ(choice.TypeButton(3)->text(), QStringLiteral("TYPE3 512 points"));

    choice.ChooseModel(kGwx);
    EXPECT_FALSE(choice.TypeButton(0)->isVisible());
    EXPECT_FALSE(choice.TypeButton(5)->isVisible());
    EXPECT_TRUE(choice.GatewayButton()->isVisible());
    choice.ChooseModel(kMdb);
    EXPECT_TRUE(TypesShown(choice));
    EXPECT_FALSE(choice.GatewayButton()->isVisible());
}

TEST_F(OfflineChoiceTest, EachOperationTypeOpensAnOfflineWindowWithItsTableReplacingTheOneBefore)
{
    const struct {
        int type;
        int steps;
    } types[] = {{3, 512}, {0, 64}, {1, 64}, {2, 256}, {4, 7}, {5, 3}};
    QPointer<points::CKVL_VER2_ProgStepDlg> before;
    for (const auto &t : types) {
        CKVL_VER2_OFFLINE_EDIT_CHIOCE &choice = Choice();
        choice.ChooseModel(kMdc);
        QTest::mouseClick(choice.TypeButton(t.type), Qt::LeftButton);
        EXPECT_FALSE(choice.isVisible()) << "the choice window hides after a choice";
        points::CKVL_VER2_ProgStepDlg *window = m_link->OfflineAxisWindow();
        ASSERT_NE(window, nullptr) << t.type;
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(window->Model().Offline());
        EXPECT_EQ(window->Model().Identity().model, "MDC");
        EXPECT_EQ(window->Model().OperationType(), t.type);
        EXPECT_EQ(window->Model().Table().StepCount(), t.steps) << "type " << t.type;
        EXPECT_TRUE(window->windowTitle().contains(QStringLiteral("offline"))) << window->windowTitle().toStdString();
        EXPECT_FALSE(m_link->OfflineButton()->isEnabled());
        EXPECT_TRUE(before.isNull()) << "the window of the type before is gone";
        ASSERT_NE(m_link->OfflineParamList(), nullptr);
        EXPECT_GT(window->Model().Params().Count(), 0) << "the MDC parameter file is open";
        before = window;
        // Return, as the window's menu does, gives the offline edit button back.
        window->PressReturn();
        EXPECT_TRUE(m_link->OfflineButton()->isEnabled());
    }
    // The choice keeps its last model between uses.
    EXPECT_EQ(Choice().ModelList()->currentText(), QStringLiteral("MDC"));
}

TEST_F(OfflineChoiceTest, TheParamButtonShowsTheOfflineWindowsOwnParameterList)
{
    CKVL_VER2_OFFLINE_EDIT_CHIOCE &choice = Choice();
    choice.ChooseModel(kMdb);
    choice.PressType(2);
    points::CKVL_VER2_ProgStepDlg *window = m_link->OfflineAxisWindow();
    ASSERT_NE(window, nullptr);
    params::CKVL_VER2_ParameterListDlg *list = m_link->OfflineParamList();
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(list->isVisible());
    window->PressParam();
    EXPECT_TRUE(list->isVisible());
    window->PressReturn();
    EXPECT_FALSE(list->isVisible()) << "Return hides the list with its window";
    window->PressParam();
    // Closing the offline window gives the button back; a new choice brings a new list.
    window->close();
    EXPECT_TRUE(m_link->OfflineButton()->isEnabled());
    QPointer<params::CKVL_VER2_ParameterListDlg> old = list;
    Choice().PressType(0);
    EXPECT_TRUE(old.isNull());
    EXPECT_NE(m_link->OfflineParamList(), nullptr);
}

TEST_F(OfflineChoiceTest, TheNetworkUnitOpensOfflineAndClosingItGivesTheButtonBack)
{
    CKVL_VER2_OFFLINE_EDIT_CHIOCE &choice = Choice();
    choice.ChooseModel(kGwx);
    QTest::mouseClick(choice.GatewayButton(), Qt::LeftButton);
    EXPECT_FALSE(choice.isVisible());
    CKVL_GWX_SETTING *window = m_link->OfflineGatewayWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->Model().Offline());
    EXPECT_EQ(window->VersionBox()->text(), QStringLiteral("-"));
    EXPECT_FALSE(m_link->OfflineButton()->isEnabled());
    // A second choice replaces the window.
    window->close();
    EXPECT_TRUE(m_link->OfflineButton()->isEnabled());
    QPointer<CKVL_GWX_SETTING> first = window;
    Choice().PressGateway();
    EXPECT_TRUE(first.isNull());
    ASSERT_NE(m_link->OfflineGatewayWindow(), nullptr);
    EXPECT_FALSE(m_link->OfflineButton()->isEnabled());
}

// The offline window keeps its decimals and access level in a slot of its own (an online axis 0
// no longer takes them), and a new choice asks about its edits before it replaces the window.
TEST_F(OfflineChoiceTest, TheOfflineWindowHasASlotOfItsOwnAndANewChoiceAsksAboutItsEdits)
{
    CKVL_VER2_OFFLINE_EDIT_CHIOCE &choice = Choice();
    choice.ChooseModel(kMdc);
    choice.PressType(0);
    points::CKVL_VER2_ProgStepDlg *window = m_link->OfflineAxisWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Model().Identity().axis, CAppValues::kOfflineSlot);
    EXPECT_EQ(window->AxisBox()->text(), QStringLiteral("0"));
    params::CKVL_VER2_ParameterListDlg *list = m_link->OfflineParamList();
    ASSERT_NE(list, nullptr);
    m_app->Values().accessLevel[0] = 0;
    list->SetAccessLevel(2);
    EXPECT_EQ(m_app->Values().accessLevel[CAppValues::kOfflineSlot], 2);
    EXPECT_EQ(m_app->Values().accessLevel[0], 0) << "the online axis 0 keeps its own level";

    ASSERT_TRUE(window->Model().Table().CreateRow(0));
    window->PressReturn();
    QPointer<points::CKVL_VER2_ProgStepDlg> old = window;
    const auto answer = [](QMessageBox::StandardButton button) {
        AnswerNextModal([button](QWidget *dialog) {
            auto *box = qobject_cast<QMessageBox *>(dialog);
            ASSERT_NE(box, nullptr);
            box->button(button)->click();
        });
    };
    answer(QMessageBox::Cancel);
    Choice().PressType(1);
    ASSERT_FALSE(old.isNull()) << "Cancel keeps the window and its edits";
    EXPECT_EQ(old->Model().OperationType(), 0);
    answer(QMessageBox::Discard);
    Choice().PressType(1);
    EXPECT_TRUE(old.isNull());
    ASSERT_NE(m_link->OfflineAxisWindow(), nullptr);
    EXPECT_EQ(m_link->OfflineAxisWindow()->Model().OperationType(), 1);
}

TEST_F(OfflineChoiceTest, EnterAndEscapeLeaveTheOfflineUnitWindowOpenOnEveryPage)
{
    CKVL_VER2_OFFLINE_EDIT_CHIOCE &choice = Choice();
    choice.ChooseModel(kGwx);
    QTest::mouseClick(choice.GatewayButton(), Qt::LeftButton);
    CKVL_GWX_SETTING *window = m_link->OfflineGatewayWindow();
    ASSERT_NE(window, nullptr);
    for (int tab = 0; tab < window->Tabs()->count(); ++tab) {
        window->Tabs()->setCurrentIndex(tab);
        QWidget *page = window->Tabs()->currentWidget();
        // The keys reach a field of the page (the first that takes the focus), or the page itself.
        QWidget *target = page;
        for (QWidget *child : page->findChildren<QWidget *>()) {
            if (child->isVisible() && child->focusPolicy() != Qt::NoFocus) {
                target = child;
                break;
            }
        }
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            SCOPED_TRACE(testing::Message() << "page " << tab << " key " << key << " on "
                                            << target->metaObject()->className());
            QTest::keyClick(target, key);
            EXPECT_TRUE(window->isVisible());
            EXPECT_FALSE(m_link->OfflineButton()->isEnabled());
        }
    }
    // Closing it is the one way out, and it gives the offline edit button back.
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(m_link->OfflineButton()->isEnabled());
}

} // namespace kvl::test
