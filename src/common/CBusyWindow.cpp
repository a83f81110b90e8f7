#include "common/CBusyWindow.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QTimer>
#include <QtMath>

namespace kvl {

namespace {
// Room for an activity line such as "115200 bit/s: address 16 of 16" on one line; longer texts
// wrap onto a second.
constexpr int kWidth = 240;
constexpr int kTextLines = 2;
constexpr int kHeight = 150;
constexpr int kSpinnerRadius = 28;
constexpr int kDotRadius = 6;
constexpr int kSpinnerTop = 22;
const QColor kPanel(250, 251, 253);
const QColor kBorder(45, 108, 181);
const QColor kDotLit(45, 108, 181);
const QColor kDotDim(200, 214, 230);
} // namespace

CBusyWindow::CBusyWindow(FrameSource frame, int frameCount, int frameMs)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_frame(std::move(frame)), m_frameCount(frameCount)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setObjectName(QStringLiteral("busyIndicator"));
    setFixedSize(sizeHint());
    // While the event loop runs (between transfers) a timer keeps the spinner turning; during a
    // blocking exchange the transfer's Repaint() calls do it.
    m_tick = new QTimer(this);
    m_tick->setInterval(frameMs);
    connect(m_tick, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

void CBusyWindow::Open()
{
    if (!m_opened)
        qApp->installEventFilter(this);
    m_opened = true;
    show();
    raise();
}

void CBusyWindow::Close()
{
    if (m_opened)
        qApp->removeEventFilter(this);
    m_opened = false;
    m_modal = nullptr;
    hide();
}

bool CBusyWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show) {
        auto *dialog = qobject_cast<QWidget *>(watched);
        if (dialog && dialog != this && dialog->isWindow() && dialog->isModal()) {
            m_modal = dialog;
            // A dialog deleted while shown may never send its Hide.
            connect(dialog, &QObject::destroyed, this, [this] {
                if (m_opened && !isVisible()) {
                    m_modal = nullptr;
                    Open();
                }
            }, Qt::UniqueConnection);
            hide();
        }
    } else if (event->type() == QEvent::Hide && m_modal && watched == m_modal.data()) {
        m_modal = nullptr;
        if (m_opened)
            Open();
    }
    return false;
}

void CBusyWindow::SetProgressText(const QString &text)
{
    m_progress = text;
    update();
}

QSize CBusyWindow::sizeHint() const
{
    return QSize(kWidth, kHeight);
}

void CBusyWindow::showEvent(QShowEvent *event)
{
    m_tick->start();
    QWidget::showEvent(event);
}

void CBusyWindow::hideEvent(QHideEvent *event)
{
    m_tick->stop();
    QWidget::hideEvent(event);
}

void CBusyWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kBorder, 2));
    painter.setBrush(kPanel);
    painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 12, 12);

    const int frame = m_frame ? m_frame() : 0;
    m_paintedFrame = frame;
    const QPointF centre(width() / 2.0, kSpinnerTop + kSpinnerRadius + kDotRadius);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < m_frameCount; ++i) {
        // The lit dot and a fading tail behind it.
        const int behind = (frame - i + m_frameCount) % m_frameCount;
        QColor colour = behind == 0 ? kDotLit : kDotDim;
        if (behind == 1 || behind == 2) {
            const qreal mix = behind == 1 ? 0.6 : 0.3;
            colour = QColor::fromRgbF(kDotDim.redF() + (kDotLit.redF() - kDotDim.redF()) * mix,
                                      kDotDim.greenF() + (kDotLit.greenF() - kDotDim.greenF()) * mix,
                                      kDotDim.blueF() + (kDotLit.blueF() - kDotDim.blueF()) * mix);
        }
        const qreal angle = 2 * M_PI * i / m_frameCount - M_PI / 2;
        painter.setBrush(colour);
        painter.drawEllipse(centre + QPointF(qCos(angle), qSin(angle)) * kSpinnerRadius,
                            kDotRadius, kDotRadius);
    }
    if (!m_progress.isEmpty()) {
        painter.setPen(palette().color(QPalette::WindowText));
        const QRect textRect(4, kSpinnerTop + 2 * (kSpinnerRadius + kDotRadius) + 8, width() - 8,
                             kTextLines * fontMetrics().height() + 4);
        painter.drawText(textRect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, m_progress);
    }
}

} // namespace kvl
