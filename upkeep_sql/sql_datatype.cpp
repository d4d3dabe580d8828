#include "upkeep_sql/sql_datatype.h"

#include <algorithm>
#include <charconv>

#include "platform/files/sql_columns.h"
#include "platform/runtime/text.h"
#include "upkeep/sql_insert_lists.h"
#include "upkeep_sql/catalogue_reading.h"
#include "upkeep_sql/column_tables.h"
#include "upkeep_sql/dialect_rules.h"
#include "upkeep_sql/sql_row_buffer.h"
#include "upkeep_sql/sql_trace.h"
#include "upkeep_sql/statement_dialect.h"
#include "upkeep_sql/statement_execution.h"
#include "upkeep_sql/structure_queues.h"
#include "upkeep_sql/table_in_hand.h"

namespace upkeep_sql {
namespace {

using TypeColumn = StatementDialect;

std::int64_t number(std::string_view text) {
  const std::string clipped = runtime::CLIP(text);
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(clipped.data(), clipped.data() + clipped.size(), value);
  return error == std::errc() && end == clipped.data() + clipped.size() ? value : -1;
}

std::string n(std::int64_t value) { return std::to_string(value); }

// A declared type split at its first "(": the base word and the argument inside.
struct SplitType {
  std::string base;
  std::string argument;
};
SplitType splitType(std::string_view type) {
  const std::string clipped = runtime::CLIP(type);
  const std::size_t open = clipped.find('(');
  if (open == std::string::npos) return {runtime::LOWER(clipped), {}};
  const std::size_t end = clipped.size() - 1;
  return {runtime::LOWER(runtime::CLIP(clipped.substr(0, open))),
          end > open ? clipped.substr(open + 1, end - open - 1) : std::string()};
}

// The length of a text field: its argument, or, for a type given by a picture
// ("cstring(@s99)"), the field's declared length in bytes.
std::int64_t textLength(const std::string& argument, std::int32_t position) {
  const std::int64_t length = number(argument);
  if (length >= 0) return length;
  const auto& fields = declaredStructure().FDQ.entries;
  if (position >= 1 && static_cast<std::size_t>(position) <= fields.size())
    return fields[static_cast<std::size_t>(position - 1)].LENGTH;
  return 0;
}

// The bytes per character of the Firebird database's own character set, asked once per
// table: no character set (NONE) is one byte; an answer refused counts as UTF-8, whose limit
// every database can hold.
int firebirdBytesPerCharacter() {
  std::int32_t& bytes = tableInHand().FirebirdCharacterBytes;
  if (bytes != 0) return bytes;
  bytes = files::kFirebirdUtf8Bytes;
  if (ExecuteStatement("select cs.RDB$BYTES_PER_CHARACTER from RDB$DATABASE d join "
                       "RDB$CHARACTER_SETS cs on cs.RDB$CHARACTER_SET_NAME = "
                       "d.RDB$CHARACTER_SET_NAME",
                       0) != StatementAccepted)
    return bytes;
  bytes = readAnswerOnce()
              ? std::max<std::int32_t>(1, static_cast<std::int32_t>(number(rowColumn(1))))
              : 1;
  return bytes;
}

// A Firebird text of `characters` characters. The database is asked for its character set
// only when the text is longer than a UTF-8 column holds.
std::string firebirdText(bool fixed, std::int64_t characters) {
  const auto count = static_cast<std::size_t>(std::max<std::int64_t>(characters, 0));
  const std::string utf8 = files::firebirdTextType(fixed, count, files::kFirebirdUtf8Bytes);
  if (!utf8.starts_with("BLOB")) return runtime::LOWER(utf8);
  return runtime::LOWER(files::firebirdTextType(fixed, count, firebirdBytesPerCharacter()));
}

std::string cstringType(TypeColumn column, std::int64_t length) {
  const std::string chars = n(length - 1);
  switch (column) {
    case TypeColumn::Mss: {
      const SfdqEntry& live = liveStructure().SFDQ.current;
      if (length == 37 && runtime::UPPER(runtime::CLIP(live.ALTNAME)) == "ROWGUID")
        return "uniqueidentifier";
      return length > 8001 ? "text" : "varchar(" + chars + ")";
    }
    case TypeColumn::Ora: return length > 4001 ? "clob" : "varchar2(" + chars + ")";
    case TypeColumn::Asa: return length > 8001 ? "long varchar" : "varchar(" + chars + ")";
    case TypeColumn::MySql2:
    case TypeColumn::MySql3: return length > 256 ? "text" : "varchar(" + chars + ")";
    case TypeColumn::Firebird:
      return length > 32762 ? "blob sub_type 1" : firebirdText(false, length - 1);
    case TypeColumn::Postgres: return length > 63000 ? "text" : "varchar(" + chars + ")";
    default: return {};
  }
}

std::string stringType(TypeColumn column, std::int64_t length) {
  const std::string chars = "char(" + n(length) + ")";
  switch (column) {
    case TypeColumn::Mss: return length > 8000 ? "text" : chars;
    case TypeColumn::Ora:
      return length > 4000 ? "clob" : length > 2000 ? "varchar2(" + n(length) + ")" : chars;
    case TypeColumn::Asa: return length > 8000 ? "long varchar" : chars;
    case TypeColumn::MySql2:
    case TypeColumn::MySql3: return length > 255 ? "text" : chars;
    case TypeColumn::Firebird: return firebirdText(true, length);
    case TypeColumn::Postgres: return length > 63000 ? "text" : chars;
    default: return {};
  }
}

std::string dateTimeType(TypeColumn column) {
  switch (column) {
    case TypeColumn::Mss: return "datetime";
    case TypeColumn::MySql2:
    case TypeColumn::MySql3: return "datetime(2)";
    case TypeColumn::Ora: return "date";
    case TypeColumn::Asa:
    case TypeColumn::Firebird:
    case TypeColumn::Postgres: return "timestamp";
    default: return {};
  }
}

std::string decimalType(TypeColumn column, const std::string& argument) {
  const std::size_t comma = argument.find(',');
  const std::int64_t digits = number(argument.substr(0, comma));
  const std::int64_t places = comma == std::string::npos ? 0 : number(argument.substr(comma + 1));
  const std::string exact = "(" + n(digits) + "," + n(places) + ")";
  // One digit more where the server counts the sign; a scale of 0 is left out there.
  const std::string wider =
      places == 0 ? "(" + n(digits + 1) + ")" : "(" + n(digits + 1) + "," + n(places) + ")";
  switch (column) {
    case TypeColumn::Mss:
    case TypeColumn::Asa: return "decimal" + exact;
    case TypeColumn::Firebird:
      return runtime::LOWER(
          files::firebirdDecimalType(static_cast<int>(digits), static_cast<int>(places)));
    case TypeColumn::Ora: return "number" + exact;
    case TypeColumn::MySql2:
    case TypeColumn::MySql3: return "decimal" + wider;
    case TypeColumn::Postgres: return "numeric" + wider;
    default: return {};
  }
}

// One row of the type table for the fixed-size types: MSS, ORA, ASA, MYODBC 2, MYODBC 3,
// FIREBIRD, POSTGRES. Every column holds the field's whole range: an unsigned field takes the
// next wider signed type where the server has no unsigned one, and a MySQL TIME keeps the
// hundredths of a second.
struct FixedRow {
  std::string_view base;
  std::string_view words[7];
};
constexpr FixedRow kFixedRows[] = {
    {"byte",
     {"tinyint", "number(3,0)", "tinyint", "tinyint unsigned", "tinyint unsigned", "smallint",
      "smallint"}},
    {"blob", {"image", "blob", "long binary", "blob", "blob", "blob", "text"}},
    {"date", {"datetime", "date", "date", "date", "date", "date", "date"}},
    {"long", {"int", "number(10,0)", "integer", "int", "int", "integer", "integer"}},
    {"ulong",
     {"bigint", "number(10,0)", "bigint", "int unsigned", "int unsigned", "bigint", "bigint"}},
    {"real",
     {"float", "number", "double", "double", "double", "double precision", "double precision"}},
    {"short",
     {"smallint", "number(5,0)", "smallint", "smallint", "smallint", "smallint", "smallint"}},
    {"ushort",
     {"integer", "number(5,0)", "integer", "smallint unsigned", "smallint unsigned", "integer",
      "integer"}},
    {"sreal", {"real", "binary_float", "real", "float", "float", "float", "real"}},
    {"time", {"datetime", "varchar2(11)", "time", "time(2)", "time(2)", "time", "time"}},
};

// The server each column of the type table stands for.
constexpr files::SqlBackend kTableBackends[] = {
    files::SqlBackend::SqlServer, files::SqlBackend::Oracle, files::SqlBackend::SqlAnywhere,
    files::SqlBackend::MySql,     files::SqlBackend::MySql,  files::SqlBackend::Firebird,
    files::SqlBackend::PostgreSQL};

// A BFLOAT4 or BFLOAT8 keeps its bytes, as the table driver writes and reads them.
std::string bfloatType(TypeColumn column, std::size_t size) {
  return runtime::LOWER(files::rawBytesType(kTableBackends[static_cast<int>(column)], size));
}

// The type word of a backend outside the table's columns.
std::string otherBackendType(TypeColumn column, const std::string& base) {
  if (base == "short") return "smallint";
  if (base == "date") return "date";
  if (base == "time") return "time";
  if (base == "sreal" && column == TypeColumn::OtherOdbc) return "float";
  return {};
}

// The answer for a forced type.
std::string forcedType(const FsdqEntry& forced, std::string_view code,
                       const std::string& argument) {
  if (runtime::UPPER(forced.TYPE).find("BINARY") == std::string::npos) return forced.TYPE;
  const TypeColumn column = statementDialect(code);
  if (column == TypeColumn::Mss || (column == TypeColumn::OtherOdbc && ODBCDB() == "MSSQL"))
    return runtime::CLIP(argument).empty() ? forced.TYPE : forced.TYPE + "(" + argument + ")";
  if (column == TypeColumn::Asa) return "binary";
  // Bytes, not characters: a character column refuses bytes that are no text of its set.
  const bool sized = !runtime::CLIP(argument).empty();
  if (column == TypeColumn::Firebird)
    return sized ? "varchar(" + argument + ") character set octets" : "blob sub_type 0";
  if (column == TypeColumn::MySql2 || column == TypeColumn::MySql3)
    return sized ? "varbinary(" + argument + ")" : "longblob";
  if (column == TypeColumn::Postgres) return "bytea";
  return {};
}

const FdqEntry* fieldAt(std::int32_t position) {
  const auto& fields = declaredStructure().FDQ.entries;
  if (position < 1 || static_cast<std::size_t>(position) > fields.size()) return nullptr;
  return &fields[static_cast<std::size_t>(position - 1)];
}

}  // namespace

std::string GetSQLDatatype(std::string_view label, std::string_view type, std::string_view code,
                           std::int32_t position) {
  const FdqEntry* field = fieldAt(position);
  const std::string fieldName = field != nullptr ? runtime::CLIP(field->NAME) : std::string();
  traceInOut("GetSQLDatatype IN. " + fieldName + " " + runtime::CLIP(type));
  const SplitType split = splitType(type);
  ColumnTables& tables = columnTables();

  const auto forced = std::find_if(tables.FSDQ.begin(), tables.FSDQ.end(),
                                   [&](const FsdqEntry& e) { return e.FIELD == label; });
  if (forced != tables.FSDQ.end()) {
    traceInOut("GetSQLDatatype OUT. What Type: " + runtime::CLIP(forced->TYPE));
    const std::string answer = forcedType(*forced, code, split.argument);
    traceInOut("GetSQLDatatype OUT. Forced: " + answer);
    return answer;
  }
  const TypeColumn column = statementDialect(code);
  if (column == TypeColumn::Postgres &&
      std::any_of(tables.IQ.begin(), tables.IQ.end(),
                  [&](const IqEntry& e) { return e.FIELDNAME == label; })) {
    traceInOut("GetSQLDatatype OUT. serial");
    return "serial";
  }

  tables.GroupDetected = 0;
  tables.DateTimeGroupDetected = 0;
  const std::string& base = split.base;
  const bool inTable = column != TypeColumn::OtherOdbc && column != TypeColumn::Other;
  std::string answer;
  bool known = true;
  if (base == "group") {
    tables.GroupDetected = 1;
    traceInOut("Group Detected! " + fieldName);
  } else if (base == "string") {
    const std::int64_t length = textLength(split.argument, position);
    if (AddToDateTimeQ(n(length), position) == 1) {
      answer = dateTimeType(column);
      tables.DateTimeGroupDetected = 1;
      traceInOut("DateTime Group Detected! " + fieldName);
    } else {
      answer = stringType(column, length);
    }
  } else if (base == "cstring" || base == "pstring") {
    // A PSTRING, like a CSTRING, holds one character fewer than its length in bytes.
    answer = cstringType(column, textLength(split.argument, position));
  } else if (base == "decimal" || base == "pdecimal") {
    answer = decimalType(column, split.argument);
  } else if ((base == "bfloat4" || base == "bfloat8") && inTable) {
    answer = bfloatType(column, base == "bfloat4" ? 4 : 8);
  } else {
    const auto row = std::find_if(std::begin(kFixedRows), std::end(kFixedRows),
                                  [&](const FixedRow& r) { return r.base == base; });
    if (row == std::end(kFixedRows)) {
      known = false;
    } else if (inTable) {
      answer = std::string(row->words[static_cast<int>(column)]);
    } else {
      answer = otherBackendType(column, base);
    }
  }
  if (!known) ds_Error("M27", runtime::CLIP(type), "", 0);
  traceInOut("GetSQLDatatype OUT. " + answer);
  return answer;
}

std::int32_t AddToDateTimeQ(std::string_view length, std::int32_t position) {
  traceInOut("AddToDateTimeQ IN.");
  DeclaredStructure& declared = declaredStructure();
  auto& fields = declared.FDQ.entries;
  const auto count = static_cast<std::int32_t>(fields.size());
  std::int32_t answer = 0;
  const auto typeAt = [&](std::int32_t at) {
    const FdqEntry& entry = fields[static_cast<std::size_t>(at - 1)];
    traceDeveloper("QP+" + n(at - position) + ": " + entry.NAME + " " + entry.TYPE);
    return runtime::UPPER(runtime::CLIP(entry.TYPE));
  };
  traceDeveloper("Current Q Pointer: " + n(position));
  if (runtime::CLIP(length) == "8" && position >= 1 && position < count) {
    const std::string prefix = runtime::CLIP(declared.InterpretedPrefix) + ":";
    const FdqEntry& text = fields[static_cast<std::size_t>(position - 1)];
    upkeep::DateTimePair pair{.STRINGNAME = CasedName(prefix + text.NAME),
                              .SQLSTRINGNAME = CasedName(prefix + text.SQLNAME)};
    if (typeAt(position + 1) == "GROUP (NEXT 2 FIELDS)" && position + 2 <= count &&
        typeAt(position + 2) == "DATE" && position + 3 <= count && typeAt(position + 3) == "TIME") {
      pair.DATENAME = CasedName(prefix + fields[static_cast<std::size_t>(position + 1)].NAME);
      pair.TIMENAME = CasedName(prefix + fields[static_cast<std::size_t>(position + 2)].NAME);
      upkeep::DTQ().push_back(std::move(pair));
      for (std::int32_t at = position + 1; at <= position + 3; ++at)
        fields[static_cast<std::size_t>(at - 1)].MATCH = 1;
      answer = 1;
    }
  } else if (position == count) {
    traceDeveloper("Last field in Q, return false.");
  }
  if (position >= 1 && position <= count)
    declared.FDQ.current = fields[static_cast<std::size_t>(position - 1)];
  traceInOut("AddToDateTimeQ OUT. " + n(answer));
  return answer;
}

std::uint8_t CheckIfbinary(std::string_view label) {
  const std::string field = CasedName(label);
  const auto& table = columnTables().FSDQ;
  const auto entry = std::find_if(table.begin(), table.end(),
                                  [&](const FsdqEntry& e) { return e.FIELD == field; });
  return entry != table.end() ? entry->ISBINARY : 0;
}

void ds_ForceSQLDataType(std::string_view type, std::string_view label) {
  traceInOut("-- Start of ds_ForceSQLDataType (" + runtime::CLIP(label) + ";" +
             runtime::CLIP(type) + ") --");
  std::string forced = runtime::SUB(type, 1, 100);
  const std::size_t marker = forced.find(" - no replacing");
  const bool keepType = marker != std::string::npos;
  if (keepType) forced = forced.substr(0, marker);
  const std::string lower = runtime::LOWER(runtime::CLIP(forced));
  static constexpr std::string_view kBinary[] = {"binary",           "varbinary",   "blob", "image",
                                                 "uniqueidentifier", "long binary", "bytea"};
  const std::uint8_t binary =
      std::find(std::begin(kBinary), std::end(kBinary), lower) != std::end(kBinary) ? 1 : 0;
  const std::string field = CasedName(label);
  auto& table = columnTables().FSDQ;
  const auto entry = std::find_if(table.begin(), table.end(),
                                  [&](const FsdqEntry& e) { return e.FIELD == field; });
  if (entry != table.end()) {
    entry->ISBINARY = binary;
    if (!keepType) entry->TYPE = lower;
  } else {
    table.push_back({.FIELD = field, .TYPE = lower, .ISBINARY = binary});
  }
  traceInOut("-- End of ds_ForceSQLDataType  --");
}

}  // namespace upkeep_sql
