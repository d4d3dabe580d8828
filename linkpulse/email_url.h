// Percent-encoding of an e-mail address (a mailto: line with its header fields) before it is
// handed to the e-mail program.
#pragma once

#include <string>
#include <string_view>

namespace linkpulse {

// `url` with the characters that would break the line percent-encoded ("%" and two upper-case
// hexadecimal digits): from behind "&body=" (found without regard to letter case), or from the
// start when there is none, every byte at or below 0x20, ";", "<" and ">"; a "%" not followed
// by two hexadecimal digits; a "?" or "&" not followed by "body", "subject", "cc" or "bcc"
// (letter case ignored). Bytes above 0x7F stay. Trailing spaces are dropped first; a result
// that begins and ends with a double quote loses both.
std::string MakeEmailURLSafe(std::string_view url);

}  // namespace linkpulse
