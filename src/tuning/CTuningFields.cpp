#include "tuning/CTuningFields.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace kvl::tuning {

namespace {

constexpr std::array<CTuningFields::Input, CTuningFields::kFieldCount> kInputs{{
    {"0123456789", 3, 1, 100, false},
    {"0123456789.", 3, 1, 5, true},
    {"0123456789.", 7, 1, 100, true},
    {"0123456789", 5, 50, 10000, false},
}};
constexpr std::array<uint16_t, CTuningFields::kFieldCount> kParams{
    CTuningFields::kParamStroke, CTuningFields::kParamAcceleration, CTuningFields::kParamLoadInertia,
    CTuningFields::kParamSettlingTime};
// Raw value per shown unit.
constexpr std::array<double, CTuningFields::kFieldCount> kRawPerUnit{1.0, 10.0, 1000.0, 1.0};
constexpr std::array<double, CTuningFields::kFieldCount> kTolerance{0.5, 1e-9, 1e-7, 0.5};

} // namespace

const CTuningFields::Input &CTuningFields::InputOf(Field field)
{
    return kInputs[Index(field)];
}

uint16_t CTuningFields::ParameterOf(Field field)
{
    return kParams[Index(field)];
}

CTuningFields::CTuningFields()
{
    Reset();
}

void CTuningFields::Reset()
{
    m_texts = {"1", "1.0", "1.000", "50"};
    m_references = {1.0, 1.0, 1.0, 50.0};
    m_typed = {};
    m_stiffness = 0;
    m_stiffnessReference = 0;
}

const std::string &CTuningFields::Text(Field field) const
{
    return m_texts[Index(field)];
}

void CTuningFields::Edit(Field field, const std::string &text)
{
    m_texts[Index(field)] = text;
    m_typed[Index(field)] = true;
}

bool CTuningFields::Red(Field field) const
{
    return m_typed[Index(field)] && Changed(field);
}

void CTuningFields::SetStiffness(int level)
{
    m_stiffness = std::clamp(level, 0, kMaxStiffness);
}

void CTuningFields::StiffnessLower()
{
    if (m_stiffness > 0)
        --m_stiffness;
}

void CTuningFields::StiffnessHigher()
{
    if (m_stiffness < kMaxStiffness)
        ++m_stiffness;
}

std::string CTuningFields::Format(Field field, int32_t raw)
{
    char text[32];
    switch (field) {
    case Field::kAcceleration:
        std::snprintf(text, sizeof text, "%.1f", raw / 10.0);
        break;
    case Field::kLoadInertia:
        std::snprintf(text, sizeof text, "%.3f", raw / 1000.0);
        break;
    default:
        std::snprintf(text, sizeof text, "%d", raw);
        break;
    }
    return text;
}

void CTuningFields::TakeRead(Field field, int32_t raw)
{
    m_texts[Index(field)] = Format(field, raw);
    m_references[Index(field)] = ValueOf(field);
    m_typed[Index(field)] = false;
}

void CTuningFields::TakeReadStiffness(int32_t raw)
{
    m_stiffness = std::clamp(static_cast<int>(raw), 0, kMaxStiffness);
    m_stiffnessReference = m_stiffness;
}

double CTuningFields::ValueOf(Field field) const
{
    const std::string &text = m_texts[Index(field)];
    if (!InputOf(field).decimal)
        return static_cast<double>(std::atoi(text.c_str()));
    return std::atof(text.c_str());
}

int32_t CTuningFields::RawOf(Field field) const
{
    if (!InputOf(field).decimal)
        return static_cast<int32_t>(ValueOf(field));
    return static_cast<int32_t>(std::lround(ValueOf(field) * kRawPerUnit[Index(field)]));
}

bool CTuningFields::Changed(Field field) const
{
    return std::fabs(ValueOf(field) - m_references[Index(field)]) > kTolerance[Index(field)];
}

void CTuningFields::TakeWritten(Field field)
{
    m_references[Index(field)] = ValueOf(field);
    m_typed[Index(field)] = false;
}

bool CTuningFields::InRange(Field field) const
{
    const double value = ValueOf(field);
    return value >= InputOf(field).min && value <= InputOf(field).max;
}

bool CTuningFields::SettlingTimeValid() const
{
    const int32_t time = RawOf(Field::kSettlingTime);
    return time >= kMinSettlingTime && time <= kMaxSettlingTime;
}

} // namespace kvl::tuning
