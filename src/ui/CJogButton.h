#pragma once
// CJogButton: a picture button that is held to move an axis. Besides pressed() and released() it
// says lost() when it can no longer see the release: it loses the keyboard focus or is hidden
// while held, or a window takes the mouse grab from it. A button that is down when the mouse
// grab went elsewhere is caught by HoldLost(), which the owner asks while the hold lasts.
// Owned by its parent window; user-interface thread only.
#include "ui/CPictureButton.h"

namespace kvl {

class CJogButton : public CPictureButton {
    Q_OBJECT
public:
    using CPictureButton::CPictureButton;

    // True when the button is not held by the mouse any more although no release came: it is
    // not down, or another widget holds the mouse grab.
    bool HoldLost() const;

Q_SIGNALS:
    void lost();

protected:
    bool event(QEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void hideEvent(QHideEvent *event) override;
};

} // namespace kvl
