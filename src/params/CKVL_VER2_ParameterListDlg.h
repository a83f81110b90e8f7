#pragma once
// CKVL_VER2_ParameterListDlg: the parameter list of one axis. Every parameter side by side in a
// controller column (the axis window's own list) and a file column (the values prepared on the
// PC), by tab, at the axis' access level, with the rows that differ highlighted; the file values
// are edited in the grid and written to the controller, or read from it. A find box and a
// "differences only" toggle narrow the rows shown (never what is read, written or saved).
// The rules and the exchanges live in CParamListModel; this class shows it and tells the axis
// window what a read or write changed, through the hooks its opener lends (AxisLink): the axis
// window's model lends its parameter setup, flags and point table; the list acts on them only
// while the axis window exists (the opener destroys this window with it).
// Made hidden through the window registry by the axis link (one per axis); user-interface thread.
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>

#include <array>
#include <functional>
#include <memory>

#include "common/CUnkeptEdits.h"
#include "params/CParamListModel.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabBar;
class QTableView;

namespace kvl {
class CWindowContext;
} // namespace kvl

namespace kvl::points {
class CAxisWindowModel;
} // namespace kvl::points

namespace kvl::params {

class CParamGridEditor;
class CParamGridModel;
class CParamListFiles;

class CKVL_VER2_ParameterListDlg : public QDialog, public CUnkeptEdits::Holder {
    Q_OBJECT
public:
    static constexpr char kSection[] = "IDD_KVL_VER2_PMTLIST_DIALOG";
    static constexpr char kFullDisplay[] = "Full display";

    // What the axis window lends the list. `window` is the axis window: while it is gone the list
    // tells nothing. The hooks may be empty.
    struct AxisLink {
        QPointer<QWidget> window;
        points::CAxisWindowModel *model = nullptr;
        // The operation type changed: the axis window resets its grid and tells its monitor.
        std::function<void(bool clearControllerTable)> operationTypeChanged;
        // Parameter 5 took another choice: the jog and feed pictures follow.
        std::function<void()> parameter5Changed;
        // What titles add to tell two axes apart (" - <address> <name>").
        std::function<QString()> axisTag;
    };

    CKVL_VER2_ParameterListDlg(CWindowContext &context, AxisLink axis, QWidget *parent = nullptr);
    ~CKVL_VER2_ParameterListDlg() override;

    void ApplyTexts();
    void RefreshView();

    // --- what the controls do (tests press these or click the controls)
    void PressRead();
    void PressWrite();
    void PressTab(int tab);
    // Access level 0, 1 or 2 (the access dialog and the hidden areas).
    void SetAccessLevel(int level);
    void PressHiddenArea(int area);

    // The file column's edits that are neither saved nor written (asked about when the axis
    // window closes and when the program ends).
    QStringList UnkeptEdits() const override;
    bool SaveUnkeptEdits(const QString &what) override;
    void LetUnkeptEditsGo(const QString &what) override;

    CParamListModel &Model() { return *m_model; }
    // The two lists (controller and file) the file operations work on.
    CParamListPair &Lists() { return m_model->Lists(); }
    int Axis() const { return m_axis; }

    // --- widgets, for tests and screenshots
    QTableView *Grid() const { return m_grid; }
    CParamGridModel *GridModel() const { return m_gridModel; }
    CParamGridEditor *GridEditor() const { return m_gridEditor; }
    QTabBar *TabBar() const { return m_tabs; }
    QLineEdit *FilterBox() const { return m_filter; }
    QCheckBox *DifferencesBox() const { return m_differences; }
    QPushButton *ReadButton() const { return m_read; }
    QPushButton *WriteButton() const { return m_write; }
    QPushButton *LoadButton() const { return m_load; }
    QPushButton *SaveButton() const { return m_save; }
    QPushButton *PrintButton() const { return m_print; }
    // Open file, Save file and Print.
    CParamListFiles &Files() const { return *m_files; }
    QWidget *HiddenArea(int area) const;

Q_SIGNALS:
    // A hidden area asks for the access dialog of the axis.
    void accessDialogRequested(int axis);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildLayout();
    QWidget *BuildButtons();
    QWidget *BuildFind();
    CParamListModel::Hooks MakeHooks();
    void ConnectAxisWindow();
    bool ShowMessage(const CParamListModel::Message &message);
    void Notify(const ParamNotice &notice);
    bool PushAbove(int limit, int lastStep) const;

    CWindowContext &m_context;
    AxisLink m_link;
    int m_axis = 0;
    std::unique_ptr<CParamListModel> m_model;
    QTableView *m_grid = nullptr;
    CParamGridModel *m_gridModel = nullptr;
    CParamGridEditor *m_gridEditor = nullptr;
    CParamListFiles *m_files = nullptr;
    QTabBar *m_tabs = nullptr;
    QLineEdit *m_filter = nullptr;
    QCheckBox *m_differences = nullptr;
    QGroupBox *m_driverGroup = nullptr;
    QGroupBox *m_fileGroup = nullptr;
    QPushButton *m_read = nullptr;
    QPushButton *m_write = nullptr;
    QPushButton *m_load = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_print = nullptr;
    QLabel *m_driverMark = nullptr;
    QLabel *m_fileMark = nullptr;
    std::array<QWidget *, 2> m_hiddenAreas{};
    QElapsedTimer m_progressClock; // since the busy indicator was last drawn
};

} // namespace kvl::params
