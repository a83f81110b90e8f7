#pragma once
// Fixture for the tests that talk to a scripted device on a pseudo-terminal, and a script the test
// sets. Each transport a test makes has its own port table: PointAtPeer maps port number kPort of
// that table to the peer's device.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "link/CPortResolver.h"
#include "protocol/Frame.h"
#include "support/PtyPeer.h"

namespace kvl::test {

// The whole file as it is on disk (a trace log); empty when it cannot be read.
inline std::string ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class PeerTest : public ::testing::Test {
protected:
    static constexpr int kPort = 1;
    static constexpr int kSpeed = 115200;
    static constexpr uint8_t kAxis = 2;

    void SetUp() override
    {
        m_peer = MakePeer();
        ASSERT_TRUE(m_peer->Start());
    }

    void TearDown() override { m_peer->Stop(); }

    // Port number kPort of `ports` (a transport's table) leads to the peer's device.
    void PointAtPeer(CPortResolver &ports) { ports.SetPath(kPort, m_peer->Path()); }

    // A peer that follows the fixture's current script.
    std::unique_ptr<PtyPeer> MakePeer()
    {
        return std::make_unique<PtyPeer>([this](const std::vector<uint8_t> &request) {
            std::lock_guard<std::mutex> hold(m_scriptMutex);
            return m_script ? m_script(request) : PeerAction::Silent();
        });
    }

    // A new device in place of the old one on port kPort of `ports`, so that nothing the old one
    // still sends can reach the next exchange. Close the port first; the next exchange reopens it.
    void ReplaceDevice(CPortResolver &ports)
    {
        m_peer->Stop();
        m_peer = MakePeer();
        ASSERT_TRUE(m_peer->Start());
        PointAtPeer(ports);
    }

    void Script(PeerScript script)
    {
        std::lock_guard<std::mutex> hold(m_scriptMutex);
        m_script = std::move(script);
    }
    // Every request is answered with the same chunks.
    void AnswerWith(std::vector<PeerChunk> chunks)
    {
        Script([chunks](const std::vector<uint8_t> &) { return PeerAction::Chunks(chunks); });
    }

    static std::vector<uint8_t> Frame(uint8_t command, const std::vector<uint8_t> &data = {})
    {
        return frame::Build(kAxis, command, data);
    }
    static std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts)
    {
        std::vector<uint8_t> out;
        for (const auto &part : parts)
            out.insert(out.end(), part.begin(), part.end());
        return out;
    }

    std::unique_ptr<PtyPeer> m_peer;

private:
    std::mutex m_scriptMutex;
    PeerScript m_script;
};

} // namespace kvl::test
