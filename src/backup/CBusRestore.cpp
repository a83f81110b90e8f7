#include "backup/CBusRestore.h"

#include <algorithm>

#include "backup/CAxisParamTexts.h"
#include "backup/CBackupTable.h"
#include "backup/CBusDiff.h"
#include "backup/CBusReader.h"
#include "base/CEventLog.h"
#include "base/CModelTraits.h"
#include "params/ParamNumbers.h"
#include "points/CPointWritePlan.h"
#include "protocol/CServoCommands.h"
#include "protocol/Frame.h"

namespace kvl::backup {

namespace {

using Kind = Difference::Kind;
using Status = DeviceRestore::Status;

constexpr int kTimeoutMs = CServoCommands::kTimeoutMs;
constexpr std::uint8_t kStatusDone = 1;

std::uint8_t Wire(int address)
{
    return static_cast<std::uint8_t>(address);
}

std::string StepText(const std::vector<std::string> &steps, int step)
{
    const auto s = static_cast<size_t>(step);
    return s < steps.size() && !steps[s].empty() ? steps[s] : std::string(CBusDiff::kEmptyStep);
}

// "no reply within the timeout (-202)"
std::string Why(int result)
{
    return std::string(ResultText(result)) + " (" + std::to_string(result) + ")";
}

bool Chosen(const std::vector<int> &addresses, int address)
{
    return addresses.empty() || std::find(addresses.begin(), addresses.end(), address) != addresses.end();
}

// The record of a device's restore; true when the device answers as the backup's model.
bool BeginDevice(DeviceRestore &device, int address, const std::string &model, const DeviceIdentity &identity)
{
    device.address = address;
    device.model = model;
    device.busModel = identity.model;
    if (!identity.answered) {
        device.status = Status::kMissing;
        return false;
    }
    if (identity.model != model) {
        device.status = Status::kOtherModel;
        device.failure = "the backup holds a " + model + ", the bus a " + identity.model;
        return false;
    }
    return true;
}

} // namespace

struct CBusRestore::Context {
    const Options &options;
    CBusReader &reader;
    int device = 0;
    int devices = 0;
    int address = 0;

    void Progress(const std::string &part, int done, int total) const
    {
        if (options.progress)
            options.progress({device, devices, address, part, done, total});
    }
    CBusReader::Hooks ReadHooks() const
    {
        CBusReader::Hooks hooks;
        hooks.watchBulkRead = options.watchBulkRead;
        hooks.progress = [this](const std::string &part, int done, int total) { Progress(part, done, total); };
        return hooks;
    }
};

int DeviceRestore::Failed() const
{
    return static_cast<int>(std::count_if(writes.begin(), writes.end(), [](const RestoreWrite &w) {
        return !w.written || !w.verified;
    }));
}

bool RestoreReport::Complete() const
{
    return std::all_of(devices.begin(), devices.end(), [](const DeviceRestore &d) {
        return d.status == Status::kUnchanged || d.status == Status::kRestored || d.status == Status::kPlanned;
    });
}

const char *CBusRestore::StatusText(Status status)
{
    switch (status) {
    case Status::kUnchanged: return "nothing differs";
    case Status::kRestored: return "restored";
    case Status::kPlanned: return "would be written";
    case Status::kIncomplete: return "not restored completely";
    case Status::kMissing: return "does not answer";
    case Status::kOtherModel: return "another model: refused";
    case Status::kRefusedAutomatic: return "runs in automatic mode: nothing written";
    case Status::kServoOnDeclined: return "the servo is on: nothing written";
    case Status::kServoOffFailed: return "the servo did not switch off: nothing written";
    case Status::kRefused: return "refused: nothing written";
    case Status::kReadFailed: return "could not be read: nothing written";
    }
    return "";
}

CBusRestore::CBusRestore(CServoCommands &commands, const CAppSettings &settings)
    : m_commands(commands), m_settings(settings)
{
}

RestoreReport CBusRestore::Run(const BusImage &backup, const LinkResult &link, const Options &options)
{
    RestoreReport report;
    std::vector<int> chosen;
    if (backup.gateway.present && Chosen(options.addresses, frame::kGatewayAddress))
        chosen.push_back(frame::kGatewayAddress);
    for (const AxisImage &axis : backup.axes)
        if (Chosen(options.addresses, axis.address))
            chosen.push_back(axis.address);
    CBusReader reader(m_commands, m_settings);
    Context context{options, reader, 0, static_cast<int>(chosen.size()), 0};
    for (const int address : chosen) {
        ++context.device;
        context.address = address;
        context.Progress("identity", 0, 0);
        if (address == frame::kGatewayAddress) {
            const DeviceIdentity identity = link.gatewayPresent ? link.gateway : DeviceIdentity{};
            report.devices.push_back(RestoreGateway(backup.gateway, identity, context));
        } else {
            report.devices.push_back(
                RestoreAxis(*backup.Axis(address), link.axes[static_cast<size_t>(address)], context));
        }
    }
    if (!options.dryRun) {
        std::string text = "restore: ";
        for (const DeviceRestore &device : report.devices) {
            const bool done = device.status == DeviceRestore::Status::kUnchanged ||
                              device.status == DeviceRestore::Status::kRestored;
            text += (device.address == frame::kGatewayAddress ? std::string("network unit")
                                                              : "axis " + std::to_string(device.address)) +
                    (done ? " " + std::to_string(device.writes.size()) + " written; "
                          : " not restored (" + device.failure + "); ");
        }
        CEventLog::Write("write", text);
    }
    return report;
}

bool CBusRestore::PrepareAxis(DeviceRestore &device, Context &context)
{
    const std::uint8_t axis = Wire(device.address);
    std::uint8_t manual = 1;
    int result = m_commands.ReadRunMode(manual, axis, kTimeoutMs);
    if (result != kResultOk) {
        device.status = Status::kReadFailed;
        device.failure = "read run mode: " + Why(result);
        return false;
    }
    if (manual == 0) {
        device.status = Status::kRefusedAutomatic;
        return false;
    }
    std::uint8_t servo = 0;
    result = m_commands.ReadServoState(servo, axis, kTimeoutMs);
    if (result != kResultOk) {
        device.status = Status::kReadFailed;
        device.failure = "read servo state: " + Why(result);
        return false;
    }
    if (!servo)
        return true;
    if (context.options.confirmServoOff && !context.options.confirmServoOff(device.address)) {
        device.status = Status::kServoOnDeclined;
        return false;
    }
    std::uint8_t status = 0;
    result = m_commands.ServoOff(status, axis, kTimeoutMs);
    if (result != kResultOk || status != kStatusDone) {
        device.status = Status::kServoOffFailed;
        device.failure = result != kResultOk ? "servo off: " + Why(result) : std::string();
        return false;
    }
    return true;
}

std::string CBusRestore::DryRunNote(int address)
{
    std::uint8_t manual = 1, servo = 0;
    if (m_commands.ReadRunMode(manual, Wire(address), kTimeoutMs) == kResultOk && manual == 0)
        return "runs in automatic mode: a restore would refuse it";
    if (m_commands.ReadServoState(servo, Wire(address), kTimeoutMs) == kResultOk && servo)
        return "the servo is on: a restore would switch it off first";
    return {};
}

void CBusRestore::WriteName(const AxisImage &backup, RestoreWrite &write, CBusReader &reader)
{
    std::uint8_t status = 0;
    write.result = m_commands.WriteDeviceName(backup.name, status, Wire(backup.address), kTimeoutMs);
    if (write.result == kResultOk && status == 0)
        write.result = kResultBadReply;
    write.written = write.result == kResultOk;
    std::string name;
    if (reader.ReadName(backup.address, name) == kResultOk) {
        write.verified = write.written && name == backup.name;
        if (!write.verified)
            write.readBack = name;
    }
}

void CBusRestore::WriteParameters(const AxisImage &backup, std::vector<RestoreWrite *> &writes, Context &context)
{
    CAxisParamTexts texts;
    const bool described = texts.Open(m_settings, backup.address, backup.model, backup.version);
    const int total = static_cast<int>(writes.size());
    int done = 0;
    for (RestoreWrite *write : writes) {
        const int number = write->difference.number;
        const std::int32_t raw = backup.parameters.at(number).raw;
        write->result = m_commands.WriteParameter(static_cast<std::uint16_t>(number), raw, Wire(backup.address),
                                                  kTimeoutMs);
        write->written = write->result == kResultOk;
        context.Progress("parameters", ++done, total);
    }
    // Read back after all writes: a controller may adjust one value when it takes another.
    for (RestoreWrite *write : writes) {
        if (!write->written)
            continue;
        const int number = write->difference.number;
        std::int32_t now = 0;
        int result = kResultTimeout;
        for (int attempt = 0; attempt < CBusReader::kAttempts && result != kResultOk && result != kResultRefused;
             ++attempt)
            result = m_commands.ReadParameter(static_cast<std::uint16_t>(number), now, Wire(backup.address), kTimeoutMs);
        write->verified = result == kResultOk && now == backup.parameters.at(number).raw;
        if (!write->verified)
            write->readBack = result != kResultOk ? "(" + Why(result) + ")"
                              : described        ? texts.Describe(number, now).text
                                                 : std::to_string(now);
    }
}

void CBusRestore::WriteSteps(const AxisImage &backup, std::vector<RestoreWrite *> &writes, Context &context)
{
    const std::uint8_t axis = Wire(backup.address);
    const auto failAll = [&writes](int result, const std::string &why) {
        for (RestoreWrite *write : writes) {
            write->result = result;
            write->readBack = why;
        }
    };
    // The table is sized by the operation type the controller holds now, after the parameters.
    std::int32_t operationType = 0;
    int result = m_commands.ReadParameter(kParamOperationType, operationType, axis, kTimeoutMs);
    if (result != kResultOk)
        return failAll(result, "(read operation type: " + Why(result) + ")");
    CBackupTable table(&m_settings, backup.model, operationType);
    std::vector<std::string> lines;
    result = m_commands.ReadAllSteps(backup.model, lines, axis, kTimeoutMs);
    if (result != kResultOk)
        return failAll(result, "(read point table: " + Why(result) + ")");
    table.FromBusLines(lines);
    std::string problem;
    if (!table.FromCsv(backup.pointsCsv, problem))
        return failAll(kResultBadReply, "(the backup's point table: " + problem + ")");
    std::int32_t pushLimit = 0;
    if (CModelTraits::Of(backup.model).HasPushLimit())
        m_commands.ReadParameter(kParamPushLimit, pushLimit, axis, kTimeoutMs);
    const points::CPointWritePlan plan = points::CPointWritePlan::Build(table.Table(), pushLimit);
    const int total = static_cast<int>(plan.Items().size());
    int done = 0;
    for (const points::StepWriteItem &item : plan.Items()) {
        RestoreWrite *write = nullptr;
        for (RestoreWrite *w : writes)
            if (w->difference.number == item.step)
                write = w;
        if (item.action == points::StepWriteAction::FieldMissing) {
            result = kResultBadReply;
            if (write)
                write->readBack = "a field of the step is empty";
        }
        else if (item.action == points::StepWriteAction::Clear)
            result = m_commands.WriteStepValues(item.step + 1, StepRecord{}, axis, kTimeoutMs);
        else
            result = m_commands.WriteStep(item.values.ToRecord(), backup.model, axis, kTimeoutMs);
        if (write) {
            write->result = result;
            write->written = result == kResultOk;
        }
        context.Progress("steps", ++done, total);
    }
    // Every step the compare named is read back, written or not.
    lines.clear();
    result = m_commands.ReadAllSteps(backup.model, lines, axis, kTimeoutMs);
    if (result != kResultOk) {
        for (RestoreWrite *write : writes)
            write->readBack = "(read point table: " + Why(result) + ")";
        return;
    }
    CBackupTable readBack(&m_settings, backup.model, operationType);
    readBack.FromBusLines(lines);
    const std::vector<std::string> now = readBack.Steps();
    for (RestoreWrite *write : writes) {
        const int step = write->difference.number;
        write->verified = StepText(now, step) == StepText(backup.steps, step);
        // A step that already read as the backup after the parameters needed no write.
        write->written = write->written || write->verified;
        if (!write->verified && write->written)
            write->readBack = StepText(now, step);
    }
}

DeviceRestore CBusRestore::RestoreAxis(const AxisImage &backup, const DeviceIdentity &identity, Context &context)
{
    DeviceRestore device;
    if (!BeginDevice(device, backup.address, backup.model, identity))
        return device;
    AxisImage bus;
    std::string failure;
    const int result = context.reader.ReadAxis(backup.address, identity, bus, context.ReadHooks(), failure);
    if (result != kResultOk) {
        device.status = Status::kReadFailed;
        device.failure = failure + ": " + Why(result);
        return device;
    }
    for (const Difference &difference : CBusDiff::CompareAxis(backup, bus))
        device.writes.push_back({difference, kResultOk, false, false, {}});
    if (device.writes.empty()) {
        device.status = Status::kUnchanged;
        return device;
    }
    if (context.options.dryRun) {
        device.status = Status::kPlanned;
        device.failure = DryRunNote(device.address);
        return device;
    }
    if (!PrepareAxis(device, context))
        return device;
    std::vector<RestoreWrite *> parameters, steps;
    for (RestoreWrite &write : device.writes) {
        if (write.difference.kind == Kind::kName)
            WriteName(backup, write, context.reader);
        else if (write.difference.kind == Kind::kParameter)
            parameters.push_back(&write);
        else if (write.difference.kind == Kind::kStep)
            steps.push_back(&write);
    }
    // Parameters first: the operation type among them sizes the table the steps go into.
    WriteParameters(backup, parameters, context);
    if (!steps.empty())
        WriteSteps(backup, steps, context);
    device.status = device.Failed() == 0 ? Status::kRestored : Status::kIncomplete;
    return device;
}

DeviceRestore CBusRestore::RestoreGateway(const GatewayImage &backup, const DeviceIdentity &identity, Context &context)
{
    DeviceRestore device;
    if (!BeginDevice(device, frame::kGatewayAddress, backup.model, identity))
        return device;
    GatewayImage bus;
    std::string failure;
    if (context.reader.ReadGateway(identity, bus, failure) != kResultOk) {
        device.status = Status::kReadFailed;
        device.failure = failure;
        return device;
    }
    for (const Difference &difference : CBusDiff::CompareGateway(backup, bus, context.options.texts))
        device.writes.push_back({difference, kResultOk, false, false, {}});
    if (device.writes.empty() || context.options.dryRun) {
        device.status = device.writes.empty() ? Status::kUnchanged : Status::kPlanned;
        return device;
    }
    std::vector<CGatewayField::Id> fields;
    for (const RestoreWrite &write : device.writes)
        fields.push_back(static_cast<CGatewayField::Id>(write.difference.number));
    const CGatewayUnit::WriteReport written =
        CGatewayUnit(m_commands).WriteFields(backup.config, fields, bus.config.speedToPc, context.options.followPort);
    if (written.outcome != CGatewayUnit::Outcome::kWritten) {
        device.status = Status::kRefused;
        device.failure = written.outcome == CGatewayUnit::Outcome::kBadAddress
                             ? "an EtherNet/IP address is 255.255.255.255"
                             : "the stations need " + std::to_string(written.saturation) + "% of the fieldbus capacity";
        return device;
    }
    context.Progress("gateway settings", static_cast<int>(written.writes.size()), static_cast<int>(fields.size()));
    for (RestoreWrite &write : device.writes) {
        const auto field = static_cast<CGatewayField::Id>(write.difference.number);
        const auto sent = std::find_if(written.writes.begin(), written.writes.end(),
                                       [field](const CGatewayUnit::Write &w) { return w.field == field; });
        // The fieldbus type belongs to the unit's fieldbus board: no request changes it.
        write.result = sent == written.writes.end() ? kResultRefused : sent->result;
        write.written = write.result == kResultOk;
        if (sent == written.writes.end())
            write.readBack = "the unit's fieldbus board decides it";
    }
    GatewayImage after;
    const bool readBack = context.reader.ReadGateway(identity, after, failure) == kResultOk;
    for (RestoreWrite &write : device.writes) {
        const auto field = static_cast<CGatewayField::Id>(write.difference.number);
        const std::string now = CBusDiff::GatewayValueText(field, after.config);
        write.verified = readBack && write.written && now == write.difference.backupValue;
        if (!write.verified && write.written)
            write.readBack = readBack ? now : "(" + failure + ")";
    }
    device.status = device.Failed() == 0 ? Status::kRestored : Status::kIncomplete;
    return device;
}

} // namespace kvl::backup
