#pragma once
// CBackupRestoreDlg: the restore dialog of the axis link window. Lists what the bus holds
// otherwise than a backup (device, item, backup value, bus value) with one tick box per device,
// all ticked at first; a device the restore would refuse is listed without a box. Restore hands
// the ticked devices to the runner it was given (the axis link window's, over CBusRestore) and
// then shows the verification result: each device restored, each value that did not read back
// as written, the devices refused or left alone. Nothing is written before Restore is pressed.
// Made by the axis link window for one compare, window-modal over it, deleted on close;
// user-interface thread only.
#include <QDialog>

#include <functional>
#include <optional>
#include <vector>

#include "backup/CBusRestore.h"
#include "backup/CRestoreChoice.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableView;

namespace kvl {

class CKVL_ControlApp;
class CRestoreDiffModel;

class CBackupRestoreDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr char kSection[] = "IDD_KVL_BACKUP_RESTORE_DIALOG";
    static constexpr int kRestoreTooltip = 92;

    // Writes the devices of the addresses given and returns what became of them.
    using Runner = std::function<backup::RestoreReport(const std::vector<int> &addresses)>;

    CBackupRestoreDlg(CKVL_ControlApp &app, backup::CRestoreChoice choice, Runner runner, QWidget *parent = nullptr);

    void ApplyTexts();
    // Restore: the ticked devices are written, then the result shows. Nothing when none is ticked
    // or the restore already ran.
    void PressRestore();

    CRestoreDiffModel &Model() { return *m_model; }
    QTableView *Table() const { return m_table; }
    QPushButton *RestoreButton() const { return m_restore; }
    QPushButton *CloseButton() const { return m_close; }
    // The verification result as shown (empty before Restore).
    QString ResultText() const;
    // The restore's report once it ran.
    const std::optional<backup::RestoreReport> &Report() const { return m_report; }

signals:
    void restored();

private:
    QString DeviceText(int address, const std::string &model) const;
    QString RefusalText(backup::Difference::Kind kind) const;
    QString ItemText(const backup::Difference &difference) const;
    QString Text(const char *key, const char *builtIn) const;
    QString BuildResult(const backup::RestoreReport &report) const;
    QString DeviceResult(const backup::DeviceRestore &device) const;
    void RefreshButtons();

    CKVL_ControlApp &m_app;
    Runner m_runner;
    CRestoreDiffModel *m_model = nullptr;
    QLabel *m_intro = nullptr;
    QTableView *m_table = nullptr;
    QLabel *m_resultHead = nullptr;
    QPlainTextEdit *m_result = nullptr;
    QPushButton *m_restore = nullptr;
    QPushButton *m_close = nullptr;
    std::optional<backup::RestoreReport> m_report;
};

} // namespace kvl
