#pragma once
// IWriteGate: the last check before a value goes on the wire. The command layer asks it about
// every parameter, step and unit-table write just before building the request, and tells it what
// the devices reported (their model, their parameter values read or written), so the ranges it
// checks against are the ones the device holds now. A refused write is not sent; the command
// returns kResultOutOfRange and keeps the refusal for the caller. The faces (window application,
// command line) install one; a command layer without a gate checks nothing (its own tests).
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "protocol/ServoTypes.h"
#include "protocol/WriteRefusal.h"

namespace kvl {

class IWriteGate {
public:
    virtual ~IWriteGate() = default;

    // Empty when the value may go out.
    virtual std::optional<WriteRefusal> AdmitParameter(std::uint8_t axis, std::uint16_t number,
                                                       const std::array<std::uint8_t, 4> &bytes) = 0;
    // `addressedStep` in wire numbering (from 1); a record of zeros clears the step.
    virtual std::optional<WriteRefusal> AdmitStep(std::uint8_t axis, int addressedStep, const StepRecord &record) = 0;
    // `inputModes` null for the device list alone.
    virtual std::optional<WriteRefusal> AdmitUnitStations(std::uint8_t axis, const UnitDeviceList &devices,
                                                          const std::array<std::uint8_t, 16> *inputModes) = 0;

    // What a device reported: its model and version (ReadDeviceType), a parameter's value (a read
    // answered, or a write the device took).
    virtual void NoteDevice(std::uint8_t axis, const std::string &model, const std::string &version) = 0;
    virtual void NoteParameter(std::uint8_t axis, std::uint16_t number, const std::array<std::uint8_t, 4> &bytes) = 0;
};

} // namespace kvl
