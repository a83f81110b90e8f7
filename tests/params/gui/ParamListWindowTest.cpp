// The parameter list window: rows by tab and access level, grey rows and titles, values read out
// of range, the ordered pairs, the find box and the differences toggle, and the axis window's jog
// speed following the list's range.
#include <QBrush>
#include <QPushButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QTabBar>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include "ParamListFixture.h"
#include "config/CAppSettings.h"
#include "config/CAppValues.h"
#include "config/CIniEx.h"
#include "params/CParamGridModel.h"
#include "params/CParamRules.h"
#include "protocol/CommandCodes.h"
#include "ui/CPictureButton.h"

namespace kvl::test {

namespace {

using params::CParamData;
using params::CParamGridModel;
using params::CParamListModel;

class ParamListWindowTest : public ParamListFixture {};

// The rows a tab shows at a level, worked out from the records' own tab and hide class.
std::vector<int> ExpectedRows(const params::CParamList &file, int count, int tab, int level)
{
    std::vector<int> rows;
    for (const int number : params::CParamRules::Numbers(count)) {
        const CParamData &record = file.At(number);
        const int hide = record.HideClass();
        const bool levelShows = hide == CParamData::kHideNever ||
                                ((hide == CParamData::kHideBelowCustom || hide == CParamData::kHideBelowCustomGreyed) &&
                                 level >= 1);
        if (levelShows && (tab == 0 || record.Tab() == tab))
            rows.push_back(number);
    }
    return rows;
}

bool GreyRow(params::CKVL_VER2_ParameterListDlg &list, int number)
{
    const QModelIndex index = list.GridModel()->index(list.GridModel()->RowOf(number), CParamListModel::kColName);
    const QVariant fill = list.GridModel()->data(index, Qt::BackgroundRole);
    return fill.isValid() && fill.value<QBrush>().color() == CParamGridModel::kGreyColour;
}

TEST_F(ParamListWindowTest, TabsHideClassesGreyRowsAndTitlesFollowTheAccessLevel)
{
    params::CKVL_VER2_ParameterListDlg *list = OpenList(kDemoMdc);
    ASSERT_NE(list, nullptr);
    const params::CParamList &file = list->Lists().File();
    const int count = list->Model().Count();
    EXPECT_EQ(list->TabBar()->tabText(0), Text("ID_TAB0", "IDD_KVL_VER2_PMTLIST_DIALOG"));
    struct Case {
        int level;
        const char *suffix;
    };
    for (const Case c : {Case{0, ""}, Case{1, "  Custom"}, Case{2, "  Custom     SP"}}) {
        list->SetAccessLevel(c.level);
        EXPECT_EQ(m_app->Values().accessLevel[kDemoMdc], c.level);
        EXPECT_TRUE(list->windowTitle().contains(Text("IDD_KVL_VER2_PMTLIST_DIALOG", "IDD_KVL_VER2_PMTLIST_DIALOG") +
                                                 QString::fromLatin1(c.suffix)))
            << list->windowTitle().toStdString();
        EXPECT_EQ(list->windowTitle().contains(QStringLiteral("Custom")), c.level > 0);
        for (int tab = 0; tab < CParamListModel::kTabCount; ++tab) {
            QTest::mouseClick(list->TabBar(), Qt::LeftButton, Qt::NoModifier, list->TabBar()->tabRect(tab).center());
            ASSERT_EQ(list->Model().Tab(), tab);
            const std::vector<int> expected = ExpectedRows(file, count, tab, c.level);
            EXPECT_EQ(list->Model().Rows(), expected) << "level " << c.level << " tab " << tab;
            EXPECT_EQ(list->GridModel()->rowCount(), static_cast<int>(expected.size()));
            for (const int number : expected) {
                const bool greyed = file.At(number).HideClass() == CParamData::kHideBelowCustomGreyed && c.level == 1;
                EXPECT_EQ(GreyRow(*list, number), greyed) << "parameter " << number << " level " << c.level;
                EXPECT_EQ(list->Model().Editable(number), !greyed && file.At(number).IsWritable())
                    << "parameter " << number;
            }
        }
    }
    // Level 0 shows none of the extended groups, which the file has.
    list->SetAccessLevel(0);
    QTest::mouseClick(list->TabBar(), Qt::LeftButton, Qt::NoModifier, list->TabBar()->tabRect(0).center());
    EXPECT_EQ(list->GridModel()->RowOf(102), -1);
    list->SetAccessLevel(1);
    EXPECT_GE(list->GridModel()->RowOf(102), 0);
}

TEST_F(ParamListWindowTest, AValueReadOutOfRangeIsStoredAsTheLimitAndShownClamped)
{
    params::CKVL_VER2_ParameterListDlg *list = OpenList(kDemoMdc);
    ASSERT_NE(list, nullptr);
    struct Case {
        int number;
        std::int32_t raw;
        const char *limit;
    };
    const Case cases[] = {{12, 400, "300"}, {16, 0, "1"}};
    for (const Case &c : cases)
        SetSimParam(kDemoMdc, c.number, c.raw);
    WaitBusyReady();
    Bus().ClearCommandsReceived();
    QTest::mouseClick(list->ReadButton(), Qt::LeftButton);
    EXPECT_GT(Count(kDemoMdc, cmd::kCmdReadParameter), 100);
    EXPECT_TRUE(m_app->Values().pollingOn);
    for (const Case &c : cases) {
        EXPECT_EQ(list->Lists().Driver().At(c.number).IntValue(), c.raw) << c.number;
        EXPECT_EQ(list->Lists().File().At(c.number).IntValue(), c.raw) << c.number;
        EXPECT_EQ(m_axis->Model().Params().Store().GetString(std::to_string(c.number), "Value", ""), c.limit);
        const int row = list->GridModel()->RowOf(c.number);
        for (const int column : {CParamListModel::kColDriver, CParamListModel::kColFile})
            EXPECT_EQ(list->GridModel()->index(row, column).data().toString(), QString::fromLatin1(c.limit));
        EXPECT_FALSE(list->Model().Marked(c.number));
    }
    // Parameter 16 read: the axis window's jog box shows the stored value.
    EXPECT_EQ(m_axis->JogSpeedBox()->text(), QStringLiteral("1"));
}

TEST_F(ParamListWindowTest, AnEditThatBreaksAnOrderedPairIsRefused)
{
    params::CKVL_VER2_ParameterListDlg *list = OpenList(kDemoMdc);
    ASSERT_NE(list, nullptr);
    struct Case {
        int number;
        const char *text;
        const char *refusal;
    };
    const Case cases[] = {{1, "-5", "IDS_INPUT_CHK_2"}, {3, "-1", "IDS_INPUT_CHK_3"}};
    for (const Case &c : cases) {
        const QString before = list->Model().CellText(c.number, CParamListModel::kColFile).c_str();
        const double value = list->Lists().File().At(c.number).RealValue();
        ModalWatch watch;
        Edit(*list, c.number, QString::fromLatin1(c.text));
        ASSERT_EQ(watch.Texts().size(), 1) << c.number;
        EXPECT_EQ(watch.Texts().front(), Text(c.refusal, "Common"));
        EXPECT_EQ(list->Lists().File().At(c.number).RealValue(), value);
        EXPECT_EQ(QString::fromStdString(list->Model().CellText(c.number, CParamListModel::kColFile)), before);
        EXPECT_FALSE(list->Model().Marked(c.number));
    }
    // An edit that keeps the order is taken and marks the row.
    ModalWatch watch;
    Edit(*list, 1, QStringLiteral("200"));
    EXPECT_TRUE(watch.Texts().isEmpty());
    EXPECT_DOUBLE_EQ(list->Lists().File().At(1).RealValue(), 200.0);
    EXPECT_TRUE(list->Model().Marked(1));
}

TEST_F(ParamListWindowTest, FindBoxAndDifferencesToggleOnlyHideRows)
{
    params::CKVL_VER2_ParameterListDlg *list = OpenList(kDemoMdc);
    ASSERT_NE(list, nullptr);
    const std::vector<int> all = list->Model().Rows();
    QTest::keyClicks(list->FilterBox(), QStringLiteral("16"));
    std::vector<int> expected;
    for (const int number : all) {
        const QString name = QString::fromStdString(list->Model().CellText(number, CParamListModel::kColName));
        if (QString::number(number).contains(QStringLiteral("16")) || name.contains(QStringLiteral("16")))
            expected.push_back(number);
    }
    EXPECT_EQ(list->Model().Rows(), expected);
    EXPECT_NE(list->GridModel()->RowOf(16), -1);
    EXPECT_EQ(list->GridModel()->RowOf(29), -1);
    // A name matches without regard to case.
    const QString name = QString::fromStdString(list->Model().CellText(29, CParamListModel::kColName));
    list->FilterBox()->setText(name.mid(1, 4).toUpper());
    EXPECT_NE(list->GridModel()->RowOf(29), -1) << name.toStdString();
    list->FilterBox()->clear();
    EXPECT_EQ(list->Model().Rows(), all);

    {
        ModalWatch watch;
        Edit(*list, 29, QStringLiteral("1000"));
        Edit(*list, 16, QStringLiteral("100"));
    }
    QTest::mouseClick(list->DifferencesBox(), Qt::LeftButton);
    ASSERT_TRUE(list->DifferencesBox()->isChecked());
    EXPECT_EQ(list->Model().Rows(), (std::vector<int>{16, 29}));
    QTest::keyClicks(list->FilterBox(), QStringLiteral("29"));
    EXPECT_EQ(list->Model().Rows(), (std::vector<int>{29}));
    // Hidden rows are still written.
    WaitBusyReady();
    QTest::mouseClick(list->WriteButton(), Qt::LeftButton);
    EXPECT_EQ(SimParam(kDemoMdc, 29), 1000);
    EXPECT_EQ(SimParam(kDemoMdc, 16), 100);
    EXPECT_TRUE(list->Model().Rows().empty());
    list->FilterBox()->clear();
    QTest::mouseClick(list->DifferencesBox(), Qt::LeftButton);
    EXPECT_EQ(list->Model().Rows(), all);
}

TEST_F(ParamListWindowTest, JogSpeedIsLimitedByTheListsRangeOfParameter16)
{
    params::CKVL_VER2_ParameterListDlg *list = OpenList(kDemoMdc);
    ASSERT_NE(list, nullptr);
    const int max = list->Lists().Driver().At(16).IntMax();
    ASSERT_LT(max, 1000); // the range the axis window uses without a list
    m_axis->JogSpeedBox()->setText(QStringLiteral("9999"));
    m_axis->Model().SetJogSpeedBox("9999");
    QTest::mouseClick(m_axis->JogSpinUp(), Qt::LeftButton);
    EXPECT_EQ(m_axis->JogSpeedBox()->text(), QString::number(max));

    // A feed writes the limited speed: the list takes it in both columns.
    m_axis->Model().SetJogSpeedBox("9999");
    m_axis->PressFeed(points::CAxisWindowModel::JogDirection::kForward);
    EXPECT_EQ(SimParam(kDemoMdc, 16), max);
    EXPECT_EQ(list->Lists().Driver().At(16).IntValue(), max);
    EXPECT_EQ(list->Lists().File().At(16).IntValue(), max);
    EXPECT_FALSE(list->Model().Marked(16));
}

} // namespace

} // namespace kvl::test
