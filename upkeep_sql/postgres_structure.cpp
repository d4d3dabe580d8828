// The PostgreSQL loaders: columns from pg_attribute (serial columns recognised by their
// nextval default), keys from pg_index with their constraints and columns.
#include <cstdint>

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

constexpr std::string_view kOdbc = "ODB";

std::string literal(std::string_view text) { return quotedLiteral(kOdbc, runtime::CLIP(text)); }
std::string schemaLiteral() { return literal(tableInHand().TableSchema); }
std::string tableLiteral() { return literal(tableInHand().SqlTableName); }
// A number from the server's own answer, written back as a number and nothing more.
std::string numberText(std::string_view text) {
  return runtime::longToText(runtime::textToLong(runtime::CLIP(text)));
}

// The type word of a column from its pg_type name and atttypmod.
std::string postgresType(const std::string& typeName, long long typmod, std::uint8_t& autonum) {
  const long long m = typmod - 4;
  const std::string name = runtime::LOWER(typeName);
  if (name == "bpchar") return "char(" + std::to_string(m) + ")";
  if (name == "varchar") return "varchar(" + std::to_string(m) + ")";
  if (name == "int2") return "smallint";
  if (name == "int4") return "integer";
  if (name == "int8") return "bigint";
  if (name == "float8") return "double precision";
  if (name == "float4") return "real";
  if (name == "numeric") {
    const auto bits = static_cast<std::uint32_t>(m);
    return withoutZeroScale("numeric(" + std::to_string(bits >> 16) + "," +
                            std::to_string(bits & 0xFFFF) + ")");
  }
  if (name == "serial" || name == "serial8") {
    autonum = 1;
    return "serial";
  }
  return typeName;
}

// Whether `text` holds `word` with no letter, digit or "_" on either side.
bool holdsWord(const std::string& text, const std::string& word) {
  const auto identifierChar = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
  };
  for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
    const std::size_t end = at + word.size();
    if ((at == 0 || !identifierChar(text[at - 1])) &&
        (end >= text.size() || !identifierChar(text[end])))
      return true;
  }
  return false;
}

// The table's columns used by the expression of index `index`: each one not yet among the
// key's components is appended as " -" + its name (not counted) and marked.
bool addExpressionColumns(SkdqEntry& key, const std::string& index) {
  const std::string statement =
      "SELECT  indexname, indexdef  FROM  pg_indexes  WHERE  schemaname = " + schemaLiteral() +
      " AND  tablename = " + tableLiteral() + " AND  indexname = " + literal(index);
  if (!runCatalogueStatement(statement, "[keyfields] Error: ", " ")) return false;
  readAnswerOnce();
  // The definition's expression part: what follows the "USING method (" of the index.
  const std::string definition = rowColumn(2);
  const std::size_t open = definition.find('(');
  const std::string expression = open == std::string::npos ? "" : definition.substr(open);
  for (SfdqEntry& column : liveStructure().SFDQ.entries) {
    const std::string name = runtime::CLIP(column.NAME);
    if (!holdsWord(expression, name) && !holdsWord(expression, "\"" + name + "\"")) continue;
    if (holdsWord(" " + key.FIELDS + " ", name)) continue;
    key.FIELDS = runtime::SUB(runtime::CLIP(key.FIELDS) + " -" + name, 1, 1000);
    markDependantColumn(name, false);
  }
  return true;
}

}  // namespace

std::int32_t ds_PostgreSQLStructure() {
  traceLoaderStart("ds_PostgreSQLStructure");
  if (runtime::CLIP(tableInHand().TableSchema).empty()) tableInHand().TableSchema = "public";
  if (ds_PostgreSQLLoadFieldQ() != 0) return 1;
  return ds_PostgreSQLLoadKeyQ();
}

std::int32_t ds_PostgreSQLLoadFieldQ() {
  traceLoaderStart("ds_PostgreSQLLoadFieldQ");
  auto& columns = liveStructure().SFDQ;
  columns.clear();
  const std::string from =
      "   FROM  pg_attribute  JOIN  pg_class ON pg_attribute.attrelid = pg_class.oid  JOIN  "
      "pg_namespace ON pg_namespace.oid = pg_class.relnamespace  JOIN  pg_type on pg_type.oid = "
      "pg_attribute.atttypid  ";
  const std::string where = "where  pg_namespace.nspname = " + schemaLiteral() +
                            " AND  pg_class.relname = " + tableLiteral() +
                            " and  pg_class.relkind = 'r' and  pg_attribute.attnum > 0  ORDER BY "
                            " pg_attribute.attnum;";
  const std::string fields =
      "SELECT  pg_attribute.attname, pg_attribute.attnotnull, pg_attribute.atttypmod, "
      "pg_type.typname" +
      from + where;
  if (!runCatalogueStatement(fields, "[fields] Error: ", " ")) return 1;
  while (nextAnswerRow()) {
    SfdqEntry column;
    column.NAME = column.ALTNAME = rowColumn(1);
    column.ALLOWNULLS = runtime::textToLong(rowColumn(2)) == 1 ? 0 : 1;
    column.TYPE = postgresType(rowColumn(4), runtime::textToLong(rowColumn(3)), column.AUTONUM);
    addLiveColumn(column);
  }
  // The default's text through pg_get_expr: the stored adsrc is gone from newer servers.
  const std::string defaults =
      "SELECT  pg_attribute.attname, pg_type.typname, pg_get_expr(pg_attrdef.adbin, "
      "pg_attrdef.adrelid)" +
      from +
      "INNER JOIN  pg_attrdef on pg_attrdef.adrelid = pg_class.oid and pg_attrdef.adnum = "
      "pg_attribute.attnum  " +
      where;
  if (!runCatalogueStatement(defaults, "[fields] Error: ", " ")) return 1;
  while (nextAnswerRow()) {
    SfdqEntry* column = liveColumn(rowColumn(1));
    const std::string source = rowColumn(3);
    if (column != nullptr && column->TYPE == "integer" && source.starts_with("nextval") &&
        source.find("::regclass") != std::string::npos) {
      column->TYPE = "serial";
      column->AUTONUM = 1;
    }
  }
  traceInOut("-- End of ds_PostgreSQLLoadFieldQ " + std::to_string(columns.entries.size()) + " --");
  return 0;
}

std::int32_t ds_PostgreSQLLoadKeyQ() {
  traceLoaderStart("ds_PostgreSQLLoadKeyQ");
  auto& live = liveStructure();
  live.SKDQ.clear();
  live.TIQ.clear();
  const std::string schema = schemaLiteral();
  const std::string table =
      "SELECT  pg_class.relname ,pg_class.oid  FROM  pg_class  JOIN  pg_namespace ON "
      "pg_namespace.oid = pg_class.relnamespace  WHERE  pg_namespace.nspname = " +
      schema + " AND   pg_class.relname = " + tableLiteral() + " and   pg_class.relkind = 'r'";
  if (!runCatalogueStatement(table, "[keys] Error: ", " ")) return 1;
  readAnswerOnce();
  const std::string oid = numberText(rowColumn(2));

  const std::string indexes =
      "SELECT  pg_class.relname ,pg_index.indisunique , pg_index.indnatts ,pg_index.indisprimary "
      ",pg_index.indexrelid , pg_index.indkey  FROM  pg_index  JOIN  pg_class on pg_class.oid = "
      "pg_index.indexrelid  JOIN  pg_namespace ON pg_namespace.oid = pg_class.relnamespace  "
      "WHERE  pg_namespace.nspname = " +
      schema + " AND   pg_index.indrelid = " + oid + " AND   pg_class.relkind = 'i'";
  if (!runCatalogueStatement(indexes, "[keys] Error: ", " ")) return 1;
  while (nextAnswerRow()) {
    holdAnswerRow(6);
  }
  traceFieldCopy("Records added to TableInfoQ: " + std::to_string(live.TIQ.size()));

  for (const TiqEntry& row : live.TIQ) {
    const std::string index = runtime::CLIP(row.FIELD[0]);
    SkdqEntry key;
    key.KEYNAME = key.KEYFILENAME = index;
    key.INDEX = 1;
    key.ATT = runtime::textToLong(row.FIELD[1]) == 1 ? "" : "dup";
    if (runtime::textToLong(row.FIELD[3]) == 1) key.ATT = "primary";

    const std::string constraints =
        "SELECT  pg_constraint.conname, pg_constraint.contype  FROM  pg_constraint  JOIN  "
        "pg_class on pg_class.oid = pg_constraint.conrelid  JOIN  pg_namespace ON "
        "pg_namespace.oid = pg_constraint.connamespace  WHERE  pg_namespace.nspname = " +
        schema + " AND         pg_constraint.conrelid = " + oid +
        " AND         pg_constraint.conname = " + literal(index);
    if (!runCatalogueStatement(constraints, "[contraints] Error: ", " ")) return 1;
    applyConstraintRows(key, "P", "U");

    // In the index's own column order: without it the server may answer in any order, and a
    // key would read as another.
    const std::string columns =
        "SELECT  pg_attribute.attname   FROM pg_class  INNER JOIN pg_index ON (pg_index.indrelid "
        "= pg_class.oid)  INNER JOIN pg_attribute ON (pg_index.indexrelid = "
        "pg_attribute.attrelid)  WHERE pg_index.indexrelid = " +
        numberText(row.FIELD[4]) + " ORDER BY pg_attribute.attnum";
    if (!runCatalogueStatement(columns, "[keyfields] Error: ", " ")) return 1;
    if (files::FileDeclaration* backend = upkeep::registration().CurrentSqlDriver.file) {
      const std::int64_t found = files::RECORDS(*backend);
      if (found < runtime::textToLong(row.FIELD[2]))
        traceDetail("Error: Server says " + runtime::CLIP(row.FIELD[2]) +
                    " fields in index: " + index + " but only found: " + std::to_string(found));
    }
    bool expression = false;
    while (nextAnswerRow()) {
      const std::string column = rowColumn(1);
      if (column.starts_with("pg_expression_")) {
        expression = true;
        continue;
      }
      addKeyComponent(key, column, false, true);
      markDependantColumn(column, false);
    }
    if (expression && !addExpressionColumns(key, index)) return 1;
    traceDetail("Add Key to SQLQ:" + runtime::CLIP(key.KEYNAME) +
                " Att: " + runtime::CLIP(key.ATT) + " Index?: " + std::to_string(key.INDEX) +
                " Fields(" + std::to_string(key.NUMFIELDS) + "): " + runtime::CLIP(key.FIELDS));
    live.SKDQ.entries.push_back(key);
  }
  traceInOut("-- End of ds_PostgreSQLLoadKeyQ  --");
  return 0;
}

}  // namespace upkeep_sql
