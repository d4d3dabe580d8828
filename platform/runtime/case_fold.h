// Case folding of UTF-8 text: the one place that decides which letters are "the same letter in
// another case". UPPER, LOWER, NOCASE keys, filters and every case-insensitive comparison go
// through these functions, so stored key order depends only on this table, never on a locale.
#pragma once

#include <string>
#include <string_view>

namespace runtime {

// `text` with every character replaced by its Unicode simple upper-case mapping (one character
// to one character; "ß" stays "ß", "ı" becomes "I"). Bytes that are not valid UTF-8 are kept
// as they are. The result may differ in byte length from `text`.
std::string foldCase(std::string_view text);

// `text` with every character replaced by its Unicode simple lower-case mapping ("İ" becomes
// "i"). Bytes that are not valid UTF-8 are kept as they are.
std::string lowerCase(std::string_view text);

}  // namespace runtime
