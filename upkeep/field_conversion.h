// Field value conversion of an upgrade: what one element of a field of the new record receives
// from one element of a field of the old record (ConvertingField), and what it receives when
// the old record has no such field or element (ClearingField).
//
// Values keep their meaning across types: numbers convert by value, an integer destination
// keeps the low-order bytes of a value too wide for it, a packed decimal keeps its low-order
// digits and drops surplus decimals, texts are cut to the destination without splitting a
// UTF-8 character, dates and times convert through their standard numbers, and a memo or blob
// is copied byte for byte. A destination is written whole: no byte of the old buffer survives.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/runtime/decimal.h"
#include "upkeep/declaration_reader.h"

namespace upkeep {

// One element of a field: its type (a runtime::FieldType code or kMemoEntryType), its size and
// picture, and where its value lives: `bytes` (len bytes of the record buffer) for a field,
// `memo` for a memo or blob.
struct FieldElement {
  std::uint8_t type = 0;
  std::uint32_t len = 0;
  std::uint8_t chars = 0;   // DECIMAL, PDECIMAL: digits (2 · len − 1)
  std::uint8_t places = 0;  // DECIMAL, PDECIMAL: digits after the point
  std::string_view picture{};
  unsigned char* bytes = nullptr;
  files::Memo* memo = nullptr;
};

// The text of a text element: a STRING without its padding, a CSTRING up to its NUL, a PSTRING
// as long as its length byte says, a memo or blob as it stands.
std::string_view FieldText(const FieldElement& field);

// The value of a DECIMAL or PDECIMAL element; zero when its digits do not fill its size.
runtime::Decimal PackedValue(const FieldElement& field);

// Writes the value of `source` into `destination`, converted to the destination's type, size
// and picture. Texts with equal pictures, and texts into or out of a memo, are copied as they
// stand; with different pictures a text written with the source's picture is read back through
// it and written with the destination's.
void ConvertingField(const FieldElement& source, const FieldElement& destination);

// Writes the value the text `value` stands for into `destination`, as a text source of the
// destination's own picture would be converted (the initial value of a new field).
void ConvertText(std::string_view value, const FieldElement& destination);

// Blanks `destination`: spaces for a STRING, an empty memo or blob, zero bytes for every other
// type (an empty CSTRING or PSTRING, 0, no date, no time).
void BlankField(const FieldElement& destination);

}  // namespace upkeep
