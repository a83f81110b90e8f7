#pragma once
// CParamData: one controller parameter as the parameter file describes it (number, name, unit,
// type, range, value, choices, tab and flags). A plain record with value semantics: the axis
// window's parameter list holds 256 of them and the parameter list window copies them freely.
// No I/O here. The texts come from the parameter file of the user's language (names, units,
// choices) or from the controller (the device name) and stay in that code page: whoever shows or
// prints one converts it by name. Any thread, no locking.
#include <string>
#include <string_view>
#include <vector>

#include "config/CCodePageText.h"

namespace kvl::params {

class CParamData {
public:
    enum Type : int {
        kTypeEmpty = 0,     // no parameter in this slot
        kTypeInteger = 1,
        kTypeReal = 2,
        kTypeSelection = 3,
        kTypeText = 4
    };
    // Hide classes ("HIDE").
    static constexpr int kHideNever = 0;
    static constexpr int kHideAlways = 1;
    static constexpr int kHideBelowCustom = 2;
    static constexpr int kHideBelowCustomGreyed = 3;
    // Write cautions ("ServoW").
    static constexpr int kCautionServoOn = 0;
    static constexpr int kCautionProgramActive = 1;
    static constexpr int kCautionNever = 2;
    // Decimals beyond this make 10^precision overflow the controller's 32-bit range.
    static constexpr int kMaxPrecision = 9;

    // Refuses a type outside 0 to 4 (returns false, the type stays).
    bool SetType(int type);
    int GetType() const { return m_type; }
    bool IsEmpty() const { return m_type == kTypeEmpty; }

    void SetNumberText(std::string text) { m_numberText = std::move(text); }
    const std::string &NumberText() const { return m_numberText; }
    void SetDisplayName(CCodePageText text) { m_displayName = std::move(text); }
    const CCodePageText &DisplayName() const { return m_displayName; }
    void SetUnitName(CCodePageText text) { m_unitName = std::move(text); }
    const CCodePageText &UnitName() const { return m_unitName; }

    // Ranges keep the smaller given value as lower and the larger as upper.
    void SetIntRange(int a, int b);
    int IntMin() const { return m_intMin; }
    int IntMax() const { return m_intMax; }
    void SetIntValue(int value) { m_intValue = value; }
    int IntValue() const { return m_intValue; }

    void SetRealRange(double a, double b);
    double RealMin() const { return m_realMin; }
    double RealMax() const { return m_realMax; }
    void SetRealValue(double value) { m_realValue = value; }
    double RealValue() const { return m_realValue; }

    // Limited to 0..kMaxPrecision.
    void SetPrecision(int decimals);
    int Precision() const { return m_precision; }

    // Strips blanks at both ends; an empty choice is not added.
    void AddChoice(const CCodePageText &text);
    void ClearChoices();
    const std::vector<CCodePageText> &Choices() const { return m_choices; }
    int ChoiceCount() const { return static_cast<int>(m_choices.size()); }
    // -1 while nothing is chosen.
    int SelectedIndex() const { return m_selectedIndex; }
    const CCodePageText &SelectedText() const { return m_selectedText; }

    // Selection: chooses `index` (refused outside 0..count-1); with markChanged a different index
    // sets the changed flag. On an integer record it sets the value instead. Other types refuse.
    bool SetIndex(int index, bool markChanged = false);

    // Text value, stripped of blanks at both ends.
    void SetTextValue(const CCodePageText &text);
    const CCodePageText &TextValue() const { return m_textValue; }

    // The value from a text (a "Value" entry or a user file): empty changes nothing; integer by a
    // decimal integer conversion, real by a decimal real conversion, selection by the first
    // choice equal to the stripped text (unchanged when none), text as given. Numbers read alike in
    // every code page; a choice is compared in the text's own code page. Returns whether the record
    // took a value.
    bool SetByText(const CCodePageText &text, bool markChanged = false);

    bool IsChanged() const { return m_changed; }
    void SetChanged(bool changed) { m_changed = changed; }

    void SetTab(int tab) { m_tab = tab; }
    int Tab() const { return m_tab; }
    void SetWritable(bool writable) { m_writable = writable; }
    bool IsWritable() const { return m_writable; }
    void SetHideClass(int hide) { m_hide = hide; }
    int HideClass() const { return m_hide; }
    void SetWriteCaution(int caution) { m_writeCaution = caution; }
    int WriteCaution() const { return m_writeCaution; }

    // Range texts exactly as written in the file ("Min", "Max": numbers, alike in every code page;
    // "Range" for selections: words of the language).
    void SetRangeTexts(std::string minText, std::string maxText);
    const std::string &MinText() const { return m_minText; }
    const std::string &MaxText() const { return m_maxText; }
    void SetRangeText(CCodePageText text) { m_rangeText = std::move(text); }
    const CCodePageText &RangeText() const { return m_rangeText; }

    // Row of the parameter list that shows it, -1 when hidden.
    void SetRow(int row) { m_row = row; }
    int Row() const { return m_row; }

private:
    int m_type = kTypeEmpty;
    bool m_changed = false;
    std::string m_numberText;
    CCodePageText m_displayName;
    CCodePageText m_unitName;
    int m_intMin = 0;
    int m_intMax = 0;
    int m_intValue = 0;
    double m_realMin = 0.0;
    double m_realMax = 0.0;
    double m_realValue = 0.0;
    int m_precision = 0;
    std::vector<CCodePageText> m_choices;
    int m_selectedIndex = -1;
    CCodePageText m_selectedText;
    CCodePageText m_textValue;
    int m_tab = 0;
    bool m_writable = false;
    int m_hide = kHideNever;
    int m_writeCaution = kCautionServoOn;
    std::string m_minText;
    std::string m_maxText;
    CCodePageText m_rangeText;
    int m_row = -1;
};

} // namespace kvl::params
