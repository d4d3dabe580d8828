// Quoting of names and text values for the SQL text that is sent as it is (the upgrade
// engine's statements): one rule per server dialect, so that no value or name can change the
// shape of a statement. The drivers' own statements bind every value as a parameter and quote
// only names.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace files {

// The dialects the SQL drivers meet.
enum class SqlBackend {
  Generic,    // standard SQL: "name", 'text'
  SqlServer,  // [name]
  Oracle,
  SqlAnywhere,
  PostgreSQL,
  MySql,  // MariaDB and MySQL: `name`, backslash escapes in 'text'
  Firebird,
};

// `name` as one quoted identifier: the dialect's quote characters around it, the closing one
// doubled inside. Nothing for an empty name or one holding a NUL or another control byte.
std::optional<std::string> quoteIdentifier(SqlBackend backend, std::string_view name);

// A name that may carry a schema ("dbo.Customers"): each part between dots quoted on its own.
// Nothing when a part does not quote.
std::optional<std::string> quoteQualifiedName(SqlBackend backend, std::string_view name);

// `text` as one quoted string literal: single quotes around it, quotes inside doubled; for
// MySql also backslashes doubled and NUL, LF, CR and Ctrl-Z written as \0, \n, \r, \Z. Nothing
// for the other dialects when the text holds a NUL or a control byte other than TAB, LF or CR,
// which they cannot take inside a literal safely.
std::optional<std::string> quoteLiteral(SqlBackend backend, std::string_view text);

}  // namespace files
