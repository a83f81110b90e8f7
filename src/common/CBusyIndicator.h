#pragma once
// CBusyIndicator: the "please wait" indicator that long transfers (link search, point-table and
// parameter reads and writes) put up with Begin(true, 100) ... End(true). The nesting and the
// 100 ms guard live in CBusyGuard; this class shows and hides a small frameless window with an
// animated spinner and an optional "n of N" progress line.
// Exchanges run on the user-interface thread, so between two exchanges the transfer calls
// Progress() or Repaint(): both let Qt deliver pending events except user input, and the
// spinner picks its frame from the elapsed time, so it turns even though no timer can fire
// while an exchange blocks. Owned by CKVL_ControlApp; user-interface thread only.
#include <QObject>
#include <QPointer>

#include "common/CBusyGuard.h"

class QWidget;

namespace kvl {

class CBusyWindow;
class CLanguageTexts;

class CBusyIndicator : public QObject {
    Q_OBJECT
public:
    static constexpr int kFrameCount = 8;
    static constexpr int kFrameMs = 50;

    // `clock` (milliseconds) drives both the guard and the animation; empty: the steady clock.
    explicit CBusyIndicator(CBusyGuard::Clock clock = {}, QObject *parent = nullptr);
    ~CBusyIndicator() override;

    // False when refused by the guard (the caller then does nothing and calls no End).
    bool Begin(bool suppress = true, int windowMs = CBusyGuard::kDefaultWindowMs);
    void End(bool remember = true);
    // Shows "done of total" under the spinner (total 0 clears it) and repaints.
    void Progress(int done, int total);
    // Shows what the work does now ("115200 bit/s: address 5 of 16") under the spinner in place
    // of the progress line, and repaints.
    void Activity(const QString &text);
    // Lets the indicator draw its current frame: paint events only, no user input.
    void Repaint();

    bool Shown() const;
    int Nesting() const { return m_guard.Nesting(); }
    // The frame (0 to 7) the spinner shows now, from the time since it appeared.
    int Frame() const;
    // The progress line as shown ("" when none).
    QString ProgressText() const;
    // The window the indicator centres itself on (default: the active window).
    void SetAnchor(QWidget *anchor) { m_anchor = anchor; }
    // The indicator window while it exists (tests, screenshots).
    QWidget *Window() const;
    // The progress line's format with %1 (done) and %2 (total), from the current language.
    static void SetProgressFormat(const QString &format);
    // The progress line's format of the current language (on opening and on every language switch).
    static void ApplyTexts(const CLanguageTexts &texts);

private:
    void ShowWindow();
    void HideWindow();

    CBusyGuard::Clock m_clock;
    CBusyGuard m_guard;
    QPointer<CBusyWindow> m_window;
    QPointer<QWidget> m_anchor;
    int64_t m_shownAtMs = -1;
    static QString s_progressFormat;
};

} // namespace kvl
