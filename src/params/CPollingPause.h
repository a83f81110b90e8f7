#pragma once
// CPollingPause: switches the application's status-polling switch off for the life of a bulk
// parameter transfer and on again on every way out, so that the timer-driven status reads of
// the axis and monitor windows stay off the bus meanwhile. Without application values (a face
// that does not poll) there is nothing to switch. Created on the stack by the transfer
// procedures; the thread that makes the exchanges.
#include "config/CAppValues.h"

namespace kvl::params {

class CPollingPause {
public:
    explicit CPollingPause(CAppValues *values) : m_values(values)
    {
        if (m_values != nullptr)
            m_values->pollingOn = false;
    }
    ~CPollingPause()
    {
        if (m_values != nullptr)
            m_values->pollingOn = true;
    }
    CPollingPause(const CPollingPause &) = delete;
    CPollingPause &operator=(const CPollingPause &) = delete;

private:
    CAppValues *m_values;
};

} // namespace kvl::params
