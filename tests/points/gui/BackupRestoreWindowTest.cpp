// The axis link window's Backup and Restore on the demo bus: the bus backed up through the
// window into a scratch folder, then changed behind the tool's back; Restore lists exactly those
// changes, writes only the devices left ticked and says what it verified. A folder that matches
// the bus writes nothing; a damaged folder is refused with its reason.
#include "AxisWindowFixture.h"

#include <QAbstractItemModel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <set>
#include <tuple>

#include "app/CBackupRestoreDlg.h"
#include "app/CRestoreDiffModel.h"
#include "backup/BackupTypes.h"
#include "common/CMsgDlg.h"
#include "sim/AxisDevice.h"
#include "sim/PointTable.h"
#include "ui/CPictureButton.h"

namespace kvl::test {
namespace {

using backup::Difference;
using Item = std::tuple<int, Difference::Kind, int>;   // address, kind, number
constexpr int kJogSpeed = 16;
constexpr int kDemoMdaY = 4;
constexpr int kChangedWireStep = 1;

sim::StepRecord AbsStep(int wireStep, double positionMm)
{
    sim::StepRecord record;
    record.number = static_cast<int16_t>(wireStep);
    record.mode = 1;
    record.position = static_cast<int32_t>(positionMm * 10000);
    record.speed = 10000;
    record.acc = 30;
    record.dcc = 30;
    record.positionRange = 1000;
    record.repeat = 1;
    return record;
}

class BackupRestoreWindowTest : public AxisWindowFixture {
protected:
    void SetUp() override
    {
        AxisWindowFixture::SetUp();
        ASSERT_TRUE(m_dir.isValid());
    }
    QString Folder() const { return m_dir.path(); }

    // Backup through the window; returns the message it closed with.
    QString BackUp()
    {
        QString said;
        AnswerNextModal([&said](QWidget *modal) {
            if (auto *message = qobject_cast<CMsgDlg *>(modal))
                said = message->Text();
            modal->close();
        });
        m_link->PressBackupTo(Folder());
        return said;
    }
    // Restore through the window up to its message (nothing differs, a refused folder).
    QString RestoreExpectingMessage()
    {
        QString said;
        AnswerNextModal([&said](QWidget *modal) {
            if (auto *message = qobject_cast<CMsgDlg *>(modal))
                said = message->Text();
            modal->close();
        });
        m_link->PressRestoreFrom(Folder());
        return said;
    }
    int32_t Parameter(int axis, int number)
    {
        return WithAxis(axis, [number](sim::AxisDevice &device) { return device.Parameters().Get(number); });
    }
    void SetParameter(int axis, int number, int32_t value)
    {
        ASSERT_TRUE(WithAxis(axis, [&](sim::AxisDevice &device) { return device.Parameters().Set(number, value); }));
    }
    bool StepDefined(int axis, int wireStep)
    {
        return WithAxis(axis, [wireStep](sim::AxisDevice &device) { return device.Table().Step(wireStep).Defined(); });
    }
    int WritesTo(int address) const
    {
        int writes = 0;
        for (const auto &request : m_app->DemoBus()->WritesReceived())
            writes += request.address == address ? 1 : 0;
        return writes;
    }
    static std::set<Item> Items(const backup::CRestoreChoice &choice)
    {
        std::set<Item> items;
        for (const Difference &d : choice.Differences())
            items.insert({d.address, d.kind, d.number});
        return items;
    }

    QTemporaryDir m_dir;
};

TEST_F(BackupRestoreWindowTest, ButtonsShowTheirTextsAndFollowTheLink)
{
    EXPECT_EQ(m_link->BackupButton()->text(), QStringLiteral("Backup"));
    EXPECT_EQ(m_link->RestoreButton()->text(), QStringLiteral("Restore"));
    EXPECT_FALSE(m_link->BackupButton()->toolTip().isEmpty());
    EXPECT_FALSE(m_link->RestoreButton()->toolTip().isEmpty());
    EXPECT_TRUE(m_link->BackupButton()->isEnabled());
    EXPECT_TRUE(m_link->RestoreButton()->isEnabled());
    // The port settings changed: the link no longer holds, and neither button works on it.
    m_link->Model().ShowUnlinked();
    EXPECT_FALSE(m_link->BackupButton()->isEnabled());
    EXPECT_FALSE(m_link->RestoreButton()->isEnabled());
    // Link Start again (refused within 100 ms of the last run: pressed until it runs).
    EXPECT_TRUE(WaitFor([this] {
        m_link->PressLinkStart();
        return m_link->Model().GetStatus() == CAxisLinkModel::Status::kLinked;
    }));
    EXPECT_TRUE(m_link->BackupButton()->isEnabled());
    EXPECT_TRUE(m_link->RestoreButton()->isEnabled());
}

TEST_F(BackupRestoreWindowTest, RestoreListsTheChangesAndWritesOnlyTheTickedDevice)
{
    const QString said = BackUp();
    EXPECT_TRUE(said.startsWith(QStringLiteral("Backed up "))) << said.toStdString();
    ASSERT_TRUE(std::filesystem::exists(std::filesystem::path(Folder().toStdString()) / "manifest.txt"));

    const int32_t jogMdb = Parameter(kDemoMdb, kJogSpeed);
    const int32_t jogMdaY = Parameter(kDemoMdaY, kJogSpeed);
    SetParameter(kDemoMdb, kJogSpeed, jogMdb + 7);
    SetParameter(kDemoMdaY, kJogSpeed, jogMdaY + 3);
    ASSERT_FALSE(StepDefined(kDemoMdb, kChangedWireStep));
    Bus().WithBus([](sim::SimBus &bus) { bus.Axis(kDemoMdb)->Table().SetStep(kChangedWireStep, AbsStep(1, 12.5)); });
    Bus().ClearCommandsReceived();

    m_link->PressRestoreFrom(Folder());
    CBackupRestoreDlg *dialog = m_link->RestoreWindow();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    CRestoreDiffModel &model = dialog->Model();
    const std::set<Item> expected{{kDemoMdb, Difference::Kind::kParameter, kJogSpeed},
                                  {kDemoMdaY, Difference::Kind::kParameter, kJogSpeed},
                                  {kDemoMdb, Difference::Kind::kStep, kChangedWireStep - 1}};
    EXPECT_EQ(Items(model.Choice()), expected);
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.headerData(CRestoreDiffModel::kBusValue, Qt::Horizontal).toString(), QStringLiteral("Bus value"));
    // Each row as the table shows it: device, item, backup value, bus value; every device ticked.
    for (int row = 0; row < model.rowCount(); ++row) {
        const Difference &d = model.Choice().Differences()[static_cast<size_t>(row)];
        const QString device = model.index(row, CRestoreDiffModel::kDevice).data().toString();
        EXPECT_TRUE(device.startsWith(QStringLiteral("Axis %1 (").arg(d.address))) << device.toStdString();
        EXPECT_EQ(model.index(row, CRestoreDiffModel::kItem).data().toString().toStdString(), d.item);
        EXPECT_EQ(model.index(row, CRestoreDiffModel::kBackupValue).data().toString().toStdString(), d.backupValue);
        EXPECT_EQ(model.index(row, CRestoreDiffModel::kBusValue).data().toString().toStdString(), d.busValue);
        EXPECT_NE(d.backupValue, d.busValue) << d.item;
        EXPECT_EQ(model.index(row, CRestoreDiffModel::kDevice).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    }
    const int stepRow = [&] {
        for (int row = 0; row < model.rowCount(); ++row)
            if (model.Choice().Differences()[static_cast<size_t>(row)].kind == Difference::Kind::kStep)
                return row;
        return -1;
    }();
    ASSERT_GE(stepRow, 0);
    EXPECT_EQ(model.index(stepRow, CRestoreDiffModel::kBackupValue).data().toString(), QStringLiteral("(empty)"));
    EXPECT_EQ(Bus().WritesReceived().size(), 0u) << "the compare wrote to the bus";

    // Unticked as the table's box does it.
    const QModelIndex box = model.index(model.FirstRow(kDemoMdaY), CRestoreDiffModel::kDevice);
    ASSERT_TRUE(model.flags(box) & Qt::ItemIsUserCheckable);
    ASSERT_TRUE(model.setData(box, Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_EQ(model.Choice().TickedAddresses(), std::vector<int>{kDemoMdb});

    QTest::mouseClick(dialog->RestoreButton(), Qt::LeftButton);
    ASSERT_TRUE(dialog->Report().has_value());
    EXPECT_EQ(Parameter(kDemoMdb, kJogSpeed), jogMdb);
    EXPECT_FALSE(StepDefined(kDemoMdb, kChangedWireStep));
    EXPECT_GT(WritesTo(kDemoMdb), 0);
    EXPECT_EQ(Parameter(kDemoMdaY, kJogSpeed), jogMdaY + 3);
    EXPECT_EQ(WritesTo(kDemoMdaY), 0);

    const QString result = dialog->ResultText();
    EXPECT_TRUE(result.contains(QStringLiteral("Axis 1 (MDB): restored, 2 values read back as written")))
        << result.toStdString();
    EXPECT_TRUE(result.contains(QStringLiteral("Axis 4 (MDA-Y): not ticked, left as it is"))) << result.toStdString();
    // The restore ran once: the boxes and the button no longer act.
    EXPECT_FALSE(dialog->RestoreButton()->isEnabled());
    EXPECT_FALSE(model.SetTicked(kDemoMdaY, true));
}

TEST_F(BackupRestoreWindowTest, NothingDiffersSaysSoAndWritesNothing)
{
    BackUp();
    Bus().ClearCommandsReceived();
    const QString said = RestoreExpectingMessage();
    EXPECT_EQ(said, QStringLiteral("The bus holds what the backup holds. Nothing was written."));
    EXPECT_EQ(m_link->RestoreWindow(), nullptr);
    EXPECT_FALSE(Bus().RequestLog().empty());   // the bus was read for the compare
    EXPECT_EQ(Bus().WritesReceived().size(), 0u);
}

TEST_F(BackupRestoreWindowTest, DamagedFolderIsRefusedWithItsReason)
{
    BackUp();
    {
        std::ofstream changed(std::filesystem::path(Folder().toStdString()) / "axis01" / "parameters.txt",
                              std::ios::app);
        changed << "999 1  edited by hand\n";
    }
    Bus().ClearCommandsReceived();
    const QString said = RestoreExpectingMessage();
    EXPECT_TRUE(said.startsWith(QStringLiteral("The backup cannot be used: "))) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("axis01"))) << said.toStdString();
    EXPECT_EQ(m_link->RestoreWindow(), nullptr);
    EXPECT_EQ(Bus().WritesReceived().size(), 0u);
}

} // namespace
} // namespace kvl::test
