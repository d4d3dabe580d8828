// Character tests shared by the picture routines. Pictures and the texts they read are ASCII
// where it matters (digits, signs, month names), so these work byte by byte.
#pragma once

#include <string_view>

namespace runtime::pictures {

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

inline bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

inline char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The text without the spaces around it.
inline std::string_view trimSpaces(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace runtime::pictures
