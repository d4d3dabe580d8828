#include "platform/runtime/picture_syntax.h"

#include <optional>

#include "platform/runtime/picture_chars.h"

namespace runtime {
namespace {

// Widths beyond this are taken for junk rather than pictures.
constexpr int maxPictureWidth = 65535;

using pictures::isDigit;
using pictures::lower;

bool take(std::string_view& text, char c) {
  if (text.empty() || lower(text.front()) != c) return false;
  text.remove_prefix(1);
  return true;
}

std::optional<int> takeNumber(std::string_view& text) {
  if (text.empty() || !isDigit(text.front())) return std::nullopt;
  int number = 0;
  while (!text.empty() && isDigit(text.front())) {
    number = number * 10 + (text.front() - '0');
    if (number > maxPictureWidth) return std::nullopt;
    text.remove_prefix(1);
  }
  return number;
}

std::optional<Picture> stringPicture(std::string_view rest) {
  const auto width = takeNumber(rest);
  if (!width || !rest.empty()) return std::nullopt;
  return Picture{.kind = PictureKind::String, .width = *width};
}

std::optional<Picture> numberPicture(std::string_view rest) {
  Picture picture{.kind = PictureKind::Number};
  const bool leadingSign = take(rest, '-');
  if (take(rest, '0')) {
    picture.fill = NumberFill::Zeros;
  } else if (take(rest, '_')) {
    picture.fill = NumberFill::Spaces;
  }
  const auto width = takeNumber(rest);
  if (!width) return std::nullopt;
  picture.width = *width;
  if (take(rest, '.')) picture.decimals = takeNumber(rest).value_or(0);
  if (!leadingSign) picture.trailingSign = take(rest, '-');
  if (!rest.empty()) return std::nullopt;
  return picture;
}

std::optional<Picture> datePicture(std::string_view rest) {
  const auto style = takeNumber(rest);
  if (!style || (*style != 2 && *style != 3 && *style != 6 && *style != 10 && *style != 12)) {
    return std::nullopt;
  }
  Picture picture{.kind = PictureKind::Date, .style = *style};
  if (take(rest, '-')) {
    picture.separator = '-';
  } else if (take(rest, '.')) {
    picture.separator = '.';
  } else if (take(rest, '_')) {
    picture.separator = ' ';
  }
  if (!rest.empty()) return std::nullopt;
  return picture;
}

std::optional<Picture> timePicture(std::string_view rest) {
  const auto style = takeNumber(rest);
  if (!style || (*style != 1 && *style != 4) || !rest.empty()) return std::nullopt;
  return Picture{.kind = PictureKind::Time, .style = *style};
}

std::optional<Picture> patternPicture(std::string_view rest) {
  const std::size_t close = rest.find_first_of("pP");
  if (close == std::string_view::npos) return std::nullopt;
  Picture picture{.kind = PictureKind::Pattern, .pattern = std::string(rest.substr(0, close))};
  rest.remove_prefix(close + 1);
  picture.blankWhenZero = take(rest, 'b');
  if (!rest.empty()) return std::nullopt;
  return picture;
}

}  // namespace

Picture parsePicture(std::string_view text) {
  text = pictures::trimSpaces(text);
  if (!text.empty() && text.front() == '@') text.remove_prefix(1);
  if (text.empty()) return {};
  const std::string_view rest = text.substr(1);
  std::optional<Picture> picture;
  switch (lower(text.front())) {
    case 's': picture = stringPicture(rest); break;
    case 'n': picture = numberPicture(rest); break;
    case 'd': picture = datePicture(rest); break;
    case 't': picture = timePicture(rest); break;
    case 'p': picture = patternPicture(rest); break;
    default: break;
  }
  return picture.value_or(Picture{});
}

}  // namespace runtime
