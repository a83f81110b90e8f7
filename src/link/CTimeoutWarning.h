#pragma once
// Counts exchanges in a row that timed out at the standard 200 ms and, at the tenth, shows the
// communication warning through its hook (when the face lent one) and starts counting again.
// The warning is said once per silence: a silent axis whose window keeps polling would otherwise
// raise it every ten time-outs; it is said again only after an answer and a new silence.
// Owned by the serial transport; one thread.
#include <functional>
#include <utility>

namespace kvl {

class CTimeoutWarning {
public:
    static constexpr int kCountedTimeoutMs = 200;   // only exchanges with this timeout count
    static constexpr int kWarnAfter = 10;

    // Takes the result of an exchange whose request went out. A timeout at kCountedTimeoutMs
    // counts, a timeout at any other value leaves the count alone, any other result (something
    // came back) resets it and ends the silence. True when this result raised the warning.
    bool OnResult(int result, int timeoutMs);
    int Count() const { return m_count; }
    // What shows the warning; empty: nothing is shown, the count still starts again.
    void SetHook(std::function<void()> warn) { m_warn = std::move(warn); }

private:
    int m_count = 0;
    bool m_warned = false; // said for the present silence
    std::function<void()> m_warn;
};

} // namespace kvl
