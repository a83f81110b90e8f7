#pragma once
// A controller stand-in behind the facade interface for the parameter procedures: it holds raw
// parameter values, a model, a version and a name, answers the commands the parameter list uses
// with well-formed frames, and records every request. Switches: a number of failed reads before a
// parameter answers, writes answered with a zero status, the run mode, the ServoOff reply.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "support/CommStub.h"

namespace kvl::test {

class FakeBus : public CommStub {
public:
    struct Request {
        std::uint8_t command = 0;
        int number = -1;        // parameter requests
        std::int32_t value = 0; // parameter writes
        std::string name;       // device name writes
        int timeoutMs = 0;
    };

    std::map<int, std::int32_t> values; // raw parameter values; a missing number never answers
    std::map<int, int> failuresLeft;    // reads of that number that time out first
    std::set<int> zeroStatusWrites;     // writes answered with status 0
    std::uint8_t typeCode = 2;          // MDB
    std::string version = "1305";
    std::string name = "AXIS";
    int typeFailuresLeft = 0;           // ReadDeviceType exchanges that time out first
    std::uint8_t nameStatus = 1;
    std::uint8_t runMode = 1;           // non-zero manual, 0 automatic
    int runModeResult = -200;           // a result other than -200: that exchange fails so
    std::uint8_t servoOffStatus = 1;
    std::uint8_t servoState = 0;
    std::uint8_t operationFlags = 0;
    std::vector<Request> requests;

    // Requests of one command byte.
    std::vector<Request> Of(std::uint8_t command) const;

    int Exchange(const std::uint8_t *request, int requestLength, std::uint8_t *reply,
                 int *received, int expected, int timeoutMs, int settleMs) override;
};

} // namespace kvl::test
