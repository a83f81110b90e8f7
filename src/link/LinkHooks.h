#pragma once
// What a face lends the transport for what the core cannot do itself: show the communication
// warning, dispatch pending window messages during a long receive, show how far a bulk read has
// come. Each may be empty. Handed to the communication facade (CCommImplement::SetHooks), which
// passes them to its serial transport; called on the thread that makes the exchanges.
#include <functional>

namespace kvl {

struct LinkHooks {
    // Shows the communication warning after ten timeouts in a row; returns when the user closed it.
    std::function<void()> commWarning;
    // Dispatches pending window messages; called by the waveform reader while it waits for bytes.
    std::function<void()> pumpEvents;
    // Told the bytes received so far while a padded bulk read comes in (a face's progress).
    std::function<void(int received)> bulkReadProgress;
};

} // namespace kvl
