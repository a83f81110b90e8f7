#include "FakeBus.h"

#include <algorithm>
#include <cstring>

#include "link/ResultCode.h"
#include "protocol/CommandCodes.h"
#include "protocol/Frame.h"

namespace kvl::test {

std::vector<FakeBus::Request> FakeBus::Of(std::uint8_t command) const
{
    std::vector<Request> found;
    for (const Request &r : requests) {
        if (r.command == command)
            found.push_back(r);
    }
    return found;
}

int FakeBus::Exchange(const std::uint8_t *request, int, std::uint8_t *reply, int *received, int,
                      int timeoutMs, int)
{
    const std::uint8_t axis = request[frame::kOffsetAxis];
    const std::uint8_t command = request[frame::kOffsetCommand];
    const std::uint8_t *payload = request + frame::kOffsetData;
    Request seen;
    seen.command = command;
    seen.timeoutMs = timeoutMs;
    std::vector<std::uint8_t> data;
    switch (command) {
    case cmd::kCmdReadDeviceType:
        if (typeFailuresLeft > 0) {
            --typeFailuresLeft;
            requests.push_back(seen);
            return kResultTimeout;
        }
        data = {0, typeCode};
        break;
    case cmd::kCmdReadVersionAndName:
        data.assign(cmd::kVersionTextLen + cmd::kNameTextLen, 0);
        std::memcpy(data.data(), version.data(), std::min(version.size(), cmd::kVersionTextLen));
        std::memcpy(data.data() + cmd::kVersionTextLen, name.data(),
                    std::min(name.size(), cmd::kNameTextLen));
        break;
    case cmd::kCmdWriteDeviceName: {
        const char *text = reinterpret_cast<const char *>(payload);
        seen.name.assign(text, strnlen(text, cmd::kNameTextLen));
        if (nameStatus != 0)
            name = seen.name;
        data = {nameStatus};
        break;
    }
    case cmd::kCmdReadParameter: {
        seen.number = frame::GetU16(payload);
        requests.push_back(seen);
        auto failing = failuresLeft.find(seen.number);
        if (failing != failuresLeft.end() && failing->second > 0) {
            --failing->second;
            return kResultTimeout;
        }
        const auto found = values.find(seen.number);
        if (found == values.end())
            return kResultTimeout;
        frame::PutU16(data, static_cast<std::uint16_t>(seen.number));
        frame::PutI32(data, found->second);
        const std::vector<std::uint8_t> bytes = frame::Build(axis, command, data);
        std::memcpy(reply, bytes.data(), bytes.size());
        *received = static_cast<int>(bytes.size());
        return kResultOk;
    }
    case cmd::kCmdWriteParameter:
        seen.number = frame::GetU16(payload);
        seen.value = frame::GetI32(payload + 2);
        if (zeroStatusWrites.count(seen.number)) {
            data = {0};
        } else {
            values[seen.number] = seen.value;
            data = {1};
        }
        break;
    case cmd::kCmdReadRunMode:
        if (runModeResult != kResultOk) {
            requests.push_back(seen);
            return runModeResult;
        }
        data = {runMode};
        break;
    case cmd::kCmdServoOff:
        data = {servoOffStatus};
        break;
    case cmd::kCmdReadServoState:
        data = {servoState};
        break;
    case cmd::kCmdReadOperationStatus:
        data = {operationFlags, 0, 0, 0};
        break;
    default:
        requests.push_back(seen);
        return kResultTimeout;
    }
    requests.push_back(seen);
    const std::vector<std::uint8_t> bytes = frame::Build(axis, command, data);
    std::memcpy(reply, bytes.data(), bytes.size());
    *received = static_cast<int>(bytes.size());
    return kResultOk;
}

} // namespace kvl::test
