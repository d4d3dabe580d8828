// The SQL Anywhere loaders: columns from sys.syscolumn (the primary key comes with them, by
// the pkey flag), indexes from sysindex.
#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/number_text.h"
#include "platform/runtime/text.h"
#include "upkeep/registration_tables.h"
#include "upkeep_sql/catalogue_reading.h"
#include "upkeep_sql/sql_row_buffer.h"
#include "upkeep_sql/sql_trace.h"
#include "upkeep_sql/statement_names.h"
#include "upkeep_sql/structure_loaders.h"
#include "upkeep_sql/table_in_hand.h"

namespace upkeep_sql {
namespace {

constexpr std::string_view kAsa = "ASA";

// 1 once the column loader has started the PRIMARYKEY entry of the table being loaded.
std::uint8_t ASAPrimaryKeyStarted = 0;

std::string tableLiteral() {
  return quotedLiteral(kAsa, runtime::CLIP(tableInHand().SqlTableName));
}

void freeKeys() {
  liveStructure().SKDQ.clear();
  liveStructure().TIQ.clear();
}

// A primary-key column (pkey "Y") joins the table's one PRIMARYKEY entry.
void addPrimaryKeyColumn(const std::string& column) {
  auto& keys = liveStructure().SKDQ;
  if (ASAPrimaryKeyStarted == 0) {
    freeKeys();
    SkdqEntry key = keyStartingWith("PRIMARYKEY", "PrimaryKey", column, false);
    key.ATT = "primary";
    key.INDEX = 0;
    keys.entries.push_back(key);
    keys.current = key;
    ASAPrimaryKeyStarted = 1;
  } else {
    addKeyComponent(keys.current, column, false, false);
    for (SkdqEntry& key : keys.entries)
      if (key.KEYNAME == "PRIMARYKEY") key = keys.current;
  }
  SfdqEntry& added = liveStructure().SFDQ.entries.back();
  traceDeveloper("Marked as dependant: " + runtime::CLIP(added.NAME));
  added.DEPENDANT = 1;
}

}  // namespace

std::int32_t ds_ASAStructure() {
  traceLoaderStart("ds_ASAStructure");
  ASAPrimaryKeyStarted = 0;
  if (ds_ASALoadFieldQ() != 0) return 1;
  if (ds_ASALoadKeyQ() != 0) return 1;
  traceInOut("-- End of ds_ASAStructure  --");
  return 0;
}

std::int32_t ds_ASALoadFieldQ() {
  traceLoaderStart("ds_ASALoadFieldQ");
  liveStructure().SFDQ.clear();
  const std::string statement =
      "select c.column_name, c.nulls, c.width, c.scale, d.domain_name, c.\"default\", c.pkey, "
      "c.column_id from sys.syscolumn c inner join sys.systable t on c.table_id = t.table_id "
      "inner join sys.sysdomain d on c.domain_id = d.domain_id where t.table_name = " +
      tableLiteral() + " order by c.column_id";
  if (!runCatalogueStatement(statement, "[fields] Error: ", " ")) return 1;
  while (nextAnswerRow()) {
    const std::string name = rowColumn(1);
    const std::string domain = rowColumn(5);
    SfdqEntry column;
    column.NAME = runtime::UPPER(name);
    column.ALTNAME = name;
    column.AUTONUM = rowColumn(6) == "autoincrement" ? 1 : 0;
    column.ALLOWNULLS = static_cast<std::uint8_t>(runtime::textToLong(rowColumn(2)));
    column.TYPE = runtime::textToLong(rowColumn(4)) != 0
                      ? domain + "(" + rowColumn(3) + "," + rowColumn(4) + ")"
                      : domain + "(" + rowColumn(3) + ")";
    addLiveColumn(column);
    if (rowColumn(7) == "Y") addPrimaryKeyColumn(name);
  }
  traceInOut("-- End of ds_ASALoadFieldQ :: records added to SqlFieldQ: " +
             std::to_string(liveStructure().SFDQ.entries.size()) + " --");
  return 0;
}

std::int32_t ds_ASALoadKeyQ() {
  traceLoaderStart("ds_ASALoadKeyQ");
  if (ASAPrimaryKeyStarted == 0) freeKeys();
  auto& keys = liveStructure().SKDQ;
  keys.current = {};
  if (auto* backend = upkeep::registration().CurrentSqlDriver.file) files::CLEAR(*backend);
  const std::string statement =
      "select i.index_name, c.column_name, i.\"unique\", ic.sequence, ic.\"order\", t.table_name "
      "from sysindex i, syscolumn c, sysixcol ic, systable t where t.table_name = " +
      tableLiteral() +
      "and i.table_id = t.table_id and c.table_id = t.table_id and ic.table_id = t.table_id and "
      "i.index_id = ic.index_id and c.column_id = ic.column_id order by c.column_name, "
      "ic.sequence";
  if (!runCatalogueStatement(statement, "[indexes] Error: ", " - ")) return 1;
  while (nextAnswerRow()) {
    const std::string index = rowColumn(1);
    const std::string column = rowColumn(2);
    const bool descending = rowColumn(5) == "D";
    traceDeveloper("asa key loop gsfg:field1: " + index);
    // Rows come ordered by column name: an index's components join one entry only while its
    // rows follow one another.
    if (!keys.entries.empty() && index == runtime::CLIP(keys.current.KEYFILENAME)) {
      addKeyComponent(keys.current, column, descending, false);
      keys.entries.back() = keys.current;
    } else {
      SkdqEntry key = keyStartingWith(runtime::UPPER(index), index, column, descending);
      const std::string unique = rowColumn(3);
      if (unique == "Y") {
        key.INDEX = 1;
      } else if (unique == "N") {
        key.ATT = "dup";
        key.INDEX = 1;
      }
      keys.entries.push_back(key);
      keys.current = key;
    }
    markDependantColumn(column);
    traceDeveloper("asa key loop Next err? " + std::to_string(runtime::ERRORCODE()) + " " +
                   runtime::ERROR() + " " + runtime::FILEERRORCODE() + " " + runtime::FILEERROR());
  }
  traceInOut("-- End of ds_ASALoadKeyQ :: records added to SqlKeyQ: " +
             std::to_string(keys.entries.size()) + " --");
  return 0;
}

}  // namespace upkeep_sql
