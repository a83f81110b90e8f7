#pragma once
// The byte loop of the simulator on its pseudo-terminal: assembles requests, stays silent when
// the tool's line speed differs from the bus speed, lets the bus answer, paces replies at the wire
// time of the line when asked and applies the fault switches. Runs on its own thread (Start/Stop)
// or on the caller's (Run). The SimBus it owns is reached from other threads only through WithBus().
// A demo bus inside another program:
//
//   kvl::sim::BusRunner runner(kvl::sim::SimBus::CreateDemo(), {});
//   std::string error;
//   if (runner.Open(&error) && runner.Start())
//       OpenThePortAt(runner.SlavePath());   // runs until runner.Stop() or its destruction
#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "sim/FaultInjector.h"
#include "sim/FrameAssembler.h"
#include "sim/PtyMaster.h"
#include "sim/SimBus.h"

namespace kvl::sim {

class BusRunner {
public:
    struct Settings {
        int baud = 115200;      // the bus speed; requests at another line speed get no answer
        bool pace = false;      // count request and reply bytes at 10 bits each, plus turnaround
        FaultPlan faults;
        uint32_t seed = 1;
    };
    static constexpr int64_t kTurnaroundMicros = 200;
    static constexpr int kBitsPerByte = 10;
    // Requests the record of CommandsReceived keeps (the oldest go first), so a long demo run
    // does not grow it without end.
    static constexpr size_t kReceivedKept = 4096;

    BusRunner(std::unique_ptr<SimBus> bus, Settings settings);
    ~BusRunner();
    BusRunner(const BusRunner &) = delete;
    BusRunner &operator=(const BusRunner &) = delete;

    // Opens the pseudo-terminal; false with a message when the system refuses.
    bool Open(std::string *error);
    const std::string &SlavePath() const { return m_pty.SlavePath(); }

    // Runs the loop on a thread of its own until Stop().
    bool Start();
    void Stop();
    // Runs the loop on the calling thread until `stop` becomes true.
    void Run(const std::atomic<bool> &stop);

    // Calls fn(SimBus&) under the bus lock (tests, demo display, state saving).
    template <typename Fn>
    auto WithBus(Fn fn)
    {
        std::lock_guard<std::mutex> lock(m_busMutex);
        return fn(*m_bus);
    }

    // One request the loop took (answered or not): the address, the command byte, the payload.
    struct LoggedRequest {
        uint8_t address = 0;
        uint8_t command = 0;
        std::vector<uint8_t> payload;
    };

    // Test hooks: an address that stops answering (or answers again) while the loop runs, and the
    // command bytes of the requests the loop took for an address (answered or not), oldest first.
    void SetSilent(uint8_t address, bool silent);
    void SetReplyDelay(int ms);
    // Replies of `address` to `command` come one data byte too long (a wrong-length reply) or
    // right again.
    void SetWrongLength(uint8_t address, uint8_t command, bool on);
    std::vector<uint8_t> CommandsReceived(uint8_t address) const;
    void ClearCommandsReceived();
    // The request log: every request kept, oldest first; and those of them that change what a
    // device holds or does (writes, table clears, servo, motion, input switches, alarm resets),
    // so a test can see that a run wrote nothing.
    std::vector<LoggedRequest> RequestLog() const;
    std::vector<LoggedRequest> WritesReceived() const;
    static bool IsWrite(uint8_t command);

    int BusSpeed() const { return m_baud.load(); }
    uint64_t RequestsAnswered() const { return m_answered.load(); }
    uint64_t RequestsGated() const { return m_gated.load(); }
    // Replies whose last byte (and any stream of noise after it) has been written.
    uint64_t RepliesSent() const { return m_sent.load(); }

private:
    void Serve(const FrameAssembler::Request &request);
    void Send(const std::vector<FaultInjector::Chunk> &chunks, int64_t readyMicros, double byteMicros);
    bool WritePaced(const std::vector<uint8_t> &bytes, int64_t startMicros, double byteMicros);
    void StreamNoise(double byteMicros);
    void AdvanceClock();
    static int64_t NowMicros();

    std::unique_ptr<SimBus> m_bus;
    std::mutex m_busMutex;
    Settings m_settings;
    FaultInjector m_faults;
    std::mutex m_faultsMutex;   // the fault switches change from the test's thread
    mutable std::mutex m_receivedMutex;
    std::deque<LoggedRequest> m_received;   // the newest kept
    PtyMaster m_pty;
    FrameAssembler m_assembler;
    std::atomic<int> m_baud;
    int m_lastRequestedSpeed = 0;
    int64_t m_lastAdvanceMicros = 0;
    std::atomic<bool> m_stop{false};
    const std::atomic<bool> *m_runningStop = &m_stop;   // the flag the running loop watches
    std::thread m_thread;
    std::atomic<uint64_t> m_answered{0};
    std::atomic<uint64_t> m_gated{0};
    std::atomic<uint64_t> m_sent{0};
};

} // namespace kvl::sim
