#pragma once
// CUnitAdmission: whether a setting may be written to the gateway unit: each unit parameter
// within the values the unit takes, the occupation pair one of the table's, the station tables
// made of known device codes and input modes. Stateless.
#include <array>
#include <cstdint>
#include <optional>

#include "protocol/ServoTypes.h"
#include "protocol/WriteRefusal.h"

namespace kvl {

class CUnitAdmission {
public:
    static std::optional<WriteRefusal> CheckParameter(std::uint16_t number, const std::array<std::uint8_t, 4> &bytes);
    static std::optional<WriteRefusal> CheckStations(std::uint8_t axis, const UnitDeviceList &devices,
                                                     const std::array<std::uint8_t, 16> *inputModes);
};

} // namespace kvl
