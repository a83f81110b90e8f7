#pragma once
// CWaveChart: the waveform chart drawn by QCustomPlot. A time axis below and three vertical
// axes (position on the left, speed and current on the right), one graph per series of the
// waveform window's series list, the trigger level line of the trigger channel, and the ranges of
// the window's display scaling. Graphs take their points from the series: a series that only grew
// gets its new points appended, anything else (cleared, offset moved, first-visible index changed,
// another series in that row) is copied again. Samples missing between two points leave a gap
// (no line across). Redraws are coalesced by one timer, so the chart is drawn at most once per
// display frame however often the capture asks.
// The mouse: the wheel asks to zoom the time axis about the pointer, a left drag to move it, and
// the pointer's time is reported for the readout; the window's model decides, the chart shows.
// Owned by the waveform window (parent ownership); user-interface thread.
#include <QString>

#include <qcustomplot.h>

#include <array>
#include <vector>

namespace kvl {

class CRogModel;

class CWaveChart : public QCustomPlot {
    Q_OBJECT
public:
    // One display frame: the longest a requested redraw waits.
    static constexpr int kFrameMs = 16;

    explicit CWaveChart(QWidget *parent = nullptr);

    // A series colour as stored (0x00BBGGRR) as a Qt colour.
    static QColor ColourOf(uint32_t colour);

    // The model whose series and display this chart shows; it must outlive the chart's use.
    void SetModel(const CRogModel *model) { m_model = model; }
    // Axis titles (time, position, speed, current).
    void SetTitles(const QString &time, const QString &position, const QString &speed, const QString &current);

    // Asks for a redraw within one frame; many requests in a frame give one redraw.
    void RequestReplot();
    // Copies what changed from the series and redraws at once.
    void ReplotNow();
    bool ReplotPending() const;
    // Redraws made so far (tests and the benchmark).
    int ReplotCount() const { return m_replots; }

    QCPAxis *TimeAxis() const { return xAxis; }
    QCPAxis *PositionAxis() const { return yAxis; }
    QCPAxis *SpeedAxis() const { return yAxis2; }
    QCPAxis *CurrentAxis() const { return m_currentAxis; }
    QCPItemStraightLine *TriggerLine() const { return m_triggerLine; }
    // The chart time at a widget x coordinate.
    double TimeAt(int x) const { return xAxis->pixelToCoord(x); }

Q_SIGNALS:
    void wheelZoomRequested(double time, bool zoomIn);
    void dragRequested(double deltaMs);
    // The pointer's time over the plot; NaN when it left.
    void pointerMoved(double time);

protected:
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    // What a graph was last filled from, to tell growth from change.
    struct Synced {
        const void *points = nullptr;
        int count = 0;
        int first = 0;
        double xOffset = 0.0;
        double yOffset = 0.0;
        double period = 0.0;
    };

    void Sync();
    void SyncGraph(int row);
    void ApplyRanges();
    void ApplyTriggerLine();
    QCPAxis *AxisOf(int row) const;

    const CRogModel *m_model = nullptr;
    QCPAxis *m_currentAxis = nullptr;
    QCPItemStraightLine *m_triggerLine = nullptr;
    QTimer *m_replotTimer = nullptr;
    std::vector<Synced> m_synced;
    QVector<QCPGraphData> m_scratch;
    int m_replots = 0;
    bool m_dragging = false;
    double m_dragTime = 0.0;
};

} // namespace kvl
