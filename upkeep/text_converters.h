// Small text converters of the upgrade: packed-decimal nibbles, hexadecimal literals, byte
// dumps, element subscripts and the formatted-text test.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace upkeep {

// The first (digits + 1) / 2 bytes of a packed decimal as nibbles, high then low, each after a
// space: the bytes 12h 3Ch give " 1 2 3 C". At most 255 characters.
std::string Nibbles(std::int32_t digits, std::string_view bytes);

// "0x" followed by two upper-case hexadecimal digits per byte: 41h 42h 00h give "0x414200".
std::string HexLiteral(std::string_view bytes);

// The decimal value of each byte at the 1-based positions first (0 counts as 1) to last, each
// followed by ";"; positions past the end of `bytes` are left out. Empty when first > last. At
// most 30000 characters.
std::string ByteDump(std::string_view bytes, std::int32_t last, std::int32_t first);

// The element subscripts of a name written as "[a,b,c,d]" (one to four of them); each missing
// one is 1. Numbers count once their "," or "]" follows: a missing "]" ends the reading.
struct Subscripts {
  std::int32_t a = 1;
  std::int32_t b = 1;
  std::int32_t c = 1;
  std::int32_t d = 1;
};
Subscripts ParseSubscripts(std::string_view text);

// 1 when `value` holds a character other than the digits, space, "." and "-"; the picture is
// not read.
std::uint8_t IsFormatted(std::string_view value, std::string_view picture);

}  // namespace upkeep
