// The backends the statement builders tell apart: the driver code, and for "ODB" the ODBC
// backend kind, both compared exactly.
#pragma once

#include <string_view>

namespace upkeep_sql {

enum class StatementDialect { Mss, Ora, Asa, MySql2, MySql3, Firebird, Postgres, OtherOdbc, Other };

StatementDialect statementDialect(std::string_view code);

inline bool isMySql(StatementDialect dialect) {
  return dialect == StatementDialect::MySql2 || dialect == StatementDialect::MySql3;
}

}  // namespace upkeep_sql
