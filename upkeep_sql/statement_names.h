// Names and values as the statement builders write them, always through the backend's quoting
// helper (sql_quote.h). A name the statement quotes is quoted by the helper. A name the statement
// writes bare is quoted too on SQL Server, SQL Anywhere and MySQL, where quoting leaves its
// meaning alone and saves a name that is a reserved word ("Desc", "Key", "LongText"); on the
// servers that fold a bare name's case it stays bare while it is a plain identifier (a letter or
// "_", then letters, digits, "_", "$" or "#") and is quoted otherwise. So no name from a
// declaration can change a statement's shape.
#pragma once

#include <string>
#include <string_view>

namespace upkeep_sql {

// `name` quoted for the backend of driver code `code`. A name the helper cannot quote (empty,
// or holding a control byte) becomes an empty quoted name, which every server refuses.
std::string quotedName(std::string_view code, std::string_view name);

// `name` where the statement writes it bare: as described above.
std::string bareName(std::string_view code, std::string_view name);

// Whether `name` is a plain identifier.
bool isPlainIdentifier(std::string_view name);

// `text` as a string literal of the backend. A text the helper cannot take becomes the empty
// literal.
std::string quotedLiteral(std::string_view code, std::string_view text);

}  // namespace upkeep_sql
