#include "upkeep_sql/statement_dialect.h"

#include "upkeep_sql/dialect_rules.h"

namespace upkeep_sql {

StatementDialect statementDialect(std::string_view code) {
  if (code == "MSS") return StatementDialect::Mss;
  if (code == "ORA") return StatementDialect::Ora;
  if (code == "ASA") return StatementDialect::Asa;
  if (code != "ODB") return StatementDialect::Other;
  const std::string kind = ODBCDB();
  if (kind == "MYODBC 2") return StatementDialect::MySql2;
  if (kind == "MYODBC 3") return StatementDialect::MySql3;
  if (kind == "FIREBIRD") return StatementDialect::Firebird;
  if (kind == "POSTGRES") return StatementDialect::Postgres;
  return StatementDialect::OtherOdbc;
}

}  // namespace upkeep_sql
