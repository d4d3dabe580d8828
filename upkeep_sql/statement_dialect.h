// The backends the statement builders and the quoting helper tell apart: the driver code, and
// for "ODB" the ODBC backend kind, both without regard to letter case. The one map from the two
// to a backend: every rule that depends on the backend asks it, or reads the kind through
// ODBCDB(), which gives it in upper case.
#pragma once

#include <string_view>

namespace upkeep_sql {

enum class StatementDialect { Mss, Ora, Asa, MySql2, MySql3, Firebird, Postgres, OtherOdbc, Other };

// The backend of driver code `code` ("MSS", "ORA", "ASA", "ODB") with the ODBCDB kind in use.
StatementDialect statementDialect(std::string_view code);

inline bool isMySql(StatementDialect dialect) {
  return dialect == StatementDialect::MySql2 || dialect == StatementDialect::MySql3;
}

}  // namespace upkeep_sql
