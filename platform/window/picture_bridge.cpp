#include "platform/window/picture_bridge.h"

#include <cmath>

#include "platform/runtime/number_text.h"
#include "platform/runtime/picture.h"

namespace window {
namespace {

bool isStringPicture(std::string_view picture) {
  const std::size_t at = picture.find_first_not_of(" @");
  return at != std::string_view::npos && (picture[at] == 's' || picture[at] == 'S');
}

std::string withoutTrailingBlanks(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
  return s;
}

}  // namespace

std::string screenTextOf(const Value& value, std::string_view picture) {
  if (value.isText()) {
    const std::string text = value.toText();
    return withoutTrailingBlanks(runtime::FORMAT(std::string_view(text), picture));
  }
  const double n = value.toNumber();
  if (n == std::trunc(n) && std::fabs(n) < 9e18) {
    return withoutTrailingBlanks(runtime::FORMAT(static_cast<long long>(n), picture));
  }
  return withoutTrailingBlanks(runtime::FORMAT(n, picture));
}

Value valueOfScreenText(std::string_view text, std::string_view picture, bool wantText) {
  if (isStringPicture(picture) || (picture.empty() && wantText)) {
    return Value::text(std::string(text));
  }
  const std::string plain = runtime::DEFORMAT(text, picture);
  return wantText ? Value::text(plain) : Value::number(runtime::textToReal(plain));
}

std::size_t stringPictureWidth(std::string_view picture) {
  if (picture.size() < 3 || picture[0] != '@' || (picture[1] != 's' && picture[1] != 'S')) return 0;
  std::size_t width = 0;
  for (char c : picture.substr(2)) {
    if (c < '0' || c > '9') break;
    width = width * 10 + static_cast<std::size_t>(c - '0');
  }
  return width;
}

}  // namespace window
