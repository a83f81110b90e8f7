#include "app/CBackupRestoreDlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

#include "app/CKVL_ControlApp.h"
#include "app/CRestoreDiffModel.h"
#include "backup/CBusDiff.h"
#include "common/CWindowTexts.h"
#include "config/CAppSettings.h"
#include "link/ResultCode.h"
#include "protocol/Frame.h"

namespace kvl {

namespace {

using backup::DeviceRestore;
using backup::Difference;
using backup::RestoreWrite;

constexpr int kMinTableWidth = 640;
constexpr int kMinTableHeight = 240;
constexpr int kResultLines = 6;

// Built-in captions, shown where the language file has no text.
constexpr char kTitle[] = "Restore";
constexpr char kIntro[] = "The bus differs from the backup. Untick a device to leave it as it is. Restore writes "
                          "the ticked devices.";
constexpr char kResultCaption[] = "Result";
constexpr char kRestoreCaption[] = "Restore";
constexpr char kCloseCaption[] = "Close";

} // namespace

CBackupRestoreDlg::CBackupRestoreDlg(CKVL_ControlApp &app, backup::CRestoreChoice choice, Runner runner,
                                     QWidget *parent)
    : QDialog(parent), m_app(app), m_runner(std::move(runner))
{
    setObjectName(QStringLiteral("restoreDialog"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_model = new CRestoreDiffModel(std::move(choice), this);
    m_intro = new QLabel(this);
    m_intro->setWordWrap(true);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("restoreDifferences"));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setMinimumSize(kMinTableWidth, kMinTableHeight);
    m_resultHead = new QLabel(this);
    m_result = new QPlainTextEdit(this);
    m_result->setObjectName(QStringLiteral("restoreResult"));
    m_result->setReadOnly(true);
    m_result->setMaximumHeight(m_result->fontMetrics().lineSpacing() * (kResultLines + 1));
    m_resultHead->hide();
    m_result->hide();

    auto *buttons = new QDialogButtonBox(this);
    m_restore = buttons->addButton(QString(), QDialogButtonBox::ActionRole);
    m_restore->setObjectName(QStringLiteral("restoreWrite"));
    m_close = buttons->addButton(QString(), QDialogButtonBox::RejectRole);
    connect(m_restore, &QPushButton::clicked, this, &CBackupRestoreDlg::PressRestore);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_model, &CRestoreDiffModel::tickedChanged, this, &CBackupRestoreDlg::RefreshButtons);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_intro);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_resultHead);
    layout->addWidget(m_result);
    layout->addWidget(buttons);

    ApplyTexts();
    m_table->resizeColumnsToContents();
    RefreshButtons();
    connect(&app, &CKVL_ControlApp::languageChanged, this, [this](int) { ApplyTexts(); });
}

QString CBackupRestoreDlg::Text(const char *key, const char *builtIn) const
{
    return CWindowTexts::Text(m_app.Settings().Texts(), key, kSection, QString::fromUtf8(builtIn));
}

void CBackupRestoreDlg::ApplyTexts()
{
    const CLanguageTexts &texts = m_app.Settings().Texts();
    CWindowTexts::Apply(texts,
                        {{this, kSection, kSection, kTitle},
                         {m_intro, "IDC_ST_RESTORE_INTRO", kSection, kIntro},
                         {m_resultHead, "IDC_ST_RESTORE_RESULT", kSection, kResultCaption},
                         {m_restore, "IDC_BUTTON_RESTORE", kSection, kRestoreCaption},
                         {m_close, "IDC_BUTTON_CLOSE", kSection, kCloseCaption}},
                        [this](const QString &title) { return m_app.DecorateTitle(title); });
    CWindowTexts::ApplyTooltips(texts, {{m_restore, kRestoreTooltip}});
    m_model->SetTexts({Text("IDS_COLUMN_DEVICE", "Device"), Text("IDS_COLUMN_ITEM", "Item"),
                       Text("IDS_COLUMN_BACKUP", "Backup value"), Text("IDS_COLUMN_BUS", "Bus value")},
                      [this](int address, const std::string &model) { return DeviceText(address, model); },
                      [this](Difference::Kind kind) { return RefusalText(kind); },
                      [this](const Difference &difference) { return ItemText(difference); },
                      Text("IDS_VALUE_EMPTY_STEP", backup::CBusDiff::kEmptyStep));
    if (m_report)
        m_result->setPlainText(BuildResult(*m_report));
}

QString CBackupRestoreDlg::DeviceText(int address, const std::string &model) const
{
    const QString name = address == frame::kGatewayAddress ? Text("IDS_DEVICE_GATEWAY", "Network unit")
                                                           : Text("IDS_DEVICE_AXIS", "Axis %1").arg(address);
    return model.empty() ? name : name + QStringLiteral(" (") + QString::fromStdString(model) + QLatin1Char(')');
}

QString CBackupRestoreDlg::ItemText(const Difference &difference) const
{
    switch (difference.kind) {
    case Difference::Kind::kParameter: {
        // The parameter's name (from the parameter file) follows its number in the compare's item.
        const std::string number = backup::CBusDiff::kParameterWord + std::to_string(difference.number);
        const std::string name = difference.item.rfind(number, 0) == 0 ? difference.item.substr(number.size()) : "";
        return Text("IDS_ITEM_PARAMETER", "parameter %1").arg(difference.number) + QString::fromStdString(name);
    }
    case Difference::Kind::kStep:
        return Text("IDS_ITEM_STEP", "step %1").arg(difference.number);
    case Difference::Kind::kName:
        return Text("IDS_ITEM_NAME", "name");
    case Difference::Kind::kOtherModel:
        return Text("IDS_ITEM_MODEL", "model");
    case Difference::Kind::kDeviceMissing:
    case Difference::Kind::kDeviceAdded:
        return difference.address == frame::kGatewayAddress ? Text("IDS_ITEM_GATEWAY", "gateway unit")
                                                            : Text("IDS_ITEM_CONTROLLER", "controller");
    case Difference::Kind::kGatewaySetting:
        break;
    }
    // A unit setting is already named in the current language.
    return QString::fromStdString(difference.item);
}

QString CBackupRestoreDlg::RefusalText(Difference::Kind kind) const
{
    switch (kind) {
    case Difference::Kind::kOtherModel:
        return Text("IDS_REFUSED_OTHER_MODEL", "refused, another model answers at this address");
    case Difference::Kind::kDeviceMissing:
        return Text("IDS_REFUSED_MISSING", "refused, not on the bus");
    case Difference::Kind::kDeviceAdded:
        return Text("IDS_REFUSED_ADDED", "not in the backup, left as it is");
    default:
        return {};
    }
}

void CBackupRestoreDlg::RefreshButtons()
{
    m_restore->setEnabled(!m_report && !m_model->Choice().TickedAddresses().empty());
}

void CBackupRestoreDlg::PressRestore()
{
    const std::vector<int> addresses = m_model->Choice().TickedAddresses();
    if (m_report || addresses.empty() || !m_runner)
        return;
    m_model->SetLocked(true);
    m_restore->setEnabled(false);
    m_report = m_runner(addresses);
    m_result->setPlainText(BuildResult(*m_report));
    m_resultHead->show();
    m_result->show();
    RefreshButtons();
    emit restored();
}

QString CBackupRestoreDlg::ResultText() const
{
    return m_report ? m_result->toPlainText() : QString();
}

QString CBackupRestoreDlg::DeviceResult(const DeviceRestore &device) const
{
    const QString who = DeviceText(device.address, device.model);
    // The values of a device that did not come back as written, one line each under it.
    const QString indent = QStringLiteral("\n    ");
    int good = 0;
    for (const RestoreWrite &write : device.writes)
        good += write.written && write.verified ? 1 : 0;
    switch (device.status) {
    case DeviceRestore::Status::kRestored:
        return Text("IDS_RESULT_RESTORED", "%1: restored, %2 values read back as written").arg(who).arg(good);
    case DeviceRestore::Status::kUnchanged:
        return Text("IDS_RESULT_UNCHANGED", "%1: nothing differed, nothing written").arg(who);
    case DeviceRestore::Status::kIncomplete: {
        QString text = Text("IDS_RESULT_INCOMPLETE", "%1: not restored completely, %2 values read back as written")
                           .arg(who)
                           .arg(good);
        for (const RestoreWrite &write : device.writes) {
            const QString item = QString::fromStdString(write.difference.item);
            const QString wanted = QString::fromStdString(write.difference.backupValue);
            if (!write.written) {
                const QString why = write.readBack.empty()
                                        ? QString::fromLatin1(kvl::ResultText(write.result)) +
                                              QStringLiteral(" (%1)").arg(write.result)
                                        : QString::fromStdString(write.readBack);
                text += indent + Text("IDS_RESULT_NOT_WRITTEN", "%1: %2 not written: %3")
                                                .arg(item, wanted, why);
            } else if (!write.verified) {
                text += indent + Text("IDS_RESULT_MISMATCH", "%1: wrote %2, reads back %3")
                                                .arg(item, wanted, QString::fromStdString(write.readBack));
            }
        }
        return text;
    }
    default: {
        QString why = QString::fromLatin1(backup::CBusRestore::StatusText(device.status));
        if (!device.failure.empty())
            why += QStringLiteral(" (") + QString::fromStdString(device.failure) + QLatin1Char(')');
        return Text("IDS_RESULT_REFUSED", "%1: nothing written: %2").arg(who, why);
    }
    }
}

QString CBackupRestoreDlg::BuildResult(const backup::RestoreReport &report) const
{
    QStringList lines;
    for (const DeviceRestore &device : report.devices)
        lines << DeviceResult(device);
    const backup::CRestoreChoice &choice = m_model->Choice();
    for (const int address : choice.UntickedAddresses())
        lines << Text("IDS_RESULT_LEFT_ALONE", "%1: not ticked, left as it is")
                     .arg(DeviceText(address, choice.FindDevice(address)->model));
    for (const backup::CRestoreChoice::Device &device : choice.Devices())
        if (!device.writable)
            lines << DeviceText(device.address, device.model) + QStringLiteral(": ") + RefusalText(device.refusal);
    return lines.join(QLatin1Char('\n'));
}

} // namespace kvl
