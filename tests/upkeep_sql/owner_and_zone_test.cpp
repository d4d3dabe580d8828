// The zone and driver code a managed table's owner string gives, and the split of a MySQL owner.
#include "upkeep_sql/owner_and_zone.h"

#include <gtest/gtest.h>

#include "upkeep_sql/mysql_structure.h"

namespace upkeep_sql {
namespace {

struct ZoneCase {
  const char* code;
  const char* kind;
  const char* owner;
  const char* server;  // expected LinkedServerName ("-" unchanged)
  const char* zone;    // expected TableZone ("-" unchanged)
  const char* after;   // driver code afterwards
};

TEST(OwnerZone, ByDriverCodeAndOdbcKind) {
  const ZoneCase cases[] = {
      {"MSS", "", "srv01,sales,user,secret", "srv01", "sales", "MSS"},
      {"MSS", "", "srv01,sales", "srv01", "sales", "MSS"},
      {"MSS", "", "srv01", "srv01", "srv01", "MSS"},
      {"ORA", "", "scott,tiger", "", "NULL", "ORA"},
      {"ASA", "", "demo,dba,sql", "", "demo", "ASA"},
      {"ODB", "MYODBC 3", "dsn,user,pw", "-", "NULL", "ODB"},
      {"ODB", "MSSQL", "DSN=x;DATABASE=sales;UID=u", "", "sales", "MSS"},
      {"ODB", "ORACLE", "DSN=x", "", "NULL", "ORA"},
      {"ODB", "FIREBIRD", "DBNAME=/data/shop.fdb;USER=sysdba", "", "/data/shop.fdb", "ODB"},
      {"ODB", "FIREBIRD", "shop", "", "NULL", "ODB"},
      {"ODB", "FIREBIRD", "shop,sysdba", "", "shop", "ODB"},
      {"ODB", "ASA", "DSN=x;DATABASE=demo", "-", "demo", "ASA"},
      {"ODB", "POSTGRES", "DSN=pg;DATABASE=shop;UID=u", "-", "shop", "ODB"},
      // A connection that names no database is in every zone, as the system table reads it.
      {"ODB", "POSTGRES", "DSN=pg;UID=u;PWD=secret", "-", "NULL", "ODB"},
      {"ODB", "OTHER", "DSN=x;DATABASE=y", "-", "-", "ODB"},
  };
  for (const ZoneCase& c : cases) {
    const OwnerZone zone = ownerZone(c.code, c.kind, c.owner);
    SCOPED_TRACE(std::string(c.code) + " " + c.kind + " " + c.owner);
    EXPECT_EQ(zone.changesServer ? zone.LinkedServerName : "-", c.server);
    EXPECT_EQ(zone.changesZone ? zone.TableZone : "-", c.zone);
    EXPECT_EQ(zone.code, c.after);
  }
}

TEST(SplitMySqlOwner, PartsKeptWhereTheOwnerLeavesThemOut) {
  const auto split = [](const char* owner) {
    SplitMySQLOwner(owner);
    const MySqlOwnerParts& parts = mySqlOwnerParts();
    return parts.MySQLOwnerPart1 + "|" + parts.MySQLOwnerPart2 + "|" + parts.MySQLOwnerPart3;
  };
  EXPECT_EQ(split("dsn,user,pw"), "dsn|user|pw");
  EXPECT_EQ(split(",db,user"), "dsn|user|pw") << "a leading comma changes nothing";
  EXPECT_EQ(split("srv,,other"), "srv|user|pw") << "an empty second part keeps parts 2 and 3";
  EXPECT_EQ(split("srv,user2"), "srv|user2|");
  EXPECT_EQ(split("srv,"), "srv||");
  EXPECT_EQ(split("DRIVER=MariaDB;SERVER=h"), "DRIVER=MariaDB;SERVER=h||");
  mySqlOwnerParts() = {};
}

}  // namespace
}  // namespace upkeep_sql
