#include "platform/files/sql_procedure_call.h"

#include "platform/runtime/case_fold.h"

namespace files {
namespace {

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

}  // namespace

std::optional<std::string> procedureCall(std::string_view statement,
                                         std::vector<CallArgument>& arguments) {
  constexpr std::string_view keyword = "NORESULTCALL";
  statement = trimmed(statement);
  if (runtime::foldCase(statement.substr(0, keyword.size())) != keyword) return std::nullopt;
  const std::string_view rest = statement.substr(keyword.size());
  const std::size_t open = rest.find('(');
  const std::size_t close = rest.rfind(')');
  std::string call = "{call " + std::string(trimmed(rest.substr(0, open)));
  if (open != std::string_view::npos && close != std::string_view::npos && close > open) {
    call += "(";
    std::string_view list = rest.substr(open + 1, close - open - 1);
    bool first = true;
    while (!list.empty()) {
      const std::size_t comma = list.find(',');
      const std::string_view argument = trimmed(list.substr(0, comma));
      list = comma == std::string_view::npos ? std::string_view{} : list.substr(comma + 1);
      call += first ? "" : ", ";
      first = false;
      if (!argument.starts_with('&')) {
        call += std::string(argument);
        continue;
      }
      const std::size_t mark = argument.find('[');
      const std::string_view name =
          trimmed(argument.substr(1, mark == std::string_view::npos ? mark : mark - 1));
      const bool output = mark != std::string_view::npos &&
                          runtime::foldCase(argument.substr(mark)).find("OUT") != std::string::npos;
      arguments.push_back({std::string(name), output});
      call += "?";
    }
    call += ")";
  }
  return call + "}";
}

}  // namespace files
