// The port settings' rules: device labels and numbering, Test/OK/Cancel against the in-process
// simulator and the settings file on disk, the port search and the permission status.
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "LinkFixture.h"
#include "app/CPortSettingsModel.h"
#include "link/CComAccess.h"
#include "link/CPortResolver.h"
#include "support/Immutable.h"

namespace kvl::test {

namespace {
constexpr char kMissingDevice[] = "/tmp/kvl-test-no-such-tty";
}

class PortSettingsModelTest : public LinkModelFixture {
protected:
    CPortSettingsModel &Model(CPortSettingsModel::AccessCheck check = {})
    {
        m_model = std::make_unique<CPortSettingsModel>(*m_commands, m_settings,
                                                       CBusPortAccess::FromSettings(m_settings, m_comm.Ports()), check);
        return *m_model;
    }
    // Every number up to 99 names a device that does not exist, so no built-in serial port of
    // this computer takes part in a port search.
    void NoDevicesExcept(int port, const std::string &path)
    {
        for (int n = 1; n < CPortSettingsModel::kSearchPortCount; ++n)
            m_comm.Ports().SetPath(n, n == port ? path : kMissingDevice + std::to_string(n));
    }

    std::unique_ptr<CPortSettingsModel> m_model;
};

TEST(PortSettingsLabels, DevicePathAndDescription)
{
    struct Case {
        const char *path;
        const char *description;
        const char *label;
    };
    const Case cases[] = {
        {"/dev/ttyUSB0", "USB-RS485 adapter", "ttyUSB0 - USB-RS485 adapter"},
        {"/dev/ttyS0", "", "ttyS0"},
        {"/dev/serial/by-id/usb-adapter", "RS485", "/dev/serial/by-id/usb-adapter - RS485"},
        {"/tmp/kvlbus", "", "/tmp/kvlbus"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CPortSettingsModel::Label({c.path, c.description}), c.label);
}

TEST_F(PortSettingsModelTest, PortNumbersOfTheTextsThePortListTakes)
{
    ASSERT_TRUE(m_settings.SetDevicePath(3, "/dev/ttyUSB0"));
    m_comm.Ports().SetPath(3, "/dev/ttyUSB0");
    CPortSettingsModel &model = Model();
    model.SetDevices({{"/dev/ttyUSB0", "USB-RS485 adapter"}, {"/dev/ttyS1", ""}});

    struct Case {
        const char *text;
        int port;
    };
    const Case cases[] = {
        {"ttyUSB0 - USB-RS485 adapter", 3},
        {"/dev/ttyUSB0", 3},
        {"ttyUSB0", 3},
        {"  ttyUSB0 ", 3},
        {"COM7", 7},
        {"com12", 12},
        {"12", 12},
        {"COM100", 100},
        {"COM101", 0},
        {"COM0", 0},
        {"0", 0},
        {"/dev/ttyS1", 2},   // the built-in numbering: port N is /dev/ttyS<N-1>
        {"ttyS1", 2},
        {"", 0},
        {"   ", 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(model.PortFromText(c.text), c.port) << '"' << c.text << '"';
}

TEST_F(PortSettingsModelTest, ATypedPathGetsANumberWithoutTakingTheStoredPorts)
{
    ASSERT_TRUE(m_settings.SetPortAndSpeed(1, 38400));   // port 1: /dev/ttyS0 by the built-in numbering
    CPortSettingsModel &model = Model();
    model.Reshow();

    const int number = model.PortFromText("/dev/ttyACM4");
    ASSERT_GT(number, 1);
    EXPECT_EQ(m_comm.Ports().DevicePath(number), "/dev/ttyACM4");
    EXPECT_EQ(m_comm.Ports().DevicePath(1), "/dev/ttyS0");
    EXPECT_NE(SettingsFileText().find("Device" + std::to_string(number) + "=/dev/ttyACM4"), std::string::npos);
    EXPECT_NE(SettingsFileText().find("Device1=/dev/ttyS0"), std::string::npos);
    // The same path keeps its number.
    EXPECT_EQ(model.PortFromText("/dev/ttyACM4"), number);
}

TEST_F(PortSettingsModelTest, TestThenCancelRestoresPortAndSpeed)
{
    StartSim({"--axis", "0:MDA"});
    UseSimPort(115200);
    CPortSettingsModel &model = Model();
    model.Open();
    ASSERT_EQ(model.State(), CPortSettingsModel::PortState::kOpen);
    EXPECT_EQ(model.StatusText(), "The port is open.");
    EXPECT_EQ(model.PortAtOpening(), kSimPort);
    EXPECT_EQ(model.SpeedAtOpening(), 115200);
    EXPECT_EQ(model.SelectedPortText(), SimPath());
    EXPECT_FALSE(model.Ok());

    EXPECT_FALSE(model.Test(kMissingDevice, 57600));
    EXPECT_EQ(model.State(), CPortSettingsModel::PortState::kMissing);
    EXPECT_EQ(model.StatusText(), std::string("The port ") + kMissingDevice +
                                      " does not exist. Check the cable and the adapter, or choose another port.");
    EXPECT_EQ(m_commands->IsPortOpen(), 0);
    const int tested = StoredValue("Port");
    EXPECT_NE(tested, kSimPort);
    EXPECT_EQ(m_comm.Ports().DevicePath(tested), kMissingDevice);
    EXPECT_EQ(StoredValue("Speed"), 57600);
    EXPECT_TRUE(model.Ok());

    model.Cancel();
    EXPECT_EQ(StoredValue("Port"), kSimPort);
    EXPECT_EQ(StoredValue("Speed"), 115200);
    EXPECT_EQ(m_commands->IsPortOpen(), 1);
    EXPECT_FALSE(model.Ok());
}

TEST_F(PortSettingsModelTest, TestStoresOnlyUsableChoices)
{
    StartSim({"--axis", "0:MDA"});
    UseSimPort(115200);
    CPortSettingsModel &model = Model();
    model.Open();

    EXPECT_TRUE(model.Test("COM1", 38400));
    EXPECT_EQ(model.State(), CPortSettingsModel::PortState::kOpen);
    EXPECT_EQ(StoredValue("Speed"), 38400);
    EXPECT_EQ(StoredValue("Port"), kSimPort);
    EXPECT_TRUE(model.Ok());

    // A text that names no port writes nothing.
    const std::string before = SettingsFileText();
    EXPECT_FALSE(model.Test("   ", 57600));
    EXPECT_EQ(SettingsFileText(), before);
    EXPECT_EQ(model.State(), CPortSettingsModel::PortState::kNoPort);
    EXPECT_EQ(model.StatusText().rfind("No serial port is set.", 0), 0u) << model.StatusText();
}

TEST_F(PortSettingsModelTest, PortSearchWhenTheStoredPortFails)
{
    StartSim({"--axis", "0:MDA"});
    NoDevicesExcept(42, SimPath());
    ASSERT_TRUE(m_settings.SetPortAndSpeed(5, 57600));
    CPortSettingsModel &model = Model();
    model.Open();
    EXPECT_EQ(model.State(), CPortSettingsModel::PortState::kOpen);
    EXPECT_EQ(model.SelectedPort(), 42);
    EXPECT_EQ(model.PortAtOpening(), 42);
    EXPECT_EQ(StoredValue("Port"), 42);
    EXPECT_EQ(StoredValue("Speed"), 57600);
    EXPECT_FALSE(model.Ok());
}

TEST_F(PortSettingsModelTest, FailedPortSearchWritesNothing)
{
    NoDevicesExcept(0, std::string());
    ASSERT_TRUE(m_settings.SetPortAndSpeed(5, 57600));
    const std::string before = SettingsFileText();
    CPortSettingsModel &model = Model();
    model.Open();
    EXPECT_EQ(model.State(), CPortSettingsModel::PortState::kMissing);
    EXPECT_EQ(model.SelectedPort(), 5);
    EXPECT_EQ(SettingsFileText(), before);
    EXPECT_EQ(m_commands->IsPortOpen(), 0);
}

TEST_F(PortSettingsModelTest, PermissionProblemIsExplained)
{
    NoDevicesExcept(0, std::string());
    m_comm.Ports().SetPath(5, "/dev/ttyUSB9");
    ASSERT_TRUE(m_settings.SetPortAndSpeed(5, 57600));
    std::vector<std::string> asked;
    CPortSettingsModel &model = Model([&asked](const std::string &path) {
        asked.push_back(path);
        CPortSettingsModel::AccessInfo info;
        info.exists = path == "/dev/ttyUSB9";
        info.permitted = false;
        info.group = "uucp";
        info.owner = "root";
        info.groupMayOpen = true;
        return info;
    });
    model.Open();
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.front(), "/dev/ttyUSB9");
    EXPECT_EQ(model.State(), CPortSettingsModel::PortState::kNoPermission);
    const std::string text = model.StatusText();
    EXPECT_NE(text.find("/dev/ttyUSB9"), std::string::npos) << text;
    EXPECT_NE(text.find("\"uucp\""), std::string::npos) << text;
    EXPECT_NE(text.find("sudo usermod -aG uucp $USER"), std::string::npos) << text;
    EXPECT_EQ(text.find("%1"), std::string::npos) << text;

    // A device that does not exist is said as such, without the group hint.
    EXPECT_FALSE(model.Test("/dev/ttyUSB8", 57600));
    EXPECT_EQ(model.State(), CPortSettingsModel::PortState::kMissing);
    EXPECT_EQ(model.StatusText().find("usermod"), std::string::npos);
    EXPECT_EQ(text.find("udev"), std::string::npos) << text;

    // Joining the group helps only when the group may read and write the device. One open to its
    // owner alone (0600 root:root, as a udev rule may leave it) is said to be open to no group.
    {
        ASSERT_TRUE(m_settings.SetPortAndSpeed(5, 57600));
        CPortSettingsModel &ownerOnly = Model([](const std::string &path) {
            CPortSettingsModel::AccessInfo info;
            info.exists = path == "/dev/ttyUSB9";
            info.group = "root";
            info.owner = "root";
            return info;
        });
        ownerOnly.Open();
        ASSERT_EQ(ownerOnly.State(), CPortSettingsModel::PortState::kNoPermission);
        const std::string noGroup = ownerOnly.StatusText();
        EXPECT_EQ(noGroup.rfind("You may not open /dev/ttyUSB9: only its owner (root) may, and no group.", 0), 0u)
            << noGroup;
        EXPECT_EQ(noGroup.find("usermod"), std::string::npos) << noGroup;
        EXPECT_NE(noGroup.find("udev rule"), std::string::npos) << noGroup;
        EXPECT_NE(noGroup.find("\"dialout\""), std::string::npos) << noGroup;
    }
}

TEST_F(PortSettingsModelTest, TestNamesWhyThePortCannotBeOpened)
{
    StartSim({"--axis", "0:MDA"});
    UseSimPort(115200);
    CPortSettingsModel &model = Model();
    model.Open();
    ASSERT_EQ(model.State(), CPortSettingsModel::PortState::kOpen);
    const std::string plainFile = (m_folder / "not-a-port").string();
    std::ofstream(plainFile) << "x";
    const std::string locked = (m_folder / "ttyLOCKED").string();
    std::ofstream(locked) << "x";
    const bool root = ::geteuid() == 0;
    // Its group may read and write it: the status advises joining that group.
    const bool canDeny = root ? ::chmod(locked.c_str(), 0660) == 0 && SetImmutable(locked, true)
                              : ::chmod(locked.c_str(), 0060) == 0;

    // Another program holds the simulator's port (here: a second user of it in this process).
    constexpr int kHolderPort = 90;
    m_commands->ClosePort();
    CComAccess holder;
    holder.Ports().SetPath(kHolderPort, SimPath());
    ASSERT_EQ(holder.Open(kHolderPort, 115200), 1);

    struct Case {
        const char *what;
        std::string path;
        CPortSettingsModel::PortState state;
        std::string text;
    };
    std::vector<Case> cases = {
        {"missing", kMissingDevice, CPortSettingsModel::PortState::kMissing,
         std::string("The port ") + kMissingDevice + " does not exist."},
        {"busy", SimPath(), CPortSettingsModel::PortState::kBusy,
         "The port " + SimPath() + " is in use by another program."},
        {"other", plainFile, CPortSettingsModel::PortState::kClosed, "The port cannot be opened."},
    };
    if (canDeny)
        cases.push_back({"not permitted", locked, CPortSettingsModel::PortState::kNoPermission,
                         "You may not open " + locked + "."});
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(model.Test(c.path, 115200));
        EXPECT_EQ(model.State(), c.state);
        const std::string text = model.StatusText();
        EXPECT_EQ(text.rfind(c.text, 0), 0u) << text;
        EXPECT_EQ(text.find("usermod") != std::string::npos, c.state == CPortSettingsModel::PortState::kNoPermission)
            << text;
    }
    if (root && canDeny)
        SetImmutable(locked, false);
}

TEST_F(PortSettingsModelTest, AccessCheckOfRealFiles)
{
    const std::string path = (m_folder / "device").string();
    std::ofstream(path) << "x";
    ::chmod(path.c_str(), 0600);
    CPortSettingsModel::AccessInfo info = CPortSettingsModel::CheckAccess(path);
    EXPECT_TRUE(info.exists);
    EXPECT_TRUE(info.permitted);
    EXPECT_FALSE(info.group.empty());

    info = CPortSettingsModel::CheckAccess(path + ".missing");
    EXPECT_FALSE(info.exists);
    EXPECT_FALSE(info.permitted);

    if (::geteuid() != 0) {   // root may open anything
        ::chmod(path.c_str(), 0);
        info = CPortSettingsModel::CheckAccess(path);
        EXPECT_TRUE(info.exists);
        EXPECT_FALSE(info.permitted);
    }
}

TEST_F(PortSettingsModelTest, ShowingAgainRereadsTheStore)
{
    StartSim({"--axis", "0:MDA"});
    UseSimPort(115200);
    CPortSettingsModel &model = Model();
    model.Open();
    ASSERT_TRUE(m_settings.SetPortAndSpeed(kSimPort, 57600));
    model.Reshow();
    EXPECT_EQ(model.SpeedAtOpening(), 57600);
    EXPECT_EQ(model.State(), CPortSettingsModel::PortState::kOpen);
    m_commands->ClosePort();
    model.Reshow();
    EXPECT_EQ(model.State(), CPortSettingsModel::PortState::kClosed);
}

TEST_F(PortSettingsModelTest, SpeedTheListShows)
{
    struct Case {
        int stored;
        int shown;
    };
    const Case cases[] = {{0, 38400}, {38400, 38400}, {57600, 57600}, {115200, 115200}, {9600, 38400}};
    CPortSettingsModel &model = Model();
    for (const Case &c : cases) {
        ASSERT_TRUE(m_settings.SetPortAndSpeed(1, c.stored));
        EXPECT_EQ(model.SelectedSpeed(), c.shown) << c.stored;
    }
}

TEST_F(PortSettingsModelTest, StoredPortStaysListedWhenItsDeviceIsAbsent)
{
    m_comm.Ports().SetPath(4, "/dev/ttyUSB4");
    ASSERT_TRUE(m_settings.SetPortAndSpeed(4, 57600));
    CPortSettingsModel &model = Model();
    model.SetDevices({{"/dev/ttyUSB0", "USB-RS485 adapter"}});
    model.Reshow();
    ASSERT_EQ(model.Entries().size(), 2u);
    EXPECT_EQ(model.Entries()[0].label, "ttyUSB0 - USB-RS485 adapter");
    EXPECT_EQ(model.Entries()[1].path, "/dev/ttyUSB4");
    EXPECT_EQ(model.SelectedPortText(), "/dev/ttyUSB4");
}

} // namespace kvl::test
