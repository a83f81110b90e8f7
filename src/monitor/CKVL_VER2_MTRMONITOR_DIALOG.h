#pragma once
// CKVL_VER2_MTRMONITOR_DIALOG: the motor monitor of one axis, a live view of its 16 inputs (lamp
// buttons that switch the input from the PC where the I/O mode allows it) and 16 outputs, the
// command and present positions, the load factor, the current alarm with Alarm reset, and the
// alarm history with Refresh and Clear. It polls every 20 ms while it is shown, its axis is the
// application's current axis and the polling switch is on; while the axis does not answer it
// says so and probes once a second. The rules live in CMonitorModel; this class only shows them.
// Created by the axis window through the window registry (one per axis), shown and hidden by it;
// F1 opens the help at its section. User-interface thread only.
#include <QDialog>

#include <array>
#include <memory>
#include <string>

#include "monitor/CMonitorModel.h"

class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTimer;

namespace kvl {

class CLampWidget;
class CPictureButton;
class CWindowContext;

class CKVL_VER2_MTRMONITOR_DIALOG : public QDialog {
    Q_OBJECT
public:
    static constexpr int kSignalCount = 16;
    // Tooltip numbers ("TOOLTIPS<n>").
    static constexpr int kGroupTooltip = 30;
    static constexpr int kLoadTooltip = 31;
    static constexpr int kClearTooltip = 32;
    static constexpr int kCommandTooltip = 50;
    static constexpr int kCurrentTooltip = 51;
    static constexpr int kResetTooltip = 65;
    static constexpr int kRefreshTooltip = 66;
    static constexpr int kAlarmTooltip = 67;

    // `model` is the axis' model text, `ioMode` its operation type 0 to 5 (the axis window's
    // OperationType(); CMonitorModel::IoModeOfChoice maps parameter 36's chosen index). Runs the
    // opening refresh; polling starts when the window is shown.
    CKVL_VER2_MTRMONITOR_DIALOG(CWindowContext &context, int axis, const std::string &model, int ioMode,
                                QWidget *parent = nullptr);
    ~CKVL_VER2_MTRMONITOR_DIALOG() override;

    // The operation type changed (parameter 36 written): switchable inputs and signal names.
    void SetIoMode(int ioMode);
    // Captions, signal names, units, tooltips and the history list in the current language.
    void ApplyTexts();

    void PressInput(int input);    // 0 to 15
    void PressAlarmReset();
    void PressRefreshHistory();
    void PressClearHistory();
    void PressHelp();

    CMonitorModel &Model() { return *m_model; }
    CPictureButton *InputButton(int input) const;    // 0 to 15
    CLampWidget *OutputLamp(int output) const;       // 0 to 15
    QLabel *OutputName(int output) const;            // 0 to 15
    QLabel *LoadLabel() const { return m_load; }
    QLabel *CommandPositionLabel() const { return m_commandPosition; }
    QLabel *CurrentPositionLabel() const { return m_currentPosition; }
    QLabel *CommandUnitLabel() const { return m_commandUnit; }
    QLabel *AlarmLabel() const { return m_alarm; }
    QListWidget *HistoryList() const { return m_history; }
    QPushButton *AlarmResetButton() const { return m_reset; }
    QPushButton *RefreshHistoryButton() const { return m_refresh; }
    QPushButton *ClearHistoryButton() const { return m_clear; }
    // Timer 90.
    QTimer *PollTimer() const { return m_poll; }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void BuildLayout();
    QGroupBox *BuildInputs();
    QGroupBox *BuildOutputs();
    QWidget *BuildValues();
    QGroupBox *BuildAlarm();
    QGroupBox *BuildHistory();
    void RefreshView();
    void RefreshSignals();
    void RefreshAlarm();
    void RefreshHistoryList();
    CMonitorModel::Hooks MakeHooks();
    void StartPolling();
    void OnPollTimer();
    void ApplySignalNames();

    CWindowContext &m_context;
    std::unique_ptr<CMonitorModel> m_model;
    std::array<CPictureButton *, kSignalCount> m_inputs{};
    std::array<CLampWidget *, kSignalCount> m_outputLamps{};
    std::array<QLabel *, kSignalCount> m_outputNames{};
    QGroupBox *m_inputBox = nullptr;
    QGroupBox *m_outputBox = nullptr;
    QGroupBox *m_positionBox = nullptr;
    QLabel *m_commandTitle = nullptr;
    QLabel *m_currentTitle = nullptr;
    QLabel *m_commandPosition = nullptr;
    QLabel *m_currentPosition = nullptr;
    QLabel *m_commandUnit = nullptr;
    QLabel *m_currentUnit = nullptr;
    QGroupBox *m_loadBox = nullptr;
    QLabel *m_load = nullptr;
    QLabel *m_loadUnit = nullptr;
    QGroupBox *m_alarmBox = nullptr;
    QLabel *m_alarmTitle = nullptr;
    QLabel *m_alarm = nullptr;
    QPushButton *m_reset = nullptr;
    QGroupBox *m_historyBox = nullptr;
    QListWidget *m_history = nullptr;
    QPushButton *m_refresh = nullptr;
    QPushButton *m_clear = nullptr;
    QTimer *m_poll = nullptr;
};

} // namespace kvl
