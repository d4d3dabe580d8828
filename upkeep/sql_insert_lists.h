// The column and value lists of the INSERT of one record when a file is converted into a SQL
// table: each converted field adds its column name to FieldNames and its value, as a SQL
// literal, to FieldValues, both separated by ", ". A DATE and a TIME laid over one text column
// (a date-time pair of `DTQ`) are gathered and added as one value at the end of the record.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "upkeep/field_conversion.h"
#include "upkeep/record_copy.h"

namespace upkeep {

// One text column of a SQL table that holds a date and a time: the STRING field (STRINGNAME,
// column SQLSTRINGNAME) with a GROUP over it whose first fields are a DATE (DATENAME) and a
// TIME (TIMENAME), names upper case; the values of the record being copied.
struct DateTimePair {
  std::string STRINGNAME = {};
  std::string SQLSTRINGNAME = {};
  std::string DATENAME = {};
  std::string TIMENAME = {};
  std::string DATEVALUE = {};
  std::string TIMEVALUE = {};
};

// The process-wide date-time pairs of the table in hand: the SQL table manager adds one for each
// date-time column it finds in the declaration, the conversion into that table fills in each
// record's values.
std::vector<DateTimePair>& DTQ();

// Writes the lists into the process-wide FieldNames and FieldValues text buffers.
class SqlInsertLists {
 public:
  // The lists so far.
  std::string_view FieldNames() const;
  std::string_view FieldValues() const;

  // The date form of the server: 10 yyyy/mm/dd, 110 yyyy-mm-dd, any other yyyymmdd.
  std::uint8_t DateFormat = 0;
  // The ODBC backend kind; "FIREBIRD" and "POSTGRES" take no empty date literal, and the MySQL
  // kinds ("MYODBC 2", "MYODBC 3") read a backslash in a text literal as an escape.
  std::string backendKind;
  // The number of the record being copied, for the trace of a NUL byte sent as a space.
  std::int32_t recordNumber = 0;
  // Whether the server's date-time columns take a time alone: SQL Server puts it on its first
  // day. Elsewhere a time without a date is refused or lands on a wrong day.
  bool timeAloneTaken = false;
  // Whether binary values go as 0x and hexadecimal digits, the one binary form SQL Server
  // reads; elsewhere X'..' (a bytea text on PostgreSQL).
  bool hexNumbers = false;
  // The labels ("PRE:NAME") of the text fields given a binary SQL type (CheckIfbinary): their
  // values go as bytes, NULs included.
  std::set<std::string, std::less<>> binaryFields;

  // Empties both lists and forgets a refusal (before each record).
  void clear() {
    namesUsed_ = valuesUsed_ = 0;
    refusal_.clear();
  }

  // Why the record listed cannot be written; empty when it can.
  const std::string& refusal() const { return refusal_; }

  // Adds the destination element `value`, just written for the field `field`, to the lists,
  // as its type says: whole numbers and reals as numbers, texts quoted (apostrophes doubled,
  // backslashes too on MySQL, NUL bytes sent as spaces) or, given a binary type, as bytes,
  // binary memos as bytes, dates as FORMAT pictures of DateFormat,
  // times as hh:mm:ss. With the "zeronull" option on, a zero, a blank text, no date and no time add
  // nothing, so the column gets NULL or its default. A DATE or TIME laid over a date-time pair's
  // text column gives its value to the pair instead.
  void addField(const FieldEntry& field, const FieldElement& value);

  // Adds the date-time pairs gathered for the record (after its last field). A pair with a
  // time but no date refuses the record unless the server takes a time alone.
  void addDateTimePairs();

  // The column name of `field`: its external name without a READONLY or BINARY attribute, else
  // its label; without the prefix unless the field lies over another.
  static std::string columnName(const FieldEntry& field);

 private:
  void add(const std::string& column, std::string_view literal);

  std::int32_t namesUsed_ = 0;  // bytes of FieldNames used
  std::int32_t valuesUsed_ = 0;
  std::string refusal_;
};

}  // namespace upkeep
