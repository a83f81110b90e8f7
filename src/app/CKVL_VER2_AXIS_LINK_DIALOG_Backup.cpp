// The axis link window's whole-bus backup and restore. Both work on what Link Start found (no
// new scan): Backup reads every device into a folder; Restore reads a backup folder and the bus,
// lists the differences in the restore dialog and writes only the devices ticked there. The
// reading and writing are CBusBackup's and CBusRestore's; this file asks for the folder, shows
// progress on the busy indicator and says the outcome in the current language.
#include "app/CKVL_VER2_AXIS_LINK_DIALOG.h"

#include <QCoreApplication>
#include <QDir>

#include <memory>

#include "app/CBackupRestoreDlg.h"
#include "app/CKVL_ControlApp.h"
#include "backup/CBackupFolder.h"
#include "backup/CBusBackup.h"
#include "backup/CBusDiff.h"
#include "backup/CRestoreChoice.h"
#include "common/CBusyIndicator.h"
#include "common/CFileChooser.h"
#include "common/CMsgDlg.h"
#include "common/CWindowTexts.h"
#include "config/CAppSettings.h"
#include "protocol/CServoCommands.h"
#include "protocol/Frame.h"

namespace kvl {

namespace {

// The parts the backup core names in its progress, and their language keys.
struct PartText {
    const char *part;
    const char *key;
    const char *builtIn;
};
constexpr PartText kParts[] = {
    {"identity", "IDS_BACKUP_PART_IDENTITY", "identity"},
    {"parameters", "IDS_BACKUP_PART_PARAMETERS", "parameters"},
    {"steps", "IDS_BACKUP_PART_STEPS", "steps"},
    {"gateway settings", "IDS_BACKUP_PART_GATEWAY", "unit settings"},
};

} // namespace

QString CKVL_VER2_AXIS_LINK_DIALOG::BackupText(const char *key, const char *builtIn) const
{
    return CWindowTexts::Text(m_app.Settings().Texts(), key, kSection, QString::fromUtf8(builtIn));
}

void CKVL_VER2_AXIS_LINK_DIALOG::Message(const QString &text)
{
    CMsgDlg::Show(this, CMsgDlg::DefaultTitle(), text);
}

void CKVL_VER2_AXIS_LINK_DIALOG::ShowBackupProgress(const backup::Progress &progress)
{
    QString part = QString::fromStdString(progress.part);
    for (const PartText &known : kParts)
        if (progress.part == known.part)
            part = BackupText(known.key, known.builtIn);
    const QString device = progress.address == frame::kGatewayAddress
                               ? BackupText("IDS_BACKUP_DEVICE_GATEWAY", "network unit")
                               : BackupText("IDS_BACKUP_DEVICE_AXIS", "axis %1").arg(progress.address);
    QString text = BackupText("IDS_BACKUP_PROGRESS", "Device %1 of %2 (%3): %4")
                       .arg(progress.device)
                       .arg(progress.devices)
                       .arg(device, part);
    if (progress.total > 0)
        text += QStringLiteral(" %1/%2").arg(progress.done).arg(progress.total);
    m_app.Busy().Activity(text);
}

void CKVL_VER2_AXIS_LINK_DIALOG::PressBackup()
{
    const QString folder = CFileChooser::AskFolder(
        this, BackupText("IDS_BACKUP_CHOOSE_FOLDER", "Folder for the backup"), QDir::homePath());
    if (!folder.isEmpty())
        PressBackupTo(folder);
}

void CKVL_VER2_AXIS_LINK_DIALOG::PressBackupTo(const QString &folder)
{
    const LinkResult link = m_model->CurrentLink();
    if (!link.found) {
        Message(BackupText("IDS_BACKUP_NOT_LINKED", "Search the bus with Link Start first."));
        return;
    }
    backup::CBusBackup::Options options;
    options.progress = [this](const backup::Progress &progress) { ShowBackupProgress(progress); };
    options.toolVersion = QCoreApplication::applicationVersion().toStdString();
    m_app.Busy().SetAnchor(this);
    // The folder dialog stands between two presses: no double click to guard against.
    m_app.Busy().Begin(false);
    const backup::CBusBackup::Report report =
        backup::CBusBackup(m_app.Commands(), m_app.Settings()).Save(link, folder.toStdString(), options);
    m_app.Busy().End(true);
    if (!report.failure.empty()) {
        CMsgDlg::ShowWarning(this, CMsgDlg::DefaultTitle(),
                             BackupText("IDS_BACKUP_FAILED", "The backup was not made: %1")
                                 .arg(QString::fromStdString(report.failure)));
        return;
    }
    Message(BackupText("IDS_BACKUP_DONE", "Backed up %1 devices (%2 parameters, %3 steps): %4 files in %5")
                .arg(report.devices)
                .arg(report.parameters)
                .arg(report.steps)
                .arg(report.files.size())
                .arg(QDir::toNativeSeparators(folder)));
}

CBackupRestoreDlg *CKVL_VER2_AXIS_LINK_DIALOG::RestoreWindow() const
{
    return m_restoreDlg;
}

void CKVL_VER2_AXIS_LINK_DIALOG::PressRestore()
{
    const QString folder = CFileChooser::AskFolder(
        this, BackupText("IDS_RESTORE_CHOOSE_FOLDER", "Backup folder to restore"), QDir::homePath());
    if (!folder.isEmpty())
        PressRestoreFrom(folder);
}

void CKVL_VER2_AXIS_LINK_DIALOG::PressRestoreFrom(const QString &folder)
{
    const LinkResult link = m_model->CurrentLink();
    if (!link.found) {
        Message(BackupText("IDS_BACKUP_NOT_LINKED", "Search the bus with Link Start first."));
        return;
    }
    auto saved = std::make_shared<backup::BusImage>();
    std::string error;
    if (!backup::CBackupFolder(m_app.Settings()).Load(folder.toStdString(), *saved, error)) {
        Message(BackupText("IDS_RESTORE_BAD_FOLDER", "The backup cannot be used: %1").arg(QString::fromStdString(error)));
        return;
    }
    backup::CBusBackup::Options options;
    options.progress = [this](const backup::Progress &progress) { ShowBackupProgress(progress); };
    backup::BusImage bus;
    m_app.Busy().SetAnchor(this);
    m_app.Busy().Begin(false);
    const backup::CBusBackup::Report read =
        backup::CBusBackup(m_app.Commands(), m_app.Settings()).ReadForCompare(link, *saved, bus, options);
    m_app.Busy().End(true);
    if (!read.failure.empty()) {
        Message(BackupText("IDS_RESTORE_READ_FAILED", "The bus could not be read for the compare: %1")
                    .arg(QString::fromStdString(read.failure)));
        return;
    }
    const CLanguageTexts &texts = m_app.Settings().Texts();
    backup::CRestoreChoice choice(backup::CBusDiff::Compare(
        *saved, bus, [&texts](const std::string &key, const std::string &section) { return texts.Text(key, section); }));
    if (choice.Empty()) {
        Message(BackupText("IDS_RESTORE_NOTHING_DIFFERS", "The bus holds what the backup holds. Nothing was written."));
        return;
    }
    delete m_restoreDlg;
    m_restoreDlg = new CBackupRestoreDlg(
        m_app, std::move(choice),
        [this, saved](const std::vector<int> &addresses) { return RunRestore(*saved, addresses); }, this);
    m_restoreDlg->open();
}

backup::RestoreReport CKVL_VER2_AXIS_LINK_DIALOG::RunRestore(const backup::BusImage &saved,
                                                            const std::vector<int> &addresses)
{
    QWidget *asker = m_restoreDlg ? static_cast<QWidget *>(m_restoreDlg) : this;
    const CLanguageTexts &texts = m_app.Settings().Texts();
    backup::CBusRestore::Options options;
    options.addresses = addresses;
    options.progress = [this](const backup::Progress &progress) { ShowBackupProgress(progress); };
    options.texts = [&texts](const std::string &key, const std::string &section) { return texts.Text(key, section); };
    options.confirmServoOff = [this, asker](int address) {
        m_app.Busy().End(false);
        const bool yes = CMsgDlg::Show(asker, CMsgDlg::DefaultTitle(),
                                       BackupText("IDS_RESTORE_SERVO_OFF", "Axis %1: the servo is on. Switch it off "
                                                                           "to write the backup?")
                                           .arg(address),
                                       true);
        m_app.Busy().Begin(false);
        return yes;
    };
    options.followPort = [this](int speed) {
        m_app.Commands().ClosePort();
        const bool open = m_app.Commands().OpenPort(m_app.PortNumber(), speed) == 1;
        m_app.Settings().SetSpeed(speed);
        return open;
    };
    m_app.Busy().SetAnchor(asker);
    m_app.Busy().Begin(false);
    backup::RestoreReport report =
        backup::CBusRestore(m_app.Commands(), m_app.Settings()).Run(saved, m_model->CurrentLink(), options);
    m_app.Busy().End(true);
    return report;
}

} // namespace kvl
