#include "sim/ParameterStore.h"

#include "sim/ParameterDefaults.h"

namespace kvl::sim {
namespace {

// Gateway: IP 192.168.0.1 and mask 255.255.255.0, stored last octet first on the wire.
constexpr int32_t kDefaultIp = static_cast<int32_t>(0xC0A80001u);
constexpr int32_t kDefaultMask = static_cast<int32_t>(0xFFFFFF00u);

} // namespace

ParameterStore::ParameterStore(const ModelInfo &model, const std::string &version)
    : m_model(model), m_version(version)
{
    LoadDefaults();
}

void ParameterStore::LoadDefaults()
{
    m_values.clear();
    for (int n = 1; n <= 999; ++n)
        if (m_model.HasParameter(n, m_version))
            m_values[n] = 0;

    if (m_model.IsGateway()) {
        const std::map<int, int32_t> unit = {
            {unitparam::kFieldbusType, 1}, {unitparam::kInterruptInterval, 200},
            {unitparam::kSpeedToPc, 3}, {unitparam::kSpeedToDrivers, 3},
            {unitparam::kBroadcastDelay, 50}, {unitparam::kResetTimes, 3},
            {unitparam::kCcLinkSpeed, 1}, {unitparam::kIpAddress, kDefaultIp},
            {unitparam::kSubnetMask, kDefaultMask}, {unitparam::kDefaultGateway, 0},
            {unitparam::kDhcp, 0}, {unitparam::kEthernetSpeed, 1}, {unitparam::kDeviceNetSpeed, 3},
            {unitparam::kCcLinkStations, 0x30}, {unitparam::kCcLinkVersion, 0},
            {unitparam::kCommForbidding, 0}};
        for (const auto &[n, v] : unit)
            Set(n, v);
        return;
    }

    // A controller starts with the values of the shipped parameter file of its model.
    for (const ParameterDefault &d : ParameterDefaults(m_model.FileKey()))
        Set(d.number, d.raw);
}

bool ParameterStore::Has(int number) const
{
    return m_values.count(number) != 0;
}

int32_t ParameterStore::Get(int number) const
{
    const auto it = m_values.find(number);
    return it == m_values.end() ? 0 : it->second;
}

bool ParameterStore::Set(int number, int32_t value)
{
    const auto it = m_values.find(number);
    if (it == m_values.end())
        return false;
    it->second = value;
    return true;
}

nlohmann::json ParameterStore::ToJson() const
{
    nlohmann::json out = nlohmann::json::object();
    for (const auto &[n, v] : m_values)
        out[std::to_string(n)] = v;
    return out;
}

void ParameterStore::FromJson(const nlohmann::json &json)
{
    if (!json.is_object())
        return;
    for (const auto &[key, value] : json.items())
        if (value.is_number_integer())
            Set(std::atoi(key.c_str()), value.get<int32_t>());
}

} // namespace kvl::sim
