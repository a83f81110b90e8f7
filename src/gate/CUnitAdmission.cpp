#include "gate/CUnitAdmission.h"

#include <algorithm>

#include "base/TextNumber.h"
#include "gateway/CGatewayField.h"
#include "gateway/CGatewayFieldRange.h"
#include "gateway/CGatewayRules.h"
#include "protocol/Frame.h"

namespace kvl {
namespace {

constexpr std::uint8_t kUnitAddress = 0xF1;
constexpr int kPairGroupSize = 16;   // the occupation pair packs code + 16 x group in byte 0

WriteRefusal Refusal(WriteRefusal::Item item, int number, WriteRefusal::Cause cause, const std::string &value)
{
    WriteRefusal refusal;
    refusal.axis = kUnitAddress;
    refusal.item = item;
    refusal.number = number;
    refusal.cause = cause;
    refusal.model = "GWX";
    refusal.value = value;
    return refusal;
}

std::optional<CGatewayField::Id> FieldOf(int number)
{
    for (int id = 0; id < CGatewayField::kCount; ++id) {
        const auto field = static_cast<CGatewayField::Id>(id);
        if (number != 0 && CGatewayField::ParameterOf(field) == number)
            return field;
    }
    return std::nullopt;
}

bool IsAddress(CGatewayField::Id field)
{
    return field == CGatewayField::kIpAddress || field == CGatewayField::kSubnetMask ||
           field == CGatewayField::kDefaultGateway;
}

} // namespace

std::optional<WriteRefusal> CUnitAdmission::CheckParameter(std::uint16_t number,
                                                           const std::array<std::uint8_t, 4> &bytes)
{
    const std::optional<CGatewayField::Id> field = FieldOf(number);
    if (!field)
        return Refusal(WriteRefusal::Item::kUnitSetting, number, WriteRefusal::Cause::kNoSuchItem, {});
    // Four octets: every byte is an octet the unit takes.
    if (IsAddress(*field))
        return std::nullopt;
    if (*field == CGatewayField::kCcLinkStations) {
        const int code = bytes[0] % kPairGroupSize;
        const int group = bytes[0] / kPairGroupSize;
        const auto &table = CGatewayRules::OccupationTable();
        const bool listed = std::any_of(table.begin(), table.end(), [&](const CGatewayRules::Occupation &o) {
            return o.stations == code + 1 && o.multipleCode == group;
        });
        if (listed && bytes[1] == 0 && bytes[2] == 0 && bytes[3] == 0)
            return std::nullopt;
        return Refusal(WriteRefusal::Item::kUnitSetting, number, WriteRefusal::Cause::kNotAChoice,
                       FormatInt(bytes[0]));
    }
    const std::int32_t value = frame::GetI32(bytes.data());
    const CGatewayFieldRange::Bounds range = CGatewayFieldRange::BoundsOf(*field);
    if (CGatewayFieldRange::Admits(*field, value))
        return std::nullopt;
    WriteRefusal refusal = Refusal(WriteRefusal::Item::kUnitSetting, number, WriteRefusal::Cause::kOutOfRange,
                                   FormatInt(value));
    refusal.min = FormatInt(range.min);
    refusal.max = FormatInt(range.max);
    if (*field == CGatewayField::kFieldbusType)
        refusal.cause = WriteRefusal::Cause::kNotAChoice;
    return refusal;
}

std::optional<WriteRefusal> CUnitAdmission::CheckStations(std::uint8_t, const UnitDeviceList &devices,
                                                          const std::array<std::uint8_t, 16> *inputModes)
{
    for (size_t i = 0; i < devices.size(); ++i) {
        if (!CGatewayFieldRange::Admits(CGatewayField::kDevices, devices[i]))
            return Refusal(WriteRefusal::Item::kUnitStation, static_cast<int>(i), WriteRefusal::Cause::kNotAChoice,
                           FormatInt(devices[i]));
        if (inputModes != nullptr && !CGatewayFieldRange::Admits(CGatewayField::kInputModes, (*inputModes)[i]))
            return Refusal(WriteRefusal::Item::kUnitStation, static_cast<int>(i), WriteRefusal::Cause::kNotAChoice,
                           FormatInt((*inputModes)[i]));
    }
    return std::nullopt;
}

} // namespace kvl
