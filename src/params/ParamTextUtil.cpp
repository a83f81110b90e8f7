#include "params/ParamTextUtil.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <system_error>

namespace kvl::paramtext {

namespace {

// Enough for the 309 integer digits of the largest double, a sign, a point and the decimals.
constexpr int kMaxFormatDecimals = 20;
constexpr std::size_t kFormatBufferSize = 340;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Skips leading blanks of the kind the C conversions skip.
std::size_t SkipLeadingBlanks(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (IsBlank(text[i]) || text[i] == '\v' || text[i] == '\f'))
        ++i;
    return i;
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
    std::size_t i = SkipLeadingBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1; // keep going, stay saturated
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

std::optional<double> LeadingReal(std::string_view text)
{
    std::size_t i = SkipLeadingBlanks(text);
    std::string number;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-')
            number.push_back('-');
        ++i;
    }
    std::size_t digits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++digits)
        number.push_back(text[i]);
    if (i < text.size() && text[i] == '.') {
        number.push_back('.');
        for (++i; i < text.size() && IsDigit(text[i]); ++i, ++digits)
            number.push_back(text[i]);
    }
    if (digits == 0)
        return 0.0;
    // An exponent counts only when at least one digit follows it.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            exponent.push_back(text[j++]);
        if (j < text.size() && IsDigit(text[j])) {
            for (; j < text.size() && IsDigit(text[j]); ++j)
                exponent.push_back(text[j]);
            number += exponent;
        }
    }
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Underflow to zero is harmless; overflow has no finite value.
        const std::size_t e = number.find('e');
        if (e != std::string::npos && number.find('-', e) != std::string::npos)
            return 0.0;
        return std::nullopt;
    }
    if (result.ec != std::errc() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string FormatFixed(double value, int decimals)
{
    if (!std::isfinite(value))
        return "0";
    if (decimals < 0)
        decimals = 0;
    if (decimals > kMaxFormatDecimals)
        decimals = kMaxFormatDecimals;
    char buffer[kFormatBufferSize];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::fixed, decimals);
    if (result.ec != std::errc())
        return "0";
    return std::string(buffer, result.ptr);
}

std::string FormatInt(long long value)
{
    return std::to_string(value);
}

} // namespace kvl::paramtext
