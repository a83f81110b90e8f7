#include "sim/FaultInjector.h"

#include <cstdlib>

#include "protocol/Frame.h"

namespace kvl::sim {
namespace {

constexpr int kDefaultNoiseBytes = 3;
constexpr int kDefaultEvery = 5;
constexpr int kDefaultSplitGapMs = 5;
constexpr int kDefaultDelayMs = 50;
constexpr int64_t kMicrosPerMs = 1000;

bool ParseNumber(const std::string &text, int *value)
{
    if (text.empty())
        return false;
    char *end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 0);
    if (*end != '\0' || v < 0 || v > 100000)
        return false;
    *value = static_cast<int>(v);
    return true;
}

} // namespace

bool FaultPlan::Any() const
{
    return noiseBytes || garbageBytes || crcEvery || dropEvery || splitGapMs || delayMs || !silent.empty() || !stream.empty();
}

bool FaultPlan::Parse(const std::string &text, std::string *error)
{
    const auto eq = text.find('=');
    const std::string kind = text.substr(0, eq);
    const bool hasValue = eq != std::string::npos;
    int value = 0;
    if (hasValue && !ParseNumber(text.substr(eq + 1), &value)) {
        if (error)
            *error = "bad number in --fault " + text;
        return false;
    }
    auto pick = [&](int fallback) { return hasValue ? value : fallback; };
    if (kind == "noise")
        noiseBytes = pick(kDefaultNoiseBytes);
    else if (kind == "garbage")
        garbageBytes = pick(kDefaultNoiseBytes);
    else if (kind == "crc")
        crcEvery = pick(kDefaultEvery);
    else if (kind == "drop")
        dropEvery = pick(kDefaultEvery);
    else if (kind == "split")
        splitGapMs = pick(kDefaultSplitGapMs);
    else if (kind == "delay")
        delayMs = pick(kDefaultDelayMs);
    else if (kind == "silent" && hasValue && value <= 0xFF)
        silent.insert(value);
    else if (kind == "stream" && hasValue && value <= 0xFF)
        stream.insert(value);
    else {
        if (error)
            *error = "unknown fault '" + text + "' (noise, garbage, crc, drop, split, delay, silent=ADDR, stream=ADDR)";
        return false;
    }
    return true;
}

FaultInjector::FaultInjector(FaultPlan plan, uint32_t seed) : plan_(std::move(plan)), random_(seed) {}

// Noise never holds a start byte or CR/LF, so a receiver that looks for them finds the real frame.
std::vector<uint8_t> FaultInjector::RandomBytes(int count)
{
    std::vector<uint8_t> out;
    std::uniform_int_distribution<int> byte(0, 255);
    while (static_cast<int>(out.size()) < count) {
        const auto b = static_cast<uint8_t>(byte(random_));
        if (b != frame::kStartByte && b != frame::kCr && b != frame::kLf)
            out.push_back(b);
    }
    return out;
}

std::vector<FaultInjector::Chunk> FaultInjector::Shape(uint8_t address, std::vector<uint8_t> reply)
{
    if (reply.empty() || plan_.silent.count(address))
        return {};
    ++replies_;
    if (plan_.dropEvery > 0 && replies_ % static_cast<uint64_t>(plan_.dropEvery) == 0)
        return {};
    if (plan_.crcEvery > 0 && replies_ % static_cast<uint64_t>(plan_.crcEvery) == 0 && reply.size() >= frame::kFrameOverhead) {
        // Spoil the CRC of the last frame in the reply (a bulk read ends in padding: spoil the first frame).
        const size_t at = reply.back() == frame::kLf ? reply.size() - 3 : frame::kOffsetData;
        reply[at] ^= 0x5A;
    }
    std::vector<uint8_t> wire = RandomBytes(plan_.noiseBytes);
    wire.insert(wire.end(), reply.begin(), reply.end());
    const auto tail = RandomBytes(plan_.garbageBytes);
    wire.insert(wire.end(), tail.begin(), tail.end());

    std::vector<Chunk> chunks;
    const int64_t delay = plan_.delayMs * kMicrosPerMs;
    if (plan_.splitGapMs <= 0) {
        chunks.push_back({std::move(wire), delay});
        return chunks;
    }
    for (size_t i = 0; i < wire.size(); i += kSplitChunkBytes) {
        const size_t end = std::min(wire.size(), i + kSplitChunkBytes);
        Chunk c;
        c.bytes.assign(wire.begin() + static_cast<std::ptrdiff_t>(i), wire.begin() + static_cast<std::ptrdiff_t>(end));
        c.delayMicros = i == 0 ? delay : plan_.splitGapMs * kMicrosPerMs;
        chunks.push_back(std::move(c));
    }
    return chunks;
}

} // namespace kvl::sim
