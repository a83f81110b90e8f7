#pragma once
// CBulkReadWatch: hands a sink for the byte count of a bulk read (the whole point table) to the
// watcher a caller lent, and takes it back on every way out of the read, so a progress display
// never outlives the read it shows. Lives on the stack of the reading function; one thread.
#include <functional>

namespace kvl {

class CBulkReadWatch {
public:
    using Sink = std::function<void(int received)>;
    using Watcher = std::function<void(Sink sink)>;

    // `watcher` may be empty (nobody watches); it must outlive this object.
    CBulkReadWatch(const Watcher &watcher, Sink sink);
    ~CBulkReadWatch();
    CBulkReadWatch(const CBulkReadWatch &) = delete;
    CBulkReadWatch &operator=(const CBulkReadWatch &) = delete;

private:
    const Watcher &m_watcher;
};

} // namespace kvl
