#include "protocol/WriteRefusal.h"

namespace kvl {
namespace {

constexpr std::uint8_t kUnitAddress = 0xF1;

// Column names of the step record as the command line spells them.
const char *StepColumnName(int column)
{
    static const char *const kNames[] = {"step",  "mode",  "position",    "speed",          "acc",
                                         "dcc",   "push",  "threshold",   "position range", "P-area A",
                                         "P-area B", "acc/dcc mode", "stop mode", "standard time", "repeat",
                                         "jump",  "comment"};
    constexpr int kCount = static_cast<int>(sizeof kNames / sizeof kNames[0]);
    return column >= 0 && column < kCount ? kNames[column] : "value";
}

std::string ItemText(const WriteRefusal &r)
{
    switch (r.item) {
    case WriteRefusal::Item::kParameter: return "parameter " + std::to_string(r.number);
    case WriteRefusal::Item::kStep:
        return "step " + std::to_string(r.number) + ", " + StepColumnName(r.column);
    case WriteRefusal::Item::kUnitSetting: return "unit parameter " + std::to_string(r.number);
    case WriteRefusal::Item::kUnitStation: return "station " + std::to_string(r.number + 1);
    }
    return "value";
}

} // namespace

std::string WriteRefusal::Describe() const
{
    const std::string device = axis == kUnitAddress ? "unit" : "axis " + std::to_string(axis);
    std::string text = device + ", " + ItemText(*this) + ": ";
    switch (cause) {
    case Cause::kOutOfRange: text += value + " is outside " + min + " to " + max; break;
    case Cause::kNotAChoice: text += value + " is not one of its choices"; break;
    case Cause::kNoSuchItem: text += "the " + (model.empty() ? std::string("device") : model) + " has none"; break;
    case Cause::kUnknownDevice: text += "the device's model is not known (identify the device first)"; break;
    }
    return text + "; not sent";
}

} // namespace kvl
