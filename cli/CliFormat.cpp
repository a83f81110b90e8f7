#include "cli/CliFormat.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "base/TextNumber.h"
#include "protocol/Frame.h"

namespace kvl::cli {
namespace {

// The operation flags, bit 0 first. Bit 3 is set by every operation, not by programs alone.
constexpr std::array<const char *, 6> kFlagNames{"moving", "in position", "home done", "operating", "alarm",
                                                 "paused"};
constexpr std::array<const char *, 6> kFlagKeys{"moving", "inPosition", "homeDone", "operating", "alarm",
                                                "paused"};
static_assert(kFlagNames.size() == std::tuple_size_v<decltype(OperationStatus::flags)>);

} // namespace

std::string HexBytes(const uint8_t *data, size_t length)
{
    std::string text;
    text.reserve(length * 3);
    char hex[4];
    for (size_t i = 0; i < length; ++i) {
        std::snprintf(hex, sizeof hex, "%02X", data[i]);
        if (i)
            text += ' ';
        text += hex;
    }
    return text;
}

bool ParseHexBytes(const std::vector<std::string> &words, std::vector<uint8_t> &bytes)
{
    for (std::string word : words) {
        if (word.rfind("0x", 0) == 0 || word.rfind("0X", 0) == 0)
            word = word.substr(2);
        if (word.empty() || word.size() % 2 != 0)
            return false;
        for (size_t i = 0; i < word.size(); i += 2) {
            if (!std::isxdigit(static_cast<unsigned char>(word[i])) ||
                !std::isxdigit(static_cast<unsigned char>(word[i + 1])))
                return false;
            bytes.push_back(static_cast<uint8_t>(std::strtoul(word.substr(i, 2).c_str(), nullptr, 16)));
        }
    }
    return true;
}

bool ParseAxis(const std::string &text, uint8_t &axis)
{
    if (text == "gw" || text == "GW") {
        axis = frame::kGatewayAddress;
        return true;
    }
    int value = -1;
    if (!ParseInt(text, value) || value < 0 || value > 15)
        return false;
    axis = static_cast<uint8_t>(value);
    return true;
}

std::string AxisLabel(uint8_t axis)
{
    if (axis == frame::kGatewayAddress)
        return "gateway";
    return "axis " + std::to_string(axis);
}

bool ParseInt(const std::string &text, int &value)
{
    constexpr int kHexBase = 16;
    const bool hex = text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0;
    if (!hex) {
        const std::optional<int> number = StrictInt(text);
        if (!number)
            return false;
        value = *number;
        return true;
    }
    const char *first = text.c_str() + 2;
    const char *last = text.c_str() + text.size();
    if (first == last || !std::all_of(first, last, [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }))
        return false;
    int number = 0;
    const auto result = std::from_chars(first, last, number, kHexBase);
    if (result.ec != std::errc() || result.ptr != last)
        return false;
    value = number;
    return true;
}

bool ParseDouble(const std::string &text, double &value)
{
    const std::optional<double> number = StrictReal(text);
    if (!number)
        return false;
    value = *number;
    return true;
}

bool ParseOnOff(const std::string &text, bool &on)
{
    if (text == "on" || text == "1") {
        on = true;
        return true;
    }
    if (text == "off" || text == "0") {
        on = false;
        return true;
    }
    return false;
}

} // namespace kvl::cli

namespace kvl::cli {

std::string OperationFlagName(size_t bit, bool camelCase)
{
    if (bit >= kFlagNames.size())
        return {};
    return camelCase ? kFlagKeys[bit] : kFlagNames[bit];
}

std::string OperationFlagsText(const OperationStatus &status)
{
    std::string text;
    for (size_t bit = 0; bit < kFlagNames.size(); ++bit) {
        if (bit)
            text += ", ";
        text += kFlagNames[bit];
        text += status.flags[bit] ? " on" : " off";
    }
    return text;
}

bool ProgramRunning(const OperationStatus &status, bool manualMode)
{
    return status.ProgramRunning() && !manualMode && !status.Paused();
}

std::string ProgramStateText(const OperationStatus &status, bool manualMode)
{
    if (ProgramRunning(status, manualMode))
        return "running";
    return status.Paused() ? "paused" : "not running";
}

std::string Count(long long count, const char *one, const char *many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

} // namespace kvl::cli
