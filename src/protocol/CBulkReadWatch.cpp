#include "protocol/CBulkReadWatch.h"

#include <utility>

namespace kvl {

CBulkReadWatch::CBulkReadWatch(const Watcher &watcher, Sink sink) : m_watcher(watcher)
{
    if (m_watcher)
        m_watcher(std::move(sink));
}

CBulkReadWatch::~CBulkReadWatch()
{
    if (m_watcher)
        m_watcher(nullptr);
}

} // namespace kvl
