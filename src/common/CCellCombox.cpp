#include "common/CCellCombox.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>

#include "base/CCellInputRules.h"

namespace kvl {

CCellCombox::CCellCombox(QWidget *parent) : QComboBox(parent)
{
    setEditable(false);
    hide();
}

void CCellCombox::SetColours(const QColor &text, const QColor &background)
{
    QPalette colours = palette();
    colours.setColor(QPalette::ButtonText, text.isValid() ? text : QColor(Qt::black));
    colours.setColor(QPalette::Text, text.isValid() ? text : QColor(Qt::black));
    colours.setColor(QPalette::Button, background.isValid() ? background : QColor(Qt::white));
    colours.setColor(QPalette::Base, background.isValid() ? background : QColor(Qt::white));
    setPalette(colours);
}

void CCellCombox::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        event->accept();
        Q_EMIT keyPassed(key, event->modifiers());
        return;
    }
    if ((key == Qt::Key_Up || key == Qt::Key_Down) && event->modifiers() == Qt::NoModifier) {
        setCurrentIndex(CCellInputRules::WrappedChoice(currentIndex(), count(), key == Qt::Key_Up));
        event->accept();
        return;
    }
    const QList<uint> chars = event->text().toUcs4();
    const bool typed = chars.size() == 1 && chars.front() >= 0x20 && chars.front() != 0x7f &&
                       !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (typed && !CCellInputRules::TakesChar(static_cast<char32_t>(chars.front()), m_accepted, false)) {
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void CCellCombox::focusOutEvent(QFocusEvent *event)
{
    QComboBox::focusOutEvent(event);
    if (!isVisible() || event->reason() == Qt::PopupFocusReason)
        return;
    QWidget *next = QApplication::focusWidget();
    if (next && (next == m_holder || isAncestorOf(next)))
        return;
    Q_EMIT keyPassed(Qt::Key_Return, Qt::NoModifier);
}

} // namespace kvl
