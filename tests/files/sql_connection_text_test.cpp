// Entries of a connection text: found by key in any letter case, braced values with ";" and
// doubled "}" inside, the password under either of its keys, and masking.
#include "platform/files/sql_connection_text.h"

#include <gtest/gtest.h>

namespace files {
namespace {

TEST(SqlConnectionText, EntriesByKeyWithBracedValues) {
  const struct {
    const char* text;
    const char* key;
    const char* value;
  } cases[] = {
      {"DRIVER=Firebird;DATABASE=/tmp/a.fdb;USER=sysdba", "database", "/tmp/a.fdb"},
      {"driver=Firebird;Database=/tmp/a.fdb", "DRIVER", "Firebird"},
      {"DSN=x;UID=u;PWD={p;w}}d};SERVER=s", "PWD", "p;w}d"},
      {"DSN=x;UID=u;PWD={p;w}}d};SERVER=s", "SERVER", "s"},
      {"DSN=x;UID=u", "PWD", ""},
      {"DSN=x;UID=", "UID", ""},
      {"DATABASE=host/3050:C:\\data\\a.fdb;USER=u", "DATABASE", "host/3050:C:\\data\\a.fdb"},
      {"", "DSN", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(connectionEntry(c.text, c.key), c.value) << c.text << " " << c.key;
  }
  EXPECT_EQ(connectionPassword("DSN=x;PWD=one;PASSWORD=two"), "one");
  EXPECT_EQ(connectionPassword("DRIVER=Firebird;PASSWORD=two"), "two");
  EXPECT_EQ(maskedSecret("login pw failed for pw", "pw"),
            "login **************** failed for ****************");
  EXPECT_EQ(maskedSecret("nothing to hide", ""), "nothing to hide");
}

}  // namespace
}  // namespace files
