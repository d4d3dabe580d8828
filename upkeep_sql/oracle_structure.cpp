// The Oracle loaders: columns from user_tab_columns, keys from user_ind_columns and
// user_cons_columns, their kind from user_indexes and user_constraints.
#include <algorithm>

#include "platform/runtime/error_state.h"
#include "platform/runtime/text.h"
#include "upkeep_sql/catalogue_reading.h"
#include "upkeep_sql/sql_row_buffer.h"
#include "upkeep_sql/sql_trace.h"
#include "upkeep_sql/statement_names.h"
#include "upkeep_sql/structure_loaders.h"
#include "upkeep_sql/table_in_hand.h"

namespace upkeep_sql {
namespace {

constexpr std::string_view kOra = "ORA";

std::string literal(std::string_view text) { return quotedLiteral(kOra, runtime::CLIP(text)); }
// Oracle keeps unquoted names in upper case.
std::string tableLiteral() {
  return literal(runtime::UPPER(runtime::CLIP(tableInHand().SqlTableName)));
}

// Adds component `column` to the key in hand when `keyName` is its name, else starts a new
// key; either way marks the column.
void collectComponent(const std::string& keyName, const std::string& column, bool descending,
                      std::uint8_t index) {
  auto& keys = liveStructure().SKDQ;
  if (!keys.entries.empty() && keyName == runtime::CLIP(keys.current.KEYFILENAME)) {
    addKeyComponent(keys.current, column, descending, false);
    keys.entries.back() = keys.current;
  } else {
    SkdqEntry key = keyStartingWith(runtime::UPPER(keyName), keyName, column, descending);
    key.INDEX = index;
    keys.entries.push_back(key);
    keys.current = key;
    if (index == 1) {
      TiqEntry held;
      held.FIELD[0] = key.KEYNAME;
      liveStructure().TIQ.push_back(held);
    }
  }
  markDependantColumn(column);
}

bool indexLoaded(const std::string& keyName) {
  const auto& held = liveStructure().TIQ;
  return std::any_of(held.begin(), held.end(),
                     [&](const TiqEntry& row) { return row.FIELD[0] == keyName; });
}

}  // namespace

std::int32_t ds_OracleStructure() {
  traceDetail("-- Start of ds_OracleStructure  --");
  if (ds_ORALoadFieldQ() != 0) return 1;
  return ds_ORALoadKeyQ();
}

std::int32_t ds_ORALoadFieldQ() {
  traceLoaderStart("ds_ORALoadFieldQ");
  liveStructure().SFDQ.clear();
  if (!runCatalogueStatement("select * from user_tab_columns where table_name = " + tableLiteral() +
                                 " order by column_id",
                             "[columns] Error: ", " "))
    return 1;
  while (nextAnswerRow()) {
    const std::string name = rowColumn(2);
    const std::string type = rowColumn(3);
    SfdqEntry column;
    column.NAME = runtime::UPPER(name);
    column.ALTNAME = name;
    column.ALLOWNULLS = runtime::LOWER(rowColumn(9)) == "y" ? 1 : 0;
    column.TYPE = runtime::UPPER(type) == "NUMBER"
                      ? type + "(" + rowColumn(7) + "," + rowColumn(8) + ")"
                      : type + "(" + rowColumn(6) + ")";
    traceFieldCopy("ORA: sfdq: " + column.NAME + " " + column.TYPE + " gsfg: " + type + " !!");
    addLiveColumn(column);
  }
  traceInOut("-- End of ds_ORALoadFieldQ  --");
  return 0;
}

std::int32_t ds_ORALoadKeyQ() {
  traceLoaderStart("ds_ORALoadKeyQ");
  auto& live = liveStructure();
  live.SKDQ.clear();
  live.TIQ.clear();
  const std::string table = tableLiteral();
  if (!runCatalogueStatement("select * from user_ind_columns where table_name = " + table +
                                 " order by index_name, column_position",
                             "[index cols] Error: ", " - "))
    return 1;
  while (nextAnswerRow()) {
    if (rowColumn(1).empty()) continue;
    const std::string descend = runtime::UPPER(rowColumn(7));
    collectComponent(rowColumn(1), rowColumn(3), descend == "DESC" || descend == "Y", 1);
  }

  if (!runCatalogueStatement("select * from user_cons_columns where table_name = " + table +
                                 " order by constraint_name, position",
                             "[constraints] Error: ", " - ", "M42"))
    return 1;
  while (nextAnswerRow()) {
    const std::string constraint = rowColumn(2);
    if (constraint.empty()) continue;
    const std::string keyName = runtime::UPPER(constraint);
    if (indexLoaded(keyName)) {
      // The constraint's own index: one entry, a constraint.
      traceDeveloper("Already added to key q: " + keyName);
      for (SkdqEntry& key : live.SKDQ.entries)
        if (key.KEYNAME == keyName) key.INDEX = 0;
    } else {
      traceDeveloper("Not yet added to key q: " + keyName);
      collectComponent(constraint, rowColumn(4), false, 0);
    }
  }

  for (SkdqEntry& key : live.SKDQ.entries) {
    const bool index = key.INDEX == 1;
    const std::string statement =
        index ? "select UNIQUENESS from user_indexes where table_name = " + table +
                    " and index_name = " + literal(key.KEYFILENAME)
              : "select CONSTRAINT_TYPE from user_constraints where table_name = " + table +
                    " and constraint_name = " + literal(key.KEYFILENAME);
    if (!runCatalogueStatement(statement,
                               index ? "[indexes] Error: " : "[constraint type] Error: ", " - "))
      return 1;
    readAnswerOnce();
    const std::string kind = runtime::UPPER(rowColumn(1));
    key.ATT = kind == "UNIQUE" || kind == "U" ? "" : kind == "P" ? "primary" : "dup";
  }
  traceInOut("-- End of ds_ORALoadKeyQ :: records added to SqlKeyQ: " +
             std::to_string(live.SKDQ.entries.size()) + " --");
  return 0;
}

}  // namespace upkeep_sql
