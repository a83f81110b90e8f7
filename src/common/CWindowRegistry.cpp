#include "common/CWindowRegistry.h"

namespace kvl {

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
    if (!slot && make)
        slot = make();
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

std::vector<QWidget *> CWindowRegistry::Existing() const
{
    std::vector<QWidget *> windows;
    for (const auto &entry : m_windows) {
        if (entry.second)
            windows.push_back(entry.second.data());
    }
    return windows;
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
