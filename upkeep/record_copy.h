// The record copy of an upgrade: one record of the old file becomes one record of the new file,
// field by field. Each field of the new declaration (DST) takes its value from the field of the
// old structure (SRC) of the same name, of an alternate name registered for it, or of a
// shortened name; element by element for arrays; a field without a source, or an array element
// beyond the old array, receives the value of a new field (ClearingField).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "upkeep/declaration_reader.h"
#include "upkeep/registration_tables.h"

namespace upkeep {

class SqlInsertLists;

// What one copy works on.
struct RecordCopy {
  const FieldQueue* DST = &upkeep::DST();  // the new declaration's fields and memos
  const FieldQueue* SRC = &upkeep::SRC();  // the old structure's fields and memos
  // The alternate names (`AFN`): by default every name registered with ds_AlternateFieldName;
  // only those whose new label is a field of DST count. An old name may carry its own
  // prefix, and may end in element subscripts ("PRO:OLDARRAY[3]").
  std::span<const AlternateFieldName> AFN = registration().AFNS;
  std::string_view filePrefix;  // the record prefix of the file being upgraded
  // The prefix of the structure last interpreted on this thread, blank when none was.
  std::string_view InterpretedPrefix;
  bool SourceFromDatHeader = false;  // the old structure came from an old data-file header
  // In a conversion into a SQL table (SQLConversion), the lists the record's INSERT is built
  // from; nullptr otherwise.
  SqlInsertLists* sql = nullptr;
};

// The copy of the records of one upgrade: the source of every destination field is found once,
// when it is made, since DST, SRC and AFN stay the same for the whole upgrade.
class RecordCopier {
 public:
  // `copy` and the lists it names must outlive the copier.
  explicit RecordCopier(const RecordCopy& copy);

  // CopyRec of one record.
  void copy(files::FileDeclaration& source, files::FileDeclaration& destination) const;

 private:
  // One destination field and where its value comes from.
  struct Step {
    const FieldEntry* destination = nullptr;
    const FieldEntry* source = nullptr;                  // nullptr: the field is new
    std::optional<std::array<std::int32_t, 4>> element;  // one element of an old array feeds it
  };

  const RecordCopy& copy_;
  std::vector<Step> steps_;
};

// Copies the record in the record buffer (and memos) of `source` into the record buffer (and
// memos) of `destination`, as `copy` describes them. Every destination field that is not laid
// over another is written whole, except a field registered as unreal that has no source. In a
// SQL conversion the fields also go into the lists of the record's INSERT, and a field laid over
// another is copied too when it is registered as real.
void CopyRec(const RecordCopy& copy, files::FileDeclaration& source,
             files::FileDeclaration& destination);

}  // namespace upkeep
