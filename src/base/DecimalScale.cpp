#include "base/DecimalScale.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

namespace kvl::decimalscale {

namespace {

constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
// Beyond this distance from the int32 limits the binary product alone decides the saturation;
// nearer, the exact decimal product does.
constexpr double kSaturationMargin = 2.0;
// The shortest fixed text of any double (309 integer digits, or 324 decimals) fits.
constexpr std::size_t kTextSize = 400;

} // namespace

// Why not trunc(value * factor): value is the binary double nearest to what the user typed, and
// that can lie just below it (0.29 is 0.28999999999999998), so the product of 0.29 and 100 is
// 28.999... and truncation sends 28 for a value that is exactly 29 at the field's resolution.
// Instead this truncates the decimal itself: the shortest text that reads back as the same double
// is the decimal the user typed (for up to 15 significant digits, which every field holds), and
// its digits times the factor are computed exactly in integers. Unlike adding a small epsilon
// before truncating, this has no tolerance to tune: a value typed with more digits, however close
// below the next step, is cut like its text reads (12.34569999999 still sends 123456).
std::int32_t TruncateScaled(double value, std::int64_t factor)
{
    if (std::isnan(value))
        return 0;
    factor = std::clamp<std::int64_t>(factor, 1, kMaxFactor);
    const double product = value * static_cast<double>(factor);
    if (product >= static_cast<double>(kInt32Max) + kSaturationMargin)
        return static_cast<std::int32_t>(kInt32Max);
    if (product <= static_cast<double>(kInt32Min) - kSaturationMargin)
        return static_cast<std::int32_t>(kInt32Min);
    // Below 1 in magnitude whatever the rounding: truncates to 0 (and keeps the text short).
    if (std::fabs(product) < 0.5)
        return 0;

    char text[kTextSize];
    const auto written = std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::fixed);
    if (written.ec != std::errc())
        return 0;
    const std::string_view digits(text, static_cast<std::size_t>(written.ptr - text));
    const std::size_t point = std::min(digits.find('.'), digits.size());

    // The integer part times the factor fits: it is at most the product, checked above.
    std::int64_t whole = 0;
    for (std::size_t i = 0; i < point; ++i)
        whole = whole * 10 + (digits[i] - '0');
    // floor(0.d1..dn x factor), from the last decimal to the first: each step keeps
    // floor((d x factor + carry) / 10), and the carry stays below the factor.
    std::uint64_t carry = 0;
    for (std::size_t i = digits.size(); i > point + 1; --i) {
        const auto digit = static_cast<std::uint64_t>(digits[i - 1] - '0');
        carry = (digit * static_cast<std::uint64_t>(factor) + carry) / 10;
    }
    const std::int64_t magnitude = whole * factor + static_cast<std::int64_t>(carry);
    if (value < 0)
        return static_cast<std::int32_t>(std::max(-magnitude, kInt32Min));
    return static_cast<std::int32_t>(std::min(magnitude, kInt32Max));
}

} // namespace kvl::decimalscale
