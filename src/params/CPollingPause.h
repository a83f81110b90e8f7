#pragma once
// CPollingPause: switches the application's status-polling switch off for the life of a bulk
// parameter transfer and on again on every way out, so that the timer-driven status reads of
// the axis and monitor windows stay off the bus meanwhile. Created on the stack by the transfer
// procedures; the thread that makes the exchanges.
#include "link/CAppState.h"

namespace kvl::params {

class CPollingPause {
public:
    CPollingPause() { CAppState::Instance().pollingOn = false; }
    ~CPollingPause() { CAppState::Instance().pollingOn = true; }
    CPollingPause(const CPollingPause &) = delete;
    CPollingPause &operator=(const CPollingPause &) = delete;
};

} // namespace kvl::params
