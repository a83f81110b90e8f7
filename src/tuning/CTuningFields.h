#pragma once
// CTuningFields: the five controller parameters that steer a tuning run, as the tuning window
// edits them: the four text fields (stroke, acceleration, load inertia ratio, target settling
// time) and the stiffness level, each with its reference value (the value last read from or
// written to the controller). A field is drawn red once the user typed in it while its value
// differs from the reference. Plain data and conversions; the window's thread.
#include <array>
#include <cstdint>
#include <string>

namespace kvl::tuning {

class CTuningFields {
public:
    enum class Field { kStroke, kAcceleration, kLoadInertia, kSettlingTime };
    static constexpr int kFieldCount = 4;

    // Controller parameter numbers.
    static constexpr uint16_t kParamStroke = 171;
    static constexpr uint16_t kParamAcceleration = 172;
    static constexpr uint16_t kParamLoadInertia = 119;
    static constexpr uint16_t kParamSettlingTime = 173;
    static constexpr uint16_t kParamStiffness = 174;
    static constexpr int kMaxStiffness = 5;
    static constexpr int kMinSettlingTime = 50;
    static constexpr int kMaxSettlingTime = 10000;

    // How a field is edited: accepted characters, length, range.
    struct Input {
        const char *chars;
        int maxLength;
        double min, max;
        bool decimal;
    };
    static const Input &InputOf(Field field);
    static uint16_t ParameterOf(Field field);

    CTuningFields();

    // Start values: "1", "1.0", "1.000", "50", slider 0, all black.
    void Reset();

    const std::string &Text(Field field) const;
    // The user typed: the field takes the text and turns red while it differs from its reference.
    void Edit(Field field, const std::string &text);
    bool Red(Field field) const;
    int Stiffness() const { return m_stiffness; }
    int StiffnessReference() const { return m_stiffnessReference; }
    void SetStiffness(int level);   // limited to 0..5
    void StiffnessLower();
    void StiffnessHigher();

    // A value read from the controller (raw): shown, made the reference, drawn black.
    void TakeRead(Field field, int32_t raw);
    void TakeReadStiffness(int32_t raw);
    // The raw value the field's text writes (integer of the text; acceleration x10 and load inertia
    // ratio x1000, rounded to the nearest integer).
    int32_t RawOf(Field field) const;
    // Whether the field's value differs from its reference (integers; acceleration by more than
    // 1e-9, load inertia ratio by more than 1e-7).
    bool Changed(Field field) const;
    bool StiffnessChanged() const { return m_stiffness != m_stiffnessReference; }
    // A write succeeded: the written value becomes the reference, the text black.
    void TakeWritten(Field field);
    void TakeWrittenStiffness() { m_stiffnessReference = m_stiffness; }
    // The target settling time lies within 50 to 10000.
    bool SettlingTimeValid() const;
    // The field's value lies within its range (load inertia ratio 1 to 100, ...).
    bool InRange(Field field) const;

    static std::string Format(Field field, int32_t raw);

private:
    double ValueOf(Field field) const;
    static size_t Index(Field field) { return static_cast<size_t>(field); }

    std::array<std::string, kFieldCount> m_texts;
    std::array<double, kFieldCount> m_references{};
    std::array<bool, kFieldCount> m_typed{};
    int m_stiffness = 0;
    int m_stiffnessReference = 0;
};

} // namespace kvl::tuning
