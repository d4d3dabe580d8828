// Owners of SQL FILEs as ODBC connection texts, per driver.
#include "platform/files/sql_owner.h"

#include <gtest/gtest.h>

namespace files {
namespace {

TEST(SqlOwner, ShortFormsBecomeConnectionTexts) {
  struct Case {
    Driver driver;
    const char* owner;
    const char* text;
  };
  const Case cases[] = {
      {Driver::Mssql, "srv,shop,sa,pw", "DSN=srv;DATABASE=shop;UID=sa;PWD=pw"},
      {Driver::Mssql, "srv,shop", "DSN=srv;DATABASE=shop"},
      {Driver::Mssql, "srv,shop,sa,p,w", "DSN=srv;DATABASE=shop;UID=sa;PWD=p,w"},
      {Driver::Oracle, "scott/tiger@orcl", "DSN=orcl;UID=scott;PWD=tiger"},
      {Driver::Oracle, "orcl,scott,tiger", "DSN=orcl;UID=scott;PWD=tiger"},
      {Driver::SqlAnywhere, "demo,dba,sql", "DSN=demo;UID=dba;PWD=sql"},
      {Driver::Odbc, "gd_pg", "DSN=gd_pg"},
      {Driver::Odbc, "gd_pg,gd,p;w{x}", "DSN=gd_pg;UID=gd;PWD={p;w{x}}}"},
      {Driver::Odbc, "DSN=gd_pg;UID=gd;PWD=x", "DSN=gd_pg;UID=gd;PWD=x"},
      {Driver::Mssql, "DRIVER=FreeTDS;SERVER=h;PORT=1433", "DRIVER=FreeTDS;SERVER=h;PORT=1433"},
  };
  for (const Case& c : cases) EXPECT_EQ(odbcConnectionText(c.driver, c.owner), c.text) << c.owner;
}

}  // namespace
}  // namespace files
