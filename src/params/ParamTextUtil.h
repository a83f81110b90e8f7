#pragma once
// Text helpers of the parameter model: blank stripping and the number conversions used for
// "Value" entries, user files and shown values. Locale-independent ("." is always the decimal
// point, whatever locale the GUI process sets). Stateless; any thread.
#include <optional>
#include <string>
#include <string_view>

namespace kvl::paramtext {

// Removes blanks (space, tab, CR, LF) at both ends.
std::string_view StripBlanks(std::string_view text);

// Decimal integer conversion in the manner of atoi: leading blanks skipped, an optional sign,
// digits up to the first other character; no digits gives 0. Saturates at the int range.
int LeadingInt(std::string_view text);

// Decimal real conversion in the manner of strtod ("." decimal point, exponent allowed, stops at
// the first unusable character, no digits gives 0). Empty result for a value that does not fit
// a finite double.
std::optional<double> LeadingReal(std::string_view text);

// "%0.<decimals>f" and "%d", without the locale.
std::string FormatFixed(double value, int decimals);
std::string FormatInt(long long value);

} // namespace kvl::paramtext
