// The statement form "NORESULTCALL proc(&name [OUT], &other, 5)": a stored-procedure call whose
// "&name" arguments are variables bound by name (runtime BIND), "[OUT]" ones written back.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace files {

// One "&name" argument: the bound variable's name and whether the call writes it back.
struct CallArgument {
  std::string name;
  bool output = false;
};

// The ODBC call text of a NORESULTCALL statement, "{call proc(?, ?, 5)}", with a "?" for each
// "&name" argument, those arguments in order in `arguments`; other arguments stay as written.
// Nothing for any other statement.
std::optional<std::string> procedureCall(std::string_view statement,
                                         std::vector<CallArgument>& arguments);

}  // namespace files
