#pragma once
// The text-and-number helpers every layer shares: reading the leading number of a text as the C
// library's atoi/strtod do, writing "%.*f" and "%d", stripping blanks, ASCII case and the lead
// bytes of the double-byte code pages. Locale-independent: the GUI process runs with the user's
// C locale, whose atof/printf could read and write "1,5"; these always use ".". Stateless; any
// thread.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kvl {

// Code pages whose lead bytes start a two-byte character.
constexpr int kCodePageShiftJis = 932;
constexpr int kCodePageGbk = 936;
// The Western code page: single-byte text.
constexpr int kCodePageWestern = 1252;

// Removes blanks (space, tab, CR, LF) at both ends.
std::string_view StripBlanks(std::string_view text);

// Leading integer of a text like atoi: leading white space, an optional sign, then digits up to
// the first other character; 0 when the text does not begin with a number. Saturates at the int
// range instead of overflowing.
int LeadingInt(std::string_view text);

// Leading real number like strtod: leading white space, an optional sign, then a decimal number
// ("." point) with an optional exponent that counts only when a digit follows it; 0 when the text
// does not begin with a number ("nan" and "inf" are no numbers). Too small a magnitude reads as 0.
// Empty when the number is too large for a finite double: a value that must be refused.
std::optional<double> LeadingFiniteReal(std::string_view text);
// The same, with a number too large for a double saturated to the largest finite value of its
// sign, as strtod's HUGE_VAL: for fields that limit the value to their own range anyway.
double LeadingReal(std::string_view text);

// Strict readings, for numbers that come from a file or a command line: the whole text, blanks
// stripped at both ends, must be the number, in the decimal notation this system writes (an
// optional sign, digits, for a real an optional "." and digits; no exponent, no hexadecimal, no
// "nan" or "inf"). Empty when the text is not such a number or does not fit: an integer outside
// [min, max], a real too large for a finite double. "-0" reads as 0.
std::optional<long long> StrictInteger(std::string_view text, long long min, long long max);
// The same over the range of int.
std::optional<int> StrictInt(std::string_view text);
std::optional<double> StrictReal(std::string_view text);

// "%.*f" in the C locale. Decimals are taken in 0 to 20; a value that is not finite is written
// as 0 with those decimals.
std::string FormatFixed(double value, int decimals);
// "%d".
std::string FormatInt(long long value);

// Whether byte c starts a two-byte character in that code page (Shift-JIS or GBK); always false
// in a single-byte code page.
bool IsLeadByte(unsigned char c, int codePage);
// The text cut to at most `width` bytes, and at its first NUL byte. A two-byte character of the
// code page is never split: a lead byte that would lose its trail byte is dropped with it; a lone
// lead byte at the end stays a byte.
std::string CutToWidth(std::string_view text, std::size_t width, int codePage);

// ASCII upper case of a text (other bytes unchanged).
std::string UpperAscii(std::string_view text);
// True when the texts are equal with ASCII letters compared without case.
bool EqualsNoCase(std::string_view a, std::string_view b);
// True when `text` begins with `prefix`, ASCII letters compared without case.
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

} // namespace kvl
