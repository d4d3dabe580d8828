#include "platform/files/sql_owner.h"

#include <vector>

namespace files {
namespace {

// A value as one entry of a connection text: in braces when it holds a ";" or a brace.
std::string entryText(std::string_view value) {
  if (value.find_first_of(";{}") == std::string_view::npos) return std::string(value);
  std::string braced = "{";
  for (const char c : value) {
    if (c == '}') braced += '}';
    braced += c;
  }
  return braced + "}";
}

// `owner` cut at its first `count` - 1 commas; the last part keeps any further commas.
std::vector<std::string_view> parts(std::string_view owner, std::size_t count) {
  std::vector<std::string_view> list;
  while (list.size() + 1 < count) {
    const std::size_t comma = owner.find(',');
    if (comma == std::string_view::npos) break;
    list.push_back(owner.substr(0, comma));
    owner.remove_prefix(comma + 1);
  }
  list.push_back(owner);
  list.resize(count);
  return list;
}

std::string text(std::string_view dsn, std::string_view database, std::string_view user,
                 std::string_view password) {
  std::string result = "DSN=" + entryText(dsn);
  if (!database.empty()) result += ";DATABASE=" + entryText(database);
  if (!user.empty()) result += ";UID=" + entryText(user);
  if (!password.empty()) result += ";PWD=" + entryText(password);
  return result;
}

}  // namespace

std::string odbcConnectionText(Driver driver, std::string_view owner) {
  if (owner.find('=') != std::string_view::npos) return std::string(owner);
  if (driver == Driver::Mssql) {
    const std::vector<std::string_view> p = parts(owner, 4);
    return text(p[0], p[1], p[2], p[3]);
  }
  const std::size_t slash = owner.find('/');
  if (driver == Driver::Oracle && owner.find(',') == std::string_view::npos &&
      slash != std::string_view::npos) {
    const std::size_t at = owner.find('@', slash);
    const std::string_view password =
        owner.substr(slash + 1, at == std::string_view::npos ? at : at - slash - 1);
    const std::string_view dsn = at == std::string_view::npos ? "" : owner.substr(at + 1);
    return text(dsn, "", owner.substr(0, slash), password);
  }
  const std::vector<std::string_view> p = parts(owner, 3);
  return text(p[0], "", p[1], p[2]);
}

}  // namespace files
