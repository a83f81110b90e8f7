#include "common/CWindowRegistry.h"

#include <QEvent>
#include <QWindow>

namespace kvl {

namespace {

// The tool's windows are each a window of their own for the window manager: no window stays above
// the one that opened it, and minimising one leaves the others. Qt ties a window that has a parent
// to its parent's window (transient); the tie is undone each time the window shows.
class CIndependentWindow : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            if (QWindow *handle = static_cast<QWidget *>(watched)->windowHandle())
                handle->setTransientParent(nullptr);
        }
        return false;
    }
};

} // namespace

CWindowRegistry::CWindowRegistry() : m_independence(std::make_unique<CIndependentWindow>()) {}

CWindowRegistry::~CWindowRegistry() = default;

bool CWindowRegistry::PerAxis(Kind kind)
{
    return kind >= Kind::kAxisMain;
}

bool CWindowRegistry::ValidSlot(Kind kind, int axis)
{
    return PerAxis(kind) ? axis >= 0 && axis < kAxisCount : axis == kNoAxis;
}

QWidget *CWindowRegistry::FindOrCreateWidget(Kind kind, int axis, const Factory &make)
{
    if (!ValidSlot(kind, axis))
        return nullptr;
    QPointer<QWidget> &slot = m_windows[{kind, axis}];
    if (!slot && make) {
        slot = make();
        if (slot)
            slot->installEventFilter(m_independence.get());
    }
    return slot;
}

QWidget *CWindowRegistry::FindWidget(Kind kind, int axis) const
{
    const auto found = m_windows.find({kind, axis});
    return found == m_windows.end() ? nullptr : found->second.data();
}

int CWindowRegistry::Count() const
{
    int count = 0;
    for (const auto &entry : m_windows) {
        if (entry.second)
            ++count;
    }
    return count;
}

void CWindowRegistry::DestroyAll()
{
    // A window destroyed with its parent earlier in the loop has already left its slot.
    for (auto entry = m_windows.rbegin(); entry != m_windows.rend(); ++entry)
        delete entry->second.data();
    m_windows.clear();
}

void CWindowRegistry::Present(QWidget *window)
{
    if (!window)
        return;
    if (window->isMinimized())
        window->showNormal();
    else
        window->show();
    window->raise();
    window->activateWindow();
}

} // namespace kvl
