#pragma once
// CGatewayField: the settings of the gateway unit a write or a file line can name, with the
// language text of each one's label (key and section) and the caption used when that text is
// missing. Stateless.
#include <functional>
#include <string>

namespace kvl {

class CGatewayField {
public:
    enum Id {
        kDevices, kInputModes, kComment, kInterval, kBroadcastDelay, kResetTimes, kSpeedToDrivers,
        kSpeedToPc, kCommForbidding, kFieldbusType, kCcLinkSpeed, kCcLinkStations, kCcLinkVersion,
        kIpAddress, kSubnetMask, kDefaultGateway, kDhcp, kEthernetSpeed, kDeviceNetSpeed, kCount
    };
    struct Label {
        const char *key;       // empty: the caption is the only text
        const char *section;
        const char *caption;
    };

    // (key, section) -> language text; empty when there is none.
    using TextLookup = std::function<std::string(const std::string &key, const std::string &section)>;

    static const Label &LabelOf(Id id);
    // The label in the current language, or the caption where the language has none.
    static std::string Text(Id id, const TextLookup &texts);
    // The unit parameter that carries the field; 0 for the tables and the comment.
    static int ParameterOf(Id id);
};

} // namespace kvl
