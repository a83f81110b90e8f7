#include "protocol/CStepCodec.h"

#include <cmath>
#include <cstdio>

#include "protocol/CommandCodes.h"
#include "base/DecimalScale.h"
#include "protocol/Frame.h"

namespace kvl {
namespace {

// Byte offsets inside the record. The first 21 bytes are the same in both forms; from push on the
// short form packs push and threshold into single bytes.
constexpr size_t kOffAddressedStep = 0;
constexpr size_t kOffRecordStep = 2;
constexpr size_t kOffMode = 4;
constexpr size_t kOffPosition = 5;
constexpr size_t kOffSpeed = 9;
constexpr size_t kOffAcc = 13;
constexpr size_t kOffDcc = 17;
constexpr size_t kOffPush = 21;

struct RecordLayout {
    size_t narrowFieldSize;   // push and threshold: 2 bytes (long) or 1 byte (short)
    size_t threshold;
    size_t range;
    size_t areaA;
    size_t areaB;
    size_t accDecMode;
    size_t stopMode;
    size_t standardTime;
    size_t repeat;
    size_t jump;
    size_t length;
};

constexpr RecordLayout kLongLayout{2, 23, 25, 29, 33, 37, 38, 39, 41, 42, cmd::kStepRecordLenLong};
constexpr RecordLayout kShortLayout{1, 22, 23, 27, 31, 35, 36, 37, 39, 40, cmd::kStepRecordLenShort};

const RecordLayout &LayoutFor(bool longForm) { return longForm ? kLongLayout : kShortLayout; }

void PutU16At(std::vector<uint8_t> &out, size_t offset, int value)
{
    const auto v = static_cast<uint16_t>(value);
    out[offset] = static_cast<uint8_t>(v & 0xFF);
    out[offset + 1] = static_cast<uint8_t>(v >> 8);
}

void PutI32At(std::vector<uint8_t> &out, size_t offset, int32_t value)
{
    const auto v = static_cast<uint32_t>(value);
    for (size_t i = 0; i < 4; ++i)
        out[offset + i] = static_cast<uint8_t>((v >> (8 * i)) & 0xFF);
}

void PutNarrowAt(std::vector<uint8_t> &out, size_t offset, size_t size, int value)
{
    if (size == 2)
        PutU16At(out, offset, value);
    else
        out[offset] = static_cast<uint8_t>(value);
}

int GetNarrow(const uint8_t *p, size_t size) { return size == 2 ? frame::GetI16(p) : p[0]; }

double Unscale(const uint8_t *p, double factor) { return frame::GetI32(p) / factor; }

} // namespace

size_t CStepCodec::RecordLength(bool longForm) { return LayoutFor(longForm).length; }

int32_t CStepCodec::ScaleToWire(double value, double factor)
{
    return decimalscale::TruncateScaled(value, std::llround(factor));
}

std::vector<uint8_t> CStepCodec::Encode(int addressedStep, const StepRecord &record, bool longForm)
{
    const RecordLayout &lay = LayoutFor(longForm);
    std::vector<uint8_t> out(lay.length, 0);
    PutU16At(out, kOffAddressedStep, addressedStep);
    PutU16At(out, kOffRecordStep, record.step);
    out[kOffMode] = static_cast<uint8_t>(record.mode);
    PutI32At(out, kOffPosition, ScaleToWire(record.position, kPositionFactor));
    PutI32At(out, kOffSpeed, ScaleToWire(record.speed, kSpeedFactor));
    PutI32At(out, kOffAcc, ScaleToWire(record.acc, kSpeedFactor));
    PutI32At(out, kOffDcc, ScaleToWire(record.dcc, kSpeedFactor));
    PutNarrowAt(out, kOffPush, lay.narrowFieldSize, record.push);
    PutNarrowAt(out, lay.threshold, lay.narrowFieldSize, record.threshold);
    PutI32At(out, lay.range, ScaleToWire(record.range, kPositionFactor));
    PutI32At(out, lay.areaA, ScaleToWire(record.areaA, kPositionFactor));
    PutI32At(out, lay.areaB, ScaleToWire(record.areaB, kPositionFactor));
    out[lay.accDecMode] = static_cast<uint8_t>(record.accDecMode);
    out[lay.stopMode] = static_cast<uint8_t>(record.stopMode);
    PutU16At(out, lay.standardTime, record.standardTime);
    out[lay.repeat] = static_cast<uint8_t>(record.repeat);
    PutU16At(out, lay.jump, record.jump);
    return out;
}

StepRecord CStepCodec::Decode(const uint8_t *record, bool longForm, int *addressedStep)
{
    const RecordLayout &lay = LayoutFor(longForm);
    StepRecord r;
    if (addressedStep)
        *addressedStep = frame::GetU16(record + kOffAddressedStep);
    r.step = frame::GetI16(record + kOffRecordStep);
    r.mode = record[kOffMode];
    r.position = Unscale(record + kOffPosition, kPositionFactor);
    r.speed = Unscale(record + kOffSpeed, kSpeedFactor);
    r.acc = Unscale(record + kOffAcc, kSpeedFactor);
    r.dcc = Unscale(record + kOffDcc, kSpeedFactor);
    r.push = GetNarrow(record + kOffPush, lay.narrowFieldSize);
    r.threshold = GetNarrow(record + lay.threshold, lay.narrowFieldSize);
    r.range = Unscale(record + lay.range, kPositionFactor);
    r.areaA = Unscale(record + lay.areaA, kPositionFactor);
    r.areaB = Unscale(record + lay.areaB, kPositionFactor);
    r.accDecMode = record[lay.accDecMode];
    r.stopMode = record[lay.stopMode];
    r.standardTime = frame::GetI16(record + lay.standardTime);
    r.repeat = record[lay.repeat];
    r.jump = frame::GetI16(record + lay.jump);
    return r;
}

std::string CStepCodec::FormatLine(const StepRecord &r)
{
    char line[512];
    std::snprintf(line, sizeof line, "%d,%c,%0.4f,%0.2f,%0.1f,%0.1f,%d,%d,%0.4f,%0.4f,%0.4f,%d,%d,%d,%d,%d",
                  r.step, r.mode == cmd::kStepModeAbs ? 'A' : 'I', r.position, r.speed, r.acc, r.dcc,
                  r.push, r.threshold, r.range, r.areaA, r.areaB, r.accDecMode, r.stopMode,
                  r.standardTime, r.repeat, r.jump);
    return line;
}

} // namespace kvl
