#include "ui/CPictureButton.h"

#include "ui/CSvgPicture.h"

namespace kvl {

namespace {
constexpr char kButtonStyle[] =
    "kvl--CPictureButton { border: 1px solid #c9d3de; border-radius: 8px; padding: 6px 10px;"
    " background: #fbfcfd; }"
    "kvl--CPictureButton:hover { border-color: #2d6cb5; background: #eef5fd; }"
    "kvl--CPictureButton:checked { border: 2px solid #2d6cb5; background: #dcebfb; }"
    "kvl--CPictureButton:disabled { color: #9aa5b1; background: #f3f5f7; }";
} // namespace

CPictureButton::CPictureButton(const QString &picture, const QString &caption, QWidget *parent,
                               int iconSide)
    : QToolButton(parent)
{
    setText(caption);
    setIconSize(QSize(iconSide, iconSide));
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    setStyleSheet(QString::fromLatin1(kButtonStyle));
    SetPicture(picture);
}

void CPictureButton::SetPicture(const QString &picture)
{
    m_picture = picture;
    // A button without a picture shows its caption alone.
    setIcon(picture.isEmpty() ? QIcon() : CSvgPicture::Icon(picture));
}

} // namespace kvl
