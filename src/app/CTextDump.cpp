#include "app/CTextDump.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTextEdit>

#include <functional>

#include <qcustomplot.h>

namespace kvl {

namespace {
constexpr char kSeparator = '\t';
constexpr char kQtInternalPrefix[] = "qt_";
// The roles of a model's cells and headers that reach the user.
constexpr Qt::ItemDataRole kRoles[] = {Qt::DisplayRole, Qt::ToolTipRole};

QString RoleSuffix(Qt::ItemDataRole role)
{
    return role == Qt::ToolTipRole ? QStringLiteral(".toolTip") : QString();
}

QString TextOf(const QVariant &value)
{
    return value.canConvert<QString>() ? value.toString() : QString();
}
} // namespace

CTextDump::CTextDump(const QString &path) : m_file(path)
{
    m_ok = m_file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

QString CTextDump::Escape(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\': escaped += QStringLiteral("\\\\"); break;
        case '\t': escaped += QStringLiteral("\\t"); break;
        case '\n': escaped += QStringLiteral("\\n"); break;
        case '\r': escaped += QStringLiteral("\\r"); break;
        default: escaped += c;
        }
    }
    return escaped;
}

QString CTextDump::NameOf(const QObject *object, const QWidget *window)
{
    const QString own = object->objectName();
    if (!own.isEmpty() && !own.startsWith(QLatin1String(kQtInternalPrefix)))
        return own;
    // Qt's own parts (a tab widget's tab bar) are named alike in every widget: named by their owner.
    const QString name = own.isEmpty() ? QString::fromLatin1(object->metaObject()->className()) : own;
    for (const QObject *parent = object->parent(); parent && parent != window; parent = parent->parent()) {
        if (!parent->objectName().isEmpty() && !parent->objectName().startsWith(QLatin1String(kQtInternalPrefix)))
            return parent->objectName() + QLatin1Char('/') + name;
    }
    return name;
}

void CTextDump::Add(const QString &windowName, const QString &object, const QString &text)
{
    if (!m_ok || text.isEmpty())
        return;
    const QString line = Escape(windowName) + QLatin1Char(kSeparator) + Escape(object) + QLatin1Char(kSeparator) +
                         Escape(text) + QLatin1Char('\n');
    m_file.write(line.toUtf8());
    m_file.flush();
}

void CTextDump::Collect(const QString &windowName, const QWidget *window)
{
    if (!window)
        return;
    m_models.clear();
    CollectTree(windowName, window, window);
    m_models.clear();
}

void CTextDump::CollectTree(const QString &windowName, const QWidget *widget, const QWidget *window)
{
    CollectWidget(windowName, widget, window);
    for (const QObject *object : widget->children()) {
        const auto *child = qobject_cast<const QWidget *>(object);
        // A window of its own (an axis window over the link window) is listed when it is visited;
        // popups (menus, a combo box's list) belong to their owner.
        if (child && (!child->isWindow() || child->windowType() == Qt::Popup))
            CollectTree(windowName, child, window);
    }
}

void CTextDump::CollectWidget(const QString &windowName, const QWidget *widget, const QWidget *window)
{
    const QString name = NameOf(widget, window);
    if (widget->isWindow())
        Add(windowName, name + QStringLiteral(".windowTitle"), widget->windowTitle());
    Add(windowName, name + QStringLiteral(".toolTip"), widget->toolTip());
    if (auto *label = qobject_cast<const QLabel *>(widget))
        Add(windowName, name, label->text());
    else if (auto *button = qobject_cast<const QAbstractButton *>(widget))
        Add(windowName, name, button->text());
    else if (auto *group = qobject_cast<const QGroupBox *>(widget))
        Add(windowName, name, group->title());
    else if (auto *edit = qobject_cast<const QLineEdit *>(widget)) {
        Add(windowName, name, edit->text());
        Add(windowName, name + QStringLiteral(".placeholder"), edit->placeholderText());
    } else if (auto *text = qobject_cast<const QTextEdit *>(widget))
        Add(windowName, name, text->toPlainText());
    else if (auto *plain = qobject_cast<const QPlainTextEdit *>(widget))
        Add(windowName, name, plain->toPlainText());
    else if (auto *tabs = qobject_cast<const QTabBar *>(widget)) {
        for (int i = 0; i < tabs->count(); ++i) {
            const QString tab = name + QStringLiteral(".tab[%1]").arg(i);
            Add(windowName, tab, tabs->tabText(i));
            Add(windowName, tab + QStringLiteral(".toolTip"), tabs->tabToolTip(i));
        }
    } else if (auto *combo = qobject_cast<const QComboBox *>(widget))
        CollectModel(windowName, name, combo->model());
    else if (auto *view = qobject_cast<const QAbstractItemView *>(widget))
        CollectModel(windowName, name, view->model());
    else if (auto *plot = qobject_cast<const QCustomPlot *>(widget))
        CollectPlot(windowName, name, plot);
    const QList<QAction *> actions = widget->actions();
    for (int i = 0; i < actions.size(); ++i) {
        const QAction *action = actions.at(i);
        const QString entry = name + QStringLiteral(".action[%1]").arg(i);
        Add(windowName, entry, action->text());
        if (action->toolTip() != QString(action->text()).remove(QLatin1Char('&')))
            Add(windowName, entry + QStringLiteral(".toolTip"), action->toolTip());
    }
}

// A chart draws its texts itself: the axis labels and the names its legend shows.
void CTextDump::CollectPlot(const QString &windowName, const QString &object, const QCustomPlot *plot)
{
    QCustomPlot *chart = const_cast<QCustomPlot *>(plot); // its getters are not const
    const QList<QCPAxis *> axes = chart->axisRect()->axes();
    for (int i = 0; i < axes.size(); ++i)
        Add(windowName, object + QStringLiteral(".axis[%1]").arg(i), axes.at(i)->label());
    for (int i = 0; i < chart->plottableCount(); ++i)
        Add(windowName, object + QStringLiteral(".plot[%1]").arg(i), chart->plottable(i)->name());
}

void CTextDump::CollectModel(const QString &windowName, const QString &object, const QAbstractItemModel *model)
{
    if (!model || m_models.contains(model))
        return;
    m_models.insert(model);
    for (const Qt::ItemDataRole role : kRoles) {
        for (int column = 0; column < model->columnCount(); ++column)
            Add(windowName, object + QStringLiteral(".header[%1]").arg(column) + RoleSuffix(role),
                TextOf(model->headerData(column, Qt::Horizontal, role)));
        for (int row = 0; row < model->rowCount(); ++row)
            Add(windowName, object + QStringLiteral(".rowHeader[%1]").arg(row) + RoleSuffix(role),
                TextOf(model->headerData(row, Qt::Vertical, role)));
    }
    // Depth first through the tree (a table is one level); every row and column, in view or not.
    std::function<void(const QModelIndex &, const QString &)> rows = [&](const QModelIndex &parent,
                                                                        const QString &path) {
        for (int row = 0; row < model->rowCount(parent); ++row) {
            for (int column = 0; column < model->columnCount(parent); ++column) {
                const QModelIndex index = model->index(row, column, parent);
                const QString cell = object + QStringLiteral("[%1%2,%3]").arg(path).arg(row).arg(column);
                for (const Qt::ItemDataRole role : kRoles)
                    Add(windowName, cell + RoleSuffix(role), TextOf(model->data(index, role)));
                if (column == 0 && model->hasChildren(index))
                    rows(index, path + QString::number(row) + QLatin1Char('/'));
            }
        }
    };
    rows(QModelIndex(), QString());
}

} // namespace kvl
