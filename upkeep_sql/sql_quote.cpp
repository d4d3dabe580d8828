#include "upkeep_sql/sql_quote.h"

#include "upkeep_sql/statement_dialect.h"

namespace upkeep_sql {

files::SqlBackend backendOfCode(std::string_view code) {
  switch (statementDialect(code)) {
    case StatementDialect::Mss: return files::SqlBackend::SqlServer;
    case StatementDialect::Ora: return files::SqlBackend::Oracle;
    case StatementDialect::Asa: return files::SqlBackend::SqlAnywhere;
    case StatementDialect::MySql2:
    case StatementDialect::MySql3: return files::SqlBackend::MySql;
    case StatementDialect::Firebird: return files::SqlBackend::Firebird;
    case StatementDialect::Postgres: return files::SqlBackend::PostgreSQL;
    default: return files::SqlBackend::Generic;
  }
}

std::optional<std::string> QuotedName(std::string_view code, std::string_view name) {
  return files::quoteIdentifier(backendOfCode(code), name);
}

std::optional<std::string> QuotedText(std::string_view code, std::string_view text) {
  return files::quoteLiteral(backendOfCode(code), text);
}

}  // namespace upkeep_sql
