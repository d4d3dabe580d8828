#include "upkeep_sql/statement_dialect.h"

#include "platform/runtime/text.h"
#include "upkeep_sql/dialect_rules.h"

namespace upkeep_sql {

StatementDialect statementDialect(std::string_view code) {
  const std::string upper = runtime::UPPER(code);
  if (upper == "MSS") return StatementDialect::Mss;
  if (upper == "ORA") return StatementDialect::Ora;
  if (upper == "ASA") return StatementDialect::Asa;
  if (upper != "ODB") return StatementDialect::Other;
  const std::string kind = ODBCDB();
  if (kind == "MYODBC 2") return StatementDialect::MySql2;
  if (kind == "MYODBC 3") return StatementDialect::MySql3;
  if (kind == "FIREBIRD") return StatementDialect::Firebird;
  if (kind == "POSTGRES") return StatementDialect::Postgres;
  return StatementDialect::OtherOdbc;
}

}  // namespace upkeep_sql
