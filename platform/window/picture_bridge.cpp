#include "platform/window/picture_bridge.h"

#include <cctype>
#include <cmath>
#include <cstdio>

#include "platform/runtime/utf8.h"

namespace window {
namespace {

// A small stand-in for the runtime's FORMAT and DEFORMAT, covering string (@sN) and number
// (@n[_][-]W[.D]) pictures; other pictures show the value as text.
// TODO(window-core): replace with platform/runtime/picture.h once it is on main.
struct NumberPicture {
  bool ok = false;
  bool grouping = true;
  int width = 0;
  int decimals = 0;
};

NumberPicture parseNumberPicture(std::string_view pic) {
  NumberPicture p;
  if (pic.size() < 2 || pic[0] != '@' || (pic[1] != 'n' && pic[1] != 'N')) return p;
  std::size_t i = 2;
  if (i < pic.size() && pic[i] == '_') {
    p.grouping = false;
    ++i;
  }
  if (i < pic.size() && pic[i] == '0') {
    p.grouping = false;
    ++i;
  }
  if (i < pic.size() && pic[i] == '-') ++i;
  while (i < pic.size() && std::isdigit(static_cast<unsigned char>(pic[i]))) {
    p.width = p.width * 10 + (pic[i] - '0');
    ++i;
  }
  if (i < pic.size() && pic[i] == '.') {
    ++i;
    while (i < pic.size() && std::isdigit(static_cast<unsigned char>(pic[i]))) {
      p.decimals = p.decimals * 10 + (pic[i] - '0');
      ++i;
    }
  }
  p.ok = true;
  return p;
}

bool isStringPicture(std::string_view pic) {
  return pic.size() >= 2 && pic[0] == '@' && (pic[1] == 's' || pic[1] == 'S');
}

std::string formatNumber(double n, const NumberPicture& p) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", p.decimals, std::fabs(n));
  std::string digits = buffer;
  if (p.grouping) {
    const std::size_t dot = digits.find('.');
    std::size_t intEnd = dot == std::string::npos ? digits.size() : dot;
    for (std::size_t at = intEnd; at > 3; at -= 3) digits.insert(at - 3, ",");
  }
  if (n < 0 && digits.find_first_not_of("0.,") != std::string::npos) digits.insert(0, "-");
  if (static_cast<int>(digits.size()) < p.width) {
    digits.insert(0, static_cast<std::size_t>(p.width) - digits.size(), ' ');
  }
  return digits;
}

std::string rightTrimmed(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
  return s;
}

}  // namespace

std::string screenTextOf(const Value& value, std::string_view picture) {
  if (isStringPicture(picture)) {
    int width = 0;
    for (char c : picture.substr(2)) {
      if (!std::isdigit(static_cast<unsigned char>(c))) break;
      width = width * 10 + (c - '0');
    }
    const std::string text = value.asText();
    return rightTrimmed(std::string(width > 0 ? runtime::utf8Prefix(text, width) : text));
  }
  const NumberPicture number = parseNumberPicture(picture);
  if (number.ok) return rightTrimmed(formatNumber(value.asNumber(), number));
  return rightTrimmed(value.asText());
}

Value valueOfScreenText(std::string_view text, std::string_view picture, bool wantText) {
  if (parseNumberPicture(picture).ok) {
    std::string plain;
    for (char c : text) {
      if (c != ',' && c != ' ') plain += c;
    }
    return Value::ofNumber(textNumber(plain));
  }
  if (wantText || isStringPicture(picture)) return Value::ofText(text);
  return Value::ofNumber(textNumber(text));
}

}  // namespace window
