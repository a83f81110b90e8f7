#pragma once
// CHelpKey: F1 anywhere in a window (or in one of its widgets) opens the help at that window's
// section. It watches the key presses that reach the watched widget, its own or those its
// children pass on, so it needs no button in the window's layout. Owned by the watched widget;
// user-interface thread only.
#include <QObject>
#include <QString>

class QWidget;

namespace kvl {

class CWindowContext;

class CHelpKey : public QObject {
    Q_OBJECT
public:
    // Watches `widget` (which becomes the owner) and opens `section` of the help through
    // `context` on F1. `context` must outlive `widget`.
    static CHelpKey *Install(QWidget *widget, CWindowContext &context, const QString &section);

    const QString &Section() const { return m_section; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    CHelpKey(QWidget *widget, CWindowContext &context, const QString &section);

    CWindowContext &m_context;
    QString m_section;
};

} // namespace kvl
