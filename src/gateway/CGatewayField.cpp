#include "gateway/CGatewayField.h"

namespace kvl {
namespace {

constexpr const char *kParamSection = "IDD_KVL_GWX_PARAM";
constexpr const char *kNetSection = "IDD_KVL_GWX_EXTERNAL_NETWORK_PARAM";

struct Entry {
    CGatewayField::Label label;
    int parameter;
};

const Entry kEntries[CGatewayField::kCount] = {
    {{"", "", "Device list"}, 0},
    {{"", "", "Input modes"}, 0},
    {{"IDC_ST_COMMENT", kParamSection, "Comment"}, 0},
    {{"IDC_ST_INTERVAL", kParamSection, "Interrupt interval"}, 2},
    {{"IDC_ST_BROADCAST", kParamSection, "Broadcast delay"}, 5},
    {{"IDC_ST_RESET_TIMES", kParamSection, "Reset times"}, 6},
    {{"IDC_ST_SPEED_BOARD", kParamSection, "Speed to the drivers"}, 4},
    {{"IDC_ST_SPEED_PC", kParamSection, "Speed to the PC"}, 3},
    {{"IDC_ST_COMMUNICATION_FORBIDDING", kParamSection, "Communication forbidding"}, 19},
    {{"IDC_ST_LINKSET", kNetSection, "Fieldbus type"}, 1},
    {{"IDC_ST_SPEED_CCLINK", kNetSection, "CC-Link speed"}, 7},
    {{"IDC_ST_MAX_POINT_CCLINK", kNetSection, "Occupied stations, multiple"}, 17},
    {{"IDC_ST_CCLINK_VERSION", kNetSection, "CC-Link version"}, 18},
    {{"IDC_ST_IPADDRESS_ETHERNET", kNetSection, "IP address"}, 11},
    {{"IDC_ST_SUBNETMASK_ETHERNET", kNetSection, "Subnet mask"}, 12},
    {{"IDC_ST_DEFAULTGATEWAY_ETHERNET", kNetSection, "Default gateway"}, 13},
    {{"IDC_ST_DHCP_ETHERNET", kNetSection, "DHCP"}, 14},
    {{"IDC_ST_SPEED_ETHERNET", kNetSection, "Ethernet speed"}, 15},
    {{"IDC_ST_SPEED_DEVICENET", kNetSection, "DeviceNet speed"}, 16},
};

} // namespace

const CGatewayField::Label &CGatewayField::LabelOf(Id id)
{
    return kEntries[id].label;
}

int CGatewayField::ParameterOf(Id id)
{
    return kEntries[id].parameter;
}

std::string CGatewayField::Text(Id id, const TextLookup &texts)
{
    const Label &label = LabelOf(id);
    const std::string text = *label.key && texts ? texts(label.key, label.section) : std::string();
    return text.empty() ? label.caption : text;
}

} // namespace kvl
