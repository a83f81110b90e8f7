#include "ui/CLampWidget.h"

#include <QPainter>

#include "ui/CSvgPicture.h"

namespace kvl {

namespace {
QString PictureOf(CLampWidget::State state)
{
    switch (state) {
    case CLampWidget::State::kOn: return QStringLiteral("lamp_on");
    case CLampWidget::State::kBusy: return QStringLiteral("lamp_busy");
    case CLampWidget::State::kError: return QStringLiteral("lamp_error");
    case CLampWidget::State::kOff: break;
    }
    return QStringLiteral("lamp_off");
}
} // namespace

CLampWidget::CLampWidget(QWidget *parent, int side) : QWidget(parent), m_side(side)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void CLampWidget::SetState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    update();
}

QSize CLampWidget::sizeHint() const
{
    return QSize(m_side, m_side);
}

void CLampWidget::paintEvent(QPaintEvent *)
{
    const qreal ratio = devicePixelRatioF();
    const int side = qMin(width(), height());
    QPixmap lamp = CSvgPicture::Render(PictureOf(m_state), QSize(side, side) * ratio);
    lamp.setDevicePixelRatio(ratio);
    QPainter painter(this);
    painter.drawPixmap((width() - side) / 2, (height() - side) / 2, lamp);
}

} // namespace kvl
