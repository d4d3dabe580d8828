// How a FILE's record maps onto the columns of its SQL table: one column per field that holds
// data of its own (GROUPs give their members, fields laid over others give none) and one per
// memo; each column's type for CREATE, and its value as a parameter and back from an answer.
//
// Values: numbers as numbers; DECIMAL and PDECIMAL exactly; DATE and TIME as the server's date
// and time, no date or time as NULL; texts without their padding, a NUL byte in them sent as a
// space (traced); arrays and the BFLOAT types as their raw bytes; memos as text or, for the
// binary kinds, as bytes.
#pragma once

#include <string>
#include <vector>

#include "platform/files/file_declaration.h"
#include "platform/files/sql_connection.h"

namespace files {

struct SqlColumn {
  std::string name;  // unquoted, in the case the dialect keeps names in
  int field = 0;     // 1-based field number, or 0 for a memo
  int memo = 0;      // 1-based memo number, or 0 for a field
};

// The columns of `file`'s table in record order, memos last. A field's column is its external
// name (what comes before any "|" option), else its label without the prefix.
std::vector<SqlColumn> sqlColumns(const FileDeclaration& file, SqlBackend backend);

// A name in the case `backend` keeps unquoted names in: lower case for PostgreSQL, upper case
// for Oracle and Firebird, as given for the others.
std::string namedInCase(SqlBackend backend, std::string_view name);

// Firebird keeps at most this many digits in a DECIMAL.
inline constexpr int kFirebirdDecimalDigits = 18;
// The bytes a Firebird CHAR column holds at most; a VARCHAR holds two fewer.
inline constexpr int kFirebirdTextBytes = 32767;
// The bytes per character of a UTF-8 column on Firebird, the widest character set it has.
inline constexpr int kFirebirdUtf8Bytes = 4;

// The Firebird type of a DECIMAL of `digits` digits and `places` places: a DECIMAL while
// Firebird holds that many digits, else a text of the number (sign, digits and point), which
// keeps it exactly.
std::string firebirdDecimalType(int digits, int places);

// The Firebird type of a text of `characters` characters, `fixed` for a CHAR, in a character set
// of `bytesPerCharacter` bytes: a CHAR or VARCHAR while one holds it, else a text BLOB.
std::string firebirdTextType(bool fixed, std::size_t characters, int bytesPerCharacter);

// The type of a column that keeps a field's raw bytes (an array, a BFLOAT) of `size` bytes.
std::string rawBytesType(SqlBackend backend, std::size_t size);

// The column's type word for CREATE TABLE.
std::string sqlColumnType(const FileDeclaration& file, const SqlColumn& column, SqlBackend backend);

// The column's value in the record buffer (or memo) as a parameter.
SqlParam columnParam(const FileDeclaration& file, const SqlColumn& column);

// Stores an answer cell into the column's field (or memo); a NULL blanks it. False when the
// value does not fit the field (a number out of range, a text that is no number, date or
// time): the field is then blanked.
bool storeColumnValue(FileDeclaration& file, const SqlColumn& column, const SqlCell& cell);

// Stores the text of answer column `number` into field `number` of the record, as NEXT does
// after a statement: each value cut to the field's capacity. Fields past the answer's columns
// keep their content.
void storeAnswerRow(FileDeclaration& file, const SqlRow& row);

}  // namespace files
