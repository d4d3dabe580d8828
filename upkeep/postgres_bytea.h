// The text of a PostgreSQL bytea value inside its string literal: the SQL backends and the
// record copy of a conversion into a PostgreSQL table write binary values through it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace upkeep {

// Whether byte `byte` of a bytea value (`binary` non-zero) must be written as an octal escape:
// the control bytes, the quote, the backslash and 127 to 255. A text value needs none: the
// literal's quoting handles it.
bool NeedsOctalEscape(unsigned char byte, std::uint8_t binary);
// The three octal digits of `byte`, most significant first.
std::string OctalEscape(unsigned char byte);

// The first `length` bytes of `value` as the text of a PostgreSQL value: for a bytea
// (`binary` non-zero) every byte that needs it as a backslash and three octal digits, for a
// text unchanged. The text is what goes inside the literal: it is quoted once, by the quoting
// helper, and never escaped again. `length` becomes the text's length; no buffer for length 0.
std::unique_ptr<char[]> ds_PostGresParseBinaryString(std::int32_t& length, std::uint8_t binary,
                                                     const char* value);

}  // namespace upkeep
