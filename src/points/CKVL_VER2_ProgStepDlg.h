#pragma once
// CKVL_VER2_ProgStepDlg: the axis window. The point table as a grid beside the axis' live state
// (identification, four lamps, the alarm box, ABS and INC positions) and the controls that move
// it by hand (servo, home, program, jog, feed, teach). The rules and the exchanges live in
// CAxisWindowModel; this class owns the three polling timers (30: 1 s status, 40: 100 ms motion,
// 50: 30 ms jog keep-alive) and shows what the model says.
// A jog never outlives its button: the model's EndJog() runs when the jog button loses the mouse
// grab or the focus, when the window is deactivated, hidden or closed, when the application
// quits and when the window is destroyed.
// Made hidden through the window registry by the axis link (one per axis); user-interface thread.
#include <QColor>
#include <QDialog>

#include <array>
#include <functional>
#include <memory>

#include "common/CUnkeptEdits.h"
#include "points/CAxisWindowModel.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QRadioButton;
class QTableView;
class QTimer;
class QToolButton;

namespace kvl {
class CJogButton;
class CLampWidget;
class CPictureButton;
class CWindowContext;
} // namespace kvl

namespace kvl::points {

class CPointGridEditor;
class CPointGridModel;
class CPointTableActions;

class CKVL_VER2_ProgStepDlg : public QDialog, public CUnkeptEdits::Holder {
    Q_OBJECT
public:
    static constexpr char kSection[] = "IDD_KVL_VER2_PROGSTEP_DIALOG";
    static constexpr char kOfflineTitleKey[] = "IDD_KVL_VER2_PROGSTEP_DIALOG_OFFLINE";
    static constexpr char kNoAnswerKey[] = "IDS_AXIS_NO_ANSWER";
    static constexpr char kNoAnswerBuiltIn[] = "The axis does not answer";
    static inline const QColor kAlarmNormal{0, 255, 0};
    static inline const QColor kAlarmPause{255, 255, 0};
    static inline const QColor kAlarmAbnormal{255, 0, 0};
    static inline const QColor kAlarmSilent{200, 200, 200};

    enum class Lamp { kServo, kHome, kAuto, kManual };
    static constexpr int kLampCount = 4;

    CKVL_VER2_ProgStepDlg(CWindowContext &context, AxisIdentity identity, QWidget *parent = nullptr);
    ~CKVL_VER2_ProgStepDlg() override;

    // Opening: the model reads the axis' parameters ("n of N" in the busy indicator, which the
    // caller has begun) and one status pass, then the view shows it.
    bool Open();

    void ApplyTexts();
    // What titles of this axis' windows add to tell two axes apart: " - <address> <name>";
    // empty offline (the title says "offline").
    QString AxisTag() const;
    void RefreshView();

    // --- what the buttons do (tests press these or click the buttons)
    void PressServoOn();
    void PressServoOff();
    void PressHome();
    void PressStart();
    void PressPause();
    void PressProgramReset();
    void PressJog(CAxisWindowModel::JogDirection direction);
    void ReleaseJog(CAxisWindowModel::JogDirection direction);
    void PressFeed(CAxisWindowModel::JogDirection direction);
    void PressSpinJog(int steps);
    void PressSpinFeed(int steps);
    void PressTeach();
    void PressCoordinateReset();
    void PressFullView();
    void PressShortView();
    void PressReturn();
    void PressHelp();
    // Asks for the axis' motor monitor (monitorRequested); whoever made this window opens it.
    void PressMonitor();
    // Asks for the axis' waveform window (waveRequested); whoever made this window opens it.
    void PressWave();
    // The point table's transfers, files and printing (CKVL_VER2_ProgStepDlgTable.cpp).
    void PressRead();
    void PressWrite();
    void PressOpen();
    void PressSave();
    void PressPrint();
    void PressPrintPreview();
    void PressPrintPdf();
    CPointTableActions &TableActions() const { return *m_actions; }
    // Asks for the axis' parameter list (paramRequested); whoever made this window opens it.
    void PressParam();
    // Asks for the axis' auto-tuning (tuningRequested); whoever made this window runs the entry
    // flow and opens the tuning window.
    void PressTuning();
    // The corner button: the version and access-level dialog of the axis (accessLevelChanged
    // when it raises the level).
    void PressVersion();
    // The operation type changed (the parameter list wrote parameter 36, or an offline choice).
    void OperationTypeChanged(bool clearController);
    // The parameter list wrote parameter 5 with another choice: the jog and feed pictures follow.
    void Parameter5Changed();

    // The point table's edits that are neither saved nor written; closing asks about them, then
    // runs `check` (the other windows of the axis ask about theirs; false keeps the window open).
    QStringList UnkeptEdits() const override;
    bool SaveUnkeptEdits(const QString &what) override;
    void LetUnkeptEditsGo(const QString &what) override;
    void SetCloseCheck(std::function<bool()> check) { m_closeCheck = std::move(check); }

    CAxisWindowModel &Model() { return *m_model; }
    bool ShortView() const { return m_shortView; }
    bool TimerRunning(CAxisWindowModel::Timer timer) const;

    // --- widgets, for tests and screenshots
    QTableView *Grid() const { return m_grid; }
    CPointGridModel *GridModel() const { return m_gridModel; }
    // The grid's in-cell editing, block operations and undo history.
    CPointGridEditor *GridEditor() const { return m_gridEditor; }
    QLineEdit *AxisBox() const { return m_axisBox; }
    QLineEdit *NameBox() const { return m_nameBox; }
    QLineEdit *ModelBox() const { return m_modelBox; }
    QLineEdit *TypeBox() const { return m_typeBox; }
    QLineEdit *VersionBox() const { return m_versionBox; }
    CPictureButton *VersionButton() const { return m_version; }
    QLineEdit *DescriptionBox() const { return m_descriptionBox; }
    CLampWidget *LampWidget(Lamp lamp) const { return m_lamps[static_cast<size_t>(lamp)]; }
    QLabel *AlarmBox() const { return m_alarm; }
    // The line that names the parameters the opening did not read (hidden when all were read).
    QLabel *NotReadLine() const { return m_notReadLine; }
    // The explanatory picture of operation type 5, shown under the grid only for that type.
    QLabel *Type5Picture() const { return m_type5Picture; }
    // Its picture name in `language` (1 Japanese, 2 English, any other Chinese).
    static QString Type5PictureName(int language);
    QLineEdit *AbsBox() const { return m_abs; }
    QLineEdit *IncBox() const { return m_inc; }
    QLineEdit *JogSpeedBox() const { return m_jogSpeed; }
    QLineEdit *FeedBox() const { return m_feed; }
    QLabel *JogUnit() const { return m_jogUnit; }
    QLabel *FeedUnit() const { return m_feedUnit; }
    CPictureButton *ServoOnButton() const { return m_servoOn; }
    CPictureButton *ServoOffButton() const { return m_servoOff; }
    CPictureButton *HomeButton() const { return m_home; }
    CPictureButton *StartButton() const { return m_start; }
    CPictureButton *PauseButton() const { return m_pause; }
    CPictureButton *ProgramResetButton() const { return m_programReset; }
    CJogButton *JogButton(CAxisWindowModel::JogDirection direction) const;
    CPictureButton *FeedButton(CAxisWindowModel::JogDirection direction) const;
    QToolButton *JogSpinUp() const { return m_jogUp; }
    QToolButton *JogSpinDown() const { return m_jogDown; }
    QToolButton *FeedSpinUp() const { return m_feedUp; }
    QToolButton *FeedSpinDown() const { return m_feedDown; }
    QRadioButton *TargetButton(CAxisWindowModel::TeachTarget target) const;
    QRadioButton *ModeButton(CAxisWindowModel::TeachMode mode) const;
    CPictureButton *TeachButton() const { return m_teach; }
    CPictureButton *CoordinateResetButton() const { return m_zero; }
    CPictureButton *FullViewButton() const { return m_fullView; }
    CPictureButton *ShortViewButton() const { return m_shortViewButton; }
    CPictureButton *ReturnButton() const { return m_back; }
    CPictureButton *HelpButton() const { return m_help; }
    CPictureButton *MonitorButton() const { return m_monitor; }
    CPictureButton *WaveButton() const { return m_wave; }
    CPictureButton *ParamButton() const { return m_param; }
    CPictureButton *TuningButton() const { return m_tuning; }
    CPictureButton *ReadButton() const { return m_read; }
    CPictureButton *WriteButton() const { return m_write; }
    CPictureButton *OpenButton() const { return m_open; }
    CPictureButton *SaveButton() const { return m_save; }
    CPictureButton *PrintButton() const { return m_print; }
    QMenu *PrintMenu() const { return m_printMenu; }

Q_SIGNALS:
    // Return: the axis link window comes to the front.
    void returned(int axis);
    // Monitor: the axis' motor monitor window is wanted.
    void monitorRequested(int axis);
    // Wave: the axis' waveform window is wanted.
    void waveRequested(int axis);
    // Param: the axis' parameter list window is wanted.
    void paramRequested(int axis);
    // Tuning start: the axis' auto-tuning is wanted.
    void tuningRequested(int axis);
    // The access dialog raised the axis' parameter access level: its parameter list follows.
    void accessLevelChanged(int axis, int level);
    // The operation type is now `type`; with `cleared` the controller's table was cleared (the
    // parameter list wrote parameter 36): an open monitor takes the new I/O mode.
    void operationTypeChanged(int axis, int type, bool cleared);
    // An offline window was closed: the axis link's offline edit may be used again.
    void offlineClosed();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Layout (CKVL_VER2_ProgStepDlgLayout.cpp).
    void BuildLayout();
    QWidget *BuildIdentity();
    QWidget *BuildMenu();
    QWidget *BuildGridArea();
    QWidget *BuildStatus();
    QWidget *BuildManual();
    QWidget *BuildTeach();
    void ConnectControls();
    // The table actions and the buttons that start them (CKVL_VER2_ProgStepDlgTable.cpp).
    void ConnectTableActions();
    void ApplyTableTexts();
    // Row 1, column 0 becomes the current cell (after a Read or a load).
    void GoToFirstCell();
    void ApplyTooltips();
    QStringList GridCaptions() const;

    CAxisWindowModel::Hooks MakeHooks();
    void OnTimer(CAxisWindowModel::Timer timer);
    void StartTimer(CAxisWindowModel::Timer timer);
    void StopTimers();
    void StartPolling(bool withJog);
    // Status-timer operations of the manual controls: timer 30 stops first and starts again.
    template <class Operation>
    void WithStatusTimerPaused(Operation operation);
    void EndJog();
    void RefreshBoxes();
    QString m_titleTag; // the AxisTag() the title shows
    void RefreshStatus();
    void RefreshControls();
    void RefreshColumns();
    void RefreshType5Picture();
    void RefreshPictures();
    void SelectGridRow(int row);
    // The grid row (1..N) of a selection of exactly one whole row (columns 1 to 16); 0 otherwise.
    int SelectedWholeRow() const;
    QTimer *TimerOf(CAxisWindowModel::Timer timer) const;

    CWindowContext &m_context;
    std::unique_ptr<CAxisWindowModel> m_model;
    bool m_shortView = false;
    std::function<bool()> m_closeCheck;
    // Which jog button holds the jog through the mouse (its loss ends the jog); none: -1.
    int m_heldButton = -1;

    std::array<QTimer *, 3> m_timers{};
    QTableView *m_grid = nullptr;
    CPointGridModel *m_gridModel = nullptr;
    CPointGridEditor *m_gridEditor = nullptr;
    QLabel *m_axisLabel = nullptr;
    QLineEdit *m_axisBox = nullptr;
    QLineEdit *m_nameBox = nullptr;
    QLineEdit *m_modelBox = nullptr;
    QLineEdit *m_typeBox = nullptr;
    QLineEdit *m_versionBox = nullptr;
    QLineEdit *m_descriptionBox = nullptr;
    QLabel *m_typePicture = nullptr;
    std::array<CLampWidget *, kLampCount> m_lamps{};
    std::array<QLabel *, kLampCount> m_lampLabels{};
    QGroupBox *m_modeGroup = nullptr;
    QGroupBox *m_monitorGroup = nullptr;
    QGroupBox *m_positionGroup = nullptr;
    QGroupBox *m_manualGroup = nullptr;
    QGroupBox *m_teachGroup = nullptr;
    QGroupBox *m_servoGroup = nullptr;
    QLabel *m_alarmLabel = nullptr;
    QLabel *m_alarm = nullptr;
    QLabel *m_notReadLine = nullptr;
    QLabel *m_type5Picture = nullptr;
    QLabel *m_absLabel = nullptr;
    QLabel *m_incLabel = nullptr;
    QLineEdit *m_abs = nullptr;
    QLineEdit *m_inc = nullptr;
    CPictureButton *m_zero = nullptr;
    CPictureButton *m_servoOn = nullptr;
    CPictureButton *m_servoOff = nullptr;
    CPictureButton *m_home = nullptr;
    CPictureButton *m_start = nullptr;
    CPictureButton *m_pause = nullptr;
    CPictureButton *m_programReset = nullptr;
    std::array<CJogButton *, 2> m_jog{};
    std::array<CPictureButton *, 2> m_feedButtons{};
    QLineEdit *m_jogSpeed = nullptr;
    QLineEdit *m_feed = nullptr;
    QLabel *m_jogUnit = nullptr;
    QLabel *m_feedUnit = nullptr;
    QToolButton *m_jogUp = nullptr;
    QToolButton *m_jogDown = nullptr;
    QToolButton *m_feedUp = nullptr;
    QToolButton *m_feedDown = nullptr;
    std::array<QRadioButton *, 3> m_targets{};
    std::array<QRadioButton *, 2> m_modes{};
    CPictureButton *m_teach = nullptr;
    CPictureButton *m_help = nullptr;
    CPictureButton *m_back = nullptr;
    CPictureButton *m_monitor = nullptr;
    CPictureButton *m_wave = nullptr;
    CPictureButton *m_param = nullptr;
    CPictureButton *m_tuning = nullptr;
    CPictureButton *m_version = nullptr;
    CPictureButton *m_open = nullptr;
    CPictureButton *m_save = nullptr;
    CPictureButton *m_print = nullptr;
    CPictureButton *m_read = nullptr;
    CPictureButton *m_write = nullptr;
    CPictureButton *m_fullView = nullptr;
    CPictureButton *m_shortViewButton = nullptr;
    CPointTableActions *m_actions = nullptr;
    QMenu *m_printMenu = nullptr;
};

} // namespace kvl::points
