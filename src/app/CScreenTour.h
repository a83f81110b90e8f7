#pragma once
// CScreenTour: a visit of every window of the tool, each grabbed into a picture
// <out>/<name>_<language>.png, and with a text dump every text each visited window and message
// holds, under the picture's name. On the demo bus the visit stages what makes a picture tell
// something (steps in a controller, a program running, alarms raised, tuning results, a backup
// that differs from the bus, a bus that went silent); on another bus (--port) it only reads and
// shows, and moves nothing: no servo on, homing, program or tuning run. The bus must hold an MDC axis and the network unit; what could not
// be reached is listed by Run().
// Used by kvl_screenshots; user-interface thread.
#include <QDir>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace kvl {

class CKVL_ControlApp;
class CTextDump;
class CKVL_VER2_AXIS_LINK_DIALOG;
namespace points {
class CKVL_VER2_ProgStepDlg;
}

class CScreenTour {
public:
    // `language`: "en", "ja" or "zh", the suffix of every picture. `dump`: where the texts of the
    // visited windows go (it outlives the tour); nullptr for pictures only.
    CScreenTour(CKVL_ControlApp &app, const QString &language, const QDir &outDir, CTextDump *dump = nullptr);

    // Visits every window; returns what could not be reached (empty when all were).
    QStringList Run();

private:
    bool Demo() const;
    // Grabs `window` as <name>_<language>.png; a missing window or a failed write is recorded.
    bool Shot(QWidget *window, const char *name);
    // The modal window `open` shows, grabbed and closed.
    bool ModalShot(const std::function<void()> &open, const char *name, QSize size = {});
    void Missed(const QString &what);
    // Runs `work` while every message it shows is answered with OK; with a dump, each message's
    // texts are listed under "<context>_message" first.
    void WithMessagesAccepted(const char *context, const std::function<void()> &work);

    void VisitStartAndLink();
    void VisitGateway();
    void VisitOfflineChoice();
    void VisitAxisWindow();
    void VisitWaveform();
    void VisitMonitor();
    void VisitTuning();
    void VisitEditor();
    // The editor's grid scrolled to the ACC/DCC-mode and stop-mode columns.
    void VisitEditorChoices();
    void VisitParameters();
    void VisitRestore();
    void VisitSilentBus();
    void VisitPortSettings();
    // The question the end asks about edits neither saved nor written; then the end without them.
    void VisitEnd();

    // The first linked axis of `model`, -1 when none.
    int FindAxis(const char *model) const;
    // Steps in the demo controller, so that reading the table shows some.
    void StageDemoSteps(int address);

    CKVL_ControlApp &m_app;
    QString m_language;
    QDir m_outDir;
    CTextDump *m_dump = nullptr;
    QStringList m_missed;
    CKVL_VER2_AXIS_LINK_DIALOG *m_link = nullptr;
    int m_mdcAxis = -1;
    points::CKVL_VER2_ProgStepDlg *m_axisWindow = nullptr;
    points::CKVL_VER2_ProgStepDlg *m_editor = nullptr;
};

} // namespace kvl
