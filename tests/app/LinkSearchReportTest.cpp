// What the axis link says about a search: while it runs, the busy indicator's line names the speed
// and the address being asked; after a Link Start that found nothing, the status tells which
// port and which speeds were tried and what to check, in each language.
#include <QLabel>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <fstream>

#include "LinkFixture.h"
#include "app/CAxisLinkModel.h"
#include "app/CKVL_VER2_AXIS_LINK_DIALOG.h"
#include "app/CKVL_VER2_PortSetDlg.h"
#include "common/CBusyIndicator.h"
#include "link/CPortResolver.h"
#include "sim/SimBus.h"
#include "ui/CPictureButton.h"

namespace kvl::test {

namespace {

bool Contains(const std::string &text, const std::string &part)
{
    return text.find(part) != std::string::npos;
}

bool Logged(const std::vector<std::string> &log, const std::string &line)
{
    return std::find(log.begin(), log.end(), line) != log.end();
}

} // namespace

class LinkSearchReportTest : public LinkModelFixture {
protected:
    CAxisLinkModel &Model()
    {
        if (!m_model) {
            CAxisLinkModel::Hooks hooks;
            hooks.activity = [this](const std::string &text) { m_activity.push_back(text); };
            m_model = std::make_unique<CAxisLinkModel>(*m_commands, m_settings.Texts(), m_values,
                                                       CBusPortAccess::FromSettings(m_settings, m_comm.Ports()), hooks);
        }
        return *m_model;
    }

    std::vector<std::string> m_activity;
    std::unique_ptr<CAxisLinkModel> m_model;
};

// An empty bus answers nothing at any speed: the report names the port, the three speeds in the
// order they were tried (from the stored one) and what to check.
TEST_F(LinkSearchReportTest, NothingFoundNamesThePortTheSpeedsAndWhatToCheck)
{
    const struct {
        int storedSpeed;
        const char *speeds;
    } cases[] = {
        {115200, "115200, 57600, 38400"},
        {57600, "57600, 38400, 115200"},
    };
    StartSimBus(std::make_unique<sim::SimBus>(), 115200);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.storedSpeed);
        UseSimPort(c.storedSpeed);
        m_model.reset();
        m_activity.clear();
        CAxisLinkModel &model = Model();
        EXPECT_EQ(model.SearchReport(), "") << "nothing to report before a search";
        ASSERT_TRUE(model.Link());
        ASSERT_EQ(model.GetStatus(), CAxisLinkModel::Status::kUnlinked);
        const std::string report = model.SearchReport();
        EXPECT_EQ(report, "No device answered on " + SimPath() + " at " + c.speeds +
                              " bit/s. Check the cable, that the controllers are switched on, and "
                              "the port and speed in Port Settings.");
        // Three gateway probes and three passes over the sixteen addresses, each announced.
        EXPECT_EQ(m_activity.size(), 3u + 3u * 16u);
        const std::string first = std::to_string(c.storedSpeed);
        EXPECT_EQ(m_activity.front(), first + " bit/s: network unit");
        EXPECT_TRUE(Logged(m_activity, first + " bit/s: address 1 of 16"));
        EXPECT_TRUE(Logged(m_activity, "38400 bit/s: address 16 of 16"));
    }
    m_model->ShowUnlinked();
    EXPECT_EQ(m_model->SearchReport(), "") << "another port makes the report stale";
}

TEST_F(LinkSearchReportTest, APortThatDoesNotOpenOrIsNotSetIsSaidSo)
{
    UseSimPort(115200);
    // A device that does not exist is said to be missing, as kvlctl and the port settings say.
    const std::string missing = (m_folder / "no-such-tty").string();
    m_comm.Ports().SetPath(kSimPort, missing);
    ASSERT_TRUE(Model().Link());
    EXPECT_EQ(Model().SearchReport(), "The port " + missing +
                                          " does not exist. Check the cable and the adapter, or choose "
                                          "another port.");

    // A file that exists but is no serial device: the speeds tried and what to check.
    const std::string notATty = (m_folder / "not-a-tty").string();
    std::ofstream(notATty) << "x";
    m_comm.Ports().SetPath(kSimPort, notATty);
    ASSERT_TRUE(Model().Link());
    EXPECT_EQ(Model().SearchReport(), notATty +
                                          " could not be opened (tried at 115200, 57600, 38400 bit/s). "
                                          "Check that the adapter is plugged in and the port in Port "
                                          "Settings.");

    ASSERT_TRUE(m_settings.SetPortAndSpeed(0, 115200));
    ASSERT_TRUE(Model().Link());
    EXPECT_EQ(Model().SearchReport(), "No serial port is set. Choose one in Port Settings.");
}

TEST_F(LinkSearchReportTest, AFoundDeviceLeavesNoReportAndTheFinalRunIsAnnounced)
{
    StartSimBus(std::make_unique<sim::SimBus>(), 115200);
    UseSimPort(115200);
    ASSERT_TRUE(Model().Link());
    ASSERT_NE(Model().SearchReport(), "");

    StartSim({"--axis", "2:MDB", "--axis", "5:MDA"});
    m_activity.clear();
    ASSERT_TRUE(Model().Link());
    ASSERT_EQ(Model().GetStatus(), CAxisLinkModel::Status::kLinked);
    EXPECT_EQ(Model().SearchReport(), "");
    // The scan stops at address 2 (the third); the final run asks addresses 2 to 15.
    EXPECT_TRUE(Logged(m_activity, "115200 bit/s: address 3 of 16"));
    EXPECT_FALSE(Logged(m_activity, "115200 bit/s: address 4 of 16"));
    EXPECT_EQ(m_activity.back(), "115200 bit/s: address 14 of 14");
}

TEST_F(LinkSearchReportTest, TheReportIsInEveryLanguage)
{
    const struct {
        int language;
        const char *check;   // the cable, in the language's words
        const char *probe;
    } cases[] = {
        {CAppSettings::kLanguageJapanese, "ケーブル", "38400 bit/s: アドレス 16 / 16"},
        {CAppSettings::kLanguageEnglish, "cable", "38400 bit/s: address 16 of 16"},
        {CAppSettings::kLanguageChinese, "电缆", "38400 bit/s: 地址 16 / 16"},
    };
    StartSimBus(std::make_unique<sim::SimBus>(), 115200);
    UseSimPort(115200);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.language);
        m_settings.SwitchLanguage(c.language);
        m_activity.clear();
        ASSERT_TRUE(Model().Link());
        const std::string report = Model().SearchReport();
        EXPECT_TRUE(Contains(report, SimPath())) << report;
        EXPECT_TRUE(Contains(report, "115200, 57600, 38400")) << report;
        EXPECT_TRUE(Contains(report, c.check)) << report;
        EXPECT_TRUE(Logged(m_activity, c.probe));
    }
}

class LinkSearchWindowTest : public LinkAppFixture {};

// The window: while Link Start searches an empty bus the busy indicator's line says what is
// asked; afterwards the status box holds the report under "Not linked".
TEST_F(LinkSearchWindowTest, ShowsWhatItAsksAndWhyNothingWasFound)
{
    StartSimBus(std::make_unique<sim::SimBus>(), 115200);
    StartApp();
    UseSimPort(115200);
    CKVL_VER2_AXIS_LINK_DIALOG window(*m_app, m_app->StartWindow());
    window.show();
    EXPECT_FALSE(window.ReportLabel()->isVisible());

    // The search lets timers run between its exchanges: sample the indicator's line there.
    QStringList seen;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        const QString line = m_app->Busy().ProgressText();
        if (!line.isEmpty() && !seen.contains(line))
            seen << line;
    });
    sampler.start(0);
    QTest::mouseClick(window.LinkStartButton(), Qt::LeftButton);
    sampler.stop();

    const QRegularExpression probe(QStringLiteral("^(115200|57600|38400) bit/s: address \\d+ of 16$"));
    EXPECT_TRUE(std::any_of(seen.begin(), seen.end(), [&](const QString &line) { return probe.match(line).hasMatch(); }))
        << seen.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(window.StatusLabel()->text(), QStringLiteral("Not linked"));
    EXPECT_TRUE(window.ReportLabel()->isVisible());
    EXPECT_TRUE(window.ReportLabel()->text().contains(QString::fromStdString(SimPath())))
        << window.ReportLabel()->text().toStdString();
    EXPECT_TRUE(window.ReportLabel()->text().contains(QStringLiteral("cable")));
}

} // namespace kvl::test
