// The record copy of an upgrade: one record of the old file becomes one record of the new file,
// field by field. Each field of the new declaration (DST) takes its value from the field of the
// old structure (SRC) of the same name, of an alternate name registered for it, or of a
// shortened name; element by element for arrays; a field without a source, or an array element
// beyond the old array, receives the value of a new field (ClearingField).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "upkeep/registration_tables.h"

namespace upkeep {

class SqlInsertLists;

// What the copy reads of one entry of a field list (DST or SRC).
struct FieldEntry {
  std::uint8_t TYPE = 0;     // runtime::FieldType code; 22 GROUP; MemoFieldType for a memo
  std::uint8_t CHARS = 0;    // DECIMAL, PDECIMAL: digits
  std::uint8_t PLACES = 0;   // DECIMAL, PDECIMAL: digits after the point
  std::uint32_t LEN = 0;     // bytes of one element
  std::uint32_t OFFSET = 1;  // place in the record buffer, counted from 1
  std::string NAME;          // the label with its prefix
  std::string EXTNAME;
  std::array<std::int32_t, 4> DIM{1, 1, 1, 1};  // array dimensions, 1 when not used
  files::Memo* PTR = nullptr;                   // a memo entry's memo
  std::string PICTURE;
  std::uint8_t OVERED = 0;  // 1: the field lies over another field of the record
};

// What one copy works on.
struct RecordCopy {
  std::span<const FieldEntry> DST;  // the new declaration's fields and memos
  std::span<const FieldEntry> SRC;  // the old structure's fields and memos
  // The alternate names of the file being converted (`AFN`). An old name may carry its own
  // prefix, and may end in element subscripts ("PRO:OLDARRAY[3]").
  std::span<const AlternateFieldName> AFN;
  std::string_view filePrefix;  // the record prefix of the file being upgraded
  // The prefix of the structure last interpreted on this thread, blank when none was.
  std::string_view InterpretedPrefix;
  bool SourceFromDatHeader = false;  // the old structure came from an old data-file header
  // In a conversion into a SQL table (SQLConversion), the lists the record's INSERT is built
  // from; nullptr otherwise.
  SqlInsertLists* sql = nullptr;
};

// Copies the record in the record buffer (and memos) of `source` into the record buffer (and
// memos) of `destination`, as `copy` describes them. Every destination field that is not laid
// over another is written whole, except a field registered as unreal that has no source. In a
// SQL conversion the fields also go into the lists of the record's INSERT, and a field laid over
// another is copied too when it is registered as real.
void CopyRec(const RecordCopy& copy, files::FileDeclaration& source,
             files::FileDeclaration& destination);

}  // namespace upkeep
