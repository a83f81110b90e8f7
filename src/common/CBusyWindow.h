#pragma once
// CBusyWindow: the small frameless window of the busy indicator: a spinner of eight dots, one of
// which is lit according to the frame its owner reports, and a progress line. It never takes the
// focus. Owned by CBusyIndicator; user-interface thread only.
#include <QWidget>

#include <functional>

class QTimer;

namespace kvl {

class CBusyWindow : public QWidget {
    Q_OBJECT
public:
    using FrameSource = std::function<int()>;

    CBusyWindow(FrameSource frame, int frameCount, int frameMs);
    void SetProgressText(const QString &text);
    const QString &ProgressText() const { return m_progress; }
    // Frame drawn by the last paint (tests: the animation advanced).
    int PaintedFrame() const { return m_paintedFrame; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    FrameSource m_frame;
    int m_frameCount;
    QString m_progress;
    QTimer *m_tick = nullptr;
    int m_paintedFrame = -1;
};

} // namespace kvl
