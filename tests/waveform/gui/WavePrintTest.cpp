// The waveform window's Print on the application's demo bus, offscreen: the chart job printed into
// a PDF with two live series and one loaded from a file (one page, each series' name, mode and
// value with the unit of its mode on the axis' model in the legend), the Print button's enabling
// around a capture, and its menu's preview.
#include <QAction>
#include <QMenu>
#include <QPrintPreviewDialog>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include "AxisWindowFixture.h"
#include "ModalAnswer.h"
#include "common/CChartPrintJob.h"
#include "common/CWindowRegistry.h"
#include "config/CAppSettings.h"
#include "config/CAppValues.h"
#include "ui/CPictureButton.h"
#include "waveform/CRogDlg.h"
#include "waveform/CWaveChart.h"
#include "waveform/WaveModes.h"

namespace kvl {
namespace {

using test::kDemoMdaZ;
using test::kDemoMdc;

class WavePrintTest : public test::AxisWindowFixture {
protected:
    // The waveform window of `axis`, opened by its axis window's Wave button.
    CRogDlg *OpenWave(int axis)
    {
        points::CKVL_VER2_ProgStepDlg *axisWindow = OpenAxis(axis);
        // The demo gateway lists the axis' model, which keeps Start disabled; cleared before opening.
        m_app->Values().modelMatch[axis] = false;
        if (!axisWindow)
            return nullptr;
        QTest::mouseClick(axisWindow->WaveButton(), Qt::LeftButton);
        return m_app->Windows().Find<CRogDlg>(CWindowRegistry::Kind::kWaveform, axis);
    }

    static void SetLine(CRogDlg &window, int row, int mode, double offset)
    {
        CRogModel::LineProperty property = window.Model().PropertyOf(row);
        property.mode = mode;
        property.offset = offset;
        window.Model().ApplyProperty(row, property);
    }

    static QString Run(const QString &program, const QStringList &arguments)
    {
        QProcess process;
        process.start(program, arguments);
        process.waitForFinished();
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    static QString Squeezed(QString text) { return text.remove(QRegularExpression(QStringLiteral("\\s"))); }

    QTemporaryDir m_dir;
};

TEST_F(WavePrintTest, TwoLiveAndOneLoadedSeriesPrintOnOnePageWithTheirUnitsByModel)
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    ASSERT_FALSE(pdftotext.isEmpty()) << "poppler-utils (scripts/deps.sh)";
    ASSERT_FALSE(pdfinfo.isEmpty()) << "poppler-utils (scripts/deps.sh)";
    struct Case {
        int axis;
        std::array<int, 3> modes;       // CH0, CH1, the loaded series
        std::array<double, 3> offsets;
        std::array<const char *, 3> values;
    };
    const Case cases[] = {
        {kDemoMdc, {wave::kModePositionCommand, wave::kModeActualSpeed, wave::kModeActualCurrent},
         {12.0, 1.5, 250.0}, {"12 mm", "1.500 mm/s", "250.000 mA"}},
        {kDemoMdaZ, {wave::kModeActualPosition, wave::kModeSpeedCommand, wave::kModeCurrentDeviation},
         {90.0, 2.25, -3.0}, {"90 deg", "2.250 deg/s", "-3.000 mA"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.axis);
        CRogDlg *window = OpenWave(c.axis);
        ASSERT_NE(window, nullptr);
        window->Model().Series().Live(0).Append(1.0, 2.0);
        window->Model().Series().Live(1).Append(1.0, 3.0);
        const QString run = m_dir.filePath(QStringLiteral("run%1.csv").arg(c.axis));
        window->PressSave(run);
        window->PressOpen(run);
        ASSERT_EQ(window->Model().RowCount(), 4);
        window->SeriesList()->selectRow(3);
        window->PressDelete();
        ASSERT_EQ(window->Model().RowCount(), 3);
        for (int row = 0; row < 3; ++row)
            SetLine(*window, row, c.modes[static_cast<size_t>(row)], c.offsets[static_cast<size_t>(row)]);
        window->RefreshView();
        ASSERT_TRUE(window->PrintButton()->isEnabled());

        const QString pdf = m_dir.filePath(QStringLiteral("chart%1").arg(c.axis));
        ASSERT_TRUE(window->PressPrintPdf(pdf));
        const QRegularExpression pagesLine(QStringLiteral("Pages:\\s+(\\d+)"));
        EXPECT_EQ(pagesLine.match(Run(pdfinfo, {pdf + QStringLiteral(".pdf")})).captured(1).toInt(), 1);
        const QStringList printed =
            Run(pdftotext, {QStringLiteral("-layout"), pdf + QStringLiteral(".pdf"), QStringLiteral("-")})
                .split(QLatin1Char('\n'));
        const auto hasLine = [&printed](const QString &line) {
            return std::any_of(printed.begin(), printed.end(),
                               [&line](const QString &text) { return Squeezed(text) == Squeezed(line); });
        };
        EXPECT_TRUE(hasLine(QStringLiteral("Name Mode Value"))) << printed.join(QLatin1Char('\n')).toStdString();
        for (int row = 0; row < 3; ++row) {
            const QString name = window->SeriesList()->item(row, CRogDlg::kColumnName)->text();
            const QString mode = window->SeriesList()->item(row, CRogDlg::kColumnMode)->text();
            const QString value = QString::fromLatin1(c.values[static_cast<size_t>(row)]);
            EXPECT_TRUE(hasLine(name + mode + value))
                << row << ": " << (name + mode + value).toStdString() << "\n" << printed.join(QLatin1Char('\n')).toStdString();
        }
        EXPECT_EQ(window->SeriesList()->item(2, CRogDlg::kColumnName)->text(), QStringLiteral("CH0-run%1.csv").arg(c.axis));
        const std::unique_ptr<CChartPrintJob> job = window->MakePrintJob();
        EXPECT_EQ(job->DialogMaxPage(), 1);
        EXPECT_FALSE(job->Picture().isNull());
        window->close();
    }
}

TEST_F(WavePrintTest, PrintIsDisabledWhileACaptureRunsAndItsMenuOffersThePreview)
{
    CRogDlg *window = OpenWave(kDemoMdc);
    ASSERT_NE(window, nullptr);
    QToolButton *print = window->PrintButton();
    ASSERT_NE(print, nullptr);
    EXPECT_EQ(print->text(), QStringLiteral("Print"));
    ASSERT_NE(print->menu(), nullptr);
    QStringList entries;
    for (const QAction *action : print->menu()->actions())
        entries << action->text();
    EXPECT_EQ(entries, (QStringList{QStringLiteral("Print..."), QStringLiteral("Print preview..."),
                                    QStringLiteral("Print to a PDF file...")}));
    EXPECT_TRUE(print->isEnabled());

    window->SamplingBox()->setText(QStringLiteral("20"));
    QTest::mouseClick(window->StartStopButton(), Qt::LeftButton);
    ASSERT_TRUE(window->Model().Running());
    EXPECT_FALSE(print->isEnabled());
    EXPECT_FALSE(window->PressPrintPdf(m_dir.filePath(QStringLiteral("running.pdf"))));
    EXPECT_FALSE(QFile::exists(m_dir.filePath(QStringLiteral("running.pdf"))));
    QTest::mouseClick(window->StartStopButton(), Qt::LeftButton);
    ASSERT_FALSE(window->Model().Running());
    EXPECT_TRUE(print->isEnabled());

    bool previewed = false;
    test::AnswerNextModal([&previewed](QWidget *modal) {
        previewed = qobject_cast<QPrintPreviewDialog *>(modal) != nullptr;
        modal->close();
    });
    print->menu()->actions().at(1)->trigger();
    EXPECT_TRUE(previewed);
}

TEST_F(WavePrintTest, AChartJobWithoutAPicturePrintsNothing)
{
    CChartPrintJob job(m_app->Values(), m_app->Settings().Texts());
    job.AddRow({QStringLiteral("CH0"), QStringLiteral("Actual position"), QStringLiteral("0 mm")});
    const QString pdf = m_dir.filePath(QStringLiteral("empty.pdf"));
    EXPECT_FALSE(job.PrintToPdf(pdf, nullptr));
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(job.PagesPrinted(), 0);
}

} // namespace
} // namespace kvl
