// The port settings window opened the way a user opens it (start window, Next, Port Settings):
// what demo mode leaves in the settings file, and what Escape closes.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "LinkFixture.h"
#include "app/CKVL_VER2_AXIS_LINK_DIALOG.h"
#include "app/CKVL_VER2_ControlDlg.h"
#include "app/CKVL_VER2_PortSetDlg.h"
#include "ui/CPictureButton.h"
#include "support/Immutable.h"

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

namespace kvl::test {

class PortSettingsWindowTest : public LinkAppFixture {
protected:
    // Start window, Next, Port Settings: the three windows as a user has them.
    void OpenPortSettings()
    {
        CKVL_VER2_ControlDlg *start = m_app->StartDialog();
        ASSERT_NE(start, nullptr);
        start->show();
        QTest::mouseClick(start->NextButton(), Qt::LeftButton);
        m_link = qobject_cast<CKVL_VER2_AXIS_LINK_DIALOG *>(start->LinkWindow());
        ASSERT_NE(m_link, nullptr);
        QTest::mouseClick(m_link->PortSettingsButton(), Qt::LeftButton);
        m_ports = m_link->PortSettingsWindow();
        ASSERT_NE(m_ports, nullptr);
        ASSERT_TRUE(m_ports->isVisible());
    }

    QLabel *Status() const { return m_ports->findChild<QLabel *>(QStringLiteral("portStatus")); }
    // Types `text` into the port list and presses Test.
    void TestPort(const QString &text)
    {
        m_ports->PortList()->setCurrentText(text);
        QTest::mouseClick(m_ports->TestButton(), Qt::LeftButton);
    }
    // Whether the status shows its whole text: the label is as tall as its text needs at its
    // width, and lies inside the window.
    void ExpectStatusWhole(const char *what)
    {
        SCOPED_TRACE(what);
        QLabel *status = Status();
        ASSERT_NE(status, nullptr);
        QCoreApplication::processEvents();
        ASSERT_FALSE(status->text().isEmpty());
        EXPECT_GE(status->height(), status->heightForWidth(status->width()))
            << status->width() << " x " << status->height() << ": " << status->text().toStdString();
        const QRect inWindow(status->mapTo(m_ports, QPoint(0, 0)), status->size());
        EXPECT_TRUE(m_ports->rect().contains(inWindow)) << status->text().toStdString();
        EXPECT_LE(m_ports->height(), 768 - 40) << "taller than a 1366 x 768 screen";
    }

    CKVL_VER2_AXIS_LINK_DIALOG *m_link = nullptr;
    CKVL_VER2_PortSetDlg *m_ports = nullptr;
};

// A device this user may not open and that is open to no group (0600 root:root, as a missing udev
// rule leaves it): the status does not send the user to join its group "root" but says that no
// group may open it and what usually causes it. The text is long; the window grows until it shows
// it whole, in English, Japanese and Chinese, and again when it is shown anew.
TEST_F(PortSettingsWindowTest, PermissionAdviceIsRightAndShownWhole)
{
    StartApp(false);
    ASSERT_NO_FATAL_FAILURE(OpenPortSettings());
    const std::string device = (m_folder / "ttyOWNERONLY").string();
    std::ofstream(device) << "x";
    // Root opens anything but an immutable file; a user is refused by the owner's bits.
    const bool root = ::geteuid() == 0;
    ASSERT_TRUE(root ? ::chmod(device.c_str(), 0600) == 0 && SetImmutable(device, true)
                     : ::chmod(device.c_str(), 0) == 0);
    const QSize opened = m_ports->size();
    TestPort(QString::fromStdString(device));
    const std::string english = Status()->text().toStdString();
    EXPECT_NE(english.find("You may not open " + device), std::string::npos) << english;
    EXPECT_NE(english.find("no group"), std::string::npos) << english;
    EXPECT_NE(english.find("udev rule"), std::string::npos) << english;
    EXPECT_EQ(english.find("usermod"), std::string::npos) << english;
    ExpectStatusWhole("English");
    EXPECT_GE(m_ports->height(), opened.height());

    const struct {
        const char *name;
        int language;
        const char *said;
    } languages[] = {
        {"Japanese", CAppSettings::kLanguageJapanese, "udev"},
        {"Chinese", CAppSettings::kLanguageChinese, "udev"},
        {"English", CAppSettings::kLanguageEnglish, "udev rule"},
    };
    for (const auto &language : languages) {
        m_app->Settings().SwitchLanguage(language.language);
        const std::string text = Status()->text().toStdString();
        EXPECT_NE(text.find(device), std::string::npos) << language.name << ": " << text;
        EXPECT_NE(text.find(language.said), std::string::npos) << language.name << ": " << text;
        EXPECT_EQ(text.find("usermod"), std::string::npos) << language.name << ": " << text;
        ExpectStatusWhole(language.name);
    }
    // Shown again after closing: the same text, whole.
    QTest::mouseClick(m_ports->CancelButton(), Qt::LeftButton);
    QTest::mouseClick(m_link->PortSettingsButton(), Qt::LeftButton);
    ASSERT_TRUE(m_ports->isVisible());
    TestPort(QString::fromStdString(device));
    ExpectStatusWhole("shown again");
    if (root)
        SetImmutable(device, false);
}

// Test with no port named says that no port is set, as the axis link does, not that "the port"
// cannot be opened.
TEST_F(PortSettingsWindowTest, NoPortSetIsSaidAsSuch)
{
    StartApp(false);
    ASSERT_NO_FATAL_FAILURE(OpenPortSettings());
    TestPort(QString());
    const std::string text = Status()->text().toStdString();
    EXPECT_EQ(text.rfind("No serial port is set.", 0), 0u) << text;
    ExpectStatusWhole("no port");
}

// In demo mode the port settings act for the run only: a typed device path (which outside demo
// mode gets a number of its own in the file), another speed, Test, and then Cancel or OK leave
// the user's settings file byte for byte as it was, also after the program ends.
TEST_F(PortSettingsWindowTest, DemoModeLeavesTheSettingsFileAlone)
{
    struct Closing {
        const char *name;
        QPushButton *(CKVL_VER2_PortSetDlg::*button)() const;
    };
    const Closing closings[] = {
        {"Cancel", &CKVL_VER2_PortSetDlg::CancelButton},
        {"OK", &CKVL_VER2_PortSetDlg::OkButton},
    };
    StartApp(true);
    const std::string before = SettingsFileText();
    ASSERT_FALSE(before.empty());
    ASSERT_NO_FATAL_FAILURE(OpenPortSettings());
    for (const Closing &closing : closings) {
        SCOPED_TRACE(closing.name);
        if (!m_ports->isVisible())
            QTest::mouseClick(m_link->PortSettingsButton(), Qt::LeftButton);
        m_ports->PortList()->setCurrentText(QStringLiteral("/dev/ttyUSB9"));
        m_ports->SpeedList()->setCurrentIndex(m_ports->SpeedList()->findText(QStringLiteral("57600")));
        QTest::mouseClick(m_ports->TestButton(), Qt::LeftButton);
        EXPECT_EQ(SettingsFileText(), before) << "after Test";
        QTest::mouseClick((m_ports->*closing.button)(), Qt::LeftButton);
        EXPECT_FALSE(m_ports->isVisible());
        EXPECT_EQ(SettingsFileText(), before);
    }
    m_app->StartDialog()->close();
    EXPECT_EQ(SettingsFileText(), before) << "after the program ended";
}

// Outside demo mode the same typed path is stored under a number of its own: the path storer
// the demo run leaves out is the one the settings use.
TEST_F(PortSettingsWindowTest, OutsideDemoModeATypedPathIsStored)
{
    StartApp(false);
    ASSERT_NO_FATAL_FAILURE(OpenPortSettings());
    m_ports->PortList()->setCurrentText(QStringLiteral("/dev/ttyUSB9"));
    QTest::mouseClick(m_ports->TestButton(), Qt::LeftButton);
    EXPECT_NE(SettingsFileText().find("=/dev/ttyUSB9\r\n"), std::string::npos) << SettingsFileText();
}

// Escape closes the port settings as Cancel does, and nothing else: the axis link window behind
// it and the start window stay open, and a port tried with Test is taken back. The key may reach
// the port settings window itself (its port list's text field has the focus when it opens), or
// the axis link window when the window system left the keyboard there: the open port settings
// window takes it in both cases.
TEST_F(PortSettingsWindowTest, EscapeClosesThePortSettingsAlone)
{
    StartSim({"--axis", "0:MDA"});
    StartApp(false);
    UseSimPort(115200);
    ASSERT_NO_FATAL_FAILURE(OpenPortSettings());
    const struct {
        const char *name;
        QWidget *target;
    } targets[] = {
        {"port list", m_ports->PortList()->lineEdit()},
        {"port settings window", m_ports},
        {"axis link window", m_link},
    };
    for (const auto &target : targets) {
        SCOPED_TRACE(target.name);
        if (!m_ports->isVisible())
            QTest::mouseClick(m_link->PortSettingsButton(), Qt::LeftButton);
        ASSERT_TRUE(m_ports->isVisible());
        m_ports->SpeedList()->setCurrentIndex(m_ports->SpeedList()->findText(QStringLiteral("57600")));
        QTest::mouseClick(m_ports->TestButton(), Qt::LeftButton);
        ASSERT_EQ(StoredValue("Speed"), 57600);
        QTest::keyClick(target.target, Qt::Key_Escape);
        EXPECT_FALSE(m_ports->isVisible());
        EXPECT_TRUE(m_link->isVisible()) << "the axis link window stays";
        EXPECT_TRUE(m_app->StartDialog()->isVisible());
        EXPECT_EQ(StoredValue("Speed"), 115200) << "Escape undoes Test as Cancel does";
    }
    // With the port settings closed, Escape closes the axis link window (and only it).
    QTest::keyClick(m_link, Qt::Key_Escape);
    EXPECT_FALSE(m_link->isVisible());
    EXPECT_TRUE(m_app->StartDialog()->isVisible());
}

} // namespace kvl::test
