// The text dump of the screen tour: every text a window holds, cells out of view included, one
// escaped line each.
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include "app/CTextDump.h"

namespace kvl {
namespace {

constexpr int kRows = 100;
constexpr int kColumns = 3;

TEST(TextDumpTest, EscapesTabsNewlinesAndBackslashes)
{
    const struct {
        const char *text;
        const char *escaped;
    } cases[] = {{"plain", "plain"},
                 {"a\tb", "a\\tb"},
                 {"line\nnext", "line\\nnext"},
                 {"cr\r\n", "cr\\r\\n"},
                 {"back\\slash", "back\\\\slash"},
                 {"位置保持", "位置保持"}};
    for (const auto &c : cases)
        EXPECT_EQ(CTextDump::Escape(QString::fromUtf8(c.text)), QString::fromUtf8(c.escaped)) << c.text;
}

TEST(TextDumpTest, ListsEveryTextOfAWindowWithCellsOutOfView)
{
    QWidget window;
    window.setWindowTitle(QStringLiteral("Window\tone"));
    auto *layout = new QVBoxLayout(&window);
    auto *label = new QLabel(QStringLiteral("first\nsecond"), &window);
    label->setObjectName(QStringLiteral("label"));
    label->setToolTip(QStringLiteral("label tip"));
    auto *group = new QGroupBox(QStringLiteral("AUTO / MANU"), &window);
    group->setObjectName(QStringLiteral("group"));
    auto *button = new QPushButton(QStringLiteral("サーボON"), group);
    auto *menu = new QMenu(button);
    menu->addAction(QStringLiteral("Print preview"));
    button->setMenu(menu);
    auto *tabs = new QTabWidget(&window);
    tabs->setObjectName(QStringLiteral("tabs"));
    tabs->addTab(new QWidget, QStringLiteral("Page 1"));
    tabs->addTab(new QWidget, QStringLiteral("Page 2"));
    tabs->setTabToolTip(1, QStringLiteral("second page"));
    auto *model = new QStandardItemModel(kRows, kColumns, &window);
    model->setHorizontalHeaderLabels({QStringLiteral("No"), QStringLiteral("Mode"), QStringLiteral("Stop mode")});
    model->setItem(kRows - 1, kColumns - 1, new QStandardItem(QStringLiteral("far")));
    model->item(kRows - 1, kColumns - 1)->setToolTip(QStringLiteral("far tip"));
    auto *grid = new QTableView(&window);
    grid->setObjectName(QStringLiteral("grid"));
    grid->setModel(model);
    grid->setFixedHeight(80);   // row 99 is out of view
    auto *combo = new QComboBox(&window);
    combo->setObjectName(QStringLiteral("combo"));
    combo->addItems({QStringLiteral("台形"), QStringLiteral("S字")});
    for (QWidget *widget : std::initializer_list<QWidget *>{label, group, tabs, grid, combo})
        layout->addWidget(widget);
    // A window of its own that the window owns is listed under its own name, not here.
    auto *owned = new QWidget(&window, Qt::Window);
    new QLabel(QStringLiteral("elsewhere"), owned);

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("texts.tsv"));
    {
        CTextDump dump(path);
        ASSERT_TRUE(dump.Ok());
        dump.Collect(QStringLiteral("win"), &window);
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);

    const char *const expected[] = {
        "win\tQWidget.windowTitle\tWindow\\tone",
        "win\tlabel\tfirst\\nsecond",
        "win\tlabel.toolTip\tlabel tip",
        "win\tgroup\tAUTO / MANU",
        "win\tgroup/QPushButton\tサーボON",
        "win\tgroup/QMenu.action[0]\tPrint preview",
        "win\ttabs/qt_tabwidget_tabbar.tab[0]\tPage 1",
        "win\ttabs/qt_tabwidget_tabbar.tab[1]\tPage 2",
        "win\ttabs/qt_tabwidget_tabbar.tab[1].toolTip\tsecond page",
        "win\tgrid.header[2]\tStop mode",
        "win\tgrid[99,2]\tfar",
        "win\tgrid[99,2].toolTip\tfar tip",
        "win\tcombo[0,0]\t台形",
        "win\tcombo[1,0]\tS字",
    };
    for (const char *line : expected)
        EXPECT_TRUE(lines.contains(QString::fromUtf8(line))) << line;
    EXPECT_EQ(lines.filter(QStringLiteral("\t") + QStringLiteral("S字")).size(), 1)
        << "the combo box's list shares its model: listed once";
    EXPECT_TRUE(lines.filter(QStringLiteral("elsewhere")).isEmpty());
    for (const QString &line : lines)
        EXPECT_EQ(line.count(QLatin1Char('\t')), 2) << line.toStdString();
}

} // namespace
} // namespace kvl
