#include "platform/runtime/picture.h"

#include <cassert>
#include <optional>

#include "platform/runtime/number_text.h"
#include "platform/runtime/picture_chars.h"
#include "platform/runtime/picture_date_time.h"
#include "platform/runtime/picture_number.h"
#include "platform/runtime/picture_syntax.h"
#include "platform/runtime/utf8.h"

namespace runtime {
namespace {

bool isDigitPosition(char c) { return c == '<' || c == '#'; }

std::string plainText(const PictureValue& value) {
  if (const auto* integer = std::get_if<long long>(&value.value)) return longToText(*integer);
  if (const auto* real = std::get_if<double>(&value.value)) return realToText(*real);
  return std::string(std::get<std::string_view>(value.value));
}

// The whole part of a value, for date and time pictures; nothing when it is out of all range.
std::optional<long long> wholeValue(const PictureValue& value) {
  if (const auto* integer = std::get_if<long long>(&value.value)) return *integer;
  return NumberDigits::fromValue(value).truncated();
}

std::string fitted(std::string_view text, int width) {
  std::string result(utf8Prefix(text, static_cast<std::size_t>(width)));
  result.resize(static_cast<std::size_t>(width), ' ');
  return result;
}

// The digits of a whole part with "," between groups of three.
std::string grouped(const std::string& digits) {
  std::string result;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) result += ',';
    result += digits[i];
  }
  return result;
}

std::string formatNumber(const Picture& picture, const NumberDigits& value) {
  const NumberDigits number = value.rounded(picture.decimals);
  std::string body = number.integer.empty() ? "0" : number.integer;
  if (picture.fill == NumberFill::GroupedSpaces) body = grouped(body);
  if (picture.decimals > 0) {
    body += '.' + number.fraction;
    body.resize(body.size() + picture.decimals - number.fraction.size(), '0');
  }
  const std::size_t width = static_cast<std::size_t>(picture.width);
  const std::size_t used = body.size() + (number.negative || picture.trailingSign ? 1 : 0);
  if (used > width) return std::string(width, '#');
  const std::string padding(width - used, picture.fill == NumberFill::Zeros ? '0' : ' ');
  const std::string sign = number.negative ? "-" : "";
  if (picture.trailingSign) return padding + body + (number.negative ? "-" : " ");
  if (picture.fill == NumberFill::Zeros) return sign + padding + body;
  return padding + sign + body;
}

std::string formatPattern(const Picture& picture, const NumberDigits& value) {
  const NumberDigits number = value.rounded(0);
  const std::string& pattern = picture.pattern;
  if (picture.blankWhenZero && number.isZero()) return std::string(pattern.size(), ' ');
  std::size_t positions = 0;
  for (const char c : pattern) positions += isDigitPosition(c) ? 1 : 0;
  if (positions == 0) return pattern;  // literals only, as in a list's icon column
  const std::string& digits = number.integer;
  if (number.negative || digits.size() > positions) return std::string(pattern.size(), '#');
  std::string result;
  std::size_t position = 0;
  const std::size_t leading = positions - digits.size();
  for (const char c : pattern) {
    if (!isDigitPosition(c)) {
      result += c;
    } else if (position < leading) {
      result += c == '#' ? '0' : ' ';
      ++position;
    } else {
      result += digits[position++ - leading];
    }
  }
  return result;
}

std::string deformatPattern(const Picture& picture, std::string_view text) {
  std::string digits;
  for (std::size_t i = 0; i < picture.pattern.size() && i < text.size(); ++i) {
    if (isDigitPosition(picture.pattern[i]) && pictures::isDigit(text[i])) digits += text[i];
  }
  return NumberDigits::fromFormatted(digits).plainText();
}

std::string withoutFormatting(std::string_view text) {
  std::string result;
  for (const char c : text) {
    if (pictures::isDigit(c) || c == '-' || c == '+' || c == '.') result += c;
  }
  return result;
}

}  // namespace

std::string FORMAT(const PictureValue& value, std::string_view picture) {
  const Picture parsed = parsePicture(picture);
  switch (parsed.kind) {
    case PictureKind::Plain: return plainText(value);
    case PictureKind::String: return fitted(plainText(value), parsed.width);
    case PictureKind::Number: return formatNumber(parsed, NumberDigits::fromValue(value));
    case PictureKind::Pattern: return formatPattern(parsed, NumberDigits::fromValue(value));
    case PictureKind::Date: return formatDate(parsed, wholeValue(value).value_or(0));
    case PictureKind::Time: return formatTime(parsed, wholeValue(value).value_or(0));
  }
  assert(false && "unhandled picture kind");
  return {};
}

std::string DEFORMAT(std::string_view text, std::string_view picture) {
  const Picture parsed = parsePicture(picture);
  switch (parsed.kind) {
    case PictureKind::Plain: return withoutFormatting(text);
    case PictureKind::String: return std::string(text);
    case PictureKind::Number: return NumberDigits::fromFormatted(text).plainText();
    case PictureKind::Pattern: return deformatPattern(parsed, text);
    case PictureKind::Date: return std::to_string(deformatDate(parsed, text));
    case PictureKind::Time: return std::to_string(deformatTime(text));
  }
  assert(false && "unhandled picture kind");
  return {};
}

}  // namespace runtime
