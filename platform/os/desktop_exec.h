// Turning a desktop entry's Exec line into the argument vector that opens one address.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace os {

// The argument vector of `exec` for opening `address`. Arguments are separated by blanks;
// double quotes group an argument, and inside them a backslash makes the next double quote,
// backquote, dollar sign or backslash literal. Field codes: %u %U %f %F become `address`, always as
// (part of) one argument; %% is
// "%"; every other field code is dropped, and an argument left empty by dropping codes goes
// too. When the line names no %u %U %f %F, `address` is added as the last argument. The address
// is never read for quotes or codes. Nothing when the line has an unclosed quote, no program, or
// a program name made with a field code (the address is never itself the program).
std::optional<std::vector<std::string>> execArguments(std::string_view exec,
                                                      std::string_view address);

}  // namespace os
