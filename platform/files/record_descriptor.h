// The record type descriptor: the persistent binary description of a record layout. It is
// stored in structure images and compared byte for byte across runs, so the writer is
// deterministic and the layout below is fixed.
//
// All numbers are little-endian.
//   header (14 bytes): signature 16h 00h, record size (u32), field count (u32), the
//                      descriptor's whole length in bytes, header included (u32)
//   one entry per field, in declaration order (a GROUP's members follow it):
//     type code (byte), flag byte,
//     type bytes:  DECIMAL, PDECIMAL: size byte, places byte
//                  STRING, CSTRING, PSTRING: the size as a number (below)
//                  GROUP: size (u32), member count, nested members included (u32), the bytes
//                         from the group's entry to the end of its last member's entry (u32)
//                  other types: none
//     the picture and a NUL            when flag 04h is set
//     the label and a NUL
//     the external name and a NUL      when flag 01h is set
//     the over-reference               when flag 08h is set: the number of the field it lies
//                                      over, as a number whose first byte has bit 80h added
//     the dimensions                   when flag 10h is set: a count byte, then each
//                                      dimension as a number
//   numbers: below 20h one byte; below 2000h two bytes, 20h + the high part, then the low
//            byte; up to 3FFFFFh three bytes, 40h + the top part, then two bytes high first.
//            A string size is at most FFFFh, so its three-byte form always starts with 40h.
// Flag bits other than 01h, 04h, 08h and 10h are kept by the reader but never written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/runtime/record_layout.h"

namespace files {

inline constexpr std::size_t kDescriptorHeaderSize = 14;

// Flag bits of a field entry.
enum DescriptorFlag : std::uint8_t {
  FieldHasExternalName = 0x01,
  FieldHasPicture = 0x04,
  FieldIsOver = 0x08,
  FieldHasDimensions = 0x10,
};

// The flag byte the writer gives the entry of `field`.
std::uint8_t descriptorFlags(const runtime::FieldDef& field);

// The descriptor of `layout`; nothing, with the reason in `error`, when the layout cannot be
// described: a field that is not where the fields before it end (or, laid over another, not
// where that one is), a text holding a NUL, a string above FFFFh bytes, a DECIMAL above 16
// bytes, or gaps in an array's dimensions.
std::optional<std::vector<std::uint8_t>> writeDescriptor(const runtime::RecordLayout& layout,
                                                         std::string* error = nullptr);

// A descriptor read back: the fields with their places, and each field's flag byte as stored
// (bit 08h cleared when the over-reference says the field is not really laid over another).
struct DescriptorContents {
  runtime::RecordLayout layout;
  std::vector<std::uint8_t> flags;
  std::vector<std::uint32_t> groupLengths;  // each GROUP's length word as stored, 0 for others
  std::uint32_t length = 0;                 // the bytes the descriptor takes
};

// Reads the descriptor at the start of `bytes` (bytes after its length are not looked at).
// A field's place follows from the fields before it: the end of the previous field, the start
// of its GROUP for a group's first member, or the place of the field it lies over; a GROUP
// takes the place of its first member. Decimal digits read back as 2 * size - 1. Nothing, with
// the reason in `error`, for bytes that are not a sound descriptor: a wrong signature, a length
// beyond the bytes, an entry that runs past the length, an unknown type code, a field beyond
// the record, a group whose members or length do not match, an over-reference to a later field.
std::optional<DescriptorContents> readDescriptor(std::span<const std::uint8_t> bytes,
                                                 std::string* error = nullptr);

// Reads a descriptor of the older layout: its header holds 16-bit words (8 bytes), so do the
// three words of a GROUP entry, and each dimension is one byte; the entries are otherwise as
// above. A GROUP's length word is not checked (the widening to the current layout computes it
// afresh). `length` in the result is the older descriptor's own length.
std::optional<DescriptorContents> readOlderDescriptor(std::span<const std::uint8_t> bytes,
                                                      std::string* error = nullptr);

}  // namespace files
