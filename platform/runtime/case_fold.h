// Case folding of UTF-8 text: the one place that decides which letters are "the same letter in
// another case". UPPER, LOWER, NOCASE keys, filters and every case-insensitive comparison go
// through these functions, so stored key order depends only on this table, never on a locale.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace runtime {

// `text` with every character replaced by its Unicode simple upper-case mapping (one character
// to one character; "ß" stays "ß", "ı" becomes "I"). Bytes that are not valid UTF-8 are kept
// as they are. The result may differ in byte length from `text`.
std::string foldCase(std::string_view text);

// `text` with every character replaced by its Unicode simple lower-case mapping ("İ" becomes
// "i"). Bytes that are not valid UTF-8 are kept as they are.
std::string lowerCase(std::string_view text);

// The simple upper-case mapping of one code point, as foldCase maps it.
std::uint32_t upperCodePoint(std::uint32_t code);

// Every code point whose simple upper-case mapping is another code point from `first` to
// `last`, in ascending order.
std::vector<std::uint32_t> codePointsUpperingInto(std::uint32_t first, std::uint32_t last);

// Decodes the well-formed UTF-8 character at the start of `text` (no overlong forms, no
// surrogates, nothing above U+10FFFF) into `code`. Its length in bytes, 0 when the bytes there
// are not a well-formed character (foldCase then keeps the first byte as it is).
std::size_t decodeCharacter(std::string_view text, std::uint32_t& code);

// Writes the UTF-8 encoding of `code` (at most U+10FFFF) to `out`, which has room for 4 bytes;
// answers its length.
std::size_t encodeCharacter(std::uint32_t code, char* out);

}  // namespace runtime
