#pragma once
// One step of a point table. The axis window owns two arrays of them (working table and driver
// copy, see CPointTable); the CSV files and the write plan read them. Field texts keep the widths
// of the controller tool's storage arrays: 19 bytes, 3 for the jump; longer texts from a file or
// a paste are cut, never stored past the width. The comment has no width. Value type; not shared
// between threads.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "points/StepTypes.h"

namespace kvl::points {

class CKVL_VER2_ProgData {
public:
    static constexpr size_t kTextWidth = 19; // text fields: 20-byte arrays with their NUL
    static constexpr size_t kJumpWidth = 3;  // jump: 4-byte array

    // Construction values: empty, step number 1, texts empty, speed 1, standard time 100, repeat 1.
    CKVL_VER2_ProgData();

    // Factory values of a defined step: ABS to 9999.9999 at speed 1, ACC/DCC 0.01, range 999.9999,
    // jump "E"; the empty flag is cleared.
    void SetFactory(int stepNumber);

    // Copy of every field, the empty flag included.
    void CopyFrom(const CKVL_VER2_ProgData &other) { *this = other; }

    // Step number, empty flag, every integer field and every text compared exactly; the comment
    // only when ignoreComment is false.
    bool Equals(const CKVL_VER2_ProgData &other, bool ignoreComment = false) const;

    // Field k (column 0..16) as text: integers in "%d", texts as stored. Empty for other k.
    std::string FieldText(int k) const;

    // Field k from a text: integer fields take the leading integer (saturated to the field's
    // range), text fields store the text cut to their width; the mode stores "ABS"/"INC" for the
    // two language texts. The empty flag is not touched.
    void SetFieldText(int k, std::string_view text, const CStepTexts &texts);

    // Whole row from 17 texts (index = column): integers by leading integer, mode normalised, the
    // six real fields as numbers in "%f" form (limited to what that form fits in 19 characters),
    // jump and comment unchanged; the empty flag cleared.
    void SetRow(const std::array<std::string, kStepColumnCount> &texts, const CStepTexts &language);

    // "INC" for "I", the mode-1 language text or "inc" in any case; "ABS" for everything else.
    static std::string NormaliseMode(std::string_view text, const CStepTexts &texts);

    bool IsEmpty() const { return m_empty != 0; }
    void SetEmpty(bool empty) { m_empty = empty ? 1 : 0; }

    int StepNumber() const { return m_stepNumber; }
    int Speed() const { return m_speed; }
    int Push() const { return m_push; }
    int Threshold() const { return m_threshold; }
    int AccDecMode() const { return m_accDecMode; }
    int StopMode() const { return m_stopMode; }
    int StdTime() const { return m_stdTime; }
    int Repeat() const { return m_repeat; }
    const std::string &Mode() const { return m_mode; }
    const std::string &Jump() const { return m_jump; }
    const std::string &Comment() const { return m_comment; }

    // True for the columns held as decimal texts (position, ACC, DCC, range, P-areas).
    static bool IsRealColumn(int k);
    // True for the columns held as integers (step number, speed, push ... repeat).
    static bool IsIntegerColumn(int k);

private:
    std::string *TextField(int k);
    const std::string *TextField(int k) const;
    void SetIntField(int k, int value);

    int32_t m_empty = 1;
    int16_t m_stepNumber = 1;
    std::string m_mode;
    std::string m_position;
    int32_t m_speed = 1;
    std::string m_acc;
    std::string m_dcc;
    int32_t m_push = 0;
    int32_t m_threshold = 0;
    std::string m_posRange;
    std::string m_pAreaA;
    std::string m_pAreaB;
    uint8_t m_accDecMode = 0;
    uint8_t m_stopMode = 0;
    int32_t m_stdTime = 100;
    uint8_t m_repeat = 1;
    std::string m_jump;
    std::string m_comment;
};

} // namespace kvl::points
