#include "points/StepTextUtil.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace kvl::points {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Lead bytes of the double-byte code pages: Shift-JIS (CP932) and GBK (CP936).
bool IsLeadByte(unsigned char c, int language)
{
    constexpr int kLanguageJapanese = 1;
    constexpr int kLanguageChinese = 3;
    if (language == kLanguageJapanese)
        return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    if (language == kLanguageChinese)
        return c >= 0x81 && c <= 0xFE;
    return false;
}

// Length of the decimal number (sign, digits, fraction, exponent) at the start of `s`, 0 if none.
size_t NumberLength(std::string_view s)
{
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    const size_t mantissaStart = i;
    while (i < s.size() && IsDigit(s[i]))
        ++i;
    size_t digits = i - mantissaStart;
    if (i < s.size() && s[i] == '.') {
        ++i;
        const size_t fractionStart = i;
        while (i < s.size() && IsDigit(s[i]))
            ++i;
        digits += i - fractionStart;
    }
    if (digits == 0)
        return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
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

} // namespace

int LeadingInt(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
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
    if (value > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (value < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

double LeadingReal(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    std::string_view rest = text.substr(i);
    const size_t length = NumberLength(rest);
    if (length == 0)
        return 0.0;
    std::string_view number = rest.substr(0, length);
    const bool negative = number.front() == '-';
    if (number.front() == '+' || number.front() == '-')
        number.remove_prefix(1);
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too small a magnitude reads as 0, too large a one as the largest finite value.
        const size_t exponentAt = number.find_first_of("eE");
        const bool tiny = exponentAt != std::string_view::npos && exponentAt + 1 < number.size() &&
                          number[exponentAt + 1] == '-';
        value = tiny ? 0.0 : std::numeric_limits<double>::max();
    } else if (result.ec != std::errc() || !std::isfinite(value)) {
        value = 0.0;
    }
    return negative ? -value : value;
}

std::string FormatFixed(double value, int decimals)
{
    char buffer[400]; // the largest double in fixed form has 309 digits before the point
    if (!std::isfinite(value))
        value = 0.0;
    const auto result =
        std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

std::string FormatInt(long long value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
    return std::string(buffer, result.ptr);
}

std::string CutToWidth(std::string_view text, size_t width, int language)
{
    const size_t nul = text.find('\0');
    if (nul != std::string_view::npos)
        text = text.substr(0, nul);
    size_t i = 0;
    while (i < text.size()) {
        const bool pair = IsLeadByte(static_cast<unsigned char>(text[i]), language) && i + 1 < text.size();
        const size_t charLength = pair ? 2 : 1;
        if (i + charLength > width)
            break;
        i += charLength;
    }
    return std::string(text.substr(0, i));
}

std::string UpperAscii(std::string_view text)
{
    std::string upper(text);
    for (char &c : upper) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (prefix.size() > text.size())
        return false;
    return UpperAscii(text.substr(0, prefix.size())) == UpperAscii(prefix);
}

} // namespace kvl::points
