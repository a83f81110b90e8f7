#pragma once
// CWriteGate: the write gate of the window application and the command line. It keeps, per bus
// address, what the device reported (its model and version, the parameter values read from it or
// written to it) and checks every outgoing value against the ranges that follow from it: a
// controller parameter against its model's parameter file (parameter 12 bounded by the current
// limit maximum the controller holds), a step against the step rules built from the soft limits,
// maximum speed, push limit and operation type the controller holds, the unit's settings and
// station tables against the unit's own rules. Ranges the device never reported fall back to the
// parameter file's stored values. An address whose model was never read is refused: nothing is
// known to check against. One thread (the one that makes the exchanges).
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "protocol/IWriteGate.h"

namespace kvl {

class CAppSettings;

namespace params {
class CAxisParamSetup;
class CParamData;
} // namespace params

class CWriteGate final : public IWriteGate {
public:
    // `settings` gives the parameter files; it must outlive the gate.
    explicit CWriteGate(const CAppSettings &settings);
    ~CWriteGate() override;
    CWriteGate(const CWriteGate &) = delete;
    CWriteGate &operator=(const CWriteGate &) = delete;

    std::optional<WriteRefusal> AdmitParameter(std::uint8_t axis, std::uint16_t number,
                                               const std::array<std::uint8_t, 4> &bytes) override;
    std::optional<WriteRefusal> AdmitStep(std::uint8_t axis, int addressedStep, const StepRecord &record) override;
    std::optional<WriteRefusal> AdmitUnitStations(std::uint8_t axis, const UnitDeviceList &devices,
                                                  const std::array<std::uint8_t, 16> *inputModes) override;
    void NoteDevice(std::uint8_t axis, const std::string &model, const std::string &version) override;
    void NoteParameter(std::uint8_t axis, std::uint16_t number, const std::array<std::uint8_t, 4> &bytes) override;

    // Forgets every device (another bus: a new port or speed).
    void Forget();

    // A controller parameter's value in the user's units as the gate knows it (what the
    // controller reported, else the parameter file's stored value); empty when neither is known.
    std::optional<double> ParameterValue(std::uint8_t axis, int number);

private:
    struct Device {
        std::string model;
        std::string version;
        std::map<int, std::int32_t> raw;   // parameter number -> value last read or written
    };

    // The parameter definitions of the device's model and version; null when there is no file.
    const params::CAxisParamSetup *Definitions(const Device &device);
    std::optional<WriteRefusal> AdmitAxisParameter(std::uint8_t axis, Device &device, int number, std::int32_t raw);
    std::optional<double> Value(const Device &device, int number);

    const CAppSettings &m_settings;
    std::map<std::uint8_t, Device> m_devices;
    std::map<std::string, std::unique_ptr<params::CAxisParamSetup>> m_definitions;   // by model and version
};

} // namespace kvl
