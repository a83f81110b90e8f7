#include "base/TextNumber.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace kvl {

namespace {

// Enough for the 309 integer digits of the largest double, a sign, a point and the decimals.
constexpr int kMaxFormatDecimals = 20;
constexpr std::size_t kFormatBufferSize = 340;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The white space the C conversions skip before a number.
bool IsSpace(char c)
{
    return IsBlank(c) || c == '\v' || c == '\f';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

char UpperAsciiChar(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::size_t SkipSpace(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    return i;
}

// Length of the decimal number (sign, digits, fraction, exponent) at the start of `s`, 0 if none.
std::size_t NumberLength(std::string_view s)
{
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    const std::size_t mantissaStart = i;
    while (i < s.size() && IsDigit(s[i]))
        ++i;
    std::size_t digits = i - mantissaStart;
    if (i < s.size() && s[i] == '.') {
        ++i;
        const std::size_t fractionStart = i;
        while (i < s.size() && IsDigit(s[i]))
            ++i;
        digits += i - fractionStart;
    }
    if (digits == 0)
        return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        if (j < s.size() && IsDigit(s[j])) {
            while (j < s.size() && IsDigit(s[j]))
                ++j;
            i = j;
        }
    }
    return i;
}

// The leading number's magnitude and sign; `tooLarge` when it exceeds every finite double.
struct RealReading {
    double magnitude = 0.0;
    bool negative = false;
    bool tooLarge = false;
};

RealReading ReadReal(std::string_view text)
{
    RealReading reading;
    std::string_view number = text.substr(SkipSpace(text));
    number = number.substr(0, NumberLength(number));
    if (number.empty())
        return reading;
    reading.negative = number.front() == '-';
    if (number.front() == '+' || number.front() == '-')
        number.remove_prefix(1);
    const auto result = std::from_chars(number.data(), number.data() + number.size(), reading.magnitude);
    if (result.ec == std::errc::result_out_of_range) {
        // Out of range either way: a negative exponent underflows to 0, any other overflows.
        const std::size_t exponentAt = number.find_first_of("eE");
        const bool tiny = exponentAt != std::string_view::npos && exponentAt + 1 < number.size() &&
                          number[exponentAt + 1] == '-';
        reading.magnitude = 0.0;
        reading.tooLarge = !tiny;
    } else if (result.ec != std::errc() || !std::isfinite(reading.magnitude)) {
        reading.magnitude = 0.0;
    }
    return reading;
}

} // namespace

std::string_view StripBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

int LeadingInt(std::string_view text)
{
    std::size_t i = SkipSpace(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr long long kLimit = static_cast<long long>(std::numeric_limits<int>::max()) + 1;
    long long value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kLimit)
            value = kLimit; // keeps accumulating bounded; the clamp below decides
    }
    if (negative)
        value = -value;
    return static_cast<int>(
        std::clamp<long long>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

std::optional<long long> StrictInteger(std::string_view text, long long min, long long max)
{
    text = StripBlanks(text);
    const bool sign = !text.empty() && (text.front() == '+' || text.front() == '-');
    const std::string_view digits = sign ? text.substr(1) : text;
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), IsDigit))
        return std::nullopt;
    // from_chars takes a '-' but no '+'.
    if (text.front() == '+')
        text.remove_prefix(1);
    long long value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || value < min || value > max)
        return std::nullopt;
    return value;
}

std::optional<int> StrictInt(std::string_view text)
{
    const std::optional<long long> value =
        StrictInteger(text, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    if (!value)
        return std::nullopt;
    return static_cast<int>(*value);
}

std::optional<double> StrictReal(std::string_view text)
{
    text = StripBlanks(text);
    std::string_view number = text;
    if (!number.empty() && (number.front() == '+' || number.front() == '-'))
        number.remove_prefix(1);
    const std::size_t point = number.find('.');
    const std::string_view whole = number.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : number.substr(point + 1);
    if (whole.size() + fraction.size() == 0 || !std::all_of(whole.begin(), whole.end(), IsDigit) ||
        !std::all_of(fraction.begin(), fraction.end(), IsDigit))
        return std::nullopt;
    double magnitude = 0.0;
    const auto result =
        std::from_chars(number.data(), number.data() + number.size(), magnitude, std::chars_format::fixed);
    if (result.ec != std::errc() || result.ptr != number.data() + number.size() || !std::isfinite(magnitude))
        return std::nullopt;
    // A zero of either sign is 0: no "-0" reaches a controller or a file.
    if (magnitude == 0.0)
        return 0.0;
    return text.front() == '-' ? -magnitude : magnitude;
}

std::optional<double> LeadingFiniteReal(std::string_view text)
{
    const RealReading reading = ReadReal(text);
    if (reading.tooLarge)
        return std::nullopt;
    return reading.negative ? -reading.magnitude : reading.magnitude;
}

double LeadingReal(std::string_view text)
{
    const RealReading reading = ReadReal(text);
    const double magnitude = reading.tooLarge ? std::numeric_limits<double>::max() : reading.magnitude;
    return reading.negative ? -magnitude : magnitude;
}

std::string FormatFixed(double value, int decimals)
{
    if (!std::isfinite(value))
        value = 0.0;
    decimals = std::clamp(decimals, 0, kMaxFormatDecimals);
    char buffer[kFormatBufferSize];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

std::string FormatInt(long long value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

bool IsLeadByte(unsigned char c, int codePage)
{
    switch (codePage) {
    case kCodePageShiftJis:
        return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    case kCodePageGbk:
        return c >= 0x81 && c <= 0xFE;
    default:
        return false;
    }
}

std::string CutToWidth(std::string_view text, std::size_t width, int codePage)
{
    const std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos)
        text = text.substr(0, nul);
    std::size_t i = 0;
    while (i < text.size()) {
        const bool pair = IsLeadByte(static_cast<unsigned char>(text[i]), codePage) && i + 1 < text.size();
        const std::size_t charLength = pair ? 2 : 1;
        if (i + charLength > width)
            break;
        i += charLength;
    }
    return std::string(text.substr(0, i));
}

std::string UpperAscii(std::string_view text)
{
    std::string upper(text);
    for (char &c : upper)
        c = UpperAsciiChar(c);
    return upper;
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return UpperAsciiChar(x) == UpperAsciiChar(y); });
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return prefix.size() <= text.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

} // namespace kvl
