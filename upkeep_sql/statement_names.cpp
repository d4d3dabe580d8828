#include "upkeep_sql/statement_names.h"

#include "upkeep_sql/sql_quote.h"

namespace upkeep_sql {
namespace {

bool isPlainIdentifier(std::string_view name) {
  if (name.empty()) return false;
  const auto letter = [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
  };
  if (!letter(name.front())) return false;
  for (const char c : name) {
    if (!letter(c) && !(c >= '0' && c <= '9') && c != '$' && c != '#') return false;
  }
  return true;
}

}  // namespace

std::string quotedName(std::string_view code, std::string_view name) {
  if (auto quoted = QuotedName(code, name)) return *quoted;
  return "\"\"";
}

std::string bareName(std::string_view code, std::string_view name) {
  return isPlainIdentifier(name) ? std::string(name) : quotedName(code, name);
}

std::string quotedLiteral(std::string_view code, std::string_view text) {
  if (auto quoted = QuotedText(code, text)) return *quoted;
  return "''";
}

}  // namespace upkeep_sql
