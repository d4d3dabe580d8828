// The SQL Server loaders: columns from sp_columns, keys from sp_statistics and sp_indexes (the
// primary key named by sp_pkeys), and the default constraints from sysobjects.
#include "platform/runtime/error_state.h"
#include "platform/runtime/number_text.h"
#include "platform/runtime/text.h"
#include "upkeep/registration_tables.h"
#include "upkeep_sql/catalogue_reading.h"
#include "upkeep_sql/mss_linked_server.h"
#include "upkeep_sql/sql_row_buffer.h"
#include "upkeep_sql/sql_trace.h"
#include "upkeep_sql/statement_execution.h"
#include "upkeep_sql/statement_names.h"
#include "upkeep_sql/structure_loaders.h"
#include "upkeep_sql/table_in_hand.h"

namespace upkeep_sql {
namespace {

constexpr std::string_view kMss = "MSS";

std::string literal(std::string_view text) { return quotedLiteral(kMss, runtime::CLIP(text)); }

// "CALL sp_indexes(server, table, schema, database, index)".
std::string indexesCall(std::string_view server, const std::string& index) {
  const TableInHand& table = tableInHand();
  return "CALL sp_indexes(" + literal(server) + "," + literal(table.SqlTableName) + "," +
         literal(table.TableSchema) + "," + literal(table.TableZone) + "," + literal(index) + ")";
}

// The components of index `index` from sp_indexes, through the owner's linked server and, when
// that fails, through the remote machine. False when both fail (reported).
bool loadIndexColumns(SkdqEntry& key, const std::string& index) {
  if (ExecuteStatement(indexesCall(tableInHand().LinkedServerName, index), 0) !=
      StatementAccepted) {
    ds_Error("M34",
             "[indexes] Error: " + runtime::FILEERRORCODE() + " - " +
                 runtime::CLIP(runtime::FILEERROR()),
             "Upkeep: Unable to interpret SQL structure: ", 0);
    if (!runCatalogueStatement(indexesCall(upkeep::registration().options.remoteMachineName, index),
                               "[indexes] Error: ", " - "))
      return false;
  }
  while (nextAnswerRow()) {
    traceDeveloper("retrieved index: " + rowColumn(6));
    if (runtime::UPPER(rowColumn(6)) != runtime::UPPER(index)) break;
    addKeyComponent(key, rowColumn(9), rowColumn(10) == "D", true);
    markDependantColumn(rowColumn(9));
  }
  return true;
}

}  // namespace

std::int32_t ds_MSSQLStructure() {
  traceInOut("-- Start of ds_MSSQLStructure:  --");
  if (ds_MSSLoadFieldQ() != 0) return 1;
  if (ds_MSSLinkedServer() != 0) return 1;
  return ds_MSSLoadKeyQ();
}

std::int32_t ds_MSSLoadFieldQ() {
  traceLoaderStart("ds_MSSLoadFieldQ");
  auto& columns = liveStructure().SFDQ;
  columns.clear();
  const TableInHand& table = tableInHand();
  const std::string statement =
      "CALL sp_columns(" + literal(table.SqlTableName) + "," + literal(table.TableSchema) + ")";
  if (!runCatalogueStatement(statement, "[sp_columns] Error: ", " ")) return 1;
  while (nextAnswerRow()) {
    const std::string name = rowColumn(4);
    const std::string type = rowColumn(6);
    SfdqEntry column;
    column.NAME = runtime::UPPER(name);
    column.ALTNAME = name;
    column.ALLOWNULLS = static_cast<std::uint8_t>(runtime::textToLong(rowColumn(11)));
    const std::size_t identity = runtime::UPPER(type).find("IDENTITY");
    if (runtime::UPPER(type) == "DECIMAL") {
      column.TYPE = type + "(" + rowColumn(7) + "," + rowColumn(9) + ")";
    } else if (identity != std::string::npos) {
      column.TYPE = runtime::CLIP(type.substr(0, identity)) + "(" + rowColumn(8) + ")";
      column.AUTONUM = 1;
    } else {
      column.TYPE = type + "(" + rowColumn(8) + ")";
    }
    addLiveColumn(column);
  }
  traceInOut("-- End of ds_MSSLoadFieldQ :: Records Added: " +
             std::to_string(columns.entries.size()) + " --");
  return 0;
}

std::int32_t ds_MSSLoadKeyQ() {
  traceLoaderStart("ds_MSSLoadKeyQ");
  auto& live = liveStructure();
  live.SKDQ.clear();
  live.TIQ.clear();
  const TableInHand& table = tableInHand();
  // A refused sp_pkeys only leaves the primary key unrecognised.
  std::string primaryKeyName;
  if (ExecuteStatement("CALL sp_pkeys(" + literal(table.SqlTableName) + ")", 0) ==
          StatementAccepted &&
      readAnswerOnce())
    primaryKeyName = rowColumn(6);
  bool primaryFound = false;

  const std::string statistics =
      "CALL sp_statistics(" + literal(table.SqlTableName) + "," + literal(table.TableSchema) + ")";
  if (!runCatalogueStatement(statistics, "[keys] Error: ", " - ")) return 1;
  while (nextAnswerRow()) {
    if (rowColumn(9).empty()) continue;
    holdAnswerRow(15);
  }
  traceFieldCopy("Records added to TableInfoQ: " + std::to_string(live.TIQ.size()));

  std::string indexInHand;
  for (const TiqEntry& row : std::vector<TiqEntry>(live.TIQ)) {
    const std::string index = runtime::CLIP(row.FIELD[5]);
    if (index.empty() || index == indexInHand) continue;
    indexInHand = index;
    SkdqEntry key;
    key.KEYNAME = runtime::UPPER(index);
    key.KEYFILENAME = index;
    if (runtime::textToLong(row.FIELD[3]) == 1) {
      key.ATT = "dup";
    } else if (!primaryFound && key.KEYNAME == runtime::UPPER(primaryKeyName)) {
      key.ATT = "primary";
      primaryFound = true;
    }
    if (!loadIndexColumns(key, indexInHand)) return 1;
    // A name sp_helpconstraint knows is a constraint; any other is an index.
    key.INDEX = ExecuteStatement("CALL sp_helpconstraint(" + literal(indexInHand) + ")", 0) ==
                        StatementAccepted
                    ? 0
                    : 1;
    live.SKDQ.entries.push_back(key);
  }

  live.TIQ.clear();
  const std::string defaults =
      "select name, id, parent_obj from sysobjects where parent_obj = (select id from sysobjects "
      "where name = " +
      literal(table.SqlTableName) + ") and xtype = 'D'";
  if (!runCatalogueStatement(defaults, "[default constraints] Error: ", " - ")) return 1;
  while (nextAnswerRow()) {
    if (rowColumn(1).empty()) continue;
    holdAnswerRow(3);
  }
  traceFieldCopy("Records added to TableInfoQ [b]: " + std::to_string(live.TIQ.size()));
  for (const TiqEntry& row : live.TIQ) {
    // The ids come from the server's own answer; written as numbers they cannot be more.
    const std::string statement =
        "select name from syscolumns where id = " +
        runtime::longToText(runtime::textToLong(row.FIELD[2])) +
        " and cdefault = " + runtime::longToText(runtime::textToLong(row.FIELD[1]));
    if (!runCatalogueStatement(statement, "[default constraints] Error: ", " - ")) return 1;
    readAnswerOnce();
    SkdqEntry key =
        keyStartingWith(runtime::UPPER(row.FIELD[0]), row.FIELD[0], rowColumn(1), false);
    key.FIELDNUMS = {};
    key.ATT = "DF";
    key.INDEX = 0;
    key.MATCH = 1;
    markDependantColumn(rowColumn(1));
    live.SKDQ.entries.push_back(key);
  }
  traceInOut("-- End of ds_MSSLoadKeyQ :: Records added to SqlKeyQ: " +
             std::to_string(live.SKDQ.entries.size()) + " --");
  return 0;
}

}  // namespace upkeep_sql
