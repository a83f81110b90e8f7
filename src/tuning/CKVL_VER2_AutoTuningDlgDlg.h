#pragma once
// CKVL_VER2_AutoTuningDlgDlg: the auto-tuning window of one axis. The settings of the next run (the
// quality toggle with stroke, acceleration, load inertia ratio and direction, the step, the target
// settling time and the stiffness level), Start and Stop, the controller's two state machines and
// alarm state, the servo, and the results of the last ten runs. The rules and the exchanges live
// in CAutoTuningModel; this class owns the 500 ms poll timer and shows what the model says.
// While a tuning or estimation state runs the window cannot be closed; a run is stopped when the
// program quits and when the window is destroyed. While shown, the axis' parameter list is
// disabled (parameterListEnabled) and read again after a write (parametersWrittenOnClose).
// Made through the window registry by the axis window's opener (one per axis); user-interface
// thread.
#include <QDialog>

#include <array>
#include <memory>
#include <vector>

#include <QString>

#include "tuning/CAutoTuningModel.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QSlider;
class QTableView;
class QTimer;

namespace kvl {
class CCellEdit;
class CWindowContext;
} // namespace kvl

namespace kvl::tuning {

class CTuningResultTable;

class CKVL_VER2_AutoTuningDlgDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr char kSection[] = "IDD_KVL_VER2_TUNING_DIALIG";

    struct AxisInfo {
        int axis = 0;
        std::string model;
        int operationType = 0;
        bool offline = false;
    };

    CKVL_VER2_AutoTuningDlgDlg(CWindowContext &context, AxisInfo info, CAutoTuningModel::AxisLink axisLink,
                               QWidget *parent = nullptr);
    ~CKVL_VER2_AutoTuningDlgDlg() override;

    void ApplyTexts();
    void RefreshView();

    // --- what the controls do (tests press these or click the controls)
    void PressStart();
    void PressStop();
    void PressReset();
    void PressServoOn();
    void PressServoOff();
    void PressRead();
    void PressWrite();
    void PressClear();
    void PressCopy();
    void PressStiffnessLower();
    void PressStiffnessHigher();
    void SetQuality(bool on);
    // One poll tick, as the timer runs it.
    void PollNow();

    CAutoTuningModel &Model() { return *m_model; }
    bool Polling() const;

    // --- widgets, for tests and screenshots
    CCellEdit *FieldEdit(CTuningFields::Field field) const { return m_fields[static_cast<size_t>(field)]; }
    CCellEdit *StepEdit() const { return m_step; }
    QSlider *StiffnessSlider() const { return m_stiffness; }
    QCheckBox *QualityToggle() const { return m_quality; }
    QRadioButton *MotorSideButton() const { return m_motorSide; }
    QRadioButton *AntiMotorSideButton() const { return m_antiMotorSide; }
    QLabel *TuningStateLabel() const { return m_tuningState; }
    QLabel *QualityStateLabel() const { return m_qualityState; }
    QLabel *DriverStatusLabel() const { return m_driverStatus; }
    QGroupBox *QualityFrame() const { return m_qualityFrame; }
    QPushButton *StartButton() const { return m_start; }
    QPushButton *StopButton() const { return m_stop; }
    QPushButton *ReadButton() const { return m_read; }
    QPushButton *WriteButton() const { return m_write; }
    QPushButton *ServoOnButton() const { return m_servoOn; }
    QPushButton *ServoOffButton() const { return m_servoOff; }
    QPushButton *ResetButton() const { return m_reset; }
    QPushButton *ClearButton() const { return m_clear; }
    QPushButton *CopyButton() const { return m_copy; }
    QTableView *ResultView() const { return m_results; }
    QScrollBar *ResultScrollBar() const { return m_scroll; }
    CTuningResultTable *ResultTable() const { return m_table; }

Q_SIGNALS:
    // Shown: false; closed: true. The axis' parameter list follows.
    void parameterListEnabled(bool enabled);
    // Closed after parameters were written: the axis' parameter list reads them again.
    void parametersWrittenOnClose();
    // The servo was switched or read: the axis window shows it.
    void servoChanged();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Layout (CKVL_VER2_AutoTuningDlgDlgLayout.cpp).
    void BuildLayout();
    QWidget *BuildSettings();
    QWidget *BuildStatus();
    QWidget *BuildResults();
    void ConnectControls();

    CAutoTuningModel::Hooks MakeHooks();
    void RestartPoll();
    void StopPoll();
    void RefreshFields();
    void RefreshStates();
    void RefreshControls();
    void FieldEdited(CTuningFields::Field field);
    void FitHeadingColumns(const std::vector<QString> &rows, const QString &group);

    CWindowContext &m_context;
    std::unique_ptr<CAutoTuningModel> m_model;
    QTimer *m_timer = nullptr;

    std::array<CCellEdit *, CTuningFields::kFieldCount> m_fields{};
    std::array<QLabel *, CTuningFields::kFieldCount> m_fieldLabels{};
    CCellEdit *m_step = nullptr;
    QLabel *m_stepLabel = nullptr;
    QSlider *m_stiffness = nullptr;
    QLabel *m_stiffnessLabel = nullptr;
    QPushButton *m_lower = nullptr;
    QPushButton *m_higher = nullptr;
    QCheckBox *m_quality = nullptr;
    QRadioButton *m_motorSide = nullptr;
    QRadioButton *m_antiMotorSide = nullptr;
    QGroupBox *m_tuningGroup = nullptr;
    QGroupBox *m_qualityGroup = nullptr;
    QGroupBox *m_directionGroup = nullptr;
    QGroupBox *m_patternGroup = nullptr;
    QGroupBox *m_parameterGroup = nullptr;
    QGroupBox *m_statusGroup = nullptr;
    QGroupBox *m_qualityFrame = nullptr;
    QGroupBox *m_tuningFrame = nullptr;
    QGroupBox *m_servoGroup = nullptr;
    QGroupBox *m_resultGroup = nullptr;
    QLabel *m_driverStatus = nullptr;
    QLabel *m_qualityStateTitle = nullptr;
    QLabel *m_qualityState = nullptr;
    QLabel *m_tuningStateTitle = nullptr;
    QLabel *m_tuningState = nullptr;
    QPushButton *m_start = nullptr;
    QPushButton *m_stop = nullptr;
    QPushButton *m_read = nullptr;
    QPushButton *m_write = nullptr;
    QPushButton *m_servoOn = nullptr;
    QPushButton *m_servoOff = nullptr;
    QPushButton *m_reset = nullptr;
    QPushButton *m_clear = nullptr;
    QPushButton *m_copy = nullptr;
    QTableView *m_results = nullptr;
    QScrollBar *m_scroll = nullptr;
    CTuningResultTable *m_table = nullptr;
};

} // namespace kvl::tuning
