#include "ui/CJogButton.h"

#include <QEvent>

namespace kvl {

bool CJogButton::HoldLost() const
{
    const QWidget *grabber = QWidget::mouseGrabber();
    return !isDown() || (grabber && grabber != this);
}

bool CJogButton::event(QEvent *event)
{
    if (event->type() == QEvent::UngrabMouse) {
        setDown(false);
        Q_EMIT lost();
    }
    return CPictureButton::event(event);
}

void CJogButton::focusOutEvent(QFocusEvent *event)
{
    // The button forgets the press without a release; the hold ends here.
    const bool wasDown = isDown();
    CPictureButton::focusOutEvent(event);
    if (wasDown) {
        setDown(false);
        Q_EMIT lost();
    }
}

void CJogButton::hideEvent(QHideEvent *event)
{
    const bool wasDown = isDown();
    CPictureButton::hideEvent(event);
    if (wasDown) {
        setDown(false);
        Q_EMIT lost();
    }
}

} // namespace kvl
