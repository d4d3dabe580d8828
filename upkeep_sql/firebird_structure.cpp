// The Firebird loaders: columns from RDB$Relation_Fields (autonumbering read from the
// generator triggers), keys from rdb$indices with their constraints and segments.
#include <cstdlib>

#include "platform/files/sql_columns.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/number_text.h"
#include "platform/runtime/text.h"
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
// The table as the catalogue stores it: folded to upper case, as the table driver and the table
// creation name it.
std::string tableLiteral() {
  return literal(
      files::namedInCase(files::SqlBackend::Firebird, runtime::CLIP(tableInHand().SqlTableName)));
}

// The character set of bytes, in which a column keeps a field's raw bytes.
constexpr long long kOctets = 1;

// The type word of a column from its type code and sub-type; blank for a code without one.
std::string firebirdType(long long code, long long subType, const std::string& length,
                         const std::string& precision, long long scale, long long characterSet) {
  const std::string places = std::to_string(std::llabs(scale));
  const auto exact = [&](const char* other) -> std::string {
    if (subType == 1) return "numeric(" + precision + "," + places + ")";
    if (subType == 2) return "decimal(" + precision + "," + places + ")";
    return other;
  };
  switch (code) {
    case 7: return "smallint";
    case 8: return exact("integer");
    case 10: return "float";
    case 12: return "date";
    case 13: return "time";
    case 14:
      return "char(" + length + ")" + (characterSet == kOctets ? " character set octets" : "");
    case 16: return exact("bigint");
    case 27: return "double";
    case 35: return "timestamp";
    case 37: return "varchar(" + length + ")";
    case 261: return "blob";
    default: return {};
  }
}

}  // namespace

std::int32_t ds_FireBirdStructure() {
  traceLoaderStart("ds_FireBirdStructure");
  if (ds_FIRLoadFieldQ() != 0) return 1;
  return ds_FIRLoadKeyQ();
}

std::int32_t ds_FIRLoadFieldQ() {
  traceLoaderStart("ds_FIRLoadFieldQ");
  auto& columns = liveStructure().SFDQ;
  columns.clear();
  // A text column's length in characters: in a database of a multi-byte character set its
  // length in bytes is a multiple of what was declared. The columns come in their table's
  // order; without the ordering the server hands them over in whatever order its join takes.
  const std::string fields =
      "select rn.RDB$Field_Name, rn.RDB$Null_Flag, "
      "coalesce(f.RDB$Character_Length, f.RDB$Field_Length), f.RDB$Field_Precision, "
      "f.RDB$Field_Scale, f.RDB$Field_Type, f.RDB$Field_Sub_Type, t.RDB$Type_Name, "
      "f.RDB$Character_Set_Id from "
      "RDB$Relation_Fields rn join RDB$Fields f on (rn.RDB$Field_Source = f.RDB$Field_Name) join "
      "RDB$Types t on (f.RDB$Field_Type = t.RDB$Type) where rn.RDB$Relation_Name = " +
      tableLiteral() + " and t.RDB$Field_Name = 'RDB$FIELD_TYPE' order by rn.RDB$Field_Position";
  if (!runCatalogueStatement(fields, "[fields] Error: ", " ")) return 1;
  while (nextAnswerRow()) {
    SfdqEntry column;
    column.NAME = column.ALTNAME = rowColumn(1);
    column.ALLOWNULLS = rowColumn(2).empty() ? 1 : 0;
    column.TYPE = firebirdType(runtime::textToLong(rowColumn(6)), runtime::textToLong(rowColumn(7)),
                               rowColumn(3), rowColumn(4), runtime::textToLong(rowColumn(5)),
                               runtime::textToLong(rowColumn(9)));
    addLiveColumn(column);
  }
  const std::string triggers =
      "select RDB$Trigger_Name, RDB$Relation_Name, RDB$Trigger_Source from RDB$TRIGGERS where "
      "RDB$Relation_Name = " +
      tableLiteral();
  if (!runCatalogueStatement(triggers, "[autonumber] Error: ", " ")) return 1;
  while (nextAnswerRow()) {
    // Column 3 holds the trigger's source as far as its 250 characters go.
    const std::string source = runtime::LOWER(rowColumn(3));
    if (source.find("gen_id") == std::string::npos) continue;
    for (SfdqEntry& column : columns.entries) {
      if (source.find("new." + runtime::LOWER(runtime::CLIP(column.NAME))) != std::string::npos)
        column.AUTONUM = 1;
    }
  }
  traceInOut("-- End of ds_FIRLoadFieldQ " + std::to_string(columns.entries.size()) + " --");
  return 0;
}

std::int32_t ds_FIRLoadKeyQ() {
  traceLoaderStart("ds_FIRLoadKeyQ");
  auto& live = liveStructure();
  live.SKDQ.clear();
  live.TIQ.clear();
  const std::string indexes =
      "select rdb$index_name, rdb$unique_flag, rdb$segment_count, rdb$index_type from "
      "rdb$indices where rdb$relation_name = " +
      tableLiteral();
  if (!runCatalogueStatement(indexes, "[keys] Error: ", " ")) return 1;
  while (nextAnswerRow()) {
    holdAnswerRow(4);
  }
  traceFieldCopy("Records added to TableInfoQ: " + std::to_string(live.TIQ.size()));
  for (const TiqEntry& index : live.TIQ) {
    const std::string name = runtime::CLIP(index.FIELD[0]);
    SkdqEntry key;
    key.KEYNAME = runtime::UPPER(name);
    key.KEYFILENAME = name;
    key.INDEX = 1;
    key.ATT = runtime::textToLong(index.FIELD[1]) == 1 ? "" : "dup";
    const std::string constraints =
        "select rdb$constraint_name, rdb$constraint_type from rdb$relation_constraints where "
        "rdb$index_name = " +
        literal(name) + " and rdb$relation_name = " + tableLiteral();
    if (!runCatalogueStatement(constraints, "[contraints] Error: ", " ")) return 1;
    // A key that is a constraint goes by the constraint's name, which its drop needs: the
    // manager names a constraint's index after it, the server names its own INTEG_n over an
    // index RDB$PRIMARYn or RDB$n.
    const std::string constraint = applyConstraintRows(key, "PRIMARY KEY", "UNIQUE");
    if (!constraint.empty()) {
      key.KEYNAME = runtime::UPPER(constraint);
      key.KEYFILENAME = constraint;
    }
    const std::string segments =
        "select rdb$field_name, rdb$field_position from rdb$index_segments where "
        "rdb$index_name = " +
        literal(name) + " order by rdb$index_name, rdb$field_position";
    if (!runCatalogueStatement(segments, "[keyfields] Error: ", " ")) return 1;
    // rdb$index_type is NULL or 0 for an ascending index, 1 for a descending one.
    const std::string indexType = runtime::CLIP(index.FIELD[3]);
    const bool descending = !indexType.empty() && runtime::textToLong(indexType) != 0;
    while (nextAnswerRow()) {
      addKeyComponent(key, rowColumn(1), descending, true);
      markDependantColumn(rowColumn(1));
    }
    live.SKDQ.entries.push_back(key);
  }
  traceInOut("-- End of ds_FIRLoadKeyQ  --");
  return 0;
}

}  // namespace upkeep_sql
