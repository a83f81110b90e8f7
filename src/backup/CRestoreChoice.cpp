#include "backup/CRestoreChoice.h"

#include <algorithm>
#include <utility>

namespace kvl::backup {

CRestoreChoice::CRestoreChoice(std::vector<Difference> differences) : m_differences(std::move(differences))
{
    for (const Difference &d : m_differences) {
        Device *device = Find(d.address);
        if (!device) {
            m_devices.push_back(Device{d.address, d.model, true, true, Difference::Kind::kParameter});
            device = &m_devices.back();
        }
        if (Refuses(d.kind) && device->writable) {
            device->writable = false;
            device->ticked = false;
            device->refusal = d.kind;
        }
    }
}

bool CRestoreChoice::Refuses(Difference::Kind kind)
{
    switch (kind) {
    case Difference::Kind::kDeviceMissing:
    case Difference::Kind::kDeviceAdded:
    case Difference::Kind::kOtherModel:
        return true;
    case Difference::Kind::kName:
    case Difference::Kind::kParameter:
    case Difference::Kind::kStep:
    case Difference::Kind::kGatewaySetting:
        return false;
    }
    return true;
}

CRestoreChoice::Device *CRestoreChoice::Find(int address)
{
    auto it = std::find_if(m_devices.begin(), m_devices.end(), [address](const Device &d) { return d.address == address; });
    return it == m_devices.end() ? nullptr : &*it;
}

const CRestoreChoice::Device *CRestoreChoice::FindDevice(int address) const
{
    return const_cast<CRestoreChoice *>(this)->Find(address);
}

bool CRestoreChoice::SetTicked(int address, bool ticked)
{
    Device *device = Find(address);
    if (!device || !device->writable)
        return false;
    device->ticked = ticked;
    return true;
}

bool CRestoreChoice::Ticked(int address) const
{
    const Device *device = FindDevice(address);
    return device && device->ticked;
}

std::vector<int> CRestoreChoice::TickedAddresses() const
{
    std::vector<int> addresses;
    for (const Device &device : m_devices)
        if (device.ticked)
            addresses.push_back(device.address);
    return addresses;
}

std::vector<int> CRestoreChoice::UntickedAddresses() const
{
    std::vector<int> addresses;
    for (const Device &device : m_devices)
        if (device.writable && !device.ticked)
            addresses.push_back(device.address);
    return addresses;
}

} // namespace kvl::backup
