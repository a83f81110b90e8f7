// libFuzzer target for the unit settings file loader of the gateway. The input is the file. Checks:
// no read past the input (ASan), a refused file changes nothing, every loaded list value is one
// of its list's codes and every octet 0 to 255, and the loaded settings saved and loaded again
// give the same settings.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "gateway/CGatewayRules.h"
#include "gateway/CGatewaySettingsFile.h"

using kvl::CGatewayConfig;
using kvl::CGatewayRules;
using kvl::CGatewaySettingsFile;
using kvl::fuzz::Check;

namespace {

bool IsCode(const std::vector<int> &codes, int code)
{
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

bool InRange(int value, int low, int high)
{
    return value >= low && value <= high;
}

void CheckValues(const CGatewayConfig &c)
{
    for (int i = 0; i < CGatewayConfig::kStations; ++i) {
        Check(IsCode(CGatewayRules::DeviceCodes(), c.devices[i]));
        Check(c.inputModes[i] <= 3);
    }
    Check(IsCode(CGatewayRules::FieldbusCodes(), c.fieldbusType));
    Check(InRange(c.speedToPc, 1, 3) && InRange(c.speedToDrivers, 1, 3));
    Check(InRange(c.ccLinkSpeed, 1, 5) && InRange(c.ethernetSpeed, 1, 5));
    Check(InRange(c.ccLinkStations, 0, static_cast<int>(CGatewayRules::OccupationTable().size()) - 1));
    Check(InRange(c.ccLinkVersion, 0, 1) && InRange(c.dhcp, 0, 1) && InRange(c.commForbidding, 0, 1));
    Check(InRange(c.deviceNetSpeed, 0, 3));
    for (const auto *octets : {&c.ipAddress, &c.subnetMask, &c.defaultGateway})
        Check(std::all_of(octets->begin(), octets->end(), [](int o) { return InRange(o, 0, 255); }));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string content(reinterpret_cast<const char *>(data), size);
    const CGatewayConfig pristine;
    CGatewayConfig loaded;
    if (!CGatewaySettingsFile::Parse(content, loaded, {})) {
        Check(loaded == pristine);
        return 0;
    }
    CheckValues(loaded);
    const std::string saved = CGatewaySettingsFile::Text(loaded, "1.00", "2026/12/10", {});
    CGatewayConfig again;
    Check(CGatewaySettingsFile::Parse(saved, again, {}));
    Check(again == loaded);
    return 0;
}
