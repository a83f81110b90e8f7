#pragma once
// A scripted device on a pseudo-terminal, for tests and benchmarks that talk to the tool's serial
// transport without hardware. The peer owns the master side and serves it in its own thread; the
// tool opens Path() as its port. For each request it calls the script, which answers with chunks
// of bytes (each after an optional gap), stays silent, or closes the pty (the device goes away,
// as an unplugged adapter does). A request is complete when it is a frame with a good CRC ending
// in CR LF, or when no byte came for kQuietMs.
//
//   kvl::test::PtyPeer peer([](const std::vector<uint8_t> &request) {
//       return kvl::test::PeerAction::Reply({0xEF, request[1], request[2], 0x01, 0x10, 0x21, 0x0D, 0x0A});
//   });
//   ASSERT_TRUE(peer.Start());
//   comm.Ports().SetPath(1, peer.Path());   // the port table of the facade under test
//
// Start, Stop and the accessors are called from the test's thread; the script runs in the peer's.
// The kernel hands a freed pty name to the next new pty at once, in any process: tests that drop
// devices should not run beside each other (ctest property RESOURCE_LOCK pty).
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/PtyMaster.h"

namespace kvl::test {

// Bytes the device sends after `gapBeforeMs` of silence.
struct PeerChunk {
    std::vector<uint8_t> bytes;
    int gapBeforeMs = 0;
};

// What the device does with one request.
struct PeerAction {
    std::vector<PeerChunk> chunks;   // sent in order; none: the device stays silent
    bool closeAfter = false;         // after the chunks, close the pty

    static PeerAction Silent() { return {}; }
    static PeerAction Reply(std::vector<uint8_t> bytes) { return {{{std::move(bytes), 0}}, false}; }
    static PeerAction Chunks(std::vector<PeerChunk> chunks) { return {std::move(chunks), false}; }
    static PeerAction Vanish(std::vector<PeerChunk> before = {}) { return {std::move(before), true}; }
};

using PeerScript = std::function<PeerAction(const std::vector<uint8_t> &request)>;

class PtyPeer {
public:
    static constexpr int kQuietMs = 20;   // silence that ends a request that is not a frame

    explicit PtyPeer(PeerScript script);
    ~PtyPeer();
    PtyPeer(const PtyPeer &) = delete;
    PtyPeer &operator=(const PtyPeer &) = delete;

    // Opens a new pseudo-terminal and starts serving it; false when the system refuses.
    bool Start();
    // Stops serving and closes the pty (if the script has not already closed it).
    void Stop();

    // The slave side's device path, for the tool's port.
    const std::string &Path() const { return m_path; }
    // Every request received so far, in order.
    std::vector<std::vector<uint8_t>> Requests() const;
    int RequestCount() const;
    // True once the script closed the pty.
    bool Vanished() const { return m_vanished; }
    // Line speed the tool set on its side, in bit/s; 0 when unknown or closed.
    int SlaveSpeed() const;

private:
    void Serve();
    void Answer(const std::vector<uint8_t> &request);
    bool WriteAll(const uint8_t *bytes, size_t count);

    PeerScript m_script;
    sim::PtyMaster m_master;
    std::string m_path;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_vanished{false};
    mutable std::mutex m_mutex;
    std::vector<std::vector<uint8_t>> m_requests;
};

} // namespace kvl::test
