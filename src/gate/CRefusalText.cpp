#include "gate/CRefusalText.h"

#include <algorithm>

#include "base/CModelTraits.h"

namespace kvl {
namespace {

constexpr std::uint8_t kUnitAddress = 0xF1;
constexpr const char *kStepSection = "IDD_KVL_VER2_PROGSTEP_DIALOG";

std::string Lookup(const CRefusalText::TextLookup &texts, const std::string &key, const char *section,
                   const char *english)
{
    const std::string text = texts ? texts(key, section) : std::string();
    return text.empty() ? std::string(english) : text;
}

// The text with %1, %2, %3 replaced by the arguments.
std::string Fill(std::string text, const std::vector<std::string> &arguments)
{
    for (size_t i = arguments.size(); i-- > 0;) {
        const std::string mark = "%" + std::to_string(i + 1);
        for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + arguments[i].size()))
            text.replace(at, mark.size(), arguments[i]);
    }
    return text;
}

std::string Text(const CRefusalText::TextLookup &texts, const char *key, const char *english,
                 const std::vector<std::string> &arguments = {})
{
    return Fill(Lookup(texts, key, CRefusalText::kSection, english), arguments);
}

std::string ColumnCaption(const WriteRefusal &r, const CRefusalText::TextLookup &texts)
{
    static const char *const kEnglish[] = {"Step", "ABS/INC", "Position", "Speed", "ACC", "DCC",
                                           "Push", "Threshold", "Position range", "P-area A", "P-area B",
                                           "ACC/DCC mode", "Stop mode", "Standard time", "Repeat", "Jump", "Comment"};
    constexpr int kColumns = static_cast<int>(sizeof kEnglish / sizeof kEnglish[0]);
    if (r.column < 0 || r.column >= kColumns)
        return {};
    const std::string prefix = CModelTraits::Of(r.model).IsRotary() ? "GRID_ZMDA_C" : "GRID_C";
    return Lookup(texts, prefix + std::to_string(r.column + 1), kStepSection, kEnglish[r.column]);
}

std::string ItemText(const WriteRefusal &r, const CRefusalText::TextLookup &texts)
{
    const std::string number = std::to_string(r.number);
    switch (r.item) {
    case WriteRefusal::Item::kParameter: return Text(texts, "IDS_GATE_PARAMETER", "parameter %1", {number});
    case WriteRefusal::Item::kStep:
        return Text(texts, "IDS_GATE_STEP", "step %1, %2", {number, ColumnCaption(r, texts)});
    case WriteRefusal::Item::kUnitSetting:
        return Text(texts, "IDS_GATE_UNIT_PARAMETER", "unit parameter %1", {number});
    case WriteRefusal::Item::kUnitStation:
        return Text(texts, "IDS_GATE_STATION", "station %1", {std::to_string(r.number + 1)});
    }
    return number;
}

std::string CauseText(const WriteRefusal &r, const CRefusalText::TextLookup &texts)
{
    switch (r.cause) {
    case WriteRefusal::Cause::kOutOfRange:
        return Text(texts, "IDS_GATE_OUT_OF_RANGE", "%1 is outside %2 to %3", {r.value, r.min, r.max});
    case WriteRefusal::Cause::kNotAChoice:
        return Text(texts, "IDS_GATE_NOT_A_CHOICE", "%1 is not one of its choices", {r.value});
    case WriteRefusal::Cause::kNoSuchItem:
        return Text(texts, "IDS_GATE_NO_SUCH_ITEM", "the %1 has no such item", {r.model.empty() ? "device" : r.model});
    case WriteRefusal::Cause::kUnknownDevice:
        return Text(texts, "IDS_GATE_UNKNOWN_DEVICE", "the model of the device is not known yet (link it first)");
    }
    return {};
}

} // namespace

std::string CRefusalText::Line(const WriteRefusal &refusal, const TextLookup &texts)
{
    const std::string device = refusal.axis == kUnitAddress
                                   ? Text(texts, "IDS_GATE_UNIT", "Network unit")
                                   : Text(texts, "IDS_GATE_AXIS", "Axis %1", {std::to_string(refusal.axis)});
    return device + ", " + ItemText(refusal, texts) + ": " + CauseText(refusal, texts);
}

std::string CRefusalText::Title(const TextLookup &texts) { return Text(texts, "IDS_GATE_TITLE", "Not sent"); }

std::string CRefusalText::Message(const std::vector<WriteRefusal> &refusals, const TextLookup &texts)
{
    std::string message =
        Text(texts, "IDS_GATE_HEAD", "These values were not sent, because they are outside what the device takes:");
    const int shown = std::min(static_cast<int>(refusals.size()), kMaxLines);
    for (int i = 0; i < shown; ++i)
        message += "\n" + Line(refusals[static_cast<size_t>(i)], texts);
    if (static_cast<int>(refusals.size()) > shown)
        message += "\n" + Text(texts, "IDS_GATE_MORE", "... and %1 more",
                               {std::to_string(refusals.size() - static_cast<size_t>(shown))});
    return message;
}

} // namespace kvl
