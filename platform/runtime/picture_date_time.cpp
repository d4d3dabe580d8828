#include "platform/runtime/picture_date_time.h"

#include <array>
#include <cassert>
#include <cstdio>
#include <optional>
#include <vector>

#include "platform/runtime/picture_chars.h"
#include "platform/runtime/standard_date.h"

namespace runtime {
namespace {

constexpr std::array<std::string_view, 12> monthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

using pictures::isDigit;
using pictures::isLetter;
using pictures::lower;

bool equalNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// A run of digits or of letters in a date or time text.
struct Token {
  bool letters;
  std::string_view text;
};

// The digit and letter runs of a text (up to a NUL byte) whose other characters are all
// separators; nothing when it holds any other character.
std::optional<std::vector<Token>> tokens(std::string_view text, std::string_view separators) {
  text = text.substr(0, text.find('\0'));
  std::vector<Token> found;
  std::size_t at = 0;
  while (at < text.size()) {
    const char c = text[at];
    if (separators.find(c) != std::string_view::npos) {
      ++at;
      continue;
    }
    if (!isDigit(c) && !isLetter(c)) return std::nullopt;
    const bool letters = isLetter(c);
    const std::size_t start = at;
    while (at < text.size() && (letters ? isLetter(text[at]) : isDigit(text[at]))) ++at;
    found.push_back({letters, text.substr(start, at - start)});
  }
  return found;
}

// The number of a digit run; -1 for letters and for runs too long for any date or time part.
int numberOf(const Token& token) {
  if (token.letters || token.text.size() > 5) return -1;
  int number = 0;
  for (const char c : token.text) number = number * 10 + (c - '0');
  return number;
}

// 1 to 12 for a month's abbreviation or full name in any case, else 0.
int monthOf(const Token& token) {
  if (!token.letters) return 0;
  for (std::size_t m = 0; m < monthNames.size(); ++m) {
    if (equalNoCase(token.text, monthNames[m]) ||
        equalNoCase(token.text, monthNames[m].substr(0, 3))) {
      return static_cast<int>(m) + 1;
    }
  }
  return 0;
}

std::string twoDigits(int n) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d", n);
  return text;
}

std::string fourDigits(int n) {
  char text[8];
  std::snprintf(text, sizeof text, "%04d", n);
  return text;
}

}  // namespace

std::string formatDate(const Picture& picture, long long date) {
  assert(picture.kind == PictureKind::Date);
  if (date < firstStandardDate || date > lastStandardDate) return {};
  const Ymd ymd = ymdFromDate(static_cast<int>(date));
  const std::string day = twoDigits(ymd.day), month = twoDigits(ymd.month);
  const std::string year = fourDigits(ymd.year), s(1, picture.separator);
  switch (picture.style) {
    case 2: return month + s + day + s + year;
    case 3: return std::string(monthNames[ymd.month - 1].substr(0, 3)) + " " + day + "," + year;
    case 6: return day + s + month + s + year;
    case 10: return year + s + month + s + day;
    default: return year + month + day;  // 12
  }
}

int deformatDate(const Picture& picture, std::string_view text) {
  assert(picture.kind == PictureKind::Date);
  const auto parts = tokens(text, " /-.,");
  if (!parts) return 0;
  const std::vector<Token>& t = *parts;
  if (picture.style == 3) {
    if (t.size() != 3) return 0;
    return dateFromYmd(numberOf(t[2]), monthOf(t[0]), numberOf(t[1]));
  }
  if (picture.style == 12 && t.size() == 1 && !t[0].letters && t[0].text.size() == 8) {
    const std::string_view d = t[0].text;
    return dateFromYmd(numberOf({false, d.substr(0, 4)}), numberOf({false, d.substr(4, 2)}),
                       numberOf({false, d.substr(6, 2)}));
  }
  if (t.size() != 3) return 0;
  switch (picture.style) {
    case 2: return dateFromYmd(numberOf(t[2]), numberOf(t[0]), numberOf(t[1]));
    case 6: return dateFromYmd(numberOf(t[2]), numberOf(t[1]), numberOf(t[0]));
    default: return dateFromYmd(numberOf(t[0]), numberOf(t[1]), numberOf(t[2]));  // 10, 12
  }
}

std::string formatTime(const Picture& picture, long long time) {
  assert(picture.kind == PictureKind::Time);
  if (time < 1 || time > lastStandardTime) return {};
  const Hms hms = hmsFromTime(static_cast<int>(time));
  std::string text = twoDigits(hms.hour) + ":" + twoDigits(hms.minute);
  if (picture.style == 4) text += ":" + twoDigits(hms.second);
  return text;
}

int deformatTime(std::string_view text) {
  const auto parts = tokens(text, " :.");
  if (!parts || parts->size() < 2 || parts->size() > 4) return 0;
  int values[4] = {0, 0, 0, 0};
  for (std::size_t i = 0; i < parts->size(); ++i) values[i] = numberOf((*parts)[i]);
  return timeFromHms(values[0], values[1], values[2], values[3]);
}

}  // namespace runtime
