// The window registry: one window per (kind, axis) made by the caller's factory, the same window
// after, a new one once it was destroyed, the slots that exist, and everything destroyed at
// shutdown, windows that went with their parent included.
#include "common/CWindowRegistry.h"

#include <QDialog>
#include <QWindow>
#include <QPointer>
#include <QWidget>

#include <gtest/gtest.h>

namespace kvl {
namespace {

using Kind = CWindowRegistry::Kind;

TEST(WindowRegistryTest, MakesOneWindowPerSlotAndANewOneAfterItWasDestroyed)
{
    CWindowRegistry windows;
    int made = 0;
    auto make = [&made] {
        ++made;
        return new QWidget;
    };
    QWidget *first = windows.FindOrCreateWidget(Kind::kAxisMain, 3, make);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(windows.FindOrCreateWidget(Kind::kAxisMain, 3, make), first);
    EXPECT_EQ(made, 1) << "the factory runs once per slot";
    QWidget *other = windows.FindOrCreateWidget(Kind::kAxisMain, 4, make);
    QWidget *monitor = windows.FindOrCreateWidget(Kind::kMonitor, 3, make);
    EXPECT_NE(other, first);
    EXPECT_NE(monitor, first);
    EXPECT_EQ(made, 3);
    EXPECT_EQ(windows.Count(), 3);

    delete first;
    EXPECT_EQ(windows.FindWidget(Kind::kAxisMain, 3), nullptr) << "a destroyed window is forgotten";
    EXPECT_EQ(windows.Count(), 2);
    QWidget *again = windows.FindOrCreateWidget(Kind::kAxisMain, 3, make);
    EXPECT_NE(again, nullptr);
    EXPECT_EQ(made, 4);
    EXPECT_EQ(windows.FindWidget(Kind::kAxisMain, 3), again);
    windows.DestroyAll();
}

TEST(WindowRegistryTest, OnlySlotsThatExistAreMade)
{
    struct Case {
        Kind kind;
        int axis;
        bool exists;
    };
    const Case cases[] = {
        {Kind::kAxisLink, CWindowRegistry::kNoAxis, true},
        {Kind::kAxisLink, 0, false},
        {Kind::kPortSettings, CWindowRegistry::kNoAxis, true},
        {Kind::kHelp, 5, false},
        {Kind::kGateway, CWindowRegistry::kNoAxis, true},
        {Kind::kAxisMain, 0, true},
        {Kind::kParamList, 15, true},
        {Kind::kTuning, 16, false},
        {Kind::kWaveform, CWindowRegistry::kNoAxis, false},
    };
    CWindowRegistry windows;
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << static_cast<int>(c.kind) << " axis " << c.axis);
        bool called = false;
        QWidget *window = windows.FindOrCreateWidget(c.kind, c.axis, [&called] {
            called = true;
            return new QWidget;
        });
        EXPECT_EQ(window != nullptr, c.exists);
        EXPECT_EQ(called, c.exists);
        EXPECT_EQ(CWindowRegistry::ValidSlot(c.kind, c.axis), c.exists);
    }
    windows.DestroyAll();
}

TEST(WindowRegistryTest, TypedLookupsGiveTheWindowOnlyAsItsOwnClass)
{
    CWindowRegistry windows;
    auto *made = windows.FindOrCreate<QWidget>(Kind::kHelp, CWindowRegistry::kNoAxis, [] { return new QWidget; });
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(windows.Find<QWidget>(Kind::kHelp), made);
    EXPECT_EQ(windows.Find<QDialog>(Kind::kHelp), nullptr) << "a plain widget is no dialog";
    EXPECT_EQ(windows.Find<QWidget>(Kind::kAxisLink), nullptr);
    windows.DestroyAll();
}

TEST(WindowRegistryTest, DestroyAllDestroysEveryWindowAlsoThoseThatWentWithTheirParent)
{
    CWindowRegistry windows;
    QPointer<QWidget> link = windows.FindOrCreateWidget(Kind::kAxisLink, CWindowRegistry::kNoAxis,
                                                        [] { return new QWidget; });
    // The port settings window is a child of the axis link window, as in the program.
    QPointer<QWidget> ports = windows.FindOrCreateWidget(Kind::kPortSettings, CWindowRegistry::kNoAxis,
                                                         [&link] { return new QWidget(link.data(), Qt::Window); });
    QPointer<QWidget> main0 = windows.FindOrCreateWidget(Kind::kAxisMain, 0, [] { return new QWidget; });
    QPointer<QWidget> tuning15 = windows.FindOrCreateWidget(Kind::kTuning, 15, [] { return new QWidget; });
    ASSERT_EQ(windows.Count(), 4);

    windows.DestroyAll();
    EXPECT_TRUE(link.isNull());
    EXPECT_TRUE(ports.isNull());
    EXPECT_TRUE(main0.isNull());
    EXPECT_TRUE(tuning15.isNull());
    EXPECT_EQ(windows.Count(), 0);
    EXPECT_EQ(windows.FindWidget(Kind::kAxisLink), nullptr);
    windows.DestroyAll();   // nothing left: a second call does nothing
}

TEST(WindowRegistryTest, PresentShowsAndRestoresAMinimisedWindow)
{
    QWidget window;
    CWindowRegistry::Present(&window);
    EXPECT_TRUE(window.isVisible());
    window.showMinimized();
    CWindowRegistry::Present(&window);
    EXPECT_FALSE(window.isMinimized());
    EXPECT_TRUE(window.isVisible());
    CWindowRegistry::Present(nullptr);
}

// A window the registry makes is a window of its own for the window manager: it does not stay
// above the window that opened it and is not minimised with it (no transient parent), while a
// dialog made the ordinary way with a parent is tied to it.
TEST(WindowRegistryTest, TheWindowsItMakesAreNotTiedToTheWindowThatOpenedThem)
{
    QWidget opener;
    opener.show();
    CWindowRegistry windows;
    QWidget *axisWindow = windows.FindOrCreateWidget(Kind::kAxisMain, 1, [&opener] { return new QDialog(&opener); });
    ASSERT_NE(axisWindow, nullptr);
    axisWindow->show();
    ASSERT_NE(axisWindow->windowHandle(), nullptr);
    EXPECT_EQ(axisWindow->windowHandle()->transientParent(), nullptr);
    axisWindow->hide();
    axisWindow->show();
    EXPECT_EQ(axisWindow->windowHandle()->transientParent(), nullptr) << "shown again";

    QDialog tied(&opener);
    tied.show();
    ASSERT_NE(tied.windowHandle(), nullptr);
    EXPECT_EQ(tied.windowHandle()->transientParent(), opener.windowHandle()) << "what the registry undoes";
}

} // namespace
} // namespace kvl
