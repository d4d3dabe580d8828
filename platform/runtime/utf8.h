// UTF-8 helpers shared by every text operation of the runtime. Text is UTF-8 throughout;
// capacities are in bytes, and a cut to a capacity never splits a character.
#pragma once

#include <cstddef>
#include <string_view>

namespace runtime {

// The longest prefix of `text` of at most `maxBytes` bytes that ends on a character boundary.
// A byte sequence that is not valid UTF-8 is cut as if each such byte were one character.
std::string_view utf8Prefix(std::string_view text, std::size_t maxBytes);

}  // namespace runtime
