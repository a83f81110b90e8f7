#include "sim/PointTable.h"

#include "protocol/Frame.h"
#include "protocol/CommandCodes.h"

namespace kvl::sim {
namespace {

void PutI16(std::vector<uint8_t> &out, int16_t v)
{
    frame::PutU16(out, static_cast<uint16_t>(v));
}

// Push and threshold are two bytes in the long form and one in the short form.
void PutSmall(std::vector<uint8_t> &out, int16_t v, bool longForm)
{
    if (longForm)
        PutI16(out, v);
    else
        out.push_back(static_cast<uint8_t>(v & 0xFF));
}

int16_t GetSmall(const uint8_t *&p, bool longForm)
{
    if (longForm) {
        const int16_t v = frame::GetI16(p);
        p += 2;
        return v;
    }
    return static_cast<int16_t>(*p++);
}

int32_t TakeI32(const uint8_t *&p)
{
    const int32_t v = frame::GetI32(p);
    p += 4;
    return v;
}

int16_t TakeI16(const uint8_t *&p)
{
    const int16_t v = frame::GetI16(p);
    p += 2;
    return v;
}

} // namespace

PointTable::PointTable() : m_steps(kMaxSteps) {}

std::vector<uint8_t> PointTable::Encode(uint16_t addressed, const StepRecord &r, bool longForm)
{
    std::vector<uint8_t> out;
    out.reserve(cmd::kStepRecordLenLong);
    frame::PutU16(out, addressed);
    PutI16(out, r.number);
    out.push_back(r.mode);
    frame::PutI32(out, r.position);
    frame::PutI32(out, r.speed);
    frame::PutI32(out, r.acc);
    frame::PutI32(out, r.dcc);
    PutSmall(out, r.push, longForm);
    PutSmall(out, r.threshold, longForm);
    frame::PutI32(out, r.positionRange);
    frame::PutI32(out, r.areaA);
    frame::PutI32(out, r.areaB);
    out.push_back(r.accDecMode);
    out.push_back(r.stopMode);
    PutI16(out, r.standardTime);
    out.push_back(r.repeat);
    PutI16(out, r.jump);
    return out;
}

StepRecord PointTable::Decode(const uint8_t *bytes, bool longForm, uint16_t *addressed)
{
    const uint8_t *p = bytes;
    StepRecord r;
    const uint16_t target = frame::GetU16(p);
    p += 2;
    if (addressed)
        *addressed = target;
    r.number = TakeI16(p);
    r.mode = *p++;
    r.position = TakeI32(p);
    r.speed = TakeI32(p);
    r.acc = TakeI32(p);
    r.dcc = TakeI32(p);
    r.push = GetSmall(p, longForm);
    r.threshold = GetSmall(p, longForm);
    r.positionRange = TakeI32(p);
    r.areaA = TakeI32(p);
    r.areaB = TakeI32(p);
    r.accDecMode = *p++;
    r.stopMode = *p++;
    r.standardTime = TakeI16(p);
    r.repeat = *p++;
    r.jump = TakeI16(p);
    return r;
}

const StepRecord &PointTable::Step(int wireStep) const
{
    if (wireStep < 1 || wireStep > kMaxSteps)
        return m_empty;
    return m_steps[static_cast<size_t>(wireStep - 1)];
}

bool PointTable::SetStep(int wireStep, const StepRecord &record)
{
    if (wireStep < 1 || wireStep > kMaxSteps)
        return false;
    m_steps[static_cast<size_t>(wireStep - 1)] = record;
    return true;
}

void PointTable::ClearStep(int wireStep)
{
    SetStep(wireStep, StepRecord{});
}

void PointTable::Clear()
{
    m_steps.assign(kMaxSteps, StepRecord{});
}

std::vector<int> PointTable::DefinedSteps(int count) const
{
    std::vector<int> out;
    for (int i = 1; i <= count && i <= kMaxSteps; ++i)
        if (Step(i).Defined())
            out.push_back(i);
    return out;
}

nlohmann::json PointTable::ToJson() const
{
    nlohmann::json steps = nlohmann::json::array();
    for (int i = 1; i <= kMaxSteps; ++i) {
        const StepRecord &r = Step(i);
        if (!r.Defined())
            continue;
        steps.push_back({{"step", i}, {"number", r.number}, {"mode", r.mode}, {"position", r.position},
                         {"speed", r.speed}, {"acc", r.acc}, {"dcc", r.dcc}, {"push", r.push},
                         {"threshold", r.threshold}, {"range", r.positionRange}, {"areaA", r.areaA},
                         {"areaB", r.areaB}, {"accDecMode", r.accDecMode}, {"stopMode", r.stopMode},
                         {"standardTime", r.standardTime}, {"repeat", r.repeat}, {"jump", r.jump}});
    }
    return steps;
}

void PointTable::FromJson(const nlohmann::json &json)
{
    Clear();
    if (!json.is_array())
        return;
    for (const auto &s : json) {
        StepRecord r;
        r.number = s.value("number", int16_t{0});
        r.mode = s.value("mode", uint8_t{1});
        r.position = s.value("position", 0);
        r.speed = s.value("speed", 0);
        r.acc = s.value("acc", 0);
        r.dcc = s.value("dcc", 0);
        r.push = s.value("push", int16_t{0});
        r.threshold = s.value("threshold", int16_t{0});
        r.positionRange = s.value("range", 0);
        r.areaA = s.value("areaA", 0);
        r.areaB = s.value("areaB", 0);
        r.accDecMode = s.value("accDecMode", uint8_t{0});
        r.stopMode = s.value("stopMode", uint8_t{0});
        r.standardTime = s.value("standardTime", int16_t{0});
        r.repeat = s.value("repeat", uint8_t{1});
        r.jump = s.value("jump", int16_t{0});
        SetStep(s.value("step", 0), r);
    }
}

} // namespace kvl::sim
