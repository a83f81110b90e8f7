#pragma once
// CKVL_VER2_AXIS_LINK_DIALOG: the axis link window, where the user connects to the bus. Link Start
// searches the bus (busy indicator with progress), sixteen axis buttons show what answered
// ("%X %s": address, model, name; model, version and name in the tooltip), a lamp and a text show
// the link status (after a search that found nothing, also what was tried and what to check),
// the busy indicator says what the search asks, and the network unit button appears while the
// gateway answers. It also opens
// the port settings window. The rules live in CAxisLinkModel; this class only shows them.
// Created once by the start window's Next (a modeless child of it, in the window registry) and
// kept for the whole run; user-interface thread only.
#include <QDialog>
#include <QPointer>

#include <array>
#include <memory>

#include "app/CAxisLinkModel.h"
#include "backup/BackupTypes.h"
#include "backup/CBusRestore.h"
#include "params/CKVL_VER2_ParameterListDlg.h"
#include "waveform/CRogDlg.h"

class QGroupBox;
class QLabel;

namespace kvl {

class CBackupRestoreDlg;
class CKVL_ControlApp;
class CKVL_GWX_SETTING;
class CKVL_VER2_OFFLINE_EDIT_CHIOCE;
class CKVL_VER2_PortSetDlg;
class CLampWidget;
class CPictureButton;
namespace points {
class CKVL_VER2_ProgStepDlg;
}
namespace tuning {
class CKVL_VER2_AutoTuningDlgDlg;
}

class CKVL_VER2_AXIS_LINK_DIALOG : public QDialog {
    Q_OBJECT
public:
    static constexpr char kSection[] = "IDD_KVL_VER2_AXIS_LINK_STATUS_DIALOG";
    static constexpr int kHelpTooltip = 1;
    static constexpr int kPortSetTooltip = 9;
    static constexpr int kAxisTooltip = 10;
    static constexpr int kStatusTooltip = 11;
    static constexpr int kLinkStartTooltip = 13;
    static constexpr int kOfflineTooltip = 15;
    static constexpr int kBackupTooltip = 90;
    static constexpr int kRestoreTooltip = 91;

    CKVL_VER2_AXIS_LINK_DIALOG(CKVL_ControlApp &app, QWidget *parent = nullptr);
    ~CKVL_VER2_AXIS_LINK_DIALOG() override;

    // Captions and tooltips of the current language (also applied whenever the window shows).
    void ApplyTexts();

    void PressLinkStart();
    void PressAxis(int address);
    void PressPortSettings();
    // Network unit: the unit's settings window, online (when Link Start found the unit).
    void PressGateway();
    // Offline edit: the offline choice window (made on first use, then shown again).
    void PressOfflineEdit();
    void PressHelp();
    // Backup: asks for a folder, then PressBackupTo.
    void PressBackup();
    // Saves every device the link found into `folder`, with progress, then says what was written
    // or what failed.
    void PressBackupTo(const QString &folder);
    // Restore: asks for a backup folder, then PressRestoreFrom.
    void PressRestore();
    // Reads the backup in `folder` (a damaged one is refused with the reason) and the bus, with
    // progress; says so when nothing differs, otherwise opens the restore dialog over the
    // differences. Nothing is written before that dialog's Restore.
    void PressRestoreFrom(const QString &folder);

    CAxisLinkModel &Model() { return *m_model; }
    CPictureButton *AxisButton(int address) const;
    CPictureButton *LinkStartButton() const { return m_linkStart; }
    CPictureButton *PortSettingsButton() const { return m_portSet; }
    CPictureButton *OfflineButton() const { return m_offline; }
    CPictureButton *GatewayButton() const { return m_gateway; }
    CPictureButton *HelpButton() const { return m_help; }
    CPictureButton *BackupButton() const { return m_backup; }
    CPictureButton *RestoreButton() const { return m_restore; }
    // The restore dialog while it is open.
    CBackupRestoreDlg *RestoreWindow() const;
    QLabel *StatusLabel() const { return m_statusText; }
    // Why a search found nothing (hidden otherwise).
    QLabel *ReportLabel() const { return m_report; }
    CLampWidget *Lamp() const { return m_lamp; }
    // The axis window of `address` once it was opened.
    points::CKVL_VER2_ProgStepDlg *AxisWindow(int address) const;
    // The port settings window once it was opened.
    CKVL_VER2_PortSetDlg *PortSettingsWindow() const;
    // The offline windows while they exist: the choice, the axis window with its parameter list,
    // the network unit window.
    CKVL_VER2_OFFLINE_EDIT_CHIOCE *OfflineChoiceWindow() const;
    points::CKVL_VER2_ProgStepDlg *OfflineAxisWindow() const;
    params::CKVL_VER2_ParameterListDlg *OfflineParamList() const { return m_offlineParams; }
    CKVL_GWX_SETTING *OfflineGatewayWindow() const;
    // The tuning window of an axis window, made on first use (without the entry flow, which
    // Tuning start runs first), hidden.
    tuning::CKVL_VER2_AutoTuningDlgDlg *TuningWindow(points::CKVL_VER2_ProgStepDlg *window);

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void BuildLayout();
    QWidget *BuildAxisTable();
    QWidget *BuildActions();
    QWidget *BuildStatus();
    void RefreshView();
    void RefreshAxis(int address);
    void RefreshStatus();
    CAxisLinkModel::Hooks MakeHooks();
    // The open-axis hook: the axis window made (or kept) through the registry and presented.
    void OpenAxisWindow(int address);
    // Return, Monitor, Wave and the operation type of an axis window, made once with the window.
    void ConnectAxisWindow(points::CKVL_VER2_ProgStepDlg *window);
    // The parameter list of an axis window, made (hidden) through the registry the first time.
    params::CKVL_VER2_ParameterListDlg *ParamListWindow(points::CKVL_VER2_ProgStepDlg *window);
    // Tuning start of an axis window: the danger notice and the guide, then the axis' tuning window.
    void OpenTuning(points::CKVL_VER2_ProgStepDlg *window);
    // A parameter list over an axis window's parameters, gone with that window.
    params::CKVL_VER2_ParameterListDlg *MakeParamList(points::CKVL_VER2_ProgStepDlg *window);

    // --- offline editing (CKVL_VER2_AXIS_LINK_DIALOG_Offline.cpp)
    // A new offline axis window of `model` and operation type `type`, replacing the one before.
    void OpenOfflineAxisWindow(const QString &model, int type);
    // A new offline network unit window, replacing the one before.
    void OpenOfflineGateway();
    void ConnectOfflineAxisWindow(points::CKVL_VER2_ProgStepDlg *window);

    // --- whole-bus backup and restore (CKVL_VER2_AXIS_LINK_DIALOG_Backup.cpp)
    QString BackupText(const char *key, const char *builtIn) const;
    void Message(const QString &text);
    // Device n of N and the part under way, on the busy indicator.
    void ShowBackupProgress(const backup::Progress &progress);
    backup::RestoreReport RunRestore(const backup::BusImage &backup, const std::vector<int> &addresses);

    CKVL_ControlApp &m_app;
    std::unique_ptr<CAxisLinkModel> m_model;
    std::array<CPictureButton *, CAxisLinkModel::kAxisCount> m_axes{};
    QGroupBox *m_axisBox = nullptr;
    QGroupBox *m_statusBox = nullptr;
    CPictureButton *m_linkStart = nullptr;
    CPictureButton *m_portSet = nullptr;
    CPictureButton *m_offline = nullptr;
    CPictureButton *m_gateway = nullptr;
    CPictureButton *m_help = nullptr;
    CPictureButton *m_backup = nullptr;
    CPictureButton *m_restore = nullptr;
    QLabel *m_backupNote = nullptr;
    QLabel *m_restoreNote = nullptr;
    QPointer<CBackupRestoreDlg> m_restoreDlg;
    QLabel *m_linkStartNote = nullptr;
    QLabel *m_portSetNote = nullptr;
    QLabel *m_offlineNote = nullptr;
    QLabel *m_gatewayNote = nullptr;
    CLampWidget *m_lamp = nullptr;
    QLabel *m_statusText = nullptr;
    QLabel *m_report = nullptr;
    // The offline axis window's own parameter list and waveform window (no axis slot of theirs).
    QPointer<params::CKVL_VER2_ParameterListDlg> m_offlineParams;
    QPointer<CRogDlg> m_offlineWave;
};

} // namespace kvl
