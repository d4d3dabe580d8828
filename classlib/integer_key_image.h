// Fields read back from their key image: a key of whole numbers (BYTE, SHORT, USHORT, LONG,
// ULONG, no arrays) has for its image their bytes big-endian, a signed one's sign bit flipped,
// one after the other, from which the numbers come back as the record holds them. A sorted
// browse so keeps of a record's unique key its image alone.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "platform/runtime/record_layout.h"

namespace classlib {

// True when every one of `fields` is such a number.
bool readableFromImage(std::span<const runtime::FieldDef* const> fields);

// The bytes of `fields` as a record holds them, one after the other, from `image`, the image
// of the fields in ascending order (as many bytes as the fields take).
std::string fieldsFromImage(std::span<const runtime::FieldDef* const> fields,
                            std::string_view image);

}  // namespace classlib
