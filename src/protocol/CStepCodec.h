#pragma once
// Encodes and decodes the binary step record of the point-table commands, in its long (44-byte,
// models "MDB", "MDC", "MDC-X") and short (42-byte, every other model) forms, and formats a record
// as the text line the bulk read hands out. All offsets of the record live here. Stateless: any
// thread may call it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "protocol/ServoTypes.h"

namespace kvl {

class CStepCodec {
public:
    // Factors between the real fields and their wire integers.
    static constexpr double kPositionFactor = 10000.0;   // position, range, P-area A and B
    static constexpr double kSpeedFactor = 100.0;        // speed, ACC, DCC

    // Record length of the form, 44 or 42 bytes.
    static size_t RecordLength(bool longForm);

    // The record for `addressedStep` (1-based). The record step number comes from record.step;
    // reals are scaled and their decimal value truncated toward zero (saturated at the int32 limits).
    static std::vector<uint8_t> Encode(int addressedStep, const StepRecord &record, bool longForm);

    // The sixteen field values of a record of RecordLength(longForm) bytes; reals divided by their
    // factors. `addressedStep`, when given, gets bytes 0-1.
    static StepRecord Decode(const uint8_t *record, bool longForm, int *addressedStep = nullptr);

    // "%d,%c,%0.4f,%0.2f,%0.1f,%0.1f,%d,%d,%0.4f,%0.4f,%0.4f,%d,%d,%d,%d,%d" in wire numbering,
    // without the line end.
    static std::string FormatLine(const StepRecord &record);

    // Value * factor truncated toward zero, the value taken as the decimal it was typed as (2.3 at
    // factor 100 gives 230), limited to the int32 range (NaN gives 0).
    static int32_t ScaleToWire(double value, double factor);
};

} // namespace kvl
