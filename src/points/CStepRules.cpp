#include "points/CStepRules.h"

#include <algorithm>
#include <cmath>

#include "base/CModelTraits.h"
#include "base/TextNumber.h"

namespace kvl::points {

namespace {

constexpr double kPositionBound = 9999.9999;  // position and P-areas when no parameter bounds them
constexpr double kPosRangeBound = 999.9999;
constexpr double kAccMin = 0.1;
constexpr double kAccMaxLong = 99.9;
constexpr double kAccMaxShort = 9.9;
constexpr double kSpeedMin = 1.0;
constexpr double kSpeedMaxOfflineLong = 9999.0;
constexpr double kSpeedMaxOfflineShort = 1000.0;
constexpr double kPushMaxOfflineMdc = 300.0;
constexpr double kPushMaxShort = 70.0;
constexpr double kStdTimeMax = 10000.0;
constexpr double kRepeatMin = 1.0;
constexpr double kRepeatMax = 99.0;
constexpr double kRealTolerance = 1e-9;
constexpr int kRealDecimalsOfLimit = 6; // limited values are printed in "%f" and then cut

constexpr int kMaxLenPosition = 10;
constexpr int kMaxLenSpeed = 4;
constexpr int kMaxLenAcc = 4;
constexpr int kMaxLenPushLong = 3;
constexpr int kMaxLenPushShort = 2;
constexpr int kMaxLenPosRange = 9;
constexpr int kMaxLenPArea = 10;
constexpr int kMaxLenStdTime = 5;
constexpr int kMaxLenRepeat = 2;
constexpr int kMaxLenJump = 3;
constexpr int kMaxLenComment = 30;

constexpr const char *kCharsReal = "+-.0123456789";
constexpr const char *kCharsAcc = ".0123456789ST";
constexpr const char *kCharsInteger = "0123456789";

constexpr const char *kSectionCommon = "COMMON";

// "%0.1f" without trailing zeros and then without a trailing point: 10.0 → 10, 0.5 → 0.5.
std::string FormatAcc(double value)
{
    std::string text = FormatFixed(value, 1);
    while (!text.empty() && text.back() == '0')
        text.pop_back();
    while (!text.empty() && text.back() == '.')
        text.pop_back();
    return text;
}

// The text cut after `decimals` decimals, or written with that many when it has no point.
std::string CutDecimals(const std::string &text, int decimals)
{
    const size_t point = text.find('.');
    if (point == std::string::npos)
        return FormatFixed(LeadingReal(text), decimals);
    return text.substr(0, std::min(text.size(), point + 1 + static_cast<size_t>(decimals)));
}

std::string IntText(double value) { return FormatInt(static_cast<long long>(std::trunc(value))); }

} // namespace

CStepRules::CStepRules(const CStepContext &context, const CStepTexts &texts) : m_context(context), m_texts(texts)
{
}

int CStepRules::StepCount(int operationType) { return CModelTraits::StepCount(operationType); }

int CStepRules::JumpDisplayLimit(int operationType) { return StepCount(operationType) + 1; }

bool CStepRules::PushHidden(int operationType) { return operationType == 1 || operationType == 5; }

int CStepRules::PositionDecimals() const { return CModelTraits::Of(m_context.model).PositionDecimals(SettingDecimals()); }

int CStepRules::SettingDecimals() const { return std::clamp(m_context.decimals, 0, 2) + 2; }

std::string CStepRules::ChoiceText(int k, int index) const
{
    if (k == kColMode) {
        const std::string &text = m_texts.modeTexts[index == 1 ? 1 : 0];
        return text.empty() ? (index == 1 ? "INC" : "ABS") : text;
    }
    if (k == kColAccDecMode && index >= 0 && index < kSpeedModeCount && !m_texts.speedModeTexts[index].empty())
        return m_texts.speedModeTexts[index];
    if (k == kColStopMode && index >= 0 && index < kStopModeCount && !m_texts.stopModeTexts[index].empty())
        return m_texts.stopModeTexts[index];
    return FormatInt(index);
}

std::vector<std::string> CStepRules::Choices(int k) const
{
    int count = 0;
    if (k == kColMode)
        count = 2;
    else if (k == kColAccDecMode)
        count = kSpeedModeCount;
    else if (k == kColStopMode)
        count = kStopModeCount;
    std::vector<std::string> choices;
    for (int i = 0; i < count; ++i)
        choices.push_back(ChoiceText(k, i));
    return choices;
}

int CStepRules::InitialChoice(const std::vector<std::string> &choices, const std::string &cellText)
{
    for (size_t i = 0; i < choices.size(); ++i) {
        if (StartsWithNoCase(choices[i], cellText))
            return static_cast<int>(i);
    }
    return 0;
}

std::string CStepRules::ViewText(int k, const std::string &text) const
{
    if (text.empty())
        return text;
    switch (k) {
    case kColMode: {
        const int choice = (text == "I" || text == "INC") ? 1 : 0;
        const std::string &language = m_texts.modeTexts[choice];
        return language.empty() ? text : language;
    }
    case kColPosition: return FormatFixed(LeadingReal(text), PositionDecimals());
    case kColAcc:
    case kColDcc: return FormatAcc(LeadingReal(text));
    case kColPosRange:
    case kColPAreaA:
    case kColPAreaB: return FormatFixed(LeadingReal(text), SettingDecimals());
    case kColAccDecMode: {
        const int value = LeadingInt(text);
        return ChoiceText(k, value == 1 ? 1 : 0);
    }
    case kColStopMode: return ChoiceText(k, LeadingInt(text));
    case kColJump: {
        if (text == "E")
            return text;
        const int jump = LeadingInt(text);
        return (jump >= 0 && jump <= JumpDisplayLimit(m_context.operationType)) ? FormatInt(jump) : "E";
    }
    case kColComment: return text;
    default: return FormatInt(LeadingInt(text)); // step number and the integer columns
    }
}

CellEditor CStepRules::Editor(int k, const CKVL_VER2_ProgData &row) const
{
    const CModelTraits model = CModelTraits::Of(m_context.model);
    const bool longModel = model.UsesLongRecord();
    const bool online = m_context.online;
    CellEditor e;
    auto number = [&e](EditorKind kind, const char *chars, int maxLength, double min, double max) {
        e.kind = kind;
        e.acceptedChars = chars;
        e.maxLength = maxLength;
        e.limited = true;
        e.min = min;
        e.max = max;
    };
    switch (k) {
    case kColMode:
    case kColAccDecMode:
    case kColStopMode:
        e.kind = EditorKind::Choice;
        e.choices = Choices(k);
        break;
    case kColPosition: {
        const bool bounded = online && row.Mode() == "ABS";
        number(EditorKind::Real, kCharsReal, kMaxLenPosition, bounded ? m_context.storedSoftLimitLower : -kPositionBound,
               bounded ? m_context.storedSoftLimitUpper : kPositionBound);
        break;
    }
    case kColSpeed:
        number(EditorKind::Integer, kCharsInteger, kMaxLenSpeed, kSpeedMin,
               online ? m_context.storedMaxSpeed : (longModel ? kSpeedMaxOfflineLong : kSpeedMaxOfflineShort));
        break;
    case kColAcc:
    case kColDcc:
        number(EditorKind::Real, kCharsAcc, kMaxLenAcc, kAccMin, longModel ? kAccMaxLong : kAccMaxShort);
        break;
    case kColPush:
    case kColThreshold: {
        if (k == kColPush && PushHidden(m_context.operationType))
            break;
        double max = kPushMaxShort;
        if (model.HasPushLimit() && (online || model.PushLimitStoredOffline()))
            max = m_context.storedPushLimit;
        else if (model.HasPushLimit())
            max = kPushMaxOfflineMdc;
        number(EditorKind::Integer, kCharsInteger, longModel ? kMaxLenPushLong : kMaxLenPushShort, 0.0, max);
        break;
    }
    case kColPosRange:
        number(EditorKind::Real, kCharsReal, kMaxLenPosRange, -kPosRangeBound, kPosRangeBound);
        break;
    case kColPAreaA:
    case kColPAreaB:
        number(EditorKind::Real, kCharsReal, kMaxLenPArea, online ? m_context.storedSoftLimitLower : -kPositionBound,
               online ? m_context.storedSoftLimitUpper : kPositionBound);
        break;
    case kColStdTime: number(EditorKind::Integer, kCharsInteger, kMaxLenStdTime, 0.0, kStdTimeMax); break;
    case kColRepeat: number(EditorKind::Integer, kCharsInteger, kMaxLenRepeat, kRepeatMin, kRepeatMax); break;
    case kColJump: number(EditorKind::Text, "", kMaxLenJump, 0.0, StepCount() - 1); break;
    case kColComment:
        e.kind = EditorKind::Text;
        e.maxLength = kMaxLenComment;
        break;
    default: break; // the step number is never edited
    }
    return e;
}

std::string CStepRules::CommitLimitedReal(double value, double min, double max, int decimals,
                                          const std::string &text, bool *limited) const
{
    *limited = value < min || value > max;
    if (value < min)
        return CutDecimals(FormatFixed(min, kRealDecimalsOfLimit), decimals);
    if (value > max)
        return CutDecimals(FormatFixed(max, kRealDecimalsOfLimit), decimals);
    return CutDecimals(text, decimals);
}

void CStepRules::ApplyPushRules(int push, CommitResult &result, const CKVL_VER2_ProgData &row) const
{
    if (push < 1 || !m_context.online)
        return;
    if (row.StdTime() != 0 || row.Repeat() != 1) {
        result.messages.push_back({"IDS_WARNMSG_IMP", kSectionCommon});
        return;
    }
    if (!PushHidden(m_context.operationType) && row.StopMode() != kStopModePushing) {
        result.messages.push_back({"IDS_WARNMSG_IMPSTOPMODE", kSectionCommon});
        result.text = "0";
    }
}

CommitResult CStepRules::CommitChecked(int k, const std::string &text, const CKVL_VER2_ProgData &row) const
{
    CommitResult result;
    const CellEditor editor = Editor(k, row);
    const bool online = m_context.online;
    bool limited = false;
    switch (k) {
    case kColPosition:
        result.text = CommitLimitedReal(LeadingReal(text), editor.min, editor.max, PositionDecimals(), text, &limited);
        if (limited && online && row.Mode() == "ABS")
            result.messages.push_back({"IDS_WARNMSG_POSRANGE", kSectionCommon});
        break;
    case kColPosRange:
    case kColPAreaA:
    case kColPAreaB:
        result.text = CommitLimitedReal(LeadingReal(text), editor.min, editor.max, SettingDecimals(), text, &limited);
        if (limited && online && k != kColPosRange)
            result.messages.push_back({"IDS_WARNMSG_PAREARANGE", kSectionCommon});
        break;
    case kColAcc:
    case kColDcc: result.text = FormatAcc(std::clamp(LeadingReal(text), editor.min, editor.max)); break;
    case kColSpeed:
    case kColPush:
    case kColThreshold:
    case kColStdTime:
    case kColRepeat: {
        const int value = LeadingInt(text);
        if (value < editor.min) {
            result.text = IntText(editor.min);
        } else if (value > editor.max) {
            result.text = IntText(editor.max);
            if (k == kColSpeed && online)
                result.messages.push_back({"IDS_WARNMSG_MAXSPEED", kSectionCommon});
        } else {
            result.text = FormatInt(value);
        }
        const int committed = LeadingInt(result.text);
        const bool pushing = row.Push() >= 1 && online;
        if (k == kColPush) {
            ApplyPushRules(committed, result, row);
        } else if (k == kColStdTime && pushing && committed != 0) {
            result.messages.push_back({"IDS_WARNMSG_IMP", kSectionCommon});
            result.text = "0";
        } else if (k == kColRepeat && pushing && committed != 1) {
            result.messages.push_back({"IDS_WARNMSG_IMP", kSectionCommon});
            result.text = "1";
        }
        break;
    }
    case kColStopMode:
        result.text = text;
        if (!PushHidden(m_context.operationType) && row.Push() >= 1) {
            result.messages.push_back({"IDS_WARNMSG_IMPSTOPMODE", kSectionCommon});
            result.text = ChoiceText(k, kStopModePushing);
        }
        break;
    case kColJump:
        if (text == "E" || text == "e")
            result.text = "E";
        else
            result.text = FormatInt(std::clamp(LeadingInt(text), 0, StepCount() - 1));
        break;
    default: result.text = text; break; // mode, acc/dec mode and comment are taken as given
    }
    return result;
}

CommitResult CStepRules::Commit(int k, const std::string &text, CKVL_VER2_ProgData &row) const
{
    if (k <= kColStep || k >= kStepColumnCount)
        return {row.FieldText(kColStep), {}};
    CommitResult result = text.empty() ? CommitResult{ColumnDefault(k, DefaultUse::EmptiedCell), {}}
                                       : CommitChecked(k, text, row);
    row.SetFieldText(k, CellToFieldText(k, result.text), m_texts);
    return result;
}

std::string CStepRules::ColumnDefault(int k, DefaultUse use) const
{
    static const char *const kOfflineDefaults[kStepColumnCount] = {
        "", "ABS", "0.0000", "0.00", "0.0", "0.0", "0", "0", "0.0000", "0.0000", "0.0000", "0", "0", "0", "1", "E", ""};
    if (k < 0 || k >= kStepColumnCount)
        return std::string();
    if (!m_context.online)
        return kOfflineDefaults[k];
    switch (k) {
    case kColSpeed: return FormatFixed(std::min(m_context.maxSpeed, m_context.defaultSpeed), 2);
    case kColAcc:
    case kColDcc: {
        const bool real = use == DefaultUse::NewRow && CModelTraits::Of(m_context.model).UsesLongRecord();
        return FormatFixed(real ? m_context.defaultAcceleration : static_cast<double>(m_context.defaultAccelerationInt), 1);
    }
    case kColPosRange: return FormatFixed(m_context.defaultPositionRange, 4);
    case kColStopMode: return FormatInt(m_context.defaultStopMode);
    default: return kOfflineDefaults[k];
    }
}

std::string CStepRules::CellToFieldText(int k, const std::string &cellText) const
{
    if (k == kColAccDecMode || k == kColStopMode) {
        const std::vector<std::string> choices = Choices(k);
        for (size_t i = 0; i < choices.size(); ++i) {
            if (choices[i] == cellText)
                return FormatInt(static_cast<long long>(i));
        }
    }
    return cellText;
}

bool CStepRules::ValuesDiffer(const CKVL_VER2_ProgData &a, const CKVL_VER2_ProgData &b, int k) const
{
    if (CKVL_VER2_ProgData::IsRealColumn(k))
        return std::fabs(LeadingReal(a.FieldText(k)) - LeadingReal(b.FieldText(k))) > kRealTolerance;
    if (CKVL_VER2_ProgData::IsIntegerColumn(k))
        return a.FieldText(k) != b.FieldText(k);
    if (k == kColMode)
        return CKVL_VER2_ProgData::NormaliseMode(a.Mode(), m_texts) !=
               CKVL_VER2_ProgData::NormaliseMode(b.Mode(), m_texts);
    return a.FieldText(k) != b.FieldText(k);
}

} // namespace kvl::points
