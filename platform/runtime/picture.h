// FORMAT and DEFORMAT: the runtime's display pictures.
//
// A picture is written with or without its leading "@"; letters may be of either case, and
// surrounding spaces are ignored. The pictures understood:
//
//   sN                  text of exactly N bytes: cut without splitting a UTF-8 character,
//                       padded with spaces.
//   n[-][0|_]W[.D][-]   a number right-aligned in W characters with D decimals, rounded half
//                       away from zero. The minus sign goes in front unless the picture ends in
//                       "-", which puts it (or a space) after the number. No fill character:
//                       leading spaces and "," between groups of three digits; "_": leading
//                       spaces, no grouping; "0": leading zeros, no grouping. A negative number
//                       always shows its sign. A number that does not fit gives W "#" characters.
//   d2  mm/dd/yyyy      d6  dd/mm/yyyy      d10  yyyy/mm/dd
//   d3  Mmm dd,yyyy (e.g. "Jan 05,2026")    d12  yyyymmdd
//                       A date picture may end in "-", "." or "_" to write "-", "." or a space
//                       in place of "/". Day numbers outside the valid range give an empty text.
//   t1  hh:mm           t4  hh:mm:ss        24-hour clock; times out of range give an empty text.
//   p<pattern>p[b]      each "<" or "#" of the pattern holds one digit of the whole number
//                       (rounded), from the right; a leading zero shows as a space at "<" and as
//                       "0" at "#"; other characters are written as they stand, so a pattern
//                       without digit positions shows itself whatever the value. "b" blanks the
//                       picture for zero; a negative number or one with too many digits gives
//                       "#" characters across the pattern.
//
// An empty picture, or one that is none of the above, formats a value as its plain text.
#pragma once

#include <concepts>
#include <string>
#include <string_view>
#include <variant>

namespace runtime {

// A value to format: a whole number, a real number or a text. It refers to the text it was made
// from, so it is meant to be built in the call to FORMAT.
struct PictureValue {
  template <std::integral T>
  PictureValue(T number) : value(static_cast<long long>(number)) {}
  template <std::floating_point T>
  PictureValue(T number) : value(static_cast<double>(number)) {}
  PictureValue(std::string_view text) : value(text) {}
  PictureValue(const char* text) : value(std::string_view(text)) {}
  PictureValue(const std::string& text) : value(std::string_view(text)) {}

  std::variant<long long, double, std::string_view> value;
};

// The value written with the picture. A text given to a number, date, time or pattern picture is
// read as a number first: its digits exactly, up to a NUL byte, and 0 when that is not NUMERIC.
// A number given to an "s" picture or to no picture is written as the runtime's number text
// (longToText, realToText). A date or time picture uses the whole part of the value.
std::string FORMAT(const PictureValue& value, std::string_view picture);

// The value behind a text written with a picture:
//   no picture (or an unknown one): the text's digits, signs and decimal points, all else dropped;
//   s: the text unchanged;
//   n: the number as plain text, with grouping, fill and any other characters dropped and a "-"
//      anywhere making it negative ("0" when the text holds no digits);
//   d: the day number as text, "0" when the text is blank or no valid date in the picture's
//      order (separators " / - . ," are accepted in any of the date pictures; d3 reads the month
//      by its abbreviation or full English name in any case, and "Dec 28, 1800" as well as
//      "Dec 28,1800"; d12 also reads eight digits without separators);
//   t: the standard time as text, "0" when blank or invalid (hours, minutes, and optionally
//      seconds and hundredths, separated by ":", "." or spaces);
//   p: the digits found at the pattern's digit positions as a number ("0" when there are none).
std::string DEFORMAT(std::string_view text, std::string_view picture = {});

}  // namespace runtime
