#include "linkpulse/email_url.h"

#include <array>
#include <cctype>

#include "platform/runtime/text.h"

namespace linkpulse {
namespace {

bool isHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

// True when `text` at `at` holds `word` (lower case ASCII), letter case ignored.
bool holdsAt(std::string_view text, std::size_t at, std::string_view word) {
  if (text.size() - at < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[at + i])) != word[i]) return false;
  }
  return true;
}

// True when a header keyword of a mailto: line starts at `rest`.
bool startsWithKeyword(std::string_view rest) {
  static constexpr std::array<std::string_view, 4> keywords = {"body", "subject", "cc", "bcc"};
  for (const std::string_view word : keywords) {
    if (holdsAt(rest, 0, word)) return true;
  }
  return false;
}

bool needsEncoding(std::string_view text, std::size_t at) {
  const unsigned char c = static_cast<unsigned char>(text[at]);
  const std::string_view rest = text.substr(at + 1);
  switch (c) {
    case ';':
    case '<':
    case '>': return true;
    case '%': return rest.size() < 2 || !isHex(rest[0]) || !isHex(rest[1]);
    case '?':
    case '&': return !startsWithKeyword(rest);
    default: return c <= 0x20;
  }
}

}  // namespace

std::string MakeEmailURLSafe(std::string_view url) {
  static constexpr char digits[] = "0123456789ABCDEF";
  const std::string text = runtime::CLIP(url);
  constexpr std::string_view bodyMark = "&body=";
  std::size_t start = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (holdsAt(text, at, bodyMark)) {
      start = at + bodyMark.size();
      break;
    }
  }

  std::string result = text.substr(0, start);
  for (std::size_t i = start; i < text.size(); ++i) {
    if (!needsEncoding(text, i)) {
      result += text[i];
      continue;
    }
    const unsigned char c = static_cast<unsigned char>(text[i]);
    result += '%';
    result += digits[c >> 4];
    result += digits[c & 0x0F];
  }
  if (result.size() >= 2 && result.front() == '"' && result.back() == '"') {
    result = result.substr(1, result.size() - 2);
  }
  return result;
}

}  // namespace linkpulse
