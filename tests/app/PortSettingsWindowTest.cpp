// The port settings window opened the way a user opens it (start window, Next, Port Settings):
// what demo mode leaves in the settings file, and what Escape closes.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "LinkFixture.h"
#include "app/CKVL_VER2_AXIS_LINK_DIALOG.h"
#include "app/CKVL_VER2_ControlDlg.h"
#include "app/CKVL_VER2_PortSetDlg.h"
#include "ui/CPictureButton.h"

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

    CKVL_VER2_AXIS_LINK_DIALOG *m_link = nullptr;
    CKVL_VER2_PortSetDlg *m_ports = nullptr;
};

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
