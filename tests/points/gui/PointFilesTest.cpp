// The axis window's files and printing on the demo bus: a loaded file's values limited as if
// typed (and one message listing them), the messages of a failed open and save (the file and the
// cause, as a warning), and a 512-step
// table printed into a PDF file (pages as the text job paginates, every row in the PDF's text).
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include <gtest/gtest.h>

#include "AxisWindowFixture.h"
#include "MessageAnswerer.h"
#include "app/CKVL_VER2_ControlDlg.h"
#include "base/TextNumber.h"
#include "common/CTextPrintJob.h"
#include "config/CAppSettings.h"
#include "config/CLanguageTexts.h"
#include "points/CPointGridEditor.h"
#include "points/CPointPrintout.h"
#include "points/CPointTableActions.h"
#include "protocol/CommandCodes.h"
#include "sim/AxisDevice.h"
#include "support/Immutable.h"
#include "ui/CPictureButton.h"

namespace kvl::test {
namespace {

using points::CKVL_VER2_ProgStepDlg;
using points::CPointTable;

class PointFilesTest : public AxisWindowFixture {
protected:
    QString Text(const char *key, const char *section)
    {
        return QString::fromStdString(m_app->Settings().Texts().Text(key, section));
    }
    static void Write(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QString Run(const QString &program, const QStringList &arguments)
    {
        QProcess process;
        process.start(program, arguments);
        process.waitForFinished();
        return QString::fromUtf8(process.readAllStandardOutput());
    }
    static QString Squeezed(QString text) { return text.remove(QRegularExpression(QStringLiteral("\\s"))); }
};

TEST_F(PointFilesTest, LoadLimitsTheFilesValuesAsIfTypedListsThemOnceAndWriteSendsTheLimitedValues)
{
    WithAxis(kDemoMdc, [](sim::AxisDevice &axis) {
        axis.Table().Clear();
        return true;
    });
    CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    CPointTable &table = window->Model().Table();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("limits.csv"));
    Write(path, "header\r\n"
                "0,ABS,1e308,-5,0.3,0.3,0,0,0.1,0,0,0,0,0,1,99999,kept\r\n"
                "1,ABS,10,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E,fine\r\n");
    MessageAnswerer messages;
    AnswerFileDialog(path);
    QTest::mouseClick(window->OpenButton(), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&messages] { return !messages.texts.isEmpty(); }));

    const auto &limited = window->TableActions().LastLimited();
    ASSERT_EQ(limited.size(), 3u);
    const int columns[] = {points::kColPosition, points::kColSpeed, points::kColJump};
    for (size_t i = 0; i < limited.size(); ++i) {
        EXPECT_EQ(limited[i].step, 0);
        EXPECT_EQ(limited[i].column, columns[i]);
        EXPECT_TRUE(table.Marked(0, columns[i]));
    }
    const points::CellEditor position = table.Rules().Editor(points::kColPosition, table.Working(0));
    const points::CellEditor speed = table.Rules().Editor(points::kColSpeed, table.Working(0));
    EXPECT_LE(LeadingReal(table.Working(0).FieldText(points::kColPosition)), position.max);
    EXPECT_GE(table.Working(0).Speed(), speed.min);
    EXPECT_EQ(table.Working(0).Jump(), std::to_string(table.StepCount() - 1));
    EXPECT_EQ(table.Working(0).Comment(), "kept");
    EXPECT_EQ(table.Working(1).FieldText(points::kColPosition), "10.000000") << "a value within limits keeps its text";

    ASSERT_EQ(messages.texts.size(), 1);
    const QString message = messages.texts.constFirst();
    EXPECT_TRUE(message.startsWith(Text("IDS_LOAD_LIMITED", "Common"))) << message.toStdString();
    EXPECT_EQ(message.count(QLatin1Char('\n')), 3) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("1e308"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("99999"))) << message.toStdString();

    // What Write sends is what the grid shows now, not the file's numbers.
    messages.texts.clear();
    ASSERT_TRUE(WaitFor([&] {
        QTest::mouseClick(window->WriteButton(), Qt::LeftButton);
        return WithAxis(kDemoMdc, [](sim::AxisDevice &axis) { return axis.Table().Step(1).Defined(); });
    }));
    const sim::StepRecord sent = WithAxis(kDemoMdc, [](sim::AxisDevice &axis) { return axis.Table().Step(1); });
    EXPECT_LE(sent.position, static_cast<int32_t>(position.max * 10000.0 + 0.5));
    EXPECT_GE(sent.speed, static_cast<int32_t>(speed.min * 100.0));
    EXPECT_EQ(sent.jump, table.StepCount());
}

TEST_F(PointFilesTest, AFileLoadIsOneUndoableChangeAndAReadEndsTheHistory)
{
    CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    CPointTable &table = window->Model().Table();
    ASSERT_TRUE(table.CreateRow(2));
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("one.csv"));
    Write(path, "header\r\n5,ABS,10,100,0.3,0.3,0,0,0.1,0,0,0,0,0,1,E,five\r\n");
    ASSERT_TRUE(window->TableActions().LoadFile(path));
    ASSERT_TRUE(table.Working(2).IsEmpty());
    ASSERT_FALSE(table.Working(5).IsEmpty());

    points::CPointTableHistory &history = window->GridEditor()->Editor().History();
    window->GridEditor()->Undo();
    EXPECT_FALSE(table.Working(2).IsEmpty());
    EXPECT_TRUE(table.Working(5).IsEmpty());
    EXPECT_TRUE(table.Cell(5, points::kColComment).empty());
    window->GridEditor()->Redo();
    EXPECT_TRUE(table.Working(2).IsEmpty());
    EXPECT_EQ(table.Cell(5, points::kColComment), "five");
    EXPECT_TRUE(history.CanUndo());

    ASSERT_TRUE(WaitFor([&] {
        QTest::mouseClick(window->ReadButton(), Qt::LeftButton);
        return Count(kDemoMdc, cmd::kCmdReadAllSteps) > 0;
    }));
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.CanRedo());
}

TEST_F(PointFilesTest, OpenAndSaveFailuresAreSaidAndLeaveTheTable)
{
    CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(window->Model().Table().CreateRow(2));
    QTemporaryDir folder;
    const struct {
        const char *label;
        bool save;
        QString path;
        const char *key;
    } cases[] = {
        {"open a missing file", false, folder.filePath(QStringLiteral("absent.csv")), "IDS_ERRMSG_FILENOTFOUND"},
        {"open a folder", false, folder.path(), "IDS_ERRMSG_FILEOPRATIONFAIL"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        MessageAnswerer messages;
        const bool ok = c.save ? window->TableActions().SaveFile(c.path) : window->TableActions().LoadFile(c.path);
        EXPECT_FALSE(ok);
        EXPECT_EQ(messages.texts, QStringList{Text(c.key, "Common")});
        EXPECT_FALSE(window->Model().Table().Working(2).IsEmpty());
    }
}

// A save that fails names the file and the cause, with the warning picture: a missing folder, a
// folder the user may not write (immutable for root), a folder in the file's place; and in
// Japanese the cause is in Japanese.
TEST_F(PointFilesTest, AFailedSaveNamesTheFileAndTheCauseAsAWarning)
{
    CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(window->Model().Table().CreateRow(2));
    QTemporaryDir folder;
    const QString locked = folder.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkdir(locked));
    // Root may write anywhere but into an immutable folder; a user is refused by the mode.
    const bool root = ::geteuid() == 0;
    const QByteArray lockedName = QFile::encodeName(locked);
    struct Unlock {
        std::function<void()> undo;
        ~Unlock() { undo(); }
    } unlockAtEnd{[&] {
        if (root)
            SetImmutable(lockedName.toStdString(), false);
        else
            ::chmod(lockedName.constData(), 0755);
    }};
    ASSERT_TRUE(root ? SetImmutable(lockedName.toStdString(), true) : ::chmod(lockedName.constData(), 0555) == 0);
    ASSERT_TRUE(QDir().mkdir(folder.filePath(QStringLiteral("taken.csv"))));
    const struct {
        const char *label;
        QString path;
        const char *cause;
    } cases[] = {
        {"missing folder", folder.filePath(QStringLiteral("no/such/table.csv")), "its folder does not exist"},
        {"read-only folder", locked + QStringLiteral("/table.csv"), "you may not write in its folder"},
        {"a folder in the way", folder.filePath(QStringLiteral("taken.csv")), "a folder has that name"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        MessageAnswerer messages;
        EXPECT_FALSE(window->TableActions().SaveFile(c.path));
        ASSERT_EQ(messages.texts.size(), 1);
        EXPECT_EQ(messages.texts.front(), QStringLiteral("The file %1 could not be saved: %2. A file that was there "
                                                         "before is unchanged.")
                                               .arg(c.path, QString::fromLatin1(c.cause)));
        EXPECT_EQ(messages.icons, std::vector<CMsgDlg::Icon>{CMsgDlg::Icon::kWarning});
        EXPECT_FALSE(window->Model().Table().Working(2).IsEmpty());
    }
    m_app->Settings().SwitchLanguage(CAppSettings::kLanguageJapanese);
    MessageAnswerer messages;
    EXPECT_FALSE(window->TableActions().SaveFile(cases[0].path));
    ASSERT_EQ(messages.texts.size(), 1);
    EXPECT_TRUE(messages.texts.front().contains(cases[0].path)) << messages.texts.front().toStdString();
    EXPECT_TRUE(messages.texts.front().contains(QStringLiteral("フォルダーがありません"))) << messages.texts.front().toStdString();
}

// The printout lines its columns up with spaces: its font is fixed-pitch whatever face the
// language names (Arial, MS Gothic and SimSun are proportional or missing here).
TEST_F(PointFilesTest, ThePrintoutIsInAFixedPitchFontInEveryLanguage)
{
    CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    for (const int language : {CAppSettings::kLanguageEnglish, CAppSettings::kLanguageJapanese, CAppSettings::kLanguageChinese}) {
        m_app->StartDialog()->PressLanguage(language);
        const std::unique_ptr<CTextPrintJob> job = window->TableActions().MakePrintJob();
        const QFont font = job->BodyFont();
        EXPECT_TRUE(QFontInfo(font).fixedPitch()) << "language " << language << ": " << font.family().toStdString();
        EXPECT_NEAR(QFontMetricsF(font).height(), CPrintJob::kBodyHeight, 4) << "language " << language;
    }
    m_app->StartDialog()->PressLanguage(CAppSettings::kLanguageEnglish);
}

TEST_F(PointFilesTest, A512StepTablePrintsIntoAPdfWithItsPagesAndEveryRow)
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    ASSERT_FALSE(pdftotext.isEmpty()) << "poppler-utils (scripts/deps.sh)";
    ASSERT_FALSE(pdfinfo.isEmpty()) << "poppler-utils (scripts/deps.sh)";
    ASSERT_TRUE(WithAxis(kDemoMdc, [](sim::AxisDevice &axis) { return axis.Parameters().Set(36, 3); }));
    CKVL_VER2_ProgStepDlg *window = OpenAxis(kDemoMdc);
    ASSERT_NE(window, nullptr);
    CPointTable &table = window->Model().Table();
    ASSERT_EQ(table.StepCount(), 512);
    for (int step = 0; step < table.StepCount(); ++step) {
        ASSERT_TRUE(table.CreateRow(step));
        table.CommitCell(step, points::kColComment, "row" + std::to_string(step));
    }

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("table.pdf"));
    ASSERT_TRUE(window->TableActions().PrintToPdf(path));
    const std::unique_ptr<CTextPrintJob> job = window->TableActions().MakePrintJob();
    const QStringList lines = job->Lines();
    ASSERT_EQ(lines.size(), 512 + 3);
    EXPECT_EQ(job->DialogMaxPage(), (512 + 3) / 64 + 1);

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const int perPage = job->LinesPerPage(printer);
    EXPECT_EQ(perPage, CPrintJob::PrintableHeight(printer) / job->LineHeight());
    EXPECT_EQ(CPrintJob::PrintableHeight(printer),
              static_cast<int>(printer.pageLayout().fullRect(QPageLayout::Millimeter).height() * 10) - 400);
    // The body font is 4 mm high: one line takes 4 mm.
    EXPECT_NEAR(job->LineHeight(), CPrintJob::kBodyHeight, 1);
    const int pages = (static_cast<int>(lines.size()) + perPage - 1) / perPage;
    const QRegularExpression pagesLine(QStringLiteral("Pages:\\s+(\\d+)"));
    EXPECT_EQ(pagesLine.match(Run(pdfinfo, {path})).captured(1).toInt(), pages);

    QStringList printed;
    for (const QString &line : Run(pdftotext, {QStringLiteral("-layout"), path, QStringLiteral("-")})
                                   .split(QRegularExpression(QStringLiteral("[\\n\\f]")))) {
        if (!Squeezed(line).isEmpty())
            printed.append(Squeezed(line));
    }
    QStringList expected;
    for (const QString &line : lines) {
        if (!Squeezed(line).isEmpty())
            expected.append(Squeezed(line));
    }
    ASSERT_EQ(printed.size(), expected.size()) << printed.join(QLatin1Char('\n')).left(2000).toStdString();
    for (qsizetype i = 0; i < expected.size(); ++i)
        ASSERT_EQ(printed[i].toStdString(), expected[i].toStdString()) << "line " << i;
    EXPECT_TRUE(printed.contains(Squeezed(QString::fromStdString(points::CPointPrintout::ColumnLine()))));
}

} // namespace
} // namespace kvl::test
