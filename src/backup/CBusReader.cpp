#include "backup/CBusReader.h"

#include <algorithm>

#include "backup/CAxisParamTexts.h"
#include "backup/CBackupTable.h"
#include "gateway/CGatewayField.h"
#include "gateway/CGatewayUnit.h"
#include "link/ResultCode.h"
#include "params/ParamNumbers.h"
#include "points/CPointTransfer.h"
#include "protocol/CBusScanner.h"
#include "protocol/CBulkReadWatch.h"
#include "protocol/CServoCommands.h"

namespace kvl::backup {

namespace {

constexpr int kTimeoutMs = CServoCommands::kTimeoutMs;
constexpr int kRefusalsThatCount = 2;

void Report(const CBusReader::Hooks &hooks, const char *part, int done, int total)
{
    if (hooks.progress)
        hooks.progress(part, done, total);
}

} // namespace

CBusReader::CBusReader(CServoCommands &commands, const CAppSettings &settings)
    : m_commands(commands), m_settings(settings)
{
}

int CBusReader::ReadParameter(int address, int number, std::int32_t &raw)
{
    int result = kResultTimeout;
    int refusals = 0;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        result = m_commands.ReadParameter(static_cast<std::uint16_t>(number), raw, static_cast<std::uint8_t>(address),
                                          kTimeoutMs);
        // A refusal counts only when it repeats: a spoiled reply of a value 0 looks just like it.
        if (result == kResultOk || (result == kResultRefused && ++refusals == kRefusalsThatCount))
            break;
    }
    return result;
}

int CBusReader::ReadName(int address, std::string &name)
{
    int result = kResultTimeout;
    std::string version;
    for (int attempt = 0; attempt < kAttempts && result != kResultOk; ++attempt)
        result = m_commands.ReadVersionAndName(version, name, static_cast<std::uint8_t>(address), kTimeoutMs);
    return result;
}

int CBusReader::ReadAxis(int address, const DeviceIdentity &identity, AxisImage &image, const Hooks &hooks,
                         std::string &failure)
{
    image = AxisImage();
    image.address = address;
    image.model = identity.model;
    image.version = identity.version;
    image.name = identity.name;
    const int result = ReadParameters(image, hooks, failure);
    if (result != kResultOk)
        return result;
    return ReadTable(image, hooks, failure);
}

int CBusReader::ReadParameters(AxisImage &image, const Hooks &hooks, std::string &failure)
{
    CAxisParamTexts texts;
    if (!texts.Open(m_settings, image.address, image.model, image.version)) {
        failure = "no parameter file for " + image.model + " in the system folder";
        return kResultBadReply;
    }
    image.parameters.clear();
    const std::vector<int> numbers = texts.Numbers();
    const int total = static_cast<int>(numbers.size());
    for (int i = 0; i < total; ++i) {
        const int number = numbers[static_cast<size_t>(i)];
        std::int32_t raw = 0;
        const int result = ReadParameter(image.address, number, raw);
        if (result != kResultOk) {
            failure = "read parameter " + std::to_string(number);
            return result;
        }
        image.parameters[number] = texts.Describe(number, raw);
        Report(hooks, "parameters", i + 1, total);
    }
    return kResultOk;
}

int CBusReader::ReadTable(AxisImage &image, const Hooks &hooks, std::string &failure)
{
    std::int32_t operationType = 0;
    if (const auto found = image.parameters.find(kParamOperationType); found != image.parameters.end()) {
        operationType = found->second.raw;
    } else if (const int result = ReadParameter(image.address, kParamOperationType, operationType);
               result != kResultOk) {
        failure = "read operation type (parameter 36)";
        return result;
    }
    CBackupTable table(&m_settings, image.model, operationType);
    const int steps = table.Table().StepCount();
    const int expected = points::CPointTransfer::ExpectedReadBytes(image.model, steps);
    std::vector<std::string> lines;
    int result = kResultTimeout;
    {
        const CBulkReadWatch watch(hooks.watchBulkRead, [&hooks, steps, expected](int received) {
            if (expected > 0)
                Report(hooks, "steps", std::min(received, expected) * steps / expected, steps);
        });
        for (int attempt = 0; attempt < kAttempts && result != kResultOk; ++attempt)
            result = m_commands.ReadAllSteps(image.model, lines, static_cast<std::uint8_t>(image.address), kTimeoutMs);
    }
    if (result != kResultOk) {
        failure = result == kResultRefused ? "read point table: the controller ended it before the end of its table"
                                           : "read point table";
        return result;
    }
    table.FromBusLines(lines);
    image.steps = table.Steps();
    image.pointsCsv = table.Csv();
    Report(hooks, "steps", steps, steps);
    return kResultOk;
}

int CBusReader::ReadGateway(const DeviceIdentity &identity, GatewayImage &image, std::string &failure)
{
    image = GatewayImage();
    image.present = true;
    image.model = identity.model;
    image.version = identity.version;
    image.name = identity.name;
    const std::vector<CGatewayField::Id> failed = CGatewayUnit(m_commands).Read(image.config);
    if (failed.empty())
        return kResultOk;
    failure = "could not read the gateway unit's";
    for (const CGatewayField::Id field : failed)
        failure += std::string(" ") + CGatewayField::LabelOf(field).caption + ',';
    failure.pop_back();
    return kResultBadReply;
}

} // namespace kvl::backup
