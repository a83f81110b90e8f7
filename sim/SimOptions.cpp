#include "sim/SimOptions.h"

#include <cstdlib>

#include "protocol/Frame.h"
#include "sim/AxisDevice.h"
#include "sim/GatewayDevice.h"

namespace kvl::sim {
namespace {

constexpr int kLastAxisAddress = 15;
constexpr const char *kDefaultVersion = "2105";
constexpr const char *kGatewayVersion = "1200";

bool ParseInt(const std::string &text, long low, long high, long *value)
{
    if (text.empty())
        return false;
    char *end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 0);
    if (*end != '\0' || v < low || v > high)
        return false;
    *value = v;
    return true;
}

std::vector<std::string> SplitColons(const std::string &text, size_t maxParts)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (parts.size() + 1 < maxParts) {
        const size_t colon = text.find(':', start);
        if (colon == std::string::npos)
            break;
        parts.push_back(text.substr(start, colon - start));
        start = colon + 1;
    }
    parts.push_back(text.substr(start));   // the name may itself hold colons
    return parts;
}

} // namespace

const char *SimOptions::HelpText()
{
    return "Usage: kvlsim [--axis ADDR:MODEL[:VERSION[:NAME]]]... [--gateway] [--baud 115200]\n"
           "              [--link PATH] [--pace] [--fault KIND[=N]]... [--refuse-write A:N]... [--seed N]\n"
           "              [--state FILE]\n"
           "\n"
           "Simulates actuator controllers and the network gateway unit on an RS-485 bus behind a\n"
           "pseudo-terminal. The first line on stdout is the device path to open; the simulator then\n"
           "answers until SIGINT or SIGTERM.\n"
           "\n"
           "  --axis A:M[:V[:N]]  a controller at address A (0-15) of model M (MDA, MDB, MDC, MDC-X,\n"
           "                      MDA-Y, MDA-Z), version text V (4 characters, default 2105), name N\n"
           "                      (up to 16 characters). Without --axis: the demo bus, one axis of\n"
           "                      each model on 0 to 5 and the gateway unit at 0xF1.\n"
           "  --gateway           add the gateway unit at 0xF1 (listing the given axes)\n"
           "  --baud N            bus speed in bit/s (default 115200); requests sent at another line\n"
           "                      speed get no answer\n"
           "  --link PATH         make PATH a symbolic link to the device while running\n"
           "  --pace              answer after the wire time of the request plus 0.2 ms and send\n"
           "                      reply bytes at 10 bits per byte of the bus speed\n"
           "  --fault KIND[=N]    noise[=N] N bytes before each reply (3); garbage[=N] N bytes after\n"
           "                      it (3); crc[=K] a wrong CRC every K replies (5); drop[=K] no reply\n"
           "                      every K (5); split[=MS] replies in 4-byte chunks MS apart (5);\n"
           "                      delay[=MS] each reply MS late (50); crcrate=P a wrong CRC\n"
           "                      on P percent of the replies, drawn by the seed; silent=ADDR never\n"
           "                      answer ADDR;\n"
           "                      tableend[=N] end every bulk table read after N steps (5) with the\n"
           "                      empty refused frame\n"
           "                      stream=ADDR after each reply of ADDR, 2 s more of noise at the bus\n"
           "                      speed (requests sent meanwhile are answered after it)\n"
           "                      length=CMD or length=ADDR:CMD every reply to command CMD (of\n"
           "                      ADDR) one data byte too long, with a matching CRC (a wrong-length\n"
           "                      reply)\n"
           "  --refuse-write A:N  the controller at address A answers every write of parameter N\n"
           "                      with a zero status and keeps its value (repeatable)\n"
           "  --refuse-read A:N   the device at address A (0-15, or 241 for the unit) answers every\n"
           "                      read of parameter N with the refusal pattern (repeatable)\n"
           "  --unit-without-tables  the unit is an older one: it does not answer the table\n"
           "                      commands (0xD2, 0xD3) and keeps the device list alone\n"
           "  --seed N            seed of the fault noise (default 1)\n"
           "  --state FILE        load parameters, point tables and names from FILE and save them\n"
           "                      there on exit\n"
           "  --help              this text\n"
           "  --version           the version of the simulator\n"
           "\n"
           "Examples:\n"
           "  kvlsim --link /tmp/kvlbus\n"
           "  kvlsim --axis 0:MDC --axis 3:MDA-Z:2105:LIFTER --gateway --baud 57600\n"
           "  kvlsim --axis 1:MDB --pace --fault noise=4 --fault crc=10 --seed 7\n"
           "  kvlsim --state ~/kvlsim-state.json --link /tmp/kvlbus\n"
           "  kvlsim --refuse-write 1:16 --link /tmp/kvlbus\n";
}

bool SimOptions::ParseAxis(const std::string &text, AxisEntry *entry, std::string *error)
{
    const auto parts = SplitColons(text, 4);
    long address = 0;
    if (parts.size() < 2 || !ParseInt(parts[0], 0, kLastAxisAddress, &address)) {
        *error = "--axis wants ADDR:MODEL with ADDR 0 to 15, got '" + text + "'";
        return false;
    }
    const auto model = FindModel(parts[1]);
    if (!model || model->IsGateway()) {
        *error = "unknown controller model '" + parts[1] + "'";
        return false;
    }
    entry->address = static_cast<uint8_t>(address);
    entry->model = parts[1];
    entry->version = parts.size() > 2 && !parts[2].empty() ? parts[2].substr(0, 4) : kDefaultVersion;
    entry->name = parts.size() > 3 ? parts[3].substr(0, 16) : parts[1] + " AXIS " + std::to_string(address);
    return true;
}

bool SimOptions::Parse(const std::vector<std::string> &args, std::string *error)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        auto value = [&](std::string *out) {
            if (i + 1 >= args.size()) {
                *error = arg + " needs a value";
                return false;
            }
            *out = args[++i];
            return true;
        };
        std::string v;
        long number = 0;
        if (arg == "--help" || arg == "-h") {
            help = true;
        } else if (arg == "--version") {
            version = true;
        } else if (arg == "--gateway") {
            gateway = true;
        } else if (arg == "--pace") {
            runner.pace = true;
        } else if (arg == "--axis") {
            AxisEntry entry;
            if (!value(&v) || !ParseAxis(v, &entry, error))
                return false;
            for (const auto &other : axes)
                if (other.address == entry.address) {
                    *error = "address " + std::to_string(entry.address) + " given twice";
                    return false;
                }
            axes.push_back(entry);
        } else if (arg == "--baud") {
            if (!value(&v) || !ParseInt(v, 300, 4000000, &number)) {
                *error = "--baud wants a speed in bit/s";
                return false;
            }
            runner.baud = static_cast<int>(number);
        } else if (arg == "--link") {
            if (!value(&linkPath))
                return false;
        } else if (arg == "--state") {
            if (!value(&statePath))
                return false;
        } else if (arg == "--seed") {
            if (!value(&v) || !ParseInt(v, 0, 0x7FFFFFFF, &number)) {
                *error = "--seed wants a number";
                return false;
            }
            runner.seed = static_cast<uint32_t>(number);
        } else if (arg == "--refuse-write") {
            if (!value(&v))
                return false;
            const auto parts = SplitColons(v, 2);
            long address = 0, parameter = 0;
            if (parts.size() != 2 || !ParseInt(parts[0], 0, kLastAxisAddress, &address) ||
                !ParseInt(parts[1], 1, 0xFFFF, &parameter)) {
                *error = "--refuse-write wants ADDR:NUMBER with ADDR 0 to 15, got '" + v + "'";
                return false;
            }
            refusedWrites.push_back({static_cast<uint8_t>(address), static_cast<int>(parameter)});
        } else if (arg == "--refuse-read") {
            if (!value(&v))
                return false;
            const auto parts = SplitColons(v, 2);
            long address = 0, parameter = 0;
            if (parts.size() != 2 || !ParseInt(parts[0], 0, frame::kGatewayAddress, &address) ||
                (address > kLastAxisAddress && address != frame::kGatewayAddress) ||
                !ParseInt(parts[1], 1, 0xFFFF, &parameter)) {
                *error = "--refuse-read wants ADDR:NUMBER with ADDR 0 to 15 or 241, got '" + v + "'";
                return false;
            }
            refusedReads.push_back({static_cast<uint8_t>(address), static_cast<int>(parameter)});
        } else if (arg == "--unit-without-tables") {
            unitWithoutTables = true;
        } else if (arg == "--fault") {
            if (!value(&v) || !runner.faults.Parse(v, error))
                return false;
        } else {
            *error = "unknown option '" + arg + "' (see --help)";
            return false;
        }
    }
    return true;
}

std::unique_ptr<SimBus> SimOptions::BuildBus() const
{
    auto bus = axes.empty() ? SimBus::CreateDemo() : BuildGivenBus();
    for (const RefusedWrite &refused : refusedWrites)
        if (AxisDevice *axis = bus->Axis(refused.address))
            axis->RefuseParameterWrite(refused.number);
    for (const RefusedRead &refused : refusedReads) {
        if (AxisDevice *axis = bus->Axis(refused.address))
            axis->RefuseParameterRead(refused.number);
        else if (refused.address == frame::kGatewayAddress && bus->Gateway())
            bus->Gateway()->RefuseRead(refused.number);
    }
    if (bus->Gateway())
        bus->Gateway()->SetWithoutTables(unitWithoutTables);
    return bus;
}

std::unique_ptr<SimBus> SimOptions::BuildGivenBus() const
{
    auto bus = std::make_unique<SimBus>();
    GatewayDevice::StationTable list{};
    for (const auto &entry : axes) {
        const ModelInfo model = *FindModel(entry.model);
        bus->Add(std::make_unique<AxisDevice>(entry.address, model, entry.version, entry.name));
        list[entry.address] = model.typeCode;
    }
    if (gateway) {
        auto unit = std::make_unique<GatewayDevice>(frame::kGatewayAddress, kGatewayVersion, "GWX UNIT");
        unit->SetDeviceList(list);
        bus->Add(std::move(unit));
    }
    return bus;
}

} // namespace kvl::sim
