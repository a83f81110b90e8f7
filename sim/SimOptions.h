#pragma once
// The command line of kvlsim, parsed into a bus description and the runner's settings.
// Plain values; any thread.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim/BusRunner.h"
#include "sim/SimBus.h"

namespace kvl::sim {

struct AxisEntry {
    uint8_t address = 0;
    std::string model;
    std::string version;
    std::string name;
};

// --refuse-write ADDR:NUMBER: the controller at ADDR refuses every write of parameter NUMBER.
struct RefusedWrite {
    uint8_t address = 0;
    int number = 0;
};

// --refuse-read ADDR:NUMBER: the device at ADDR (0-15, or 241 for the unit) answers every read
// of parameter NUMBER with the refusal pattern.
struct RefusedRead {
    uint8_t address = 0;
    int number = 0;
};

struct SimOptions {
    std::vector<AxisEntry> axes;     // empty: the demo bus
    std::vector<RefusedWrite> refusedWrites;
    std::vector<RefusedRead> refusedReads;
    bool gateway = false;
    bool unitWithoutTables = false;  // --unit-without-tables: an older unit, device list only
    std::string linkPath;
    std::string statePath;
    BusRunner::Settings runner;
    bool help = false;
    bool version = false;   // --version: print it and exit

    // Parses argv; false with a message for anything it does not understand.
    bool Parse(const std::vector<std::string> &args, std::string *error);
    // "ADDR:MODEL[:VERSION[:NAME]]" with ADDR 0-15 (decimal or 0x..).
    static bool ParseAxis(const std::string &text, AxisEntry *entry, std::string *error);
    // The bus these options describe.
    std::unique_ptr<SimBus> BuildBus() const;

    static const char *HelpText();

private:
    // The bus of the --axis and --gateway switches.
    std::unique_ptr<SimBus> BuildGivenBus() const;
};

} // namespace kvl::sim
