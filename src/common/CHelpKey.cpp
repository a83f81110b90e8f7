#include "common/CHelpKey.h"

#include <QKeyEvent>
#include <QWidget>

#include "common/CWindowContext.h"

namespace kvl {

CHelpKey *CHelpKey::Install(QWidget *widget, CWindowContext &context, const QString &section)
{
    return new CHelpKey(widget, context, section);
}

CHelpKey::CHelpKey(QWidget *widget, CWindowContext &context, const QString &section)
    : QObject(widget), m_context(context), m_section(section)
{
    setObjectName(QStringLiteral("helpKey"));
    widget->installEventFilter(this);
}

bool CHelpKey::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->matches(QKeySequence::HelpContents)) {
        m_context.ShowHelp(m_section);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace kvl
