#include "upkeep/text_converters.h"

#include <algorithm>

#include "platform/runtime/number_text.h"

namespace upkeep {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

std::string Nibbles(std::int32_t digits, std::string_view bytes) {
  const std::size_t count =
      std::min(bytes.size(), static_cast<std::size_t>(std::max(0, (digits + 1) / 2)));
  std::string text;
  for (std::size_t i = 0; i < count; ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    text += ' ';
    text += kHexDigits[byte >> 4];
    text += ' ';
    text += kHexDigits[byte & 0x0F];
  }
  return text.substr(0, 255);
}

std::string HexLiteral(std::string_view bytes) {
  std::string text = "0x";
  text.reserve(2 * bytes.size() + 2);
  for (const char byte : bytes) {
    text += kHexDigits[static_cast<unsigned char>(byte) >> 4];
    text += kHexDigits[static_cast<unsigned char>(byte) & 0x0F];
  }
  return text;
}

std::string ByteDump(std::string_view bytes, std::int32_t last, std::int32_t first) {
  std::string text;
  const std::int32_t end = std::min(last, static_cast<std::int32_t>(bytes.size()));
  for (std::int32_t position = std::max(first, 1); position <= end; ++position) {
    text += std::to_string(static_cast<unsigned char>(bytes[position - 1])) + ";";
    if (text.size() >= 30000) return text.substr(0, 30000);
  }
  return text;
}

Subscripts ParseSubscripts(std::string_view text) {
  Subscripts result;
  std::size_t position = text.find('[');
  if (position == std::string_view::npos) return result;
  std::int32_t* targets[] = {&result.a, &result.b, &result.c, &result.d};
  for (std::int32_t* target : targets) {
    const std::size_t end = text.find_first_of(",]", position + 1);
    if (end == std::string_view::npos) break;
    *target = static_cast<std::int32_t>(
        runtime::textToLong(text.substr(position + 1, end - position - 1)));
    if (text[end] == ']') break;
    position = end;
  }
  return result;
}

std::uint8_t IsFormatted(std::string_view value, std::string_view) {
  return value.find_first_not_of("0123456789 .-") == std::string_view::npos ? 0 : 1;
}

}  // namespace upkeep
