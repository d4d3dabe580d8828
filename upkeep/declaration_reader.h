// The declaration reader: the flat field lists the record copy of an upgrade works on. DST
// describes the declaration being upgraded to, SRC the old structure (the FILE that MakeFile
// rebuilt from its stored image). Each entry is a field, a GROUP or a memo, kept in order of
// NAME; positions count from 1.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/file_declaration.h"

namespace upkeep {

// The type code of a memo or blob entry.
inline constexpr std::uint8_t kMemoEntryType = 200;

struct FieldEntry {
  std::uint8_t TYPE = 0;     // the runtime's type code (22 GROUP), kMemoEntryType for a memo
  std::uint8_t ATTRIB = 0;   // the descriptor's flag byte (08h only when really laid over)
  std::uint8_t CHARS = 0;    // DECIMAL, PDECIMAL: digits, 2 * size - 1
  std::uint8_t PLACES = 0;   // DECIMAL, PDECIMAL: digits after the point
  std::uint32_t LEN = 0;     // bytes of one element; 0 for a GROUP; a memo's size
  std::uint32_t OFFSET = 0;  // place in the record buffer from 1; a memo's label length
  std::uint32_t GRPLEN = 0;  // GROUP: its size
  std::uint32_t GRPNUM = 0;  // GROUP: the fields inside it, nested ones included
  std::uint32_t GRPDEF = 0;  // GROUP: its descriptor length word
  std::string NAME;          // the label with its prefix: "FUN:EXAMPLECODE"
  std::string EXTNAME;       // the external name (ExternalNameOf), empty when none
  std::uint8_t DIMS = 1;     // number of dimensions, 1 for a field that is not an array
  std::array<std::int32_t, 4> DIM{1, 1, 1, 1};  // DIM[0..3]: dimensions, 1 when unused
  files::Memo* PTR = nullptr;                   // a memo's buffer
  std::string PICTURE;                          // the display picture, empty when none
  std::uint8_t AUTONUMBER = 0;                  // not set by the reader
  std::uint8_t OVERED = 0;  // DST only: 1 for a field of a GROUP laid over another field
};

// A field's external name as the engine reads it: its blanks dropped, except those between
// double quotes, so that "id | READONLY" names the column "id" with the option READONLY.
std::string ExternalNameOf(std::string_view declared);

// A field list, sorted by NAME (byte order; entries of equal names keep their order).
using FieldQueue = std::vector<FieldEntry>;

// The process-wide lists; used inside ds_FileOpen's lock.
FieldQueue& DST();
FieldQueue& SRC();

// The entry named exactly `name` in `queue`; nullptr when there is none.
const FieldEntry* findField(const FieldQueue& queue, std::string_view name);

// Fills `queue` from the declaration of `file`: one entry per field, GROUP and memo, in NAME
// order. A field laid over another is left out; the fields of a GROUP laid over another are
// added with OVERED 1 to a destination list (`destination` true) and left out of a source list.
// A declaration whose first field has no prefix ("PRE:") gets a STOP "No prefix for this file: "
// + its label and is read on if the user goes on. Answers false, with the queue empty and the
// reason in the trace, when the FILE's descriptor does not read. With /QZDebug on the command
// line every field and the descriptor's bytes are traced.
bool LoadpQueue(files::FileDeclaration& file, FieldQueue& queue, bool destination);

// LoadpQueue into DST, as a destination list.
bool LoadDestQueue(files::FileDeclaration& file);
// LoadpQueue into SRC, as a source list.
bool LoadSourceQueue(files::FileDeclaration& file);

// A text of 255 spaces.
std::string BlankText();

}  // namespace upkeep
