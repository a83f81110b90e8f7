// The choice cells of the point table in Japanese and Chinese: the ACC/DCC-mode and stop-mode
// lists show the language's own texts, and an entry chosen in them is stored, saved and written
// to the controller as its index, as in English.
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "AxisWindowFixture.h"
#include "MessageAnswerer.h"
#include "common/CCellCombox.h"
#include "config/CCodePage.h"
#include "points/CPointCsv.h"
#include "points/CPointGridEditor.h"
#include "points/CPointGridModel.h"
#include "points/CPointTableSetup.h"
#include "protocol/CommandCodes.h"
#include "sim/AxisDevice.h"
#include "ui/CPictureButton.h"

namespace kvl::test {
namespace {

using namespace points; // column names

struct Language {
    const char *name;
    int systemLanguage;
    int codePage;
    const char *stopMode2;   // ID_STOP_MODE_2 of the shipped language file
};

// The case by its name in gtest's messages (not its bytes).
void PrintTo(const Language &c, std::ostream *out)
{
    *out << c.name;
}

class PointChoiceLanguageTest : public AxisWindowFixture, public ::testing::WithParamInterface<Language> {
protected:
    void SetUp() override
    {
        m_systemLanguage = GetParam().systemLanguage;
        AxisWindowFixture::SetUp();
        if (HasFatalFailure())
            return;
        WithAxis(kDemoMdc, [](sim::AxisDevice &axis) {
            axis.Table().Clear();
            return true;
        });
        m_window = OpenAxis(kDemoMdc);
        ASSERT_NE(m_window, nullptr);
    }

    QPoint Cell(int row, int column) const
    {
        const QModelIndex index = m_window->Grid()->model()->index(row - 1, column);
        m_window->Grid()->scrollTo(index);
        return m_window->Grid()->visualRect(index).center();
    }
    void DoubleClick(int row, int column) const
    {
        const QPoint at = Cell(row, column);
        QWidget *viewport = m_window->Grid()->viewport();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
    }

    points::CKVL_VER2_ProgStepDlg *m_window = nullptr;
};

TEST_P(PointChoiceLanguageTest, AChosenEntryIsStoredSavedAndWrittenAsItsIndex)
{
    const CPointTable &table = m_window->Model().Table();
    DoubleClick(1, kColSpeed);   // the empty row becomes a step
    ASSERT_FALSE(table.Working(0).IsEmpty());

    DoubleClick(1, kColStopMode);
    CCellCombox *list = m_window->GridEditor()->CellCombox();
    ASSERT_TRUE(list->isVisible());
    ASSERT_EQ(list->count(), kStopModeCount);
    EXPECT_EQ(list->itemText(2).toStdString(), GetParam().stopMode2);
    for (int i = 0; i < list->count(); ++i)
        EXPECT_FALSE(list->itemText(i).contains(QChar::ReplacementCharacter)) << i;
    list->setCurrentIndex(0);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    ASSERT_FALSE(list->isVisible());

    EXPECT_EQ(table.Working(0).StopMode(), 2);
    EXPECT_EQ(m_window->Grid()->model()->index(0, kColStopMode).data().toString().toStdString(),
              GetParam().stopMode2);
    const QVariant brush = m_window->Grid()->model()->index(0, kColStopMode).data(Qt::ForegroundRole);
    EXPECT_TRUE(brush.isValid() && brush.value<QBrush>().color() == CPointGridModel::kMarkedColour)
        << "the changed cell is shown as unsaved";

    // The file holds the index, in the language's code page.
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("steps.csv")).toStdString();
    ASSERT_TRUE(CPointCsv::Save(table, path));
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    std::string text;
    ASSERT_TRUE(CCodePage::ToUtf8(bytes.str(), GetParam().codePage, text));
    const size_t line = text.find("\r\n0,");
    ASSERT_NE(line, std::string::npos) << text;
    EXPECT_EQ(CPointCsv::Tokenize(text.substr(line + 2, text.find("\r\n", line + 2) - line - 2))[kColStopMode], "2")
        << text;

    Bus().ClearCommandsReceived();
    MessageAnswerer outcome;   // Write says how it ended
    ASSERT_TRUE(WaitFor([&] {
        QTest::mouseClick(m_window->WriteButton(), Qt::LeftButton);
        return Count(kDemoMdc, cmd::kCmdWriteStep) > 0;
    }));
    const sim::StepRecord written = WithAxis(kDemoMdc, [](sim::AxisDevice &axis) { return axis.Table().Step(1); });
    ASSERT_TRUE(written.Defined());
    EXPECT_EQ(written.stopMode, 2);
}

// A device name the parameter list wrote in this language is the code page's bytes on the
// controller; the axis window shows it as the words that were typed.
TEST_P(PointChoiceLanguageTest, ADeviceNameInTheCodePageIsShownAsTyped)
{
    const std::string typed = "軸ＡＢ";
    const CCodePageText name = CCodePageText::FromUtf8(typed, GetParam().codePage);
    ASSERT_NE(name.Bytes(), typed);
    m_window->Model().DeviceNameChanged(name.Bytes());
    auto *box = m_window->findChild<QLineEdit *>(QStringLiteral("nameBox"));
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(WaitFor([&] { return box->text() == QString::fromStdString(typed); }))
        << box->text().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Languages, PointChoiceLanguageTest,
                         ::testing::Values(Language{"ja", CAppSettings::kSystemLangJapanese, kCodePageShiftJis, "ブレーキ保持"},
                                           Language{"zh", CAppSettings::kSystemLangChinese, kCodePageGbk, "制动保持"}),
                         [](const ::testing::TestParamInfo<Language> &info) { return std::string(info.param.name); });

} // namespace
} // namespace kvl::test
