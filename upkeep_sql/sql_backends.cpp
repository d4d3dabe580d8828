#include "upkeep_sql/sql_backends.h"

#include "upkeep/sql_backend.h"
#include "upkeep_sql/column_tables.h"
#include "upkeep_sql/dialect_rules.h"
#include "upkeep_sql/key_statements.h"
#include "upkeep_sql/mysql_structure.h"
#include "upkeep_sql/sql_datatype.h"
#include "upkeep_sql/sql_row_buffer.h"
#include "upkeep_sql/statement_execution.h"
#include "upkeep_sql/structure_queues.h"
#include "upkeep_sql/table_in_hand.h"
#include "upkeep_sql/table_manager.h"
#include "upkeep_sql/version_tracking.h"
#include "upkeep_sql/wait_progress.h"

namespace upkeep_sql {
namespace {

class Backends final : public upkeep::SqlBackend {
 public:
  void LoadVersionInfoQueues(files::FileDeclaration& file, std::int16_t version,
                             std::string_view prefix, std::string_view label) override {
    upkeep_sql::LoadVersionInfoQueues(file, version, prefix, label);
  }
  void ManageSQLTable(files::FileDeclaration& file, std::string_view code) override {
    upkeep_sql::ManageSQLTable(file, code);
  }

  int ExecuteStatement(std::string_view statement, int level) override {
    return upkeep_sql::ExecuteStatement(statement, level);
  }
  void ds_Error(std::string_view code, std::string_view detail, std::string_view context,
                int level) override {
    upkeep_sql::ds_Error(code, detail, context, level);
  }
  std::string odbcBackendKind() const override { return ODBCDB(); }
  bool CheckIfbinary(std::string_view label) const override {
    return upkeep_sql::CheckIfbinary(label) != 0;
  }
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
  liveStructure() = {};
  sqlRowBuffer() = {};
  versionTracking() = {};
  mySqlOwnerParts() = {};
  tableInHand() = {};
  waitProgress() = {};
  columnTables() = {};
  MySQLIndexPrefixLength() = 0;
}

}  // namespace upkeep_sql
