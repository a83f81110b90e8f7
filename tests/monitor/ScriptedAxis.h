#pragma once
// A simulated axis whose monitor answers a test can set: it passes every request to a real
// simulated controller, except those the test scripted (positions, alarm history, a status byte)
// or silenced, and it records every request it was sent, answered or not. Owned by the SimBus;
// a test reaches it only under the runner's bus lock (BusRunner::WithBus).
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "protocol/ServoTypes.h"
#include "sim/AxisDevice.h"
#include "sim/SimDevice.h"

namespace kvl::test {

class ScriptedAxis : public sim::SimDevice {
public:
    struct Request {
        uint8_t command;
        std::vector<uint8_t> payload;
    };

    explicit ScriptedAxis(std::unique_ptr<sim::AxisDevice> inner);

    uint8_t Address() const override { return m_inner->Address(); }
    const sim::ModelInfo &Model() const override { return m_inner->Model(); }
    std::vector<uint8_t> Handle(uint8_t command, const uint8_t *payload, size_t length) override;
    void Advance(int64_t micros) override { m_inner->Advance(micros); }
    nlohmann::json SaveState() const override { return m_inner->SaveState(); }
    void LoadState(const nlohmann::json &state) override { m_inner->LoadState(state); }

    // No answer to anything (a pulled cable), or to one command only.
    void SetSilent(bool silent) { m_silent = silent; }
    void SilenceCommand(uint8_t command) { m_silenced.insert(command); }
    // The one status byte `command` answers with from now on.
    void SetStatus(uint8_t command, uint8_t status) { m_status[command] = status; }
    void SetPositions(Positions positions) { m_positions = positions; }
    void SetHistory(std::vector<uint8_t> history) { m_history = std::move(history); }

    int Count(uint8_t command) const;
    const std::vector<Request> &Requests() const { return m_requests; }
    sim::AxisDevice &Inner() { return *m_inner; }

private:
    std::unique_ptr<sim::AxisDevice> m_inner;
    bool m_silent = false;
    std::set<uint8_t> m_silenced;
    std::map<uint8_t, uint8_t> m_status;
    std::optional<Positions> m_positions;
    std::optional<std::vector<uint8_t>> m_history;
    std::vector<Request> m_requests;
};

} // namespace kvl::test
