#pragma once
// CKVL_VER2_PortSetDlg: the port settings window. It lists the serial devices of this computer
// (with their descriptions, under the numbers the settings file stores) and takes a typed device
// path as well, offers the three bus speeds, and has Test (store and reopen), OK and Cancel
// (undo). The status line tells whether the port opened, and when the user lacks permission for
// the device, how to get it. The rules live in CPortSettingsModel. Created by the axis link window
// on first use (in the window registry), hidden by OK and Cancel and shown again by it;
// user-interface thread only.
#include <QDialog>

#include <memory>
#include <vector>

#include "app/CPortSettingsModel.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace kvl {

class CKVL_ControlApp;
class CPictureButton;

class CKVL_VER2_PortSetDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr char kSection[] = "IDD_KVL_VER2_PORT_SET_DIALIG";
    static constexpr int kHelpTooltip = 1;
    static constexpr int kStatusTooltip = 12;
    static constexpr int kPortTooltip = 14;
    static constexpr int kTestTooltip = 16;
    static constexpr int kSpeedTooltip = 17;

    CKVL_VER2_PortSetDlg(CKVL_ControlApp &app, QWidget *parent = nullptr);
    ~CKVL_VER2_PortSetDlg() override;

    // The serial devices this computer has now (path and description).
    static std::vector<CPortSettingsModel::Device> AvailableDevices();
    // Replaces the offered devices (the window fills them itself at opening).
    void SetDevices(const std::vector<CPortSettingsModel::Device> &devices);

    void ApplyTexts();
    void PressTest();

    CPortSettingsModel &Model() { return *m_model; }
    QComboBox *PortList() const { return m_ports; }
    QComboBox *SpeedList() const { return m_speeds; }
    QPushButton *TestButton() const { return m_test; }
    QPushButton *OkButton() const { return m_ok; }
    QPushButton *CancelButton() const { return m_cancel; }
    QLabel *StatusLabel() const { return m_status; }
    CPictureButton *HelpButton() const { return m_help; }

    void accept() override;
    void reject() override;

Q_SIGNALS:
    // OK kept another port or speed than at opening: the link no longer holds.
    void portChanged();

protected:
    void showEvent(QShowEvent *event) override;
    // A new layout (another text, another font) may need more height: the window grows to it.
    bool event(QEvent *event) override;

private:
    void BuildLayout();
    void FillPorts();
    void SelectStored();
    void ShowStatus();
    // Makes the shown window tall enough for the status text at its present width: a longer text
    // (another cause, another language) is never cut.
    void GrowToFit();

    CKVL_ControlApp &m_app;
    std::unique_ptr<CPortSettingsModel> m_model;
    QComboBox *m_ports = nullptr;
    QComboBox *m_speeds = nullptr;
    QPushButton *m_test = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    QLabel *m_status = nullptr;
    QLabel *m_portCaption = nullptr;
    QLabel *m_speedCaption = nullptr;
    QLabel *m_statusCaption = nullptr;
    QLabel *m_helpCaption = nullptr;
    CPictureButton *m_help = nullptr;
    bool m_shownOnce = false;
};

} // namespace kvl
