#pragma once
// CTextDump: every text the windows of the screen tour hold, written for an audit of the language
// texts: window titles, captions of labels, buttons and group boxes, tab names, tooltips, the
// entries of menus, lists and combo boxes, and every cell and header of a view's model (all rows,
// whether scrolled into view or not), each in Qt::DisplayRole and Qt::ToolTipRole. One UTF-8 line
// per text, "window<TAB>object<TAB>text", tabs, newlines and backslashes inside a text escaped as
// \t, \n (\r) and \\. Owned by the tour's caller; user-interface thread only.
#include <QFile>
#include <QSet>
#include <QString>

class QAbstractItemModel;
class QCustomPlot;
class QObject;
class QWidget;

namespace kvl {

class CTextDump {
public:
    // Opens (and empties) `path`; Ok() says whether that worked.
    explicit CTextDump(const QString &path);
    bool Ok() const { return m_ok; }

    // Every text of `window` and of the widgets and menus inside it (not of other windows it
    // owns), under the name `windowName`.
    void Collect(const QString &windowName, const QWidget *window);
    // One text; an empty text is left out.
    void Add(const QString &windowName, const QString &object, const QString &text);

    // `text` with \, tab, newline and carriage return written as \\, \t, \n and \r.
    static QString Escape(const QString &text);
    // The name a widget is listed under: its object name, else (and for Qt's own parts, "qt_...")
    // its class or Qt's name after the nearest named ancestor below the window ("axisGroup/QLabel").
    static QString NameOf(const QObject *object, const QWidget *window);

private:
    // `widget`, then the widgets inside it that are not windows of their own.
    void CollectTree(const QString &windowName, const QWidget *widget, const QWidget *window);
    void CollectWidget(const QString &windowName, const QWidget *widget, const QWidget *window);
    void CollectModel(const QString &windowName, const QString &object, const QAbstractItemModel *model);
    void CollectPlot(const QString &windowName, const QString &object, const QCustomPlot *plot);

    QFile m_file;
    bool m_ok = false;
    // Models already listed during one Collect (a combo box's list view shares the box's model).
    QSet<const QAbstractItemModel *> m_models;
};

} // namespace kvl
