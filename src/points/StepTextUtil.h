#pragma once
// Locale-independent number and text helpers of the point table. The GUI process runs with the
// user's C locale, so the C library's atof/printf could read and write "1,5"; these helpers always
// use "." and behave like atoi/atof/"%.*f" in the C locale. Stateless; any thread may call them.
#include <string>
#include <string_view>

namespace kvl::points {

// Leading integer of a text like atoi: leading blanks, an optional sign, then digits; 0 when the
// text does not begin with a number. Saturates at the int range instead of overflowing.
int LeadingInt(std::string_view text);

// Leading real number like atof: leading blanks, an optional sign, then a decimal number with an
// optional exponent; 0 when the text does not begin with a number or names no finite value.
// Values beyond the double range saturate to the largest finite value.
double LeadingReal(std::string_view text);

// "%.*f" in the C locale.
std::string FormatFixed(double value, int decimals);

// "%d".
std::string FormatInt(long long value);

// The text cut to at most `width` bytes, and at its first NUL byte: storage arrays hold 19 (jump 3)
// characters. A double-byte character of the language's code page (Shift-JIS for language 1, GBK
// for language 3) is never split: a lead byte that would lose its trail byte is dropped with it.
std::string CutToWidth(std::string_view text, size_t width, int language);

// ASCII upper case of a text (other bytes unchanged).
std::string UpperAscii(std::string_view text);

// True when `text` begins with `prefix`, ASCII letters compared without case.
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

} // namespace kvl::points
