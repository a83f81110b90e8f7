#include "backup/BackupTypes.h"

#include "protocol/Frame.h"

namespace kvl::backup {

const char *KindName(Difference::Kind kind)
{
    switch (kind) {
    case Difference::Kind::kDeviceMissing: return "missing";
    case Difference::Kind::kDeviceAdded: return "added";
    case Difference::Kind::kOtherModel: return "model";
    case Difference::Kind::kName: return "name";
    case Difference::Kind::kParameter: return "parameter";
    case Difference::Kind::kStep: return "step";
    case Difference::Kind::kGatewaySetting: return "gateway";
    }
    return "unknown";
}

std::string DeviceLabel(int address)
{
    return address == frame::kGatewayAddress ? std::string("gw") : "axis " + std::to_string(address);
}

} // namespace kvl::backup
