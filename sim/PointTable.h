#pragma once
// The point table a simulated controller keeps: up to 512 steps in wire form, with the 44-byte
// (long) and 42-byte (short) record codecs. Owned by one AxisDevice; called from the bus thread.
#include <cstddef>
#include <cstdint>
#include <vector>

#include <nlohmann/json.hpp>

namespace kvl::sim {

// One step as the controller holds it: the fields of the wire record, unscaled.
struct StepRecord {
    int16_t number = 0;     // record step number, 1-based; 0 = no data
    uint8_t mode = 1;       // 1 ABS, anything else INC
    int32_t position = 0;   // x 10,000
    int32_t speed = 0;      // x 100
    int32_t acc = 0;        // x 100 (G)
    int32_t dcc = 0;        // x 100 (G)
    int16_t push = 0;
    int16_t threshold = 0;
    int32_t positionRange = 0;  // x 10,000
    int32_t areaA = 0;          // x 10,000
    int32_t areaB = 0;          // x 10,000
    uint8_t accDecMode = 0;
    uint8_t stopMode = 0;
    int16_t standardTime = 0;   // dwell after arrival, ms
    uint8_t repeat = 1;
    int16_t jump = 0;           // target step + 1; 0 = end

    bool Defined() const { return number != 0; }
    bool operator==(const StepRecord &) const = default;
};

class PointTable {
public:
    static constexpr int kMaxSteps = 512;

    PointTable();

    // Encodes `record` addressed to wire step `addressed` in the long or short form.
    static std::vector<uint8_t> Encode(uint16_t addressed, const StepRecord &record, bool longForm);
    // Decodes a record of kLongRecordLength / kShortRecordLength bytes; the addressed step goes to *addressed.
    static StepRecord Decode(const uint8_t *bytes, bool longForm, uint16_t *addressed);

    // Steps are addressed 1..kMaxSteps on the wire; out-of-range steps read as empty.
    const StepRecord &Step(int wireStep) const;
    bool SetStep(int wireStep, const StepRecord &record);
    void ClearStep(int wireStep);
    void Clear();
    // Wire numbers of the defined steps among the first `count`, ascending.
    std::vector<int> DefinedSteps(int count) const;

    nlohmann::json ToJson() const;
    void FromJson(const nlohmann::json &json);

private:
    std::vector<StepRecord> m_steps;
    StepRecord m_empty;
};

} // namespace kvl::sim
