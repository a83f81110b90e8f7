#pragma once
// CRogDlg: the waveform window of one axis. It captures two live channels of the controller
// (Start/Stop, the sampling field, the 100 ms poll, the software trigger, auto-scroll), shows them
// with runs loaded from files on a chart of four axes (per-division fields, zoom, scroll, wheel
// zoom and drag, a cursor readout), keeps the series list with its line properties, saves and
// opens runs, exports the chart as a picture and prints it (the print component's chart job, with
// a preview and a PDF file). The rules live in CRogModel; this class only
// shows them. Made by the axis window's opener through the window registry (one per axis);
// closing only hides it, a run goes on. User-interface thread only.
#include <QDialog>

#include <array>
#include <memory>
#include <string>

#include "waveform/CRogModel.h"
#include "waveform/CServoWaveSource.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QTimer;
class QToolButton;

namespace kvl {

class CChartPrintJob;
class CWaveChart;
class CWindowContext;

class CRogDlg : public QDialog {
    Q_OBJECT
public:
    enum Column { kColumnName, kColumnMode, kColumnOffset, kColumnColour, kColumnWidth, kColumnCount };
    enum ScrollButton { kScrollUp, kScrollDown, kScrollLeft, kScrollRight, kScrollCount };

    // `model` is the axis' model string; `offline` when opened from the offline path.
    CRogDlg(CWindowContext &context, int axis, const std::string &model, bool offline, QWidget *parent = nullptr);
    ~CRogDlg() override;

    void ApplyTexts();
    void RefreshView();

    // What the buttons do. A file press with an empty path asks with the file dialog.
    void PressStartStop();
    void PressProperty();
    void PressDelete();
    void PressSave(const QString &path = QString());
    void PressOpen(const QString &path = QString());
    // PNG or PDF by the name's extension (".png" when it has none); false when it failed.
    bool PressExport(const QString &path = QString());
    void PressZoomLarge();
    void PressZoomSmall();
    void PressZoomReset();
    void PressScroll(ScrollButton button);
    // Print with the print dialog, and the Print button's menu: the preview and a PDF file (asked
    // with the file dialog when `path` is empty; ".pdf" added to a name without an extension).
    // The PDF press is false when nothing was printed.
    void PressPrint();
    void PressPrintPreview();
    bool PressPrintPdf(const QString &path = QString());
    // The chart job of the chart as it is now: its picture and a legend row per series.
    std::unique_ptr<CChartPrintJob> MakePrintJob() const;

    CRogModel &Model() { return *m_model; }
    CWaveChart *Chart() const { return m_chart; }
    QPushButton *StartStopButton() const { return m_startStop; }
    QLineEdit *SamplingBox() const { return m_sampling; }
    QLabel *LostLabel() const { return m_lost; }
    QLabel *ReadoutLabel() const { return m_readout; }
    QCheckBox *TriggerCheck() const { return m_triggerOn; }
    QRadioButton *TriggerChannelButton(int channel) const { return m_triggerChannel[static_cast<size_t>(channel)]; }
    QRadioButton *TriggerDirectionButton(int direction) const { return m_direction[static_cast<size_t>(direction)]; }
    QLineEdit *TriggerLevelBox() const { return m_level; }
    QLabel *TriggerUnitLabel() const { return m_levelUnit; }
    QComboBox *TriggerWidthList() const { return m_triggerWidth; }
    QLineEdit *TriggerPositionBox() const { return m_triggerPosition; }
    QCheckBox *AlignCheck() const { return m_align; }
    QCheckBox *AutoScrollCheck() const { return m_autoScroll; }
    QLineEdit *PerDivisionBox(CWaveDisplay::Axis axis) const { return m_perDivision[static_cast<size_t>(axis)]; }
    QLabel *PerDivisionUnit(CWaveDisplay::Axis axis) const { return m_perDivisionUnit[static_cast<size_t>(axis)]; }
    QPushButton *ZoomLargeButton() const { return m_zoomLarge; }
    QPushButton *ZoomSmallButton() const { return m_zoomSmall; }
    QPushButton *ZoomResetButton() const { return m_zoomReset; }
    QLabel *ZoomLabel() const { return m_zoomText; }
    QPushButton *ScrollButtonOf(ScrollButton button) const { return m_scroll[static_cast<size_t>(button)]; }
    QTableWidget *SeriesList() const { return m_list; }
    QPushButton *PropertyButton() const { return m_property; }
    QPushButton *DeleteButton() const { return m_delete; }
    QPushButton *SaveButton() const { return m_save; }
    QPushButton *OpenButton() const { return m_open; }
    QPushButton *ExportButton() const { return m_export; }
    QToolButton *PrintButton() const { return m_print; }
    QTimer *PollTimer() const { return m_poll; }

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void BuildLayout();
    QWidget *BuildCapture();
    QGroupBox *BuildTrigger();
    QGroupBox *BuildScales();
    QWidget *BuildZoom();
    QWidget *BuildList();
    void ConnectChart();
    QToolButton *BuildPrint(QWidget *parent);
    void ApplyPrintTexts();
    CRogModel::Hooks MakeHooks();
    void RefreshControls();
    void RefreshList();
    void RefreshTrigger();
    void RefreshAxisTitles();
    void TriggerEdited();
    void TriggerChannelChosen(int channel);
    void PerDivisionEdited(CWaveDisplay::Axis axis);
    void OnPollTick();
    void StartPollTimer();
    int SelectedRow() const;
    QString Text(const char *key, const char *section, const char *builtIn) const;

    CWindowContext &m_context;
    CServoWaveSource m_source;
    std::unique_ptr<CRogModel> m_model;
    CWaveChart *m_chart = nullptr;
    QLabel *m_readout = nullptr;
    QPushButton *m_startStop = nullptr;
    QLabel *m_samplingLabel = nullptr;
    QLineEdit *m_sampling = nullptr;
    QLabel *m_lost = nullptr;
    QGroupBox *m_triggerBox = nullptr;
    QCheckBox *m_triggerOn = nullptr;
    std::array<QRadioButton *, 2> m_triggerChannel{};
    std::array<QRadioButton *, 2> m_direction{};
    QLabel *m_levelLabel = nullptr;
    QLineEdit *m_level = nullptr;
    QLabel *m_levelUnit = nullptr;
    QPushButton *m_triggerColour = nullptr;
    QComboBox *m_triggerWidth = nullptr;
    QLabel *m_positionLabel = nullptr;
    QLineEdit *m_triggerPosition = nullptr;
    QCheckBox *m_align = nullptr;
    QGroupBox *m_scaleBox = nullptr;
    std::array<QLabel *, CWaveDisplay::kAxisCount> m_perDivisionLabel{};
    std::array<QLineEdit *, CWaveDisplay::kAxisCount> m_perDivision{};
    std::array<QLabel *, CWaveDisplay::kAxisCount> m_perDivisionUnit{};
    QPushButton *m_zoomLarge = nullptr;
    QPushButton *m_zoomSmall = nullptr;
    QPushButton *m_zoomReset = nullptr;
    QLabel *m_zoomText = nullptr;
    std::array<QPushButton *, kScrollCount> m_scroll{};
    QCheckBox *m_autoScroll = nullptr;
    QTableWidget *m_list = nullptr;
    QPushButton *m_property = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_open = nullptr;
    QPushButton *m_export = nullptr;
    QToolButton *m_print = nullptr;
    QMenu *m_printMenu = nullptr;
    QTimer *m_poll = nullptr;
    bool m_refreshing = false;
};

} // namespace kvl
