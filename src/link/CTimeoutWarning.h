#pragma once
// Counts exchanges in a row that timed out at the standard 200 ms and, at the tenth, shows the
// communication warning through CAppState::commWarning (when a face installed it) and starts
// counting again. Owned by the serial transport; one thread.

namespace kvl {

class CTimeoutWarning {
public:
    static constexpr int kCountedTimeoutMs = 200;   // only exchanges with this timeout count
    static constexpr int kWarnAfter = 10;

    // Takes the result of an exchange whose request went out. A timeout at kCountedTimeoutMs
    // counts, a timeout at any other value leaves the count alone, any other result resets it.
    // True when this result raised the warning.
    bool OnResult(int result, int timeoutMs);
    int Count() const { return count_; }

private:
    int count_ = 0;
};

} // namespace kvl
