#include "support/PtyPeer.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "protocol/Frame.h"

namespace kvl::test {
namespace {

constexpr int kReadSliceMs = 5;
constexpr size_t kMinFrame = frame::kFrameOverhead;

// Length of the shortest complete frame at the front of `bytes`, or 0 when there is none yet.
size_t FrameAtFront(const std::vector<uint8_t> &bytes)
{
    if (bytes.empty() || bytes.front() != frame::kStartByte)
        return 0;
    for (size_t length = kMinFrame; length <= bytes.size(); ++length) {
        if (frame::EndsWithCrLf(bytes.data(), length) && frame::CrcMatches(bytes.data(), length))
            return length;
    }
    return 0;
}

} // namespace

PtyPeer::PtyPeer(PeerScript script) : m_script(std::move(script)) {}

PtyPeer::~PtyPeer()
{
    Stop();
}

bool PtyPeer::Start()
{
    Stop();
    if (!m_master.Open())
        return false;
    m_path = m_master.SlavePath();
    // Non-blocking, so that a reply the tool no longer reads cannot hold the thread in write().
    const int flags = ::fcntl(m_master.Fd(), F_GETFL);
    ::fcntl(m_master.Fd(), F_SETFL, flags | O_NONBLOCK);
    m_stop = false;
    m_vanished = false;
    m_thread = std::thread(&PtyPeer::Serve, this);
    return true;
}

void PtyPeer::Stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    m_master.Close();
}

std::vector<std::vector<uint8_t>> PtyPeer::Requests() const
{
    std::lock_guard<std::mutex> hold(m_mutex);
    return m_requests;
}

int PtyPeer::RequestCount() const
{
    std::lock_guard<std::mutex> hold(m_mutex);
    return static_cast<int>(m_requests.size());
}

int PtyPeer::SlaveSpeed() const
{
    return m_vanished ? 0 : m_master.SlaveSpeed();
}

void PtyPeer::Serve()
{
    using Clock = std::chrono::steady_clock;
    std::vector<uint8_t> pending;
    Clock::time_point lastByte = Clock::now();
    uint8_t chunk[4096];
    while (!m_stop && !m_vanished) {
        const int n = m_master.Read(chunk, sizeof chunk, kReadSliceMs);
        if (n < 0)
            return;
        if (n > 0) {
            pending.insert(pending.end(), chunk, chunk + n);
            lastByte = Clock::now();
            // Requests sent back to back arrive together: answer each frame in turn.
            for (size_t length = FrameAtFront(pending); length > 0 && !m_vanished; length = FrameAtFront(pending)) {
                Answer(std::vector<uint8_t>(pending.begin(), pending.begin() + static_cast<long>(length)));
                pending.erase(pending.begin(), pending.begin() + static_cast<long>(length));
            }
        } else if (!pending.empty() && Clock::now() - lastByte >= std::chrono::milliseconds(kQuietMs)) {
            Answer(pending);
            pending.clear();
        }
    }
}

void PtyPeer::Answer(const std::vector<uint8_t> &request)
{
    {
        std::lock_guard<std::mutex> hold(m_mutex);
        m_requests.push_back(request);
    }
    const PeerAction action = m_script ? m_script(request) : PeerAction::Silent();
    for (const PeerChunk &piece : action.chunks) {
        if (m_stop)
            return;
        // The gap is the silence on the line the script asks for (a slow or stalled device), the
        // very thing the transport's timeouts are tested against, so it is slept, not waited out.
        if (piece.gapBeforeMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(piece.gapBeforeMs));
        if (!WriteAll(piece.bytes.data(), piece.bytes.size()))
            return;
    }
    if (action.closeAfter) {
        m_master.Close();
        m_vanished = true;
    }
}

bool PtyPeer::WriteAll(const uint8_t *bytes, size_t count)
{
    size_t done = 0;
    while (done < count) {
        if (m_stop)
            return false;
        const ssize_t n = ::write(m_master.Fd(), bytes + done, count - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd pfd{m_master.Fd(), POLLOUT, 0};
        ::poll(&pfd, 1, kReadSliceMs);
    }
    return true;
}

} // namespace kvl::test
