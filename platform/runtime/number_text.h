// Numbers as text: the runtime's NUMERIC test and its conversions between text and LONG or
// REAL values. Independent of the locale: the decimal point is always ".".
#pragma once

#include <string>
#include <string_view>

namespace runtime {

// True (1) when the whole of `text`, apart from leading and trailing spaces, is one number:
// an optional "+" or "-", digits with an optional "." and fraction (at least one digit, so
// "12", "12.", ".5", "-0012.50" are numbers), and an optional exponent "e" or "E" with an
// optional sign and digits ("1e5", "2.5E-3"), whose value a REAL can hold. False (0) for an
// empty or blank text, for a number followed or preceded by anything else ("12abc", "1 2",
// "$5"), and for thousands separators.
bool NUMERIC(std::string_view text);

// The value of `text` as a whole number: a NUMERIC text with a fraction or exponent is
// truncated toward zero; a value beyond the range saturates at the nearest limit. 0 when the
// text is not NUMERIC (so "12abc" gives 0, not 12).
long long textToLong(std::string_view text);

// The value of `text` as a REAL, 0 when the text is not NUMERIC (so "12abc" gives 0).
double textToReal(std::string_view text);

// `value` in decimal, with a leading "-" when negative.
std::string longToText(long long value);

// `value` rounded to 15 significant digits, without trailing fraction zeros or a trailing "."
// ("123.45", "0.3" for 0.1 + 0.2, "42" for 42.0, "0" for -0.0). Written without an exponent
// when the rounded value's decimal exponent is from -4 to 14; smaller or larger magnitudes are
// written with one ("1e+15", "1.5e-07"), which NUMERIC accepts. Infinities and NaN, which no
// number text stands for, are written "inf", "-inf" and "nan".
std::string realToText(double value);

}  // namespace runtime
