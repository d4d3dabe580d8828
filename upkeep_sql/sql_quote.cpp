#include "upkeep_sql/sql_quote.h"

#include "platform/runtime/text.h"
#include "upkeep_sql/dialect_rules.h"

namespace upkeep_sql {

files::SqlBackend backendOfCode(std::string_view code) {
  const std::string upper = runtime::UPPER(code);
  if (upper == "MSS") return files::SqlBackend::SqlServer;
  if (upper == "ORA") return files::SqlBackend::Oracle;
  if (upper == "ASA") return files::SqlBackend::SqlAnywhere;
  if (upper != "ODB") return files::SqlBackend::Generic;
  const std::string kind = runtime::UPPER(ODBCDB());
  if (kind == "MYODBC 2" || kind == "MYODBC 3") return files::SqlBackend::MySql;
  if (kind == "FIREBIRD") return files::SqlBackend::Firebird;
  if (kind == "POSTGRES") return files::SqlBackend::PostgreSQL;
  return files::SqlBackend::Generic;
}

std::optional<std::string> QuotedName(std::string_view code, std::string_view name) {
  return files::quoteIdentifier(backendOfCode(code), name);
}

std::optional<std::string> QuotedText(std::string_view code, std::string_view text) {
  return files::quoteLiteral(backendOfCode(code), text);
}

}  // namespace upkeep_sql
