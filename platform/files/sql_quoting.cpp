#include "platform/files/sql_quoting.h"

namespace files {
namespace {

bool isControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

}  // namespace

std::optional<std::string> quoteIdentifier(SqlBackend backend, std::string_view name) {
  if (name.empty()) return std::nullopt;
  char open = '"';
  char close = '"';
  if (backend == SqlBackend::SqlServer) {
    open = '[';
    close = ']';
  } else if (backend == SqlBackend::MySql) {
    open = close = '`';
  }
  std::string quoted(1, open);
  for (const char c : name) {
    if (isControl(static_cast<unsigned char>(c))) return std::nullopt;
    if (c == close) quoted += close;
    quoted += c;
  }
  quoted += close;
  return quoted;
}

std::optional<std::string> quoteQualifiedName(SqlBackend backend, std::string_view name) {
  std::string quoted;
  std::size_t start = 0;
  while (true) {
    const std::size_t dot = name.find('.', start);
    const std::optional<std::string> part =
        quoteIdentifier(backend, name.substr(start, dot - start));
    if (!part) return std::nullopt;
    quoted += *part;
    if (dot == std::string_view::npos) return quoted;
    quoted += '.';
    start = dot + 1;
  }
}

std::optional<std::string> quoteLiteral(SqlBackend backend, std::string_view text) {
  std::string quoted = "'";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (backend == SqlBackend::MySql) {
      switch (c) {
        case '\0': quoted += "\\0"; continue;
        case '\n': quoted += "\\n"; continue;
        case '\r': quoted += "\\r"; continue;
        case '\x1A': quoted += "\\Z"; continue;
        case '\\': quoted += "\\\\"; continue;
        default: break;
      }
    } else if (isControl(byte) && c != '\t' && c != '\n' && c != '\r') {
      return std::nullopt;
    }
    if (c == '\'') quoted += '\'';
    quoted += c;
  }
  quoted += '\'';
  return quoted;
}

}  // namespace files
