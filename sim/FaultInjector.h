#pragma once
// The fault switches of the simulator: noise before replies, trailing garbage, a spoiled CRC every
// K replies, silent addresses, a dropped reply every K, replies split into chunks with gaps, a
// fixed delay, wrong CRCs at a rate, a bulk table read the controller ends early with its empty refused frame, and a
// stream of noise that goes on for a while after the replies of an address (a controller still
// sending the rest of an abandoned bulk read), and replies of one command one data byte too long
// (a wrong-length reply, framed and checked as a good one). Random bytes come from a seeded generator so runs
// repeat. Owned by the BusRunner; bus thread only.
#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace kvl::sim {

struct FaultPlan {
    int noiseBytes = 0;        // noise=N: N bytes before each reply
    int garbageBytes = 0;      // garbage=N: N bytes after each reply
    int crcEvery = 0;          // crc=K: every K-th reply carries a wrong CRC
    int crcPercent = 0;        // crcrate=P: each reply carries a wrong CRC with P % chance
    int dropEvery = 0;         // drop=K: every K-th reply is not sent
    int splitGapMs = 0;        // split=MS: replies go out in 4-byte chunks MS apart
    int delayMs = 0;           // delay=MS: each reply waits MS before its first byte
    std::set<int> silent;      // silent=ADDR: that address never answers
    int tableEndSteps = -1;    // tableend=N: a bulk table read ends in the empty refused frame
                               // after N steps (after the last when the table holds fewer;
                               // an empty table stays empty)
    std::set<int> stream;      // stream=ADDR: each reply of that address is followed by a stream
                               // of noise
    // length=CMD or length=ADDR:CMD: each reply to command CMD (of ADDR; kAnyAddress: of every
    // address) carries one data byte more than its command's reply, with its CRC and CR LF.
    static constexpr int kAnyAddress = -1;
    std::set<std::pair<int, int>> wrongLength;   // (address or kAnyAddress, command)

    bool Any() const;
    // Adds one "--fault KIND[=N]" switch; false with a message for an unknown kind or a bad number.
    bool Parse(const std::string &text, std::string *error);
};

class FaultInjector {
public:
    static constexpr size_t kSplitChunkBytes = 4;
    static constexpr int kStreamMs = 2000;   // how long the noise after a stream=ADDR reply lasts

    struct Chunk {
        std::vector<uint8_t> bytes;
        int64_t delayMicros = 0;   // wait before this chunk
    };

    FaultInjector(FaultPlan plan, uint32_t seed);

    // What goes on the wire for `reply` from `address`: no chunk at all for a silent or dropped reply.
    std::vector<Chunk> Shape(uint8_t address, std::vector<uint8_t> reply);
    const FaultPlan &Plan() const { return m_plan; }
    // Makes `address` silent or answering again (a controller unplugged and back, at run time).
    void SetSilent(uint8_t address, bool silent);
    // Replies of `address` to `command` come one data byte too long (or right again), at run time.
    void SetWrongLength(uint8_t address, uint8_t command, bool on);
    // `reply` with one more data byte (0x00) before its CRC, the CRC made to match: a frame whose
    // every check but its length passes.
    static std::vector<uint8_t> Lengthen(const std::vector<uint8_t> &reply);
    // Every reply waits `ms` before its first byte from now on (a slow line, a busy converter).
    void SetDelay(int ms) { m_plan.delayMs = ms; }
    // True when a reply of `address` is followed by a stream of noise.
    bool StreamsAfter(uint8_t address) const { return m_plan.stream.count(address) != 0; }
    // `count` noise bytes: never a start byte, CR or LF, so a receiver finds no frame in them.
    std::vector<uint8_t> RandomBytes(int count);

    // A bulk table read (step frames, then 0xFF padding) cut after `steps` frames and ended with
    // the empty refused frame (a zero record with a wrong CRC) and the padding; any other reply
    // comes back as it was.
    static std::vector<uint8_t> EndTableEarly(const std::vector<uint8_t> &reply, int steps);

private:

    FaultPlan m_plan;
    std::mt19937 m_random;
    uint64_t m_replies = 0;
};

} // namespace kvl::sim
