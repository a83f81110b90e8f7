#pragma once
// CBusyWindow: the small frameless window of the busy indicator: a spinner of eight dots, one of
// which is lit according to the frame its owner reports, and a progress line. It never takes the
// focus. It stays on top of the tool's windows, except that it steps aside while a modal
// dialog (a message raised during the busy period) is up, so the message is always readable.
// Owned by CBusyIndicator; user-interface thread only.
#include <QPointer>
#include <QWidget>

#include <functional>

class QTimer;

namespace kvl {

class CBusyWindow : public QWidget {
    Q_OBJECT
public:
    using FrameSource = std::function<int()>;

    CBusyWindow(FrameSource frame, int frameCount, int frameMs);
    // Shown for the owner's busy period; Close ends it.
    void Open();
    void Close();
    // Within a busy period (shown, or stepped aside for a modal dialog).
    bool Opened() const { return m_opened; }
    void SetProgressText(const QString &text);
    const QString &ProgressText() const { return m_progress; }
    // Frame drawn by the last paint (tests: the animation advanced).
    int PaintedFrame() const { return m_paintedFrame; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    FrameSource m_frame;
    int m_frameCount;
    QString m_progress;
    QTimer *m_tick = nullptr;
    int m_paintedFrame = -1;
    bool m_opened = false;
    QPointer<QWidget> m_modal; // the dialog it stepped aside for
};

} // namespace kvl
