// The spelling of names in expressions, shared by the parser and the binding table.
#pragma once

#include <string>
#include <string_view>

namespace runtime {

inline bool isNameStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

inline bool isNameChar(char c) { return isNameStart(c) || (c >= '0' && c <= '9') || c == ':'; }

// A name in the one letter case in which names are compared (names are ASCII).
inline std::string foldName(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return folded;
}

// True for the words that are operators: AND, OR, NOT (given in the folded case).
inline bool isKeyword(std::string_view foldedName) {
  return foldedName == "AND" || foldedName == "OR" || foldedName == "NOT";
}

}  // namespace runtime
