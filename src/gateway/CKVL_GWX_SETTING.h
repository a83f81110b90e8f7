#pragma once
// CKVL_GWX_SETTING: the network unit settings window. The unit's version and how much of the
// fieldbus capacity the stations use (bar and text), four pages on tabs (device assignment, unit
// parameters, external network parameters, alarm list), Read from unit and Write to unit, and the
// unit settings file (open, save, print). The rules and the exchanges live in
// CGatewayWindowModel; the pages edit its configuration. Offline the unit buttons are disabled
// and "-" stands for the version.
// Made through the window registry (one for the run); user-interface thread.
#include <QDialog>

#include <memory>

#include "common/CUnkeptEdits.h"
#include "gateway/CGatewayWindowModel.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;

namespace kvl {

class CKVL_GWX_ALARMLIST;
class CKVL_GWX_NETSET;
class CKVL_GWX_PARAM;
class CTextPrintJob;
class CWindowContext;
class KVL_GWX_External_Network_Param;

class CKVL_GWX_SETTING : public QDialog, public CUnkeptEdits::Holder {
    Q_OBJECT
public:
    static constexpr char kSection[] = "IDD_KVL_GWX_DLG";
    enum Tab { kTabSetting, kTabParameters, kTabNetwork, kTabAlarms };

    // `version`: the unit's version text as the axis link found it (ignored offline).
    CKVL_GWX_SETTING(CWindowContext &context, bool offline, const std::string &version, QWidget *parent = nullptr);
    ~CKVL_GWX_SETTING() override;

    void ApplyTexts();
    void RefreshView();

    // --- what the buttons do (tests press these or click the buttons)
    void PressRead();
    void PressWrite();
    // The file buttons ask for a file name; the ...File functions take it.
    // True when the settings were saved.
    bool PressSave();
    void PressOpen();
    void PressPrint();
    bool SaveFile(const QString &path);
    bool OpenFile(const QString &path);
    std::unique_ptr<CTextPrintJob> MakePrintJob() const;
    // The colour settings window, modal; on OK the lists take the new colours.
    void OpenColourSettings();

    CGatewayWindowModel &Model() { return *m_model; }
    // Settings edited on the pages that are neither saved nor written (asked about on closing
    // and when the program ends).
    QStringList UnkeptEdits() const override;
    bool SaveUnkeptEdits(const QString &what) override;
    void LetUnkeptEditsGo(const QString &what) override;

    // --- widgets, for tests and screenshots
    QTabWidget *Tabs() const { return m_tabs; }
    CKVL_GWX_NETSET *SettingPage() const { return m_netset; }
    CKVL_GWX_PARAM *ParameterPage() const { return m_param; }
    KVL_GWX_External_Network_Param *NetworkPage() const { return m_network; }
    CKVL_GWX_ALARMLIST *AlarmPage() const { return m_alarms; }
    QLineEdit *VersionBox() const { return m_version; }
    QProgressBar *SaturationBar() const { return m_bar; }
    QLabel *SaturationText() const { return m_saturation; }
    QPushButton *ReadButton() const { return m_read; }
    QPushButton *WriteButton() const { return m_write; }
    QPushButton *OpenButton() const { return m_open; }
    QPushButton *SaveButton() const { return m_save; }
    QPushButton *PrintButton() const { return m_print; }

    // Every way the window closes (the window manager, close()) ends here.
    void done(int result) override;

Q_SIGNALS:
    // An offline window closed: the axis link's offline edit may be used again.
    void offlineClosed();

protected:
    // Enter and Escape do nothing on the unit's pages: neither closes the window.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void BuildLayout();
    CGatewayWindowModel::Hooks MakeHooks();
    KVL_GWX_External_Network_Param *MakeNetworkPage();

    void ShowVersion();

    CWindowContext &m_context;
    std::unique_ptr<CGatewayWindowModel> m_model;
    QTabWidget *m_tabs = nullptr;
    CKVL_GWX_NETSET *m_netset = nullptr;
    CKVL_GWX_PARAM *m_param = nullptr;
    KVL_GWX_External_Network_Param *m_network = nullptr;
    CKVL_GWX_ALARMLIST *m_alarms = nullptr;
    QLabel *m_gwxLabel = nullptr;
    QLabel *m_versionLabel = nullptr;
    QLineEdit *m_version = nullptr;
    QLabel *m_saturationLabel = nullptr;
    QProgressBar *m_bar = nullptr;
    QLabel *m_saturation = nullptr;
    QGroupBox *m_unitGroup = nullptr;
    QGroupBox *m_fileGroup = nullptr;
    QPushButton *m_read = nullptr;
    QPushButton *m_write = nullptr;
    QPushButton *m_open = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_print = nullptr;
};

} // namespace kvl
