// The network unit settings window on the application's demo bus, offscreen, opened by the axis
// link's Network unit button after Link Start: what the unit holds, the saturation following the
// station lists, the capacity refusal, a setting the unit did not take, the unit settings file,
// the version shown after six clicks (counted over the run), the colour settings window; and the
// window offline.
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <fstream>

#include "AxisWindowFixture.h"
#include "ModalAnswer.h"
#include "common/CMsgDlg.h"
#include "common/CTextPrintJob.h"
#include "common/CWindowRegistry.h"
#include "config/CAppSettings.h"
#include "gateway/CGatewayColourStore.h"
#include "gateway/CGatewayRules.h"
#include "gateway/CKVL_GWX_ALARMLIST.h"
#include "gateway/CKVL_GWX_COLOR_SETTING.h"
#include "gateway/CKVL_GWX_NETSET.h"
#include "gateway/CKVL_GWX_PARAM.h"
#include "gateway/CKVL_GWX_SETTING.h"
#include "gateway/KVL_GWX_External_Network_Param.h"
#include "protocol/CommandCodes.h"
#include "sim/GatewayDevice.h"
#include "ui/CColourButton.h"
#include "ui/CPictureButton.h"

namespace kvl {
namespace {

constexpr int kUnit = 0xF1;

class GatewayWindowTest : public test::AxisWindowFixture {
protected:
    CKVL_GWX_SETTING *OpenGateway()
    {
        // The unit is probed with a 30 ms timeout; on a loaded machine the simulator may answer
        // late, and Link Start is pressed again as a user would.
        for (int attempt = 0; attempt < 3 && !Link().Model().GatewayPresent(); ++attempt)
            Link().PressLinkStart();
        if (!Link().GatewayButton()->isVisible())
            return nullptr;
        QTest::mouseClick(Link().GatewayButton(), Qt::LeftButton);
        return m_app->Windows().Find<CKVL_GWX_SETTING>(CWindowRegistry::Kind::kGateway, CWindowRegistry::kNoAxis);
    }
    template <typename Fn>
    auto WithUnit(Fn fn)
    {
        return Bus().WithBus([&fn](sim::SimBus &bus) { return fn(*bus.Gateway()); });
    }
    // Chooses `position` in `list` as a user does.
    static void Choose(QComboBox *list, int position)
    {
        list->setCurrentIndex(position);
        Q_EMIT list->activated(position);
    }
    // Closes the next message and keeps its text in m_said.
    void AnswerMessage()
    {
        auto said = std::make_shared<QString>();
        test::AnswerNextModal([said](QWidget *modal) {
            if (auto *message = qobject_cast<CMsgDlg *>(modal))
                *said = message->Text();
            modal->close();
        });
        m_said = said;
    }
    std::shared_ptr<QString> m_said;
};

TEST_F(GatewayWindowTest, OpensOnlineWithWhatTheUnitHolds)
{
    CKVL_GWX_SETTING *window = OpenGateway();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->Tabs()->count(), 4);
    EXPECT_EQ(window->Tabs()->currentIndex(), CKVL_GWX_SETTING::kTabSetting);
    EXPECT_EQ(window->VersionBox()->text().toStdString(), Link().Model().GatewayVersion());
    EXPECT_TRUE(window->ReadButton()->isEnabled());
    EXPECT_TRUE(window->WriteButton()->isEnabled());
    const auto list = WithUnit([](sim::GatewayDevice &unit) { return unit.DeviceList(); });
    for (int station = 0; station < 16; ++station) {
        const int position = CGatewayRules::PositionOf(CGatewayRules::DeviceCodes(), list[static_cast<size_t>(station)]);
        EXPECT_EQ(window->SettingPage()->DeviceList(station)->currentIndex(), position) << station;
    }
    EXPECT_EQ(window->SaturationText()->text().toStdString(), window->Model().SaturationText());
    EXPECT_EQ(window->ParameterPage()->IntervalEdit()->text().toInt(),
              WithUnit([](sim::GatewayDevice &unit) { return unit.Parameters().Get(2); }));
}

TEST_F(GatewayWindowTest, SaturationFollowsTheListsAndAboveFullNothingIsWritten)
{
    CKVL_GWX_SETTING *window = OpenGateway();
    ASSERT_NE(window, nullptr);
    window->Model().Config().fieldbusType = 2;   // DeviceNet: 120 points
    CKVL_GWX_NETSET *page = window->SettingPage();
    for (int station = 0; station < 16; ++station) {
        Choose(page->DeviceList(station), 3);
        Choose(page->InputModeList(station), 2);   // Half: 8 points each, 128 of 120
    }
    EXPECT_EQ(window->SaturationText()->text(), QStringLiteral("100%"));
    EXPECT_EQ(window->SaturationBar()->value(), 100);
    EXPECT_EQ(window->Model().Saturation(), 107);
    Bus().ClearCommandsReceived();
    AnswerMessage();
    window->PressWrite();
    EXPECT_TRUE(m_said->contains(QStringLiteral("100%"))) << m_said->toStdString();
    EXPECT_EQ(Count(kUnit, cmd::kCmdWriteUnitDeviceTables), 0);
    EXPECT_EQ(Count(kUnit, cmd::kCmdWriteParameter), 0);
    // One station back to I/O: 121 points, still refused; two: 114, 95 %, written.
    Choose(page->InputModeList(15), 0);
    Choose(page->InputModeList(14), 0);
    EXPECT_EQ(window->SaturationText()->text(), QStringLiteral("95%"));
    AnswerMessage();
    window->PressWrite();
    EXPECT_TRUE(m_said->contains(QStringLiteral("Writing finished."))) << m_said->toStdString();
    const auto modes = WithUnit([](sim::GatewayDevice &unit) { return unit.InputModes(); });
    EXPECT_EQ(modes[15], 0);
    EXPECT_EQ(modes[0], 2);
}

TEST_F(GatewayWindowTest, ASettingTheUnitDidNotTakeIsNamedInsteadOfFinished)
{
    CKVL_GWX_SETTING *window = OpenGateway();
    ASSERT_NE(window, nullptr);
    WithUnit([](sim::GatewayDevice &unit) { return unit.RefuseWrite(6), 0; });
    QLineEdit *retries = window->ParameterPage()->ResetTimesEdit();
    retries->setText(QStringLiteral("7"));
    Q_EMIT retries->textEdited(retries->text());
    AnswerMessage();
    window->PressWrite();
    EXPECT_FALSE(m_said->contains(QStringLiteral("Writing finished."))) << m_said->toStdString();
    EXPECT_TRUE(m_said->contains(QStringLiteral("Retries"))) << m_said->toStdString();
    EXPECT_TRUE(m_said->contains(QStringLiteral("did not take"))) << m_said->toStdString();
}

TEST_F(GatewayWindowTest, TheSettingsFileRoundTripsAndAnotherFileIsRefused)
{
    CKVL_GWX_SETTING *window = OpenGateway();
    ASSERT_NE(window, nullptr);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("unit.dat"));
    Choose(window->SettingPage()->DeviceList(4), 5);
    ASSERT_TRUE(window->SaveFile(path));
    const CGatewayConfig saved = window->Model().Config();
    Choose(window->SettingPage()->DeviceList(4), 0);
    ASSERT_TRUE(window->OpenFile(path));
    EXPECT_EQ(window->Model().Config(), saved);
    EXPECT_EQ(window->SettingPage()->DeviceList(4)->currentIndex(), 5);
    const QString other = dir.filePath(QStringLiteral("other.dat"));
    std::ofstream(other.toStdString()) << "2026/12/10\r\nMDC   1.00\r\n";
    AnswerMessage();
    EXPECT_FALSE(window->OpenFile(other));
    EXPECT_EQ(*m_said, QStringLiteral("The file is for another model."));
    AnswerMessage();
    EXPECT_FALSE(window->SaveFile(dir.filePath(QStringLiteral("no/such/folder/unit.dat"))));
    EXPECT_EQ(*m_said, QStringLiteral("The file %1 could not be saved: its folder does not exist. A file that was "
                                      "there before is unchanged.")
                           .arg(dir.filePath(QStringLiteral("no/such/folder/unit.dat"))));
    EXPECT_EQ(window->MakePrintJob()->Lines().value(1).left(3), QStringLiteral("GWX"));
    // A name chosen without an extension gets ".dat"; another extension stays.
    ASSERT_TRUE(window->SaveFile(dir.filePath(QStringLiteral("plain"))));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("plain.dat"))));
    ASSERT_TRUE(window->SaveFile(dir.filePath(QStringLiteral("unit.txt"))));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("unit.txt"))));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("unit.txt.dat"))));
}

TEST_F(GatewayWindowTest, SixClicksOnTheCommentLabelShowTheVersion)
{
    CKVL_GWX_SETTING *window = OpenGateway();
    ASSERT_NE(window, nullptr);
    window->Tabs()->setCurrentIndex(CKVL_GWX_SETTING::kTabParameters);
    QString shown;
    test::AnswerNextModal([&shown](QWidget *modal) {
        if (auto *box = qobject_cast<QMessageBox *>(modal))
            shown = box->windowTitle() + QLatin1Char('|') + box->text();
        modal->close();
    });
    for (int click = 0; click < 6; ++click)
        QTest::mouseClick(window->ParameterPage()->CommentLabel(), Qt::LeftButton);
    EXPECT_EQ(shown.toStdString(), "GWX version|" + Link().Model().GatewayVersion());
}

TEST_F(GatewayWindowTest, TheClickCountRunsOverEveryWindowOfTheRun)
{
    int shown = 0;
    {
        CKVL_GWX_SETTING first(*m_app, true, std::string());
        for (int click = 0; click < 4; ++click)
            QTest::mouseClick(first.ParameterPage()->CommentLabel(), Qt::LeftButton);
    }
    CKVL_GWX_SETTING second(*m_app, true, std::string());
    test::AnswerNextModal([&shown](QWidget *modal) {
        shown += qobject_cast<QMessageBox *>(modal) != nullptr;
        modal->close();
    });
    QTest::mouseClick(second.ParameterPage()->CommentLabel(), Qt::LeftButton);
    EXPECT_EQ(shown, 0);
    QTest::mouseClick(second.ParameterPage()->CommentLabel(), Qt::LeftButton);
    EXPECT_EQ(shown, 1) << "four clicks in the first window and two in the second";
}

TEST_F(GatewayWindowTest, ADoubleClickOnAStationOpensTheColoursAndOkWritesThem)
{
    CKVL_GWX_SETTING window(*m_app, true, std::string());
    window.show();
    CKVL_GWX_NETSET *page = window.SettingPage();
    constexpr int kAny = 7;
    constexpr int kAnyColour = 4;
    Choose(page->DeviceList(3), kAny);
    CGatewayColourStore shipped;
    ASSERT_TRUE(shipped.Open(m_app->Settings().SystemFolder()));
    const CGatewayColourStore::Colours defaults = shipped.Read(CGatewayColourStore::kDefault);
    const QColor before = page->DeviceList(3)->palette().color(QPalette::Button);
    EXPECT_EQ(CKVL_GWX_COLOR_SETTING::ValueOf(before), defaults[kAnyColour]);

    // Cancel: a colour chosen in the window is not kept.
    test::AnswerNextModal([](QWidget *modal) {
        auto *colours = qobject_cast<CKVL_GWX_COLOR_SETTING *>(modal);
        ASSERT_NE(colours, nullptr);
        colours->ColourButton(kAnyColour)->SetColour(Qt::red);
        QTest::mouseClick(colours->CancelButton(), Qt::LeftButton);
    });
    QTest::mouseDClick(page->StationLabel(3), Qt::LeftButton);
    EXPECT_EQ(page->DeviceList(3)->palette().color(QPalette::Button), before);

    // OK: the window shows the colours in use, DEFAULT brings back the factory ones, OK writes.
    QColor shownAtOpening;
    QColor afterDefault;
    test::AnswerNextModal([&](QWidget *modal) {
        auto *colours = qobject_cast<CKVL_GWX_COLOR_SETTING *>(modal);
        ASSERT_NE(colours, nullptr);
        shownAtOpening = colours->ColourButton(kAnyColour)->Colour();
        EXPECT_EQ(colours->grab().toImage().pixelColor(2, 2), QColor(128, 128, 128)) << "the window is grey";
        colours->ColourButton(kAnyColour)->SetColour(Qt::blue);
        QTest::mouseClick(colours->DefaultButton(), Qt::LeftButton);
        afterDefault = colours->ColourButton(kAnyColour)->Colour();
        colours->ColourButton(kAnyColour)->SetColour(Qt::red);
        QTest::mouseClick(colours->OkButton(), Qt::LeftButton);
    });
    QTest::mouseDClick(page->StationLabel(9), Qt::LeftButton);
    EXPECT_EQ(shownAtOpening, before);
    EXPECT_EQ(CKVL_GWX_COLOR_SETTING::ValueOf(afterDefault), defaults[kAnyColour]);
    EXPECT_EQ(page->DeviceList(3)->palette().color(QPalette::Button), QColor(Qt::red));
    CGatewayColourStore reread;
    ASSERT_TRUE(reread.Open(m_app->Settings().SystemFolder()));
    EXPECT_EQ(reread.Read(CGatewayColourStore::kCurrent)[kAnyColour], 255u) << "pure red is 255";
    EXPECT_EQ(reread.Read(CGatewayColourStore::kDefault), defaults);
}

TEST_F(GatewayWindowTest, OfflineShowsADashAndTheUnitButtonsAreDisabled)
{
    CKVL_GWX_SETTING window(*m_app, true, "9.99");
    EXPECT_EQ(window.VersionBox()->text(), QStringLiteral("-"));
    EXPECT_FALSE(window.ReadButton()->isEnabled());
    EXPECT_FALSE(window.WriteButton()->isEnabled());
    EXPECT_TRUE(window.SaveButton()->isEnabled());
    EXPECT_TRUE(window.windowTitle().contains(QStringLiteral("offline"))) << window.windowTitle().toStdString();
}

TEST_F(GatewayWindowTest, AnEtherNetIpAddressOfAll255RefusesTheWholeWrite)
{
    WithUnit([](sim::GatewayDevice &unit) { return unit.Parameters().Set(1, 5), 0; });
    CKVL_GWX_SETTING *window = OpenGateway();
    ASSERT_NE(window, nullptr);
    KVL_GWX_External_Network_Param *page = window->NetworkPage();
    window->Tabs()->setCurrentIndex(CKVL_GWX_SETTING::kTabNetwork);
    EXPECT_EQ(page->TypeBox()->text(), QStringLiteral("EtherNet/IP"));
    EXPECT_TRUE(page->AddressEdit(1)->isVisible());
    EXPECT_FALSE(page->CcLinkSpeedList()->isVisible());
    QLineEdit *mask = page->AddressEdit(1);
    mask->setText(QStringLiteral("255.255.255.255"));
    Q_EMIT mask->textEdited(mask->text());
    window->ParameterPage()->IntervalEdit()->setText(QStringLiteral("777"));
    Q_EMIT window->ParameterPage()->IntervalEdit()->textEdited(QStringLiteral("777"));
    Bus().ClearCommandsReceived();
    AnswerMessage();
    window->PressWrite();
    EXPECT_TRUE(m_said->contains(QStringLiteral("invalid"))) << m_said->toStdString();
    EXPECT_EQ(Count(kUnit, cmd::kCmdWriteParameter), 0);
    EXPECT_EQ(Count(kUnit, cmd::kCmdWriteUnitDeviceTables), 0);
}

// What Write sends is what the window shows: an address still being typed refuses the write (the
// last complete one is not sent behind the user's back), and a code outside its list, shown as the
// nearest entry, is written as that entry.
TEST_F(GatewayWindowTest, WhatIsWrittenIsWhatTheWindowShows)
{
    WithUnit([](sim::GatewayDevice &unit) {
        unit.Parameters().Set(1, 5);    // EtherNet/IP
        unit.Parameters().Set(3, 7);    // speed to the PC: no such code
        unit.Parameters().Set(4, 0);    // speed to the controllers: no such code
        unit.Parameters().Set(19, 9);   // communication forbidding: no such code
        return 0;
    });
    CKVL_GWX_SETTING *window = OpenGateway();
    ASSERT_NE(window, nullptr);
    CKVL_GWX_PARAM *params = window->ParameterPage();
    EXPECT_EQ(params->SpeedToPcList()->currentText(), QStringLiteral("115200"));
    EXPECT_EQ(params->SpeedToDriversList()->currentText(), QStringLiteral("38400"));
    EXPECT_EQ(params->ForbiddingList()->currentIndex(), 1);

    window->Tabs()->setCurrentIndex(CKVL_GWX_SETTING::kTabNetwork);
    QLineEdit *ip = window->NetworkPage()->AddressEdit(0);
    const int ipBefore = WithUnit([](sim::GatewayDevice &unit) { return unit.Parameters().Get(11); });
    ip->setFocus();
    ip->selectAll();
    QTest::keyClicks(ip, QStringLiteral("10.0."));
    ASSERT_EQ(ip->text(), QStringLiteral("10.0."));
    // Every message of a write (the refusal, the end, a refused value) is closed and kept.
    QStringList said;
    QTimer closer;
    closer.setInterval(10);
    QObject::connect(&closer, &QTimer::timeout, [&said] {
        if (auto *message = qobject_cast<CMsgDlg *>(QApplication::activeModalWidget())) {
            said << message->Text();
            message->close();
        }
    });
    closer.start();
    Bus().ClearCommandsReceived();
    QTest::mouseClick(window->WriteButton(), Qt::LeftButton);
    ASSERT_FALSE(said.isEmpty());
    EXPECT_TRUE(said.front().contains(QStringLiteral("invalid"))) << said.join('|').toStdString();
    EXPECT_EQ(Count(kUnit, cmd::kCmdWriteParameter), 0) << "nothing is written while an address is partial";
    EXPECT_EQ(WithUnit([](sim::GatewayDevice &unit) { return unit.Parameters().Get(11); }), ipBefore);

    QTest::keyClicks(ip, QStringLiteral("0.7"));
    said.clear();
    QTest::mouseClick(window->WriteButton(), Qt::LeftButton);
    EXPECT_FALSE(said.join('|').contains(QStringLiteral("invalid"))) << said.join('|').toStdString();
    // The address travels last octet first: 10.0.0.7 is the value 0x0A000007.
    EXPECT_EQ(WithUnit([](sim::GatewayDevice &unit) { return unit.Parameters().Get(11); }), 0x0A000007);
    EXPECT_EQ(WithUnit([](sim::GatewayDevice &unit) { return unit.Parameters().Get(3); }), 3);
    EXPECT_EQ(WithUnit([](sim::GatewayDevice &unit) { return unit.Parameters().Get(4); }), 1);
    EXPECT_EQ(WithUnit([](sim::GatewayDevice &unit) { return unit.Parameters().Get(19); }), 1);
}

// Typed values the unit cannot take never turn into others on the wire: ten digits past the
// unit's range are limited to its largest interval (they were read as 0), an octet over 255 is not
// kept and refuses the write while the field shows it.
TEST_F(GatewayWindowTest, TypedValuesOutsideWhatTheUnitTakesAreLimitedOrNotKept)
{
    WithUnit([](sim::GatewayDevice &unit) { return unit.Parameters().Set(1, 5), 0; });
    CKVL_GWX_SETTING *window = OpenGateway();
    ASSERT_NE(window, nullptr);
    struct Case {
        QLineEdit *edit;
        QString typed;
        QString kept;
    } const cases[] = {
        {window->ParameterPage()->IntervalEdit(), QStringLiteral("9999999999"), QStringLiteral("2147483647")},
        {window->ParameterPage()->BroadcastEdit(), QStringLiteral("2147483648"), QStringLiteral("2147483647")},
        {window->ParameterPage()->ResetTimesEdit(), QStringLiteral("0042"), QStringLiteral("42")},
    };
    for (const Case &c : cases) {
        c.edit->setFocus();
        c.edit->setText(c.typed);
        Q_EMIT c.edit->textEdited(c.typed);
        Q_EMIT c.edit->editingFinished();
        EXPECT_EQ(c.edit->text(), c.kept) << c.typed.toStdString();
    }
    window->Tabs()->setCurrentIndex(CKVL_GWX_SETTING::kTabNetwork);
    QLineEdit *address = window->NetworkPage()->AddressEdit(0);
    const QString before = address->text();
    address->setText(QStringLiteral("999.5.1.0"));
    Q_EMIT address->textEdited(address->text());
    // The field shows an address the unit cannot take: nothing is written.
    Bus().ClearCommandsReceived();
    AnswerMessage();
    window->PressWrite();
    EXPECT_TRUE(m_said->contains(QStringLiteral("invalid"))) << m_said->toStdString();
    EXPECT_EQ(Count(kUnit, cmd::kCmdWriteParameter), 0);
    address->setText(before);
    Q_EMIT address->textEdited(address->text());

    AnswerMessage();
    window->PressWrite();
    const auto written = [this](int number) {
        return WithUnit([number](sim::GatewayDevice &unit) { return unit.Parameters().Get(number); });
    };
    EXPECT_EQ(written(2), 2147483647);
    EXPECT_EQ(written(5), 2147483647);
    EXPECT_EQ(written(6), 42);
    std::vector<uint8_t> octets;
    for (const auto &request : Bus().WritesReceived())
        if (request.address == kUnit && request.command == cmd::kCmdWriteParameter && request.payload.size() >= 6 &&
            request.payload[0] == 11)
            octets.assign(request.payload.begin() + 2, request.payload.begin() + 6);
    ASSERT_EQ(octets.size(), 4U);
    EXPECT_NE(octets[3], 999 & 0xFF) << "the first octet went out masked";
    EXPECT_EQ(QStringLiteral("%1.%2.%3.%4").arg(octets[3]).arg(octets[2]).arg(octets[1]).arg(octets[0]), before);
}

TEST_F(GatewayWindowTest, OfflineTheFieldbusIsChosenAndItsCapacityFollows)
{
    CKVL_GWX_SETTING window(*m_app, true, std::string());
    window.show();
    window.Tabs()->setCurrentIndex(CKVL_GWX_SETTING::kTabNetwork);
    KVL_GWX_External_Network_Param *page = window.NetworkPage();
    EXPECT_TRUE(page->TypeList()->isVisible());
    EXPECT_FALSE(page->TypeBox()->isVisible());
    // Offline CC-Link V1.10 holds "4,1" (16 points) and locks the list.
    EXPECT_EQ(page->OccupationList()->currentText(), QStringLiteral("4,1"));
    EXPECT_FALSE(page->OccupationList()->isEnabled());
    Choose(window.SettingPage()->DeviceList(0), 3);
    Choose(window.SettingPage()->InputModeList(0), 3);   // Full: 14 of 16 points
    EXPECT_EQ(window.SaturationText()->text(), QStringLiteral("88%"));
    Choose(page->TypeList(), 1);                         // DeviceNet: 120 points
    EXPECT_EQ(window.SaturationText()->text(), QStringLiteral("12%"));
    EXPECT_TRUE(page->DeviceNetSpeedList()->isVisible());
    EXPECT_FALSE(page->VersionList()->isVisible());
    // Back on CC-Link, V2.00 frees the list; V1.10 asks and, with OK, fixes "4,1" again.
    Choose(page->TypeList(), 0);
    Choose(page->VersionList(), 1);
    EXPECT_TRUE(page->OccupationList()->isEnabled());
    Choose(page->OccupationList(), 2);                   // "2,8": 64 points
    EXPECT_EQ(window.SaturationText()->text(), QStringLiteral("22%"));
    test::AnswerNextModal([](QWidget *modal) { modal->findChild<QPushButton *>(QStringLiteral("cancelButton"))->click(); });
    Choose(page->VersionList(), 0);
    EXPECT_EQ(page->VersionList()->currentIndex(), 1) << "Cancel keeps V2.00";
    test::AnswerNextModal([](QWidget *modal) { modal->findChild<QPushButton *>(QStringLiteral("okButton"))->click(); });
    Choose(page->VersionList(), 0);
    EXPECT_EQ(page->OccupationList()->currentText(), QStringLiteral("4,1"));
    EXPECT_FALSE(page->OccupationList()->isEnabled());
    EXPECT_EQ(window.SaturationText()->text(), QStringLiteral("88%"));
}

TEST_F(GatewayWindowTest, AlarmHistoryGetResetAndClear)
{
    WithUnit([](sim::GatewayDevice &unit) {
        unit.Alarms().Record(1);
        unit.Alarms().Record(3);
        return 0;
    });
    CKVL_GWX_SETTING *window = OpenGateway();
    ASSERT_NE(window, nullptr);
    CKVL_GWX_ALARMLIST *page = window->AlarmPage();
    window->Tabs()->setCurrentIndex(CKVL_GWX_SETTING::kTabAlarms);
    QStringList shown;
    for (int row = 0; row < page->List()->count(); ++row)
        shown << page->List()->item(row)->text();
    EXPECT_TRUE(shown.contains(QStringLiteral("E1 Fieldbus communication error"))) << shown.join('|').toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("E3 Controller not answering"))) << shown.join('|').toStdString();
    // A unit that does not answer the reset: said.
    Bus().SetSilent(kUnit, true);
    AnswerMessage();
    page->PressReset();
    Bus().SetSilent(kUnit, false);
    EXPECT_EQ(*m_said, QStringLiteral("The alarm reset failed."));
    // Clear asks; Cancel keeps the history, OK clears it.
    test::AnswerNextModal([](QWidget *modal) { modal->findChild<QPushButton *>(QStringLiteral("cancelButton"))->click(); });
    page->PressClear();
    EXPECT_GT(page->List()->count(), 0);
    test::AnswerNextModal([](QWidget *modal) { modal->findChild<QPushButton *>(QStringLiteral("okButton"))->click(); });
    page->PressClear();
    EXPECT_EQ(page->List()->count(), 0);
    page->PressGet();
    EXPECT_EQ(page->List()->count(), 0) << "the unit's history is empty now";
}

TEST_F(GatewayWindowTest, AFirstHistoryOfZerosShowsNothingAndAClearedListStaysEmpty)
{
    // The unit's first history: fifty 0 bytes, the page's own start value.
    WithUnit([](sim::GatewayDevice &unit) {
        for (size_t slot = 0; slot < cmd::kAlarmHistoryLen; ++slot)
            unit.Alarms().Record(0);
        return 0;
    });
    CKVL_GWX_SETTING *window = OpenGateway();
    ASSERT_NE(window, nullptr);
    CKVL_GWX_ALARMLIST *page = window->AlarmPage();
    window->Tabs()->setCurrentIndex(CKVL_GWX_SETTING::kTabAlarms);
    EXPECT_EQ(page->List()->count(), 0);
    page->PressGet();
    EXPECT_EQ(page->List()->count(), 0);

    // Two alarms read, then cleared: neither a language switch nor showing the page again brings
    // them back, and the same history read again changes nothing.
    WithUnit([](sim::GatewayDevice &unit) {
        unit.Alarms().ClearHistory();
        unit.Alarms().Record(2);
        unit.Alarms().Record(4);
        return 0;
    });
    page->PressGet();
    EXPECT_EQ(page->List()->count(), 2);
    test::AnswerNextModal([](QWidget *modal) { modal->findChild<QPushButton *>(QStringLiteral("okButton"))->click(); });
    page->PressClear();
    ASSERT_EQ(page->List()->count(), 0);
    m_app->Settings().SwitchLanguage(CAppSettings::kLanguageJapanese);
    EXPECT_EQ(page->List()->count(), 0) << "after the switch to Japanese";
    m_app->Settings().SwitchLanguage(CAppSettings::kLanguageEnglish);
    EXPECT_EQ(page->List()->count(), 0) << "after the switch back";
    window->Tabs()->setCurrentIndex(0);
    window->Tabs()->setCurrentIndex(CKVL_GWX_SETTING::kTabAlarms);
    EXPECT_EQ(page->List()->count(), 0) << "after the page was shown again";
    // A new alarm changes the unit's history, which shows.
    WithUnit([](sim::GatewayDevice &unit) {
        unit.Alarms().Record(1);
        return 0;
    });
    page->PressGet();
    EXPECT_EQ(page->List()->count(), 1);
}

TEST_F(GatewayWindowTest, OfflineTheAlarmButtonsAreDisabled)
{
    CKVL_GWX_SETTING window(*m_app, true, std::string());
    EXPECT_FALSE(window.AlarmPage()->GetButton()->isEnabled());
    EXPECT_FALSE(window.AlarmPage()->ResetButton()->isEnabled());
    EXPECT_FALSE(window.AlarmPage()->ClearButton()->isEnabled());
    EXPECT_EQ(window.AlarmPage()->List()->count(), 0);
}

} // namespace
} // namespace kvl
