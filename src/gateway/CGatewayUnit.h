#pragma once
// CGatewayUnit: reads the whole configuration of the gateway unit (bus address 0xF1) and writes
// it back. A write is refused whole when an EtherNet/IP address is all 255 or the stations need
// more than the fieldbus capacity; otherwise every single write is made and its result kept, so
// the caller can name each setting the unit did not take. The unit answers at a new speed to the
// PC from the moment it takes one, so the caller's port follower reopens the PC's port at once,
// before the writes that follow. Main thread of the caller.
#include <functional>
#include <vector>

#include "gateway/CGatewayConfig.h"
#include "gateway/CGatewayField.h"

namespace kvl {

class CServoCommands;

class CGatewayUnit {
public:
    static constexpr uint8_t kAddress = 0xF1;

    enum class Outcome { kWritten, kBadAddress, kOverCapacity };
    struct Write {
        CGatewayField::Id field;
        int result;   // link/ResultCode.h; kResultOk when the unit took it
    };
    struct WriteReport {
        Outcome outcome = Outcome::kWritten;
        int badAddress = -1;            // kBadAddress: 0 IP address, 1 subnet mask, 2 default gateway
        int saturation = 0;             // the percentage the write was judged by
        std::vector<Write> writes;      // in the order they were sent
        bool pcSpeedChanged = false;    // the unit took a new speed-to-PC code
        bool portReopened = false;      // ... and the follower reopened the PC's port at its speed
        std::vector<CGatewayField::Id> Refused() const;
    };

    explicit CGatewayUnit(CServoCommands &commands) : m_commands(commands) {}

    // Reads every setting into `config`; a failed read leaves its value. Returns the fields whose
    // read failed (empty when the unit answered everything). The device tables fall back to the
    // device list alone, keeping the input modes, for a unit without the table form.
    std::vector<CGatewayField::Id> Read(CGatewayConfig &config);
    // Reopens the PC's port at `speed` bit/s; true when it is open again.
    using PortFollower = std::function<bool(int speed)>;
    // `unitPcSpeed` is the speed-to-PC code the unit had before; when the unit takes another one,
    // `follow` is called with its port speed right away.
    WriteReport WriteAll(const CGatewayConfig &config, int unitPcSpeed, const PortFollower &follow);
    // WriteAll limited to `fields` (the same refusals, the same order); the device list and the
    // input modes go in one request, so naming either sends both.
    WriteReport WriteFields(const CGatewayConfig &config, const std::vector<CGatewayField::Id> &fields,
                            int unitPcSpeed, const PortFollower &follow);
    // The fields a write of `config` sends, in order: the tables, the unit parameters, then the
    // settings of its fieldbus type only.
    static std::vector<CGatewayField::Id> FieldsOf(const CGatewayConfig &config);
    // The PC's port speed in bit/s for a speed-to-PC code (38400 for an unknown code).
    static int PortSpeedOfCode(int code);

private:
    void ReadTables(CGatewayConfig &config, std::vector<CGatewayField::Id> &failed);
    void ReadUnitParameters(CGatewayConfig &config, std::vector<CGatewayField::Id> &failed);
    void ReadFieldbus(CGatewayConfig &config, std::vector<CGatewayField::Id> &failed);
    bool ReadValue(CGatewayField::Id field, int &value, std::vector<CGatewayField::Id> &failed);
    bool ReadOctets(CGatewayField::Id field, CGatewayConfig::Octets &octets, std::vector<CGatewayField::Id> &failed);
    void WriteTables(const CGatewayConfig &config, WriteReport &report);
    void WriteUnitParameters(const CGatewayConfig &config, int unitPcSpeed, const PortFollower &follow,
                             WriteReport &report);
    void WriteFieldbus(const CGatewayConfig &config, WriteReport &report);
    void WriteValue(CGatewayField::Id field, int value, WriteReport &report);
    void WriteOctets(CGatewayField::Id field, const CGatewayConfig::Octets &octets, WriteReport &report);
    bool Wanted(CGatewayField::Id field) const;

    CServoCommands &m_commands;
    const std::vector<CGatewayField::Id> *m_only = nullptr;   // WriteFields: the fields to send
};

} // namespace kvl
