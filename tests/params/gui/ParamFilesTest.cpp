// The parameter list's Open file, Save file and Print on the demo bus: a file of another model
// refused, a save and read round trip at the Custom level (a choice index above 9 included), a
// failed save said, and the PDF printout holding every saved parameter line of the level.
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "MessageAnswerer.h"
#include "ParamListFixture.h"
#include "params/CParamFile.h"
#include "params/CParamListFiles.h"
#include "params/CParamListRules.h"
#include "params/CParamRules.h"

namespace kvl::test {
namespace {

using params::CKVL_VER2_ParameterListDlg;
using params::CParamData;
using params::CParamFile;
using params::CParamListRules;

constexpr const char *kList = "IDD_KVL_VER2_PMTLIST_DIALOG";
// MDC's selection with 17 choices, shown from the Custom level.
constexpr int kManyChoices = 45;

class ParamFilesTest : public ParamListFixture {
protected:
    // Clicks the list's Save or Open button and answers its file dialog with `path`.
    void Press(QPushButton *button, const QString &path)
    {
        AnswerFileDialog(path);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // The file text of every parameter the list saves at its level.
    static std::map<int, std::string> SavedValues(CKVL_VER2_ParameterListDlg &list)
    {
        const params::CParamList &file = list.Lists().File();
        std::map<int, std::string> values;
        for (const int number : CParamFile::SavedNumbers(file, list.Model().Count(), list.Model().Level()))
            values[number] = CParamListRules::FileValueText(file.At(number)).Bytes();
        return values;
    }
    static QString Squeezed(QString text) { return text.remove(QRegularExpression(QStringLiteral("\\s"))); }
};

TEST_F(ParamFilesTest, AFileSavedForMdbIsRefusedByAnMdcWindowAndLoadsNothing)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("mdb"));
    CKVL_VER2_ParameterListDlg *mdb = OpenList(kDemoMdb);
    ASSERT_NE(mdb, nullptr);
    ASSERT_TRUE(mdb->SaveButton()->isEnabled());
    Press(mdb->SaveButton(), path);
    ASSERT_TRUE(QFile::exists(path + QStringLiteral(".dat"))) << "\".dat\" is appended";

    CKVL_VER2_ParameterListDlg *mdc = OpenList(kDemoMdc);
    ASSERT_NE(mdc, nullptr);
    const std::map<int, std::string> before = SavedValues(*mdc);
    ModalWatch watch;
    Press(mdc->LoadButton(), path + QStringLiteral(".dat"));
    ASSERT_EQ(watch.Texts().size(), 1);
    EXPECT_EQ(watch.Texts().front(), Text("IDS_WARNMSG_READPARAM_MACHINE_ERR", kList));
    EXPECT_EQ(SavedValues(*mdc), before);
}

TEST_F(ParamFilesTest, SaveThenReadAtTheSameLevelRestoresEverySavedValueAndMarksTheRows)
{
    CKVL_VER2_ParameterListDlg *list = OpenList(kDemoMdc);
    ASSERT_NE(list, nullptr);
    list->SetAccessLevel(1);
    params::CParamList &file = list->Lists().File();
    ASSERT_GT(file.At(kManyChoices).ChoiceCount(), 12);
    // A value of each kind away from the controller's, a choice index of two digits among them.
    ASSERT_TRUE(file.At(kManyChoices).SetIndex(12, true));
    for (const int number : CParamFile::SavedNumbers(file, list->Model().Count(), 1)) {
        CParamData &record = file.At(number);
        if (record.GetType() == CParamData::kTypeInteger && record.IntValue() < record.IntMax())
            record.SetIntValue(record.IntValue() + 1);
        else if (record.GetType() == CParamData::kTypeReal && record.RealValue() < record.RealMax())
            record.SetRealValue(std::min(record.RealMax(), record.RealValue() + 0.5));
    }
    const std::map<int, std::string> saved = SavedValues(*list);
    ASSERT_EQ(saved.at(kManyChoices), "12");

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("round.dat"));
    ModalWatch watch;
    Press(list->SaveButton(), path);
    ASSERT_TRUE(QFile::exists(path));
    list->Lists().CopyDriverToFile();
    ASSERT_NE(SavedValues(*list), saved);
    ASSERT_FALSE(list->Model().Marked(kManyChoices));

    Press(list->LoadButton(), path);
    EXPECT_TRUE(watch.Texts().isEmpty()) << watch.Texts().join(" | ").toStdString();
    EXPECT_EQ(SavedValues(*list), saved);
    EXPECT_EQ(file.At(kManyChoices).SelectedIndex(), 12);
    EXPECT_TRUE(list->Model().Marked(kManyChoices)) << "the loaded rows that differ are marked";
}

TEST_F(ParamFilesTest, AFailedSaveIsSaidAndLeavesNoFile)
{
    CKVL_VER2_ParameterListDlg *list = OpenList(kDemoMdc);
    ASSERT_NE(list, nullptr);
    QTemporaryDir folder;
    ModalWatch watch;
    Press(list->SaveButton(), folder.filePath(QStringLiteral("missing/params.dat")));
    ASSERT_EQ(watch.Texts().size(), 1);
    // The file and the cause, not only that the file operation failed.
    const std::string text = watch.Texts().front().toStdString();
    EXPECT_EQ(text.rfind("The file /", 0), 0u) << text;
    EXPECT_NE(text.find("/missing/params.dat could not be saved: its folder does not exist. A file that was there "
                        "before is unchanged."),
              std::string::npos)
        << text;
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("missing/params.dat"))));
}

TEST_F(ParamFilesTest, ThePdfPrintoutHoldsEverySavedParameterLineOfTheLevel)
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    ASSERT_FALSE(pdftotext.isEmpty()) << "poppler-utils (scripts/deps.sh)";
    CKVL_VER2_ParameterListDlg *list = OpenList(kDemoMdc);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->Files().PrintMenu()->actions().size(), 3) << "print, preview, PDF";
    QTemporaryDir folder;
    for (const int level : {0, 1}) {
        SCOPED_TRACE(testing::Message() << "level " << level);
        list->SetAccessLevel(level);
        const std::string saved = folder.filePath(QStringLiteral("level%1.dat").arg(level)).toStdString();
        ASSERT_TRUE(list->Files().Actions().SaveTo(saved));
        const QString pdf = folder.filePath(QStringLiteral("level%1.pdf").arg(level));
        ASSERT_TRUE(list->Files().PrintToPdf(pdf));

        QProcess process;
        process.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        ASSERT_TRUE(process.waitForFinished());
        // Compatibility form: the PDF's ligatures ("ff", "fi") read as their letters.
        const QString printed = Squeezed(
            QString::fromUtf8(process.readAllStandardOutput()).normalized(QString::NormalizationForm_KC));

        QFile file(QString::fromStdString(saved));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        ASSERT_GT(lines.size(), 5);
        qsizetype from = 0;
        int found = 0;
        bool manyChoicesPrinted = false;
        for (qsizetype i = 4; i < lines.size(); ++i) {
            const std::string line =
                CCodePageText(lines[i].trimmed().toStdString(), list->Lists().File().CodePage()).ToUtf8();
            if (line.empty())
                continue;
            // The file numbers with three digits, the printout with two.
            const std::size_t dot = line.find('.');
            const int number = std::stoi(line.substr(0, dot));
            const QString expected = Squeezed(QString::asprintf("%.2d", number) + QString::fromStdString(line.substr(dot)));
            const qsizetype at = printed.indexOf(expected, from);
            ASSERT_GE(at, 0) << "missing from the printout: " << line;
            from = at + expected.size();
            ++found;
            manyChoicesPrinted = manyChoicesPrinted || number == kManyChoices;
        }
        EXPECT_EQ(found, static_cast<int>(CParamFile::SavedNumbers(list->Lists().File(), list->Model().Count(), level).size()));
        EXPECT_EQ(manyChoicesPrinted, level == 1) << "hide class 2 only from the Custom level";
    }
}

} // namespace
} // namespace kvl::test
