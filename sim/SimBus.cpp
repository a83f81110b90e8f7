#include "sim/SimBus.h"

#include "protocol/Frame.h"
#include "sim/AxisDevice.h"
#include "sim/GatewayDevice.h"

namespace kvl::sim {
namespace {
constexpr const char *kDemoVersion = "2105";
constexpr const char *kGatewayVersion = "1200";
} // namespace

bool SimBus::Add(std::unique_ptr<SimDevice> device)
{
    if (!device || m_devices.count(device->Address()))
        return false;
    const uint8_t address = device->Address();
    m_devices[address] = std::move(device);
    return true;
}

bool SimBus::Replace(std::unique_ptr<SimDevice> device)
{
    if (!device || !m_devices.count(device->Address()))
        return false;
    const uint8_t address = device->Address();
    m_devices[address] = std::move(device);
    return true;
}

std::unique_ptr<SimBus> SimBus::CreateDemo()
{
    auto bus = std::make_unique<SimBus>();
    GatewayDevice::StationTable list{};
    uint8_t address = 0;
    for (const ModelInfo &model : ControllerModels()) {
        list[address] = model.typeCode;
        bus->Add(std::make_unique<AxisDevice>(address, model, kDemoVersion, "DEMO " + model.text));
        ++address;
    }
    auto gateway = std::make_unique<GatewayDevice>(frame::kGatewayAddress, kGatewayVersion, "DEMO GWX");
    gateway->SetDeviceList(list);
    bus->Add(std::move(gateway));
    return bus;
}

std::vector<uint8_t> SimBus::Dispatch(const uint8_t *f, size_t length)
{
    if (length < frame::kFrameOverhead || f[frame::kOffsetStart] != frame::kStartByte ||
        !frame::EndsWithCrLf(f, length) || !frame::CrcMatches(f, length))
        return {};
    SimDevice *device = Device(f[frame::kOffsetAxis]);
    if (!device)
        return {};
    return device->Handle(f[frame::kOffsetCommand], f + frame::kOffsetData, length - frame::kFrameOverhead);
}

void SimBus::Advance(int64_t micros)
{
    if (micros <= 0)
        return;
    m_nowMicros += micros;
    for (auto &[address, device] : m_devices)
        device->Advance(micros);
}

SimDevice *SimBus::Device(uint8_t address) const
{
    const auto it = m_devices.find(address);
    return it == m_devices.end() ? nullptr : it->second.get();
}

AxisDevice *SimBus::Axis(uint8_t address) const
{
    SimDevice *d = Device(address);
    return d && !d->Model().IsGateway() ? static_cast<AxisDevice *>(d) : nullptr;
}

GatewayDevice *SimBus::Gateway() const
{
    for (const auto &[address, device] : m_devices)
        if (device->Model().IsGateway())
            return static_cast<GatewayDevice *>(device.get());
    return nullptr;
}

std::vector<uint8_t> SimBus::Addresses() const
{
    std::vector<uint8_t> out;
    for (const auto &[address, device] : m_devices)
        out.push_back(address);
    return out;
}

int SimBus::RequestedBusSpeed() const
{
    for (const auto &[address, device] : m_devices)
        if (const int speed = device->RequestedBusSpeed())
            return speed;
    return 0;
}

nlohmann::json SimBus::SaveState() const
{
    nlohmann::json out = nlohmann::json::object();
    for (const auto &[address, device] : m_devices)
        out[std::to_string(address)] = device->SaveState();
    return out;
}

void SimBus::LoadState(const nlohmann::json &state)
{
    if (!state.is_object())
        return;
    for (const auto &[key, value] : state.items()) {
        const int address = std::atoi(key.c_str());
        if (SimDevice *device = Device(static_cast<uint8_t>(address)))
            device->LoadState(value);
    }
}

} // namespace kvl::sim
