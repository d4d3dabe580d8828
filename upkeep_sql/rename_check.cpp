#include "upkeep_sql/rename_check.h"

#include "platform/runtime/error_state.h"
#include "platform/runtime/text.h"
#include "upkeep/structure_search.h"
#include "upkeep_sql/dialect_rules.h"
#include "upkeep_sql/sql_trace.h"
#include "upkeep_sql/statement_execution.h"
#include "upkeep_sql/statement_names.h"
#include "upkeep_sql/system_table.h"
#include "upkeep_sql/table_in_hand.h"

namespace upkeep_sql {
namespace {

// Renames `oldName` to the table in hand: 0 done, 1 failed or no statement for the backend.
std::int32_t RenameOldTable(std::string_view code, const std::string& oldName) {
  const std::string newName = runtime::CLIP(tableInHand().OutFileName);
  const std::string statement = renameTableStatement(code, oldName, newName);
  if (statement.empty()) return 1;
  traceDetail(
      "Lets try renaming it in case it's a SQL file, otherwise we can assume that it's a VKF or "
      "DAT file (if no SQL file of that name is present)");
  OpenUpkeepSQLFile(0, code);
  if (ExecuteStatement(statement, 0) != StatementAccepted) {
    traceFieldCopy("Rename failed. Reason: " + runtime::FILEERROR());
    return 1;
  }
  traceFieldCopy("Rename Successful: From " + oldName + " to " + tableInHand().SqlTableName);
  return 0;
}

}  // namespace

std::string renameTableStatement(std::string_view code, std::string_view oldName,
                                 std::string_view newName) {
  const std::string kind = code == "ODB" ? ODBCDB() : "";
  const auto table = [&](std::string_view name) { return systemTableReference(code, name); };
  if (code == "MSS" || kind == "MSSQL")
    return "CALL sp_rename(" + quotedLiteral(code, oldName) + "," + quotedLiteral(code, newName) +
           ")";
  if (code == "ORA" || kind == "ORACLE")
    return "Rename " + table(oldName) + " to " + table(newName) + ";";
  if (code == "ASA" || kind == "ASA")
    return "Alter table " + table(oldName) + " rename " + table(newName);
  if (kind == "MYODBC 2" || kind == "MYODBC 3")
    return "ALTER TABLE " + table(oldName) + " RENAME " + table(newName);
  if (kind == "POSTGRES") return "ALTER TABLE " + table(oldName) + " RENAME TO " + table(newName);
  return {};
}

std::int32_t ds_RenameCheck(std::string_view code) {
  const std::vector<upkeep::OldFileName>& oldNames = upkeep::OFN();
  const TableInHand& inHand = tableInHand();
  traceInOut("ds_RenameCheck IN: " + inHand.OutFileName);
  std::int32_t result = 2;
  if (!oldNames.empty()) {
    traceDetail("Searching OLD name q: " + inHand.OutFileName +
                " records to search: " + std::to_string(oldNames.size()));
    const std::string byName = CasedName(runtime::CLIP(inHand.OutFileName));
    const std::string byLabel = CasedName(runtime::CLIP(inHand.TableLabel));
    for (const upkeep::OldFileName& entry : oldNames) {
      traceDeveloper("ofn:newname: " + entry.NEWNAME);
      const std::string newName = CasedName(runtime::CLIP(entry.NEWNAME));
      const std::string oldName = runtime::CLIP(entry.SQLOLDNAME);
      if (newName == byName) {
        traceDetail("Found Old Name [1]: " + oldName + " " + inHand.OutFileName);
      } else if (newName == byLabel) {
        traceDetail("Found Old Name [2]: " + oldName + " " + inHand.TableLabel);
      } else {
        continue;
      }
      result = RenameOldTable(code, oldName);
      break;
    }
  }
  traceInOut("ds_RenameCheck OUT: " + std::to_string(result));
  return result;
}

}  // namespace upkeep_sql
