// What only the PostgreSQL backend uses: quoted key column lists, the text of a bytea value,
// the guard against column type changes the server cannot make, and the creation of the
// system table with its schema.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace upkeep_sql {

// The blank-separated names of `list`, each quoted, one blank apart.
std::string PostgresColumnList(std::string_view list);

// Whether byte `byte` of a bytea value (`binary` non-zero) must be written as an octal escape:
// the control bytes, the quote, the backslash and 127 to 255. A text value needs none: the
// literal's quoting handles it.
bool NeedsOctalEscape(unsigned char byte, std::uint8_t binary);
// The three octal digits of `byte`, most significant first.
std::string OctalEscape(unsigned char byte);

// The first `length` bytes of `value` as the text of a PostgreSQL value: for a bytea
// (`binary` non-zero) every byte that needs it as a backslash and three octal digits, for a
// text unchanged. The text is what goes inside the literal: it is quoted once, by the quoting
// helper, and never escaped again. `length` becomes the text's length; no buffer for length 0.
std::unique_ptr<char[]> ds_PostGresParseBinaryString(std::int32_t& length, std::uint8_t binary,
                                                     const char* value);

// 1 (after telling the user in a message box) when changing column `fieldName` of `tableName`
// from `currentType` to `newType` is one PostgreSQL cannot make between the number, date and
// time, text and bytea families; else 0. The spare texts and the column name are not read.
std::int32_t ds_PostGresWarnForIllegalFieldChanges(std::string_view spare1, std::string_view spare2,
                                                   std::string_view newType,
                                                   std::string_view currentType,
                                                   std::string_view columnName,
                                                   std::string_view fieldName,
                                                   std::string_view tableName);

// Creates the system table that the current backend FILE names, and its schema first when it
// is not "public": 0 created, 1 the CREATE TABLE was refused.
std::int32_t CreatePOSTGRESUpkeepTable();

}  // namespace upkeep_sql
