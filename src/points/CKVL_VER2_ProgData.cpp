#include "points/CKVL_VER2_ProgData.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "base/TextNumber.h"
#include "config/CCodePage.h"

namespace kvl::points {

namespace {

constexpr int kDefaultSpeed = 1;
constexpr int kDefaultStdTime = 100;
constexpr int kDefaultRepeat = 1;
constexpr int kRealDecimalsOfRowSet = 6; // "%f"
// The largest magnitudes whose "%f" form fits the 19 characters of a text field. A bigger number
// would have its digits cut off and change its magnitude, so it is stored as the bound instead.
constexpr double kRealStoredMax = 999999999999.0;  // "999999999999.000000"
constexpr double kRealStoredMin = -99999999999.0;  // "-99999999999.000000"

template <typename T> T Saturate(int value)
{
    return static_cast<T>(std::clamp<int>(value, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

} // namespace

CKVL_VER2_ProgData::CKVL_VER2_ProgData() = default;

void CKVL_VER2_ProgData::SetFactory(int stepNumber)
{
    m_stepNumber = Saturate<int16_t>(stepNumber);
    m_mode = "ABS";
    m_position = "9999.9999";
    m_speed = kDefaultSpeed;
    m_acc = "0.01";
    m_dcc = "0.01";
    m_push = 0;
    m_threshold = 0;
    m_posRange = "999.9999";
    m_pAreaA = "0";
    m_pAreaB = "0";
    m_accDecMode = 0;
    m_stopMode = 0;
    m_stdTime = kDefaultStdTime;
    m_repeat = kDefaultRepeat;
    m_jump = "E";
    m_comment.clear();
    m_empty = 0;
}

bool CKVL_VER2_ProgData::Equals(const CKVL_VER2_ProgData &other, bool ignoreComment) const
{
    return m_stepNumber == other.m_stepNumber && m_empty == other.m_empty && m_mode == other.m_mode &&
           m_position == other.m_position && m_speed == other.m_speed && m_acc == other.m_acc &&
           m_dcc == other.m_dcc && m_push == other.m_push && m_threshold == other.m_threshold &&
           m_posRange == other.m_posRange && m_pAreaA == other.m_pAreaA && m_pAreaB == other.m_pAreaB &&
           m_accDecMode == other.m_accDecMode && m_stopMode == other.m_stopMode &&
           m_stdTime == other.m_stdTime && m_repeat == other.m_repeat && m_jump == other.m_jump &&
           (ignoreComment || m_comment == other.m_comment);
}

bool CKVL_VER2_ProgData::IsRealColumn(int k)
{
    return k == kColPosition || k == kColAcc || k == kColDcc || k == kColPosRange || k == kColPAreaA ||
           k == kColPAreaB;
}

bool CKVL_VER2_ProgData::IsIntegerColumn(int k)
{
    return k == kColStep || k == kColSpeed || k == kColPush || k == kColThreshold || k == kColAccDecMode ||
           k == kColStopMode || k == kColStdTime || k == kColRepeat;
}

std::string *CKVL_VER2_ProgData::TextField(int k)
{
    return const_cast<std::string *>(std::as_const(*this).TextField(k));
}

const std::string *CKVL_VER2_ProgData::TextField(int k) const
{
    switch (k) {
    case kColMode: return &m_mode;
    case kColPosition: return &m_position;
    case kColAcc: return &m_acc;
    case kColDcc: return &m_dcc;
    case kColPosRange: return &m_posRange;
    case kColPAreaA: return &m_pAreaA;
    case kColPAreaB: return &m_pAreaB;
    case kColJump: return &m_jump;
    case kColComment: return &m_comment;
    default: return nullptr;
    }
}

void CKVL_VER2_ProgData::SetIntField(int k, int value)
{
    switch (k) {
    case kColStep: m_stepNumber = Saturate<int16_t>(value); break;
    case kColSpeed: m_speed = value; break;
    case kColPush: m_push = value; break;
    case kColThreshold: m_threshold = value; break;
    case kColAccDecMode: m_accDecMode = Saturate<uint8_t>(value); break;
    case kColStopMode: m_stopMode = Saturate<uint8_t>(value); break;
    case kColStdTime: m_stdTime = value; break;
    case kColRepeat: m_repeat = Saturate<uint8_t>(value); break;
    default: break;
    }
}

std::string CKVL_VER2_ProgData::FieldText(int k) const
{
    switch (k) {
    case kColStep: return FormatInt(m_stepNumber);
    case kColSpeed: return FormatInt(m_speed);
    case kColPush: return FormatInt(m_push);
    case kColThreshold: return FormatInt(m_threshold);
    case kColAccDecMode: return FormatInt(m_accDecMode);
    case kColStopMode: return FormatInt(m_stopMode);
    case kColStdTime: return FormatInt(m_stdTime);
    case kColRepeat: return FormatInt(m_repeat);
    default: break;
    }
    const std::string *text = TextField(k);
    return text ? *text : std::string();
}

void CKVL_VER2_ProgData::SetFieldText(int k, std::string_view text, const CStepTexts &texts)
{
    if (IsIntegerColumn(k)) {
        SetIntField(k, LeadingInt(text));
        return;
    }
    std::string *field = TextField(k);
    if (!field)
        return;
    if (k == kColComment) {
        *field = CutToWidth(text, std::string::npos, CCodePage::ForLanguage(texts.language));
        return;
    }
    if (k == kColMode && !texts.modeTexts[0].empty() && text == texts.modeTexts[0]) {
        *field = "ABS";
        return;
    }
    if (k == kColMode && !texts.modeTexts[1].empty() && text == texts.modeTexts[1]) {
        *field = "INC";
        return;
    }
    *field = CutToWidth(text, k == kColJump ? kJumpWidth : kTextWidth, CCodePage::ForLanguage(texts.language));
}

std::string CKVL_VER2_ProgData::NormaliseMode(std::string_view text, const CStepTexts &texts)
{
    const bool inc = text == "I" || (!texts.modeTexts[1].empty() && text == texts.modeTexts[1]) ||
                     UpperAscii(text) == "INC";
    return inc ? "INC" : "ABS";
}

void CKVL_VER2_ProgData::SetRow(const std::array<std::string, kStepColumnCount> &texts,
                                const CStepTexts &language)
{
    for (int k = 0; k < kStepColumnCount; ++k) {
        if (k == kColMode)
            m_mode = NormaliseMode(texts[k], language);
        else if (IsRealColumn(k))
            *TextField(k) = FormatFixed(std::clamp(LeadingReal(texts[k]), kRealStoredMin, kRealStoredMax),
                                        kRealDecimalsOfRowSet);
        else
            SetFieldText(k, texts[k], language);
    }
    m_empty = 0;
}

} // namespace kvl::points
