#include "upkeep_sql/postgres_extras.h"

#include <algorithm>
#include <cstring>

#include "platform/files/file_property.h"
#include "platform/files/sql_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/message.h"
#include "platform/runtime/text.h"
#include "upkeep/registration_tables.h"
#include "upkeep_sql/sql_trace.h"
#include "upkeep_sql/statement_names.h"
#include "upkeep_sql/table_in_hand.h"

namespace upkeep_sql {
namespace {

constexpr std::string_view kPostgres = "ODB";
constexpr int kRefused = 90;

bool isOneOf(const std::string& word, std::initializer_list<std::string_view> words) {
  return std::find(words.begin(), words.end(), word) != words.end();
}

// The type word of a column type in upper case, without its size ("varchar(11)": "VARCHAR").
std::string typeWord(std::string_view type) {
  return runtime::UPPER(runtime::CLIP(type.substr(0, type.find('('))));
}

void ReportIllegalFieldChange(const std::string& table, const std::string& field,
                              const std::string& current, const std::string& wanted) {
  traceDetail("Illegal Field Change Attempted: " + table + " " + field + " Type: " + current + " " +
              wanted);
  runtime::MESSAGE("Upkeep Warning: Attempting illegal operation on file: " + table +
                       "|For field: " + field + "|Consult your application supplier for details.",
                   "Upkeep Warning:", {}, runtime::ButtonOk, runtime::ButtonOk);
}

// Sends `statement` through the backend FILE; the runtime's error code afterwards.
// The system table does not exist yet: a closed FILE sends over its owner's connection.
int send(files::FileDeclaration& backend, const std::string& statement) {
  return files::sendSqlStatementByOwner(backend, statement);
}

}  // namespace

std::string PostgresColumnList(std::string_view list) {
  std::string quoted;
  const std::string clipped = runtime::CLIP(list);
  std::size_t start = clipped.find_first_not_of(' ');
  while (start != std::string::npos) {
    const std::size_t end = clipped.find(' ', start);
    if (!quoted.empty()) quoted += ' ';
    quoted += quotedName(kPostgres, clipped.substr(start, end - start));
    start = end == std::string::npos ? end : clipped.find_first_not_of(' ', end);
  }
  return quoted;
}

std::int32_t ds_PostGresWarnForIllegalFieldChanges(std::string_view, std::string_view,
                                                   std::string_view newType,
                                                   std::string_view currentType, std::string_view,
                                                   std::string_view fieldName,
                                                   std::string_view tableName) {
  traceInOut("-- Start of ds_PostGresWarnForIllegalFieldChanges  --");
  const std::string wanted = typeWord(newType);
  const std::string current = typeWord(currentType);
  const bool currentIsText = isOneOf(current, {"VARCHAR", "CHAR", "TEXT"});
  bool refused = false;
  if (isOneOf(wanted, {"SMALLINT", "INTEGER", "DOUBLE PRECISION", "NUMERIC", "REAL"})) {
    refused = currentIsText || isOneOf(current, {"DATE", "TIME"});
  } else if (isOneOf(wanted, {"DATE", "TIME"})) {
    refused = !currentIsText;
  } else if (isOneOf(wanted, {"VARCHAR", "CHAR", "TEXT"})) {
    refused = current == "BYTEA";
  }
  const std::string table = runtime::CLIP(tableName);
  const std::string field = runtime::CLIP(fieldName);
  if (refused)
    ReportIllegalFieldChange(table, field, runtime::CLIP(currentType), runtime::CLIP(newType));
  traceDetail("ds_PostGresWarnForIllegalFieldChanges: " + table + " " + field +
              " Type: " + runtime::CLIP(currentType) + " " + runtime::CLIP(newType));
  const std::int32_t result = refused ? 1 : 0;
  traceInOut("-- End of ds_PostGresWarnForIllegalFieldChanges: Returning: " +
             std::to_string(result));
  return result;
}

std::int32_t CreatePOSTGRESUpkeepTable() {
  const std::string& tableSchema = tableInHand().TableSchema;
  traceInOut("CreatePOSTGRESUpkeepTable IN. Schema: " + runtime::CLIP(tableSchema));
  files::FileDeclaration* backend = upkeep::registration().CurrentSqlDriver.file;
  if (backend == nullptr) return 1;
  const std::string name = runtime::CLIP(files::getProperty(*backend, files::PropName));
  const std::size_t dot = name.find('.');
  const bool qualified = dot != std::string::npos && dot >= 1;
  const std::string schema =
      qualified ? runtime::SUB(name.substr(0, dot), 1, 100) : runtime::CLIP(tableSchema);
  if (!schema.empty() && runtime::LOWER(schema) != "public") {
    const int error =
        send(*backend, "CREATE SCHEMA " + quotedName(kPostgres, runtime::LOWER(schema)));
    if (error == kRefused) {
      traceDetail("Created schema: " + schema + " Error(90): " + runtime::FILEERRORCODE() + " " +
                  runtime::FILEERROR());
    } else if (error == 0) {
      traceDetail("Created schema: " + schema + " OK.");
    } else {
      traceDetail("Created schema: " + schema + " Error: " + std::to_string(error) + " " +
                  runtime::ERROR());
    }
  }
  // The table's name as the FILE gives it, each part bare (PostgreSQL keeps it in lower case).
  std::string table = bareName(kPostgres, qualified ? name.substr(0, dot) : name);
  if (qualified) table += "." + bareName(kPostgres, name.substr(dot + 1));
  std::string statement = "CREATE TABLE " + table + " (" + "  DS_FIELD1 VARCHAR(255)," +
                          "  DS_FIELD2 VARCHAR(250) NOT NULL," +
                          "  DS_FIELD3 VARCHAR(250) NOT NULL,";
  for (int n = 4; n <= 40; ++n) statement += "  DS_FIELD" + std::to_string(n) + " VARCHAR(255),";
  // The key takes its name from its table (PostgreSQL names keys per schema): a fixed name
  // would keep a second system table from being made in the same schema.
  statement += "  PRIMARY KEY(\"ds_field2\")) WITHOUT OIDS;";
  std::int32_t result = 0;
  if (send(*backend, statement) == kRefused) {
    result = 1;
    traceInOut("CreatePOSTGRESUpkeepTable OUT: ret: 1; Error!!: " + runtime::FILEERRORCODE() + " " +
               runtime::CLIP(runtime::FILEERROR()));
  } else {
    traceInOut("CreatePOSTGRESUpkeepTable OUT: Success!! ret: 0");
  }
  return result;
}

}  // namespace upkeep_sql
