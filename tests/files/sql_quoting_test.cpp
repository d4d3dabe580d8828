// Quoting of names and literals per dialect: the closing quote doubled, MariaDB's backslash
// escapes, and the bytes a dialect cannot take refused.
#include "platform/files/sql_quoting.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace files {
namespace {

using namespace std::string_literals;

TEST(SqlQuoting, IdentifiersDoubleTheClosingQuoteOfTheirDialect) {
  struct Case {
    SqlBackend backend;
    std::string name;
    std::optional<std::string> quoted;
  };
  const Case cases[] = {
      {SqlBackend::SqlServer, "Items", "[Items]"},
      {SqlBackend::SqlServer, "a]b[c", "[a]]b[c]"},
      {SqlBackend::PostgreSQL, "say \"hi\"", "\"say \"\"hi\"\"\""},
      {SqlBackend::Oracle, "x'y", "\"x'y\""},
      {SqlBackend::MySql, "a`b", "`a``b`"},
      {SqlBackend::MySql, "a\"b", "`a\"b`"},
      {SqlBackend::Firebird, "", std::nullopt},
      {SqlBackend::PostgreSQL, "a\nb", std::nullopt},
      {SqlBackend::MySql, "a\0b"s, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(quoteIdentifier(c.backend, c.name), c.quoted) << c.name;

  EXPECT_EQ(quoteQualifiedName(SqlBackend::SqlServer, "dbo.Customers"), "[dbo].[Customers]");
  EXPECT_EQ(quoteQualifiedName(SqlBackend::PostgreSQL, "public.t\"x"), "\"public\".\"t\"\"x\"");
  EXPECT_EQ(quoteQualifiedName(SqlBackend::Generic, "a..b"), std::nullopt);
}

TEST(SqlQuoting, LiteralsKeepEveryByteOrAreRefused) {
  struct Case {
    SqlBackend backend;
    std::string text;
    std::optional<std::string> quoted;
  };
  const Case cases[] = {
      {SqlBackend::PostgreSQL, "O'Brien", "'O''Brien'"},
      {SqlBackend::PostgreSQL, "back\\slash", "'back\\slash'"},
      {SqlBackend::SqlServer, "'; DROP TABLE x; --", "'''; DROP TABLE x; --'"},
      {SqlBackend::Oracle, "tab\tline\ncr\r", "'tab\tline\ncr\r'"},
      {SqlBackend::PostgreSQL, "nul\0"s, std::nullopt},
      {SqlBackend::SqlAnywhere, "bell\a", std::nullopt},
      {SqlBackend::MySql, "\\'; --", "'\\\\''; --'"},
      {SqlBackend::MySql, "a\0b\nc\rd\x1A"s, "'a\\0b\\nc\\rd\\Z'"},
      {SqlBackend::MySql, "", "''"},
  };
  for (const Case& c : cases) EXPECT_EQ(quoteLiteral(c.backend, c.text), c.quoted) << c.text;
}

}  // namespace
}  // namespace files
