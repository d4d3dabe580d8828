#include "upkeep_sql/sql_backends.h"

#include "upkeep/sql_backend.h"
#include "upkeep_sql/column_tables.h"
#include "upkeep_sql/dialect_rules.h"
#include "upkeep_sql/key_statements.h"
#include "upkeep_sql/statement_execution.h"
#include "upkeep_sql/structure_queues.h"
#include "upkeep_sql/table_in_hand.h"
#include "upkeep_sql/wait_progress.h"

namespace upkeep_sql {
namespace {

class Backends final : public upkeep::SqlBackend {
 public:
  // The system table and the table management are not built yet: a SQL table opens as it is.
  void LoadVersionInfoQueues(files::FileDeclaration&, std::int16_t, std::string_view,
                             std::string_view) override {}
  void ManageSQLTable(files::FileDeclaration&, std::string_view) override {}

  int ExecuteStatement(std::string_view statement, int level) override {
    return upkeep_sql::ExecuteStatement(statement, level);
  }
  void ds_Error(std::string_view code, std::string_view detail, std::string_view context,
                int level) override {
    upkeep_sql::ds_Error(code, detail, context, level);
  }
  std::string odbcBackendKind() const override { return ODBCDB(); }
};

}  // namespace

void installSqlBackends() {
  static Backends backends;
  upkeep::setSqlBackend(&backends);
}

void resetSqlBackendState() {
  caseState() = {};
  statementQueues() = {};
  LastSQLError().clear();
  liveStructure().SFDQ.clear();
  liveStructure().SKDQ.clear();
  tableInHand() = {};
  waitProgress() = {};
  columnTables() = {};
  MySQLIndexPrefixLength() = 0;
}

}  // namespace upkeep_sql
