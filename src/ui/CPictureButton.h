#pragma once
// CPictureButton: the tool's push button with an SVG picture above or beside its caption, flat
// with a rounded hover frame; a checkable one marks the chosen entry of a group (the language
// buttons). Owned by its parent window; user-interface thread only.
#include <QToolButton>

namespace kvl {

class CPictureButton : public QToolButton {
    Q_OBJECT
public:
    explicit CPictureButton(const QString &picture, const QString &caption,
                            QWidget *parent = nullptr, int iconSide = 40);
    // Changes the picture (for example axis/axis_off when an axis answers or not).
    void SetPicture(const QString &picture);
    const QString &Picture() const { return m_picture; }

private:
    QString m_picture;
};

} // namespace kvl
