// The structure queues of the SQL backends: the declared side of a table (FDQ fields, KDQ keys,
// MDQ memos and blobs; one set per thread, filled by ds_InterpretStructure) and the live side
// as the server's catalogue reports it (SFDQ columns, SKDQ keys; process-wide, filled by the
// structure loaders). Each queue keeps its entries and a current entry, the one the rules of
// the dialect read.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace upkeep_sql {

template <class Entry>
struct StructureQueue {
  std::vector<Entry> entries;
  Entry current{};

  void clear() {
    entries.clear();
    current = {};
  }
};

// One field of the declaration. Texts are kept clipped.
struct FdqEntry {
  std::string NAME = {};     // label without prefix: "Name" (all lower in case mode -1)
  std::string TYPE = {};     // type word: "long", "cstring(100)", "decimal(7,2)" ...
  std::string DCTTYPE = {};  // DECIMAL, PDECIMAL: "decimal(" digits "," places (no ")")
  std::string ATTRIB = {};   // " other", " picture", " over", " dim(..)", " name(..)"
  std::int32_t OFFSET = 0;
  std::string OTHER = {};  // strings: "(" length ")" or "(" picture ")"
  std::int32_t LENGTH = 0;
  std::int32_t TYPENUM = 0;
  std::uint8_t PLACES = 0;
  std::uint8_t CHARS = 0;
  std::int32_t CNUM = 0;
  std::string CPICT = {};
  std::int32_t CWID = 0;
  std::int32_t ONUM = 0;
  std::string OPICT = {};
  std::int32_t OWID = 0;
  std::array<std::int32_t, 4> DIMS{};
  std::array<std::uint8_t, 4> ARRAY{};
  std::array<std::int32_t, 4> FACTOR{};
  std::string PICTURE = {};
  std::string ALTNAME = {};
  std::uint8_t OVER = 0;
  std::string SQLNAME = {};
  std::uint8_t DCTMASTER = 0;
  std::uint8_t PKFIELD = 0;
  std::uint8_t MATCH = 0;
};

inline constexpr std::size_t kMaxKeyFieldNumbers = 20;

// One key of the declaration.
struct KdqEntry {
  std::string KEYNAME = {};
  std::string ATT = {};
  std::string FIELDS = {};  // the component names, each after a blank
  std::int32_t NUMFIELDS = 0;
  std::string KEYFILENAME = {};
  std::array<std::int16_t, kMaxKeyFieldNumbers> FIELDNUMS{};  // negative: descending
  std::string TYPE = {};
  std::int32_t PTR = 0;  // the key's number in the declaration (1-based)
  std::string SQLKEYNAME = {};
  std::uint8_t DCTMASTER = 0;
  std::uint8_t MATCH = 0;
};

// One memo or blob of the declaration.
struct MdqEntry {
  std::string MEMONAME = {};
  std::int32_t LENGTH = 0;
  std::string ATTRIB = {};  // "Ascii" or "Binary"
  std::int32_t PTR = 0;
  std::string MEMOFILENAME = {};
  std::string TYPE = {};  // "text" or "binary"
  std::uint8_t MATCH = 0;
  std::string SQLNAME = {};
};

// One column of the live table.
struct SfdqEntry {
  std::string NAME = {};     // upper case (Firebird, PostgreSQL: as the server gives it)
  std::string TYPE = {};     // the loader's type word: "varchar(20)", "int(11)", "numeric(10,2)"
  std::string ALTNAME = {};  // as the server gives it
  std::uint8_t ALLOWNULLS = 0;
  std::uint8_t MATCH = 0;
  std::uint8_t AUTONUM = 0;    // the server fills the column itself
  std::uint8_t DEPENDANT = 0;  // a component of some SKDQ key
};

// One key of the live table.
struct SkdqEntry {
  std::string KEYNAME = {};
  std::string ATT = {};          // "primary", "dup", blank (unique) or "DF" (SQL Server default)
  std::string KEYFILENAME = {};  // the name as the server gives it
  std::string FIELDS = {};       // the component names, blank-separated
  std::int32_t NUMFIELDS = 0;
  std::array<std::int16_t, kMaxKeyFieldNumbers> FIELDNUMS{};  // negative: descending
  std::uint8_t MATCH = 0;
  std::uint8_t INDEX = 0;  // 1 an index, 0 a constraint
  std::string FIELDSTYPE = {};
  std::string TYPE = {};
  std::int32_t PTR = 0;
  std::string TABLESPACE = {};
};

inline constexpr std::size_t kTableInfoColumns = 15;

// One row of a catalogue answer held while further statements run (`TIQ`, "TableInfoQ").
struct TiqEntry {
  std::array<std::string, kTableInfoColumns> FIELD{};  // FIELD[0] is FIELD1
};

struct DeclaredStructure {
  StructureQueue<FdqEntry> FDQ;
  StructureQueue<KdqEntry> KDQ;
  StructureQueue<MdqEntry> MDQ;
  std::string InterpretedPrefix = {};  // the file prefix ds_InterpretStructure found
};

struct LiveStructure {
  StructureQueue<SfdqEntry> SFDQ;
  StructureQueue<SkdqEntry> SKDQ;
  std::vector<TiqEntry> TIQ;
};

// The calling thread's declared structure.
DeclaredStructure& declaredStructure();
// The process's live structure.
LiveStructure& liveStructure();

}  // namespace upkeep_sql
