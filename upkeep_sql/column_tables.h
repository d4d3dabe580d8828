// The process-wide tables that decide a column's type, default and tablespace: forced types
// (FSDQ), autonumber columns (IQ), SetIfNew values (ITQ), the BlankZero entries per file and per
// field (BFILQ, BFQ) and the tablespaces of tables and indexes (TSQ, ISQ); with the two flags
// GetSQLDatatype leaves for its caller. Only ds_ForceSQLDataType and GetSQLDatatype fill any of
// them in this program; the others are read as they stand. The date-time columns GetSQLDatatype
// finds go into the engine's DTQ (upkeep/sql_insert_lists.h), where a conversion into the new
// table gathers each record's date and time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace upkeep_sql {

// A forced column type; FIELD is the field's cased label (prefix ":" name).
struct FsdqEntry {
  std::string FIELD = {};
  std::string TYPE = {};  // lower case
  std::uint8_t ISBINARY = 0;
};

// An autonumber column.
struct IqEntry {
  std::string TABLENAME = {};
  std::string FIELDNAME = {};  // the cased label, the key
  std::string SEEDINC = {};    // "1,1"
};

// A value a new column gets (SetIfNew); NAME is the upper-case label.
struct ItqEntry {
  std::string NAME = {};
  std::string VALUE = {};
  std::int32_t AUTONUM = 0;
};

// BlankZero per file (FILENAME lower case) and per field (FIELDNAME lower-case label).
struct BfilqEntry {
  std::string FILENAME = {};
  std::uint8_t VALUE = 0;
};
struct BfqEntry {
  std::string FILENAME = {};
  std::string FIELDNAME = {};
  std::uint8_t VALUE = 0;
};

// The tablespace of a table (TSQ, NAME upper case) or an index (ISQ). The entries named
// "DCTTBLSPC_" and "DCTIDXSPC_" are the defaults.
struct TablespaceEntry {
  std::string NAME = {};
  std::string SPACE = {};
  std::string DIR = {};
  std::string SIZE = {};  // "100M"
};

struct ColumnTables {
  std::vector<FsdqEntry> FSDQ;
  std::vector<IqEntry> IQ;
  std::vector<ItqEntry> ITQ;
  std::vector<BfilqEntry> BFILQ;
  std::vector<BfqEntry> BFQ;
  std::vector<TablespaceEntry> TSQ;
  std::vector<TablespaceEntry> ISQ;
  std::uint8_t GroupDetected = 0;          // the last type asked for was a GROUP
  std::uint8_t DateTimeGroupDetected = 0;  // the last type asked for became a date-time column
};

// The process's tables.
ColumnTables& columnTables();

}  // namespace upkeep_sql
