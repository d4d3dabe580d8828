#include "upkeep_sql/statement_names.h"

#include "upkeep_sql/sql_quote.h"

namespace upkeep_sql {

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

std::string quotedName(std::string_view code, std::string_view name) {
  if (auto quoted = QuotedName(code, name)) return *quoted;
  return "\"\"";
}

std::string bareName(std::string_view code, std::string_view name) {
  const files::SqlBackend backend = backendOfCode(code);
  const bool quotingKeepsMeaning = backend == files::SqlBackend::SqlServer ||
                                   backend == files::SqlBackend::SqlAnywhere ||
                                   backend == files::SqlBackend::MySql;
  return !quotingKeepsMeaning && isPlainIdentifier(name) ? std::string(name)
                                                         : quotedName(code, name);
}

std::string quotedLiteral(std::string_view code, std::string_view text) {
  if (auto quoted = QuotedText(code, text)) return *quoted;
  return "''";
}

}  // namespace upkeep_sql
