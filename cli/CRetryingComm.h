#pragma once
// CRetryingComm: a facade in front of the real one that asks again when an idempotent read gets a
// spoiled reply. One bad CRC, a cut-off frame or a lost reply on a busy bus should not fail a
// whole command, but only a request that changes nothing may be sent twice: identification,
// state, parameter and single-step reads, I/O, alarms, scales and the gateway's lists. Writes,
// motion commands, the waveform batches (the controller moves on after each) and the bulk
// point-table read (a stream with its own end rule) go through exactly once. A read answered
// with the refusal pattern is asked once more (within the tries): a spoiled reply can look just
// like it, so a refusal counts only when it repeats. Main thread only.
#include <cstdint>

#include "link/CCommForwarder.h"

namespace kvl::cli {

class CRetryingComm : public CCommForwarder {
public:
    static constexpr int kDefaultTries = 3;
    static constexpr int kMaxTries = 10;

    // `tries` is the number of times an idempotent read is sent at most (1: never again).
    CRetryingComm(CComm &inner, int tries) : CCommForwarder(inner), m_tries(tries < 1 ? 1 : tries) {}

    // Whether silence (no reply in time) is asked again. A bus scan turns it off: there an
    // address that stays silent is simply not there, while a garbled reply still is someone.
    void SetRetryOnSilence(bool on) { m_retryOnSilence = on; }

    // Whether `request` (a whole frame) reads without changing anything on the controller.
    static bool IsIdempotentRead(const uint8_t *request, int requestLength);
    // Whether an exchange that returned `result` with these reply bytes failed on the way: no
    // reply, a malformed frame, another sender's frame, a wrong length or CRC. The controller's
    // refusal is an answer, not a fault.
    static bool IsReplyFault(int result, const uint8_t *request, const uint8_t *reply, int received,
                             int expected);

    int Exchange(const uint8_t *request, int requestLength, uint8_t *reply, int *received,
                 int expected, int timeoutMs, int settleMs) override;

private:
    int m_tries;
    bool m_retryOnSilence = true;
};

} // namespace kvl::cli
