#include "sim/FaultInjector.h"

#include <algorithm>
#include <cstdlib>

#include "protocol/CommandCodes.h"
#include "protocol/Frame.h"

namespace kvl::sim {
namespace {

constexpr int kDefaultNoiseBytes = 3;
constexpr int kDefaultEvery = 5;
constexpr int kDefaultSplitGapMs = 5;
constexpr int kDefaultCrcPercent = 5;
constexpr int kPercent = 100;
constexpr int kDefaultDelayMs = 50;
constexpr int64_t kMicrosPerMs = 1000;
constexpr int kDefaultTableEndSteps = 5;
constexpr uint8_t kPaddingByte = 0xFF;
constexpr uint8_t kCrcSpoiler = 0xFF;

// Length of the step frames of a bulk read: the short or the long form, told apart by the CR LF
// that ends the first frame and the start or padding byte that follows it.
size_t StepFrameLength(const std::vector<uint8_t> &reply)
{
    for (const size_t length : {static_cast<size_t>(cmd::kReplyLenStepFrameShort),
                                static_cast<size_t>(cmd::kReplyLenStepFrameLong)}) {
        if (reply.size() > length && reply[length - 2] == frame::kCr && reply[length - 1] == frame::kLf &&
            (reply[length] == frame::kStartByte || reply[length] == kPaddingByte))
            return length;
    }
    return 0;
}

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
    return noiseBytes || garbageBytes || crcEvery || crcPercent || dropEvery || splitGapMs || delayMs || !silent.empty() ||
           tableEndSteps >= 0 || !stream.empty() || !wrongLength.empty();
}

bool FaultPlan::Parse(const std::string &text, std::string *error)
{
    const auto eq = text.find('=');
    const std::string kind = text.substr(0, eq);
    const bool hasValue = eq != std::string::npos;
    if (kind == "length" && hasValue) {
        // CMD or ADDR:CMD, each 0 to 255.
        const std::string target = text.substr(eq + 1);
        const auto colon = target.find(':');
        int address = kAnyAddress;
        int command = 0;
        const bool addressOk = colon == std::string::npos ||
                               (ParseNumber(target.substr(0, colon), &address) && address <= 0xFF);
        const std::string commandText = colon == std::string::npos ? target : target.substr(colon + 1);
        if (!addressOk || !ParseNumber(commandText, &command) || command > 0xFF) {
            if (error)
                *error = "--fault length wants CMD or ADDR:CMD (0 to 255 each), got '" + target + "'";
            return false;
        }
        wrongLength.insert({address, command});
        return true;
    }
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
    else if (kind == "crcrate" && pick(kDefaultCrcPercent) <= kPercent)
        crcPercent = pick(kDefaultCrcPercent);
    else if (kind == "drop")
        dropEvery = pick(kDefaultEvery);
    else if (kind == "split")
        splitGapMs = pick(kDefaultSplitGapMs);
    else if (kind == "delay")
        delayMs = pick(kDefaultDelayMs);
    else if (kind == "tableend")
        tableEndSteps = pick(kDefaultTableEndSteps);
    else if (kind == "silent" && hasValue && value <= 0xFF)
        silent.insert(value);
    else if (kind == "stream" && hasValue && value <= 0xFF)
        stream.insert(value);
    else {
        if (error)
            *error = "unknown fault '" + text +
                     "' (noise, garbage, crc, crcrate, drop, split, delay, silent=ADDR, tableend, stream=ADDR, "
                     "length=[ADDR:]CMD)";
        return false;
    }
    return true;
}

FaultInjector::FaultInjector(FaultPlan plan, uint32_t seed) : m_plan(std::move(plan)), m_random(seed) {}

// Noise never holds a start byte or CR/LF, so a receiver that looks for them finds the real frame.
std::vector<uint8_t> FaultInjector::RandomBytes(int count)
{
    std::vector<uint8_t> out;
    std::uniform_int_distribution<int> byte(0, 255);
    while (static_cast<int>(out.size()) < count) {
        const auto b = static_cast<uint8_t>(byte(m_random));
        if (b != frame::kStartByte && b != frame::kCr && b != frame::kLf)
            out.push_back(b);
    }
    return out;
}

std::vector<uint8_t> FaultInjector::EndTableEarly(const std::vector<uint8_t> &reply, int steps)
{
    if (reply.size() <= frame::kOffsetCommand || reply[frame::kOffsetCommand] != cmd::kCmdReadAllSteps ||
        reply.back() != kPaddingByte)
        return reply;
    const size_t frameLength = StepFrameLength(reply);
    if (frameLength == 0)   // padding only: an empty table
        return reply;
    size_t kept = 0;
    while (static_cast<int>(kept / frameLength) < steps && kept + frameLength <= reply.size() &&
           reply[kept] == frame::kStartByte)
        kept += frameLength;
    std::vector<uint8_t> out(reply.begin(), reply.begin() + static_cast<std::ptrdiff_t>(kept));
    std::vector<uint8_t> refused(frameLength, 0x00);
    refused[frame::kOffsetStart] = frame::kStartByte;
    refused[frame::kOffsetAxis] = reply[frame::kOffsetAxis];
    refused[frame::kOffsetCommand] = cmd::kCmdReadAllSteps;
    refused[frameLength - 2] = frame::kCr;
    refused[frameLength - 1] = frame::kLf;
    if (frame::CrcMatches(refused.data(), refused.size()))
        refused[frameLength - 3] ^= kCrcSpoiler;
    out.insert(out.end(), refused.begin(), refused.end());
    const auto padding = std::find_if(reply.rbegin(), reply.rend(), [](uint8_t b) { return b != kPaddingByte; });
    out.insert(out.end(), static_cast<size_t>(padding - reply.rbegin()), kPaddingByte);
    return out;
}

void FaultInjector::SetSilent(uint8_t address, bool silent)
{
    if (silent)
        m_plan.silent.insert(address);
    else
        m_plan.silent.erase(address);
}

void FaultInjector::SetWrongLength(uint8_t address, uint8_t command, bool on)
{
    if (on)
        m_plan.wrongLength.insert({address, command});
    else
        m_plan.wrongLength.erase({address, command});
}

std::vector<uint8_t> FaultInjector::Lengthen(const std::vector<uint8_t> &reply)
{
    if (reply.size() < frame::kFrameOverhead || reply.back() != frame::kLf)
        return reply;
    // The reply's data, one zero byte more, framed again (so its CRC matches).
    std::vector<uint8_t> data(reply.begin() + frame::kOffsetData,
                              reply.end() - static_cast<std::ptrdiff_t>(frame::kFrameOverhead - frame::kOffsetData));
    data.push_back(0x00);
    return frame::Build(reply[frame::kOffsetAxis], reply[frame::kOffsetCommand], data);
}

std::vector<FaultInjector::Chunk> FaultInjector::Shape(uint8_t address, std::vector<uint8_t> reply)
{
    if (reply.empty() || m_plan.silent.count(address))
        return {};
    if (m_plan.tableEndSteps >= 0)
        reply = EndTableEarly(reply, m_plan.tableEndSteps);
    if (reply.size() > frame::kOffsetCommand) {
        const int command = reply[frame::kOffsetCommand];
        if (m_plan.wrongLength.count({address, command}) || m_plan.wrongLength.count({FaultPlan::kAnyAddress, command}))
            reply = Lengthen(reply);
    }
    ++m_replies;
    if (m_plan.dropEvery > 0 && m_replies % static_cast<uint64_t>(m_plan.dropEvery) == 0)
        return {};
    const bool everyKth = m_plan.crcEvery > 0 && m_replies % static_cast<uint64_t>(m_plan.crcEvery) == 0;
    const bool drawn = m_plan.crcPercent > 0 && std::uniform_int_distribution<int>(1, kPercent)(m_random) <= m_plan.crcPercent;
    if ((everyKth || drawn) && reply.size() >= frame::kFrameOverhead) {
        // Spoil the CRC of the last frame in the reply (a bulk read ends in padding: spoil the first frame).
        const size_t at = reply.back() == frame::kLf ? reply.size() - 3 : frame::kOffsetData;
        reply[at] ^= 0x5A;
    }
    std::vector<uint8_t> wire = RandomBytes(m_plan.noiseBytes);
    wire.insert(wire.end(), reply.begin(), reply.end());
    const auto tail = RandomBytes(m_plan.garbageBytes);
    wire.insert(wire.end(), tail.begin(), tail.end());

    std::vector<Chunk> chunks;
    const int64_t delay = m_plan.delayMs * kMicrosPerMs;
    if (m_plan.splitGapMs <= 0) {
        chunks.push_back({std::move(wire), delay});
        return chunks;
    }
    for (size_t i = 0; i < wire.size(); i += kSplitChunkBytes) {
        const size_t end = std::min(wire.size(), i + kSplitChunkBytes);
        Chunk c;
        c.bytes.assign(wire.begin() + static_cast<std::ptrdiff_t>(i), wire.begin() + static_cast<std::ptrdiff_t>(end));
        c.delayMicros = i == 0 ? delay : m_plan.splitGapMs * kMicrosPerMs;
        chunks.push_back(std::move(c));
    }
    return chunks;
}

} // namespace kvl::sim
