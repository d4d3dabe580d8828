// The one quoting helper of the SQL statement builders: names and text values written into a
// statement in the spelling of the backend in use (driver code, and for "ODB" the ODBCDB kind),
// so that no name or value can change the statement's shape.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/files/sql_quoting.h"

namespace upkeep_sql {

// The quoting dialect of driver code `code`: that of its statement dialect (statement_dialect.h),
// standard SQL for a backend the builders do not know.
files::SqlBackend backendOfCode(std::string_view code);

// `name` as one quoted identifier of the backend; nothing when it cannot be one (empty, or
// holding a control byte).
std::optional<std::string> QuotedName(std::string_view code, std::string_view name);
// `text` as one string literal of the backend; nothing when the backend cannot take it.
std::optional<std::string> QuotedText(std::string_view code, std::string_view text);

}  // namespace upkeep_sql
