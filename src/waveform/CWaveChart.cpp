#include "waveform/CWaveChart.h"

#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>

#include <cmath>
#include <limits>

#include "waveform/CRogModel.h"

namespace kvl {
namespace {

constexpr double kGapValue = std::numeric_limits<double>::quiet_NaN();
constexpr int kTriggerLineStyleWidthMin = 1;

void SetTicks(QCPAxis *axis, const WaveAxisRange &range)
{
    auto ticker = qSharedPointerDynamicCast<QCPAxisTickerFixed>(axis->ticker());
    if (!ticker) {
        ticker = QSharedPointer<QCPAxisTickerFixed>::create();
        // A tick step far below the span would crowd the axis: multiples of it are allowed.
        ticker->setScaleStrategy(QCPAxisTickerFixed::ssMultiples);
        axis->setTicker(ticker);
    }
    if (range.tick > 0.0 && std::isfinite(range.tick))
        ticker->setTickStep(range.tick);
    if (range.max > range.min && std::isfinite(range.min) && std::isfinite(range.max))
        axis->setRange(range.min, range.max);
}

} // namespace

QColor CWaveChart::ColourOf(uint32_t colour)
{
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

CWaveChart::CWaveChart(QWidget *parent) : QCustomPlot(parent)
{
    setObjectName(QStringLiteral("waveChart"));
    setNotAntialiasedElements(QCP::aeAll);
    yAxis2->setVisible(true);
    m_currentAxis = axisRect()->addAxis(QCPAxis::atRight);
    for (QCPAxis *axis : {xAxis, yAxis, yAxis2, m_currentAxis})
        axis->grid()->setVisible(axis == xAxis || axis == yAxis);
    m_triggerLine = new QCPItemStraightLine(this);
    m_triggerLine->setVisible(false);
    m_replotTimer = new QTimer(this);
    m_replotTimer->setObjectName(QStringLiteral("replotTimer"));
    m_replotTimer->setSingleShot(true);
    m_replotTimer->setInterval(kFrameMs);
    connect(m_replotTimer, &QTimer::timeout, this, &CWaveChart::ReplotNow);
    setMouseTracking(true);
}

void CWaveChart::SetTitles(const QString &time, const QString &position, const QString &speed, const QString &current)
{
    xAxis->setLabel(time);
    yAxis->setLabel(position);
    yAxis2->setLabel(speed);
    m_currentAxis->setLabel(current);
    RequestReplot();
}

void CWaveChart::RequestReplot()
{
    if (!m_replotTimer->isActive())
        m_replotTimer->start();
}

bool CWaveChart::ReplotPending() const
{
    return m_replotTimer->isActive();
}

void CWaveChart::ReplotNow()
{
    m_replotTimer->stop();
    Sync();
    replot(QCustomPlot::rpImmediateRefresh);
    ++m_replots;
}

QCPAxis *CWaveChart::AxisOf(int row) const
{
    switch (m_model->Series().At(row).Axis()) {
    case wave::ValueAxis::kSpeed:
        return yAxis2;
    case wave::ValueAxis::kCurrent:
        return m_currentAxis;
    case wave::ValueAxis::kPosition:
        break;
    }
    return yAxis;
}

void CWaveChart::Sync()
{
    if (!m_model)
        return;
    const int rows = m_model->Series().Count();
    while (graphCount() > rows)
        removeGraph(graphCount() - 1);
    while (graphCount() < rows)
        addGraph(xAxis, yAxis)->setAdaptiveSampling(true);
    m_synced.resize(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row)
        SyncGraph(row);
    ApplyRanges();
    ApplyTriggerLine();
}

void CWaveChart::SyncGraph(int row)
{
    const CWaveSeries &series = m_model->Series().At(row);
    QCPGraph *graph = this->graph(row);
    graph->setName(QString::fromStdString(series.Name()));
    graph->setPen(QPen(ColourOf(series.Colour()), series.Width()));
    graph->setVisible(series.Visible());
    if (QCPAxis *axis = AxisOf(row); graph->valueAxis() != axis)
        graph->setValueAxis(axis);

    Synced &synced = m_synced[static_cast<std::size_t>(row)];
    const std::vector<WavePoint> &points = series.Points();
    const Synced now{points.data(), series.Count(), CRogModel::FirstDrawn(series), series.XOffset(),
                     series.YOffset(), m_model->PeriodOf(row)};
    const bool grew = now.points == synced.points && now.count >= synced.count && now.first == synced.first &&
                      now.xOffset == synced.xOffset && now.yOffset == synced.yOffset && now.period == synced.period;
    if (grew && now.count == synced.count)
        return;
    const int from = grew ? synced.count : now.first;
    m_scratch.clear();
    m_scratch.reserve(now.count - from + 16);
    double previous = from > now.first ? points[static_cast<std::size_t>(from - 1)].x : 0.0;
    for (int i = from; i < now.count; ++i) {
        const WavePoint &point = points[static_cast<std::size_t>(i)];
        if (i > now.first && CRogModel::IsGap(previous, point.x, now.period))
            m_scratch.append(QCPGraphData((previous + point.x) / 2.0, kGapValue));
        m_scratch.append(QCPGraphData(point.x, point.y));
        previous = point.x;
    }
    if (grew)
        graph->data()->add(m_scratch, true);
    else
        graph->data()->set(m_scratch, true);
    synced = now;
}

void CWaveChart::ApplyRanges()
{
    const CWaveDisplay &display = m_model->Display();
    SetTicks(xAxis, display.Range(CWaveDisplay::kTime));
    SetTicks(yAxis, display.Range(CWaveDisplay::kPosition));
    SetTicks(yAxis2, display.Range(CWaveDisplay::kSpeed));
    SetTicks(m_currentAxis, display.Range(CWaveDisplay::kCurrent));
}

void CWaveChart::ApplyTriggerLine()
{
    m_triggerLine->setVisible(false);
    for (int row = 0; row < CWaveSeriesList::kLiveSeries && row < m_model->Series().Count(); ++row) {
        const WaveTriggerAttributes &trigger = m_model->Series().At(row).Trigger();
        if (!trigger.levelLineVisible)
            continue;
        QCPAxis *axis = AxisOf(row);
        for (QCPItemPosition *position : {m_triggerLine->point1, m_triggerLine->point2})
            position->setAxes(xAxis, axis);
        m_triggerLine->point1->setCoords(0.0, trigger.level);
        m_triggerLine->point2->setCoords(1.0, trigger.level);
        m_triggerLine->setPen(QPen(ColourOf(trigger.colour), std::max(trigger.width, kTriggerLineStyleWidthMin),
                                   Qt::DashLine));
        m_triggerLine->setVisible(true);
    }
}

void CWaveChart::wheelEvent(QWheelEvent *event)
{
    const int steps = event->angleDelta().y();
    if (steps != 0)
        Q_EMIT wheelZoomRequested(TimeAt(static_cast<int>(event->position().x())), steps > 0);
    event->accept();
}

void CWaveChart::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && axisRect()->rect().contains(event->position().toPoint())) {
        m_dragging = true;
        m_dragTime = TimeAt(static_cast<int>(event->position().x()));
    }
    QCustomPlot::mousePressEvent(event);
}

void CWaveChart::mouseMoveEvent(QMouseEvent *event)
{
    const double time = TimeAt(static_cast<int>(event->position().x()));
    if (m_dragging && (event->buttons() & Qt::LeftButton)) {
        // The time under the pointer stays under it: the axis moves by the difference.
        const double delta = m_dragTime - time;
        if (delta != 0.0)
            Q_EMIT dragRequested(delta);
    } else if (axisRect()->rect().contains(event->position().toPoint())) {
        Q_EMIT pointerMoved(time);
    } else {
        Q_EMIT pointerMoved(kGapValue);
    }
    QCustomPlot::mouseMoveEvent(event);
}

void CWaveChart::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
    QCustomPlot::mouseReleaseEvent(event);
}

void CWaveChart::leaveEvent(QEvent *event)
{
    Q_EMIT pointerMoved(kGapValue);
    QCustomPlot::leaveEvent(event);
}

} // namespace kvl
