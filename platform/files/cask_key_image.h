// Key images: the bytes stored for a record in a key's column, whose memcmp order is the order
// in which the runtime compares the key's fields (compareFieldValues of record_layout.h), so
// that SQLite's B-trees keep records in the runtime's key order.
//
// A key's image is the images of its components one after the other. Each component's image
// is prefix-free, so a component never runs into the next one:
//   BYTE, USHORT, ULONG     the number, big-endian
//   SHORT, LONG             the number with its sign bit flipped, big-endian
//   SREAL, REAL             the IEEE bits, big-endian, with the sign bit flipped for a
//                           positive number and every bit flipped for a negative one; -0 is
//                           stored as 0 and every NaN as one NaN above all numbers
//   BFLOAT4, BFLOAT8        a sign byte (01h negative, 02h zero or positive), then exponent
//                           and mantissa high first, every bit flipped for a negative number
//   DATE, TIME              the standard date or time (0 for none or bytes that are none),
//                           big-endian
//   DECIMAL, PDECIMAL       runtime::decimalKeyImage of the value
//   STRING, CSTRING,        the text (a CSTRING up to its NUL, a PSTRING by its length byte,
//   PSTRING, GROUP          a GROUP as text of its bytes) without trailing spaces, NOCASE
//                           folded with runtime::foldCase, with 00h written 01h 01h and 01h
//                           written 01h 02h, then the terminator 00h. So "ab" and "ab  "
//                           are equal and "ab" sorts before "ab" followed by any byte, as
//                           runtime::compareText orders them.
//   arrays                  the images of the elements in order
// A descending component has every bit of its image flipped.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/files/cask_table.h"
#include "platform/runtime/record_layout.h"

namespace files {

// One component of a key: a field of the record, in descending order or not.
struct KeyComponent {
  const runtime::FieldDef* field = nullptr;
  bool descending = false;
};

// Appends the image of `component`'s field in `record` to `out`; texts are folded when
// `noCase` is set.
void appendKeyComponent(std::string& out, const KeyComponent& component,
                        const unsigned char* record, bool noCase);

// True when the field of `component` in `record` is blank or zero: a text of spaces (or NUL
// bytes) only, a number 0, no date, no time.
bool isBlankComponent(const KeyComponent& component, const unsigned char* record);

// The key image of `record` for a key of `components`: null when `opt` is set and every
// component is blank or zero.
void buildKeyImage(std::span<const KeyComponent> components, bool noCase, bool opt,
                   const unsigned char* record, KeyImage& image);

}  // namespace files
