#include "common/CCellEdit.h"

#include <QKeyEvent>

#include "base/CCellInputRules.h"

namespace kvl {

namespace {
bool IsEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// Keys that act inside the edit and must not reach the grid or the window behind it.
bool StaysInside(int key)
{
    switch (key) {
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        return true;
    default:
        return false;
    }
}

// A typed character (not a shortcut, not a control key), or 0.
char32_t TypedChar(const QKeyEvent *event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return 0;
    const QList<uint> chars = event->text().toUcs4();
    if (chars.size() != 1 || chars.front() < 0x20 || chars.front() == 0x7f)
        return 0;
    return static_cast<char32_t>(chars.front());
}
} // namespace

CCellEdit::CCellEdit(QWidget *parent) : QLineEdit(parent)
{
    setFrame(false);
    hide();
}

void CCellEdit::SetLimits(double min, double max)
{
    m_min = min;
    m_max = max;
}

void CCellEdit::SetColours(const QColor &text, const QColor &background)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Text, text.isValid() ? text : QColor(Qt::black));
    colours.setColor(QPalette::Base, background.isValid() ? background : QColor(Qt::white));
    setPalette(colours);
}

void CCellEdit::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const char32_t c = TypedChar(event);
    if (IsEnter(key)) {
        event->accept();
    } else if (c != 0 && !CCellInputRules::TakesChar(c, m_accepted, m_type == Type::kText)) {
        event->accept(); // dropped
    } else {
        QLineEdit::keyPressEvent(event);
        if (StaysInside(key))
            event->accept();
    }
    if (IsEnter(key) || m_forwardAll)
        Q_EMIT keyPassed(key, modifiers);
}

} // namespace kvl
