#pragma once
// The simulated network gateway unit at 0xF1: identification, its own parameters (fieldbus type,
// CC-Link, DeviceNet and EtherNet/IP settings, PC and driver speeds), the station device list and
// input-mode table, alarm history and remote state. Owned by the SimBus; bus thread only.
#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "sim/AlarmLog.h"
#include "protocol/CommandCodes.h"
#include "sim/ParameterStore.h"
#include "sim/SimDevice.h"

namespace kvl::sim {

class GatewayDevice : public SimDevice {
public:
    using StationTable = std::array<uint8_t, cmd::kUnitStationCount>;
    static constexpr uint8_t kAnyModel = 255;
    static constexpr uint8_t kMaxInputMode = 3;

    GatewayDevice(uint8_t address, const std::string &version, const std::string &name);

    uint8_t Address() const override { return m_address; }
    const ModelInfo &Model() const override { return m_model; }
    std::vector<uint8_t> Handle(uint8_t command, const uint8_t *payload, size_t length) override;
    void Advance(int64_t) override {}
    // The speed to the PC the unit's parameter 3 selects (38400, 57600 or 115200).
    int RequestedBusSpeed() const override;
    nlohmann::json SaveState() const override;
    void LoadState(const nlohmann::json &state) override;

    void SetDeviceList(const StationTable &list) { m_deviceList = list; }
    const StationTable &DeviceList() const { return m_deviceList; }
    const StationTable &InputModes() const { return m_inputModes; }
    ParameterStore &Parameters() { return m_params; }
    AlarmLog &Alarms() { return m_alarms; }
    const std::string &Name() const { return m_name; }
    // Test hook: the unit answers status 0, and keeps what it had, to writes of `target`: a
    // parameter number, kRefuseName (WriteDeviceName) or kRefuseTables (WriteUnitDeviceTables;
    // the device list alone is still taken, as an older unit would).
    static constexpr int kRefuseName = -1;
    static constexpr int kRefuseTables = -2;
    void RefuseWrite(int target, bool refuse = true);
    // Test hook: a read of parameter `number` is answered with the refusal pattern.
    void RefuseRead(int number) { m_refusedReads.insert(number); }
    // Test hook: an older unit without the input-mode table: the table commands get no answer,
    // the device list is read and written alone.
    void SetWithoutTables(bool without) { m_withoutTables = without; }

private:
    static bool ValidDeviceCode(uint8_t code);
    std::vector<uint8_t> Status(uint8_t command, bool ok) const;
    std::vector<uint8_t> OnParameter(uint8_t c, const uint8_t *p, size_t n);
    std::vector<uint8_t> OnTables(uint8_t c, const uint8_t *p, size_t n);
    std::vector<uint8_t> OnAlarm(uint8_t c);

    uint8_t m_address;
    ModelInfo m_model;
    std::string m_version;
    std::string m_name;
    ParameterStore m_params;
    AlarmLog m_alarms;
    StationTable m_deviceList{};
    StationTable m_inputModes{};
    uint8_t m_remoteState = 0;
    std::set<int> m_refused;
    std::set<int> m_refusedReads;
    bool m_withoutTables = false;
};

} // namespace kvl::sim
