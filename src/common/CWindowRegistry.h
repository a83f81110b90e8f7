#pragma once
// CWindowRegistry: the application's windows by (kind, axis). Every window the program opens
// more than once comes through FindOrCreate: the first call makes it with the caller's factory,
// later calls return the same window, and once the window is destroyed (its parent went, or the
// window deleted itself) the registry forgets it, so the next call makes a new one. At shutdown
// DestroyAll destroys every window still registered, the per-axis ones first.
// Windows of the whole run (axis link, port settings, help) are registered under kNoAxis; the
// per-axis kinds under an axis 0 to 15. Owned by the application object and reached through
// the window context; user-interface thread only.
#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <utility>

namespace kvl {

class CWindowRegistry {
public:
    // Kinds in order of dependence: a later kind's window may use an earlier one, never the
    // other way round (DestroyAll destroys them from the last kind back).
    enum class Kind {
        kAxisLink,
        kPortSettings,
        kHelp,
        kOfflineChoice,
        kOfflineMain,
        kOfflineGateway,
        kGateway,
        kAxisMain,
        kMonitor,
        kParamList,
        kWaveform,
        kTuning,
    };
    static constexpr int kNoAxis = -1;
    static constexpr int kAxisCount = 16;
    using Factory = std::function<QWidget *()>;

    CWindowRegistry();
    ~CWindowRegistry();
    CWindowRegistry(const CWindowRegistry &) = delete;
    CWindowRegistry &operator=(const CWindowRegistry &) = delete;

    // Whether `kind` has one window per axis (true) or one for the whole run.
    static bool PerAxis(Kind kind);
    // Whether (kind, axis) names a slot: an axis 0 to 15 for a per-axis kind, kNoAxis otherwise.
    static bool ValidSlot(Kind kind, int axis);

    // The window of (kind, axis), made by `make` when there is none. Every window made here is a
    // window of its own for the window manager: it does not stay above the window that opened it
    // and is not minimised with it. nullptr (and `make` not
    // called) for a slot that does not exist, or when `make` gives none.
    QWidget *FindOrCreateWidget(Kind kind, int axis, const Factory &make);
    template <class Window, class Make>
    Window *FindOrCreate(Kind kind, int axis, Make make)
    {
        return qobject_cast<Window *>(FindOrCreateWidget(kind, axis, Factory(std::move(make))));
    }
    // The window of (kind, axis) while it exists; nullptr otherwise.
    QWidget *FindWidget(Kind kind, int axis = kNoAxis) const;
    template <class Window>
    Window *Find(Kind kind, int axis = kNoAxis) const
    {
        return qobject_cast<Window *>(FindWidget(kind, axis));
    }
    // Windows that exist now.
    int Count() const;
    // Destroys every registered window, from the last kind back.
    void DestroyAll();

    // Shows `window` (restoring it when minimised), raises and activates it.
    static void Present(QWidget *window);

private:
    using Key = std::pair<Kind, int>;
    std::map<Key, QPointer<QWidget>> m_windows;
    // Unties each window it makes from the window of its parent (see FindOrCreateWidget).
    std::unique_ptr<QObject> m_independence;
};

} // namespace kvl
