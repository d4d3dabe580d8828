// The Firebird connection on the live test database, below the driver: values of each server
// type read back as the driver's texts, bytes and long blobs, the catalogue's columns, a table
// dropped while statements on it stay prepared, procedure outputs, and the refusals of a bad
// connection text and of a wrong number of parameters.
#include "platform/files/sql_firebird_connection.h"

#include <gtest/gtest.h>

#include "platform/files/sql_connect.h"
#include "tests/files/sql_servers.h"

namespace files::test {
namespace {

constexpr const LiveServer& kFirebird = kLiveServers[2];

class FirebirdConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GD_LIVE_CONNECTION(kFirebird, text_);
    SqlError error;
    db = connectSql(text_, error);
    ASSERT_NE(db, nullptr) << error.state << " " << error.text;
    ASSERT_EQ(db->backend(), SqlBackend::Firebird);
    table = uniqueTableName("GD_FBC");
    db->execute("DROP TABLE " + table, {});  // left by an earlier run that stopped half-way
  }
  void TearDown() override {
    if (db != nullptr) db->execute("DROP TABLE " + table, {});
  }

  void run(const std::string& sql, std::vector<SqlParam> params = {}) {
    EXPECT_TRUE(db->execute(sql, params))
        << sql << ": " << db->lastError().state << " " << db->lastError().text;
  }
  // The first value of the one answer row of `sql`.
  std::optional<std::string> single(const std::string& sql) {
    run(sql);
    SqlRow row;
    EXPECT_TRUE(db->fetch(row)) << sql << ": " << db->lastError().text;
    SqlRow none;
    EXPECT_FALSE(db->fetch(none));
    if (row.empty()) return "(no row)";
    return row[0].value;
  }

  std::unique_ptr<SqlConnection> db;
  std::string table;

 private:
  std::string text_;
};

std::string allBytes() {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
  return bytes;
}

TEST_F(FirebirdConnectionTest, ServerValuesReadBackAsTheDriversTexts) {
  const struct {
    const char* type;
    const char* value;  // as the statement writes it
    const char* text;   // as the connection reads it
  } cases[] = {
      {"BIGINT", "-9223372036854775808", "-9223372036854775808"},
      {"NUMERIC(18,4)", "-0.0001", "-0.0001"},
      {"NUMERIC(9,2)", "1234567.5", "1234567.50"},
      {"DECIMAL(4,1)", "0", "0.0"},
      {"SMALLINT", "-32768", "-32768"},
      {"DOUBLE PRECISION", "0.1", "0.10000000000000001"},
      {"FLOAT", "-1.5", "-1.5"},
      {"DATE", "DATE '9999-12-31'", "9999-12-31"},
      {"TIME", "TIME '23:59:59.9900'", "23:59:59.99"},
      {"TIMESTAMP", "TIMESTAMP '1801-01-01 00:00:01'", "1801-01-01 00:00:01.00"},
      {"CHAR(6)", "'ab'", "ab"},
      {"VARCHAR(10)", "'  x  '", "  x  "},
      {"BOOLEAN", "TRUE", "1"},
      {"BLOB SUB_TYPE 1", "'ünï ✓'", "ünï ✓"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    run("RECREATE TABLE " + table + " (V " + c.type + ")");
    run("INSERT INTO " + table + " VALUES (" + c.value + ")");
    EXPECT_EQ(single("SELECT V FROM " + table), std::optional<std::string>(c.text));
  }
  run("RECREATE TABLE " + table + " (V INTEGER)");
  run("INSERT INTO " + table + " VALUES (NULL)");
  EXPECT_EQ(single("SELECT V FROM " + table), std::nullopt);
}

TEST_F(FirebirdConnectionTest, BytesAndLongValuesTravelAsParameters) {
  run("CREATE TABLE " + table +
      " (ID INTEGER NOT NULL, RAW CHAR(256) CHARACTER SET OCTETS, BIN BLOB SUB_TYPE 0, "
      "TXT BLOB SUB_TYPE 1, R DOUBLE PRECISION)");
  const std::string bytes = allBytes();
  std::string long_text;
  for (int i = 0; long_text.size() < 100000; ++i) long_text += "line " + std::to_string(i) + " ✓\n";
  const std::string insert = "INSERT INTO " + table + " VALUES (?, ?, ?, ?, ?)";
  run(insert, {{SqlType::Integer, "1"},
               {SqlType::Binary, bytes},
               {SqlType::Binary, bytes + bytes},
               {SqlType::Text, long_text},
               {SqlType::Real, "3.141592653589793"}});
  run(insert, {{SqlType::Integer, "2"},
               SqlParam::null(SqlType::Binary),
               SqlParam::null(SqlType::Binary),
               SqlParam::null(SqlType::Text),
               SqlParam::null(SqlType::Real)});
  run("SELECT RAW, BIN, TXT, R FROM " + table + " ORDER BY ID");
  SqlRow row;
  ASSERT_TRUE(db->fetch(row)) << db->lastError().text;
  EXPECT_EQ(row[0].value, bytes);
  EXPECT_EQ(row[1].value, bytes + bytes);
  EXPECT_EQ(row[2].value, long_text);
  EXPECT_EQ(std::strtod(row[3].value.value_or("").c_str(), nullptr), 3.141592653589793);
  ASSERT_TRUE(db->fetch(row));
  for (const SqlCell& cell : row) EXPECT_EQ(cell.value, std::nullopt);
  EXPECT_FALSE(db->fetch(row));
  EXPECT_TRUE(db->lastError().state.empty());
}

TEST_F(FirebirdConnectionTest, CatalogueColumnsAndATableDroppedWhilePrepared) {
  run("CREATE TABLE " + table +
      " (ID INTEGER NOT NULL, NAME VARCHAR(30), PRICE NUMERIC(9,2), NOTES BLOB SUB_TYPE 1)");
  const std::optional<std::vector<SqlColumnInfo>> columns = db->columns("", table);
  ASSERT_TRUE(columns.has_value()) << db->lastError().text;
  std::vector<std::string> seen;
  for (const SqlColumnInfo& c : *columns) {
    seen.push_back(c.name + " " + c.typeName + " " + std::to_string(c.size) + "," +
                   std::to_string(c.scale) + (c.nullable ? " null" : " not null"));
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"ID INTEGER 4,0 not null", "NAME VARCHAR 30,0 null",
                                            "PRICE NUMERIC 9,2 null", "NOTES BLOB 8,0 null"}));
  EXPECT_EQ(db->columns("", "NO_SUCH_TABLE_HERE")->size(), 0u);

  // The insert stays prepared; the table can still be dropped and made again.
  const std::string insert = "INSERT INTO " + table + " (ID) VALUES (?)";
  run(insert, {{SqlType::Integer, "1"}});
  run("DROP TABLE " + table);
  run("CREATE TABLE " + table + " (ID INTEGER)");
  run(insert, {{SqlType::Integer, "2"}});
  EXPECT_EQ(single("SELECT ID FROM " + table), "2");
}

TEST_F(FirebirdConnectionTest, ProcedureOutputsAndRefusals) {
  const std::string procedure = uniqueTableName("GD_FBP");
  db->execute("DROP PROCEDURE " + procedure, {});
  run("CREATE PROCEDURE " + procedure +
      " (A INTEGER) RETURNS (TWICE INTEGER, NOTE VARCHAR(10)) AS BEGIN TWICE = A * 2; "
      "NOTE = 'done'; END");
  std::vector<SqlParam> params{
      {SqlType::Integer, "21"}, SqlParam::null(SqlType::Integer), SqlParam::null(SqlType::Text)};
  params[1].output = params[2].output = true;
  EXPECT_TRUE(db->execute("EXECUTE PROCEDURE " + procedure + " (?)", params))
      << db->lastError().text;
  EXPECT_EQ(params[1].value, "42");
  EXPECT_EQ(params[2].value, "done");
  run("DROP PROCEDURE " + procedure);

  EXPECT_FALSE(db->execute("SELECT 1 FROM RDB$DATABASE WHERE 1 = ?", {}));
  EXPECT_EQ(db->lastError().state, "07002");
  EXPECT_FALSE(db->execute("SELEKT 1", {}));
  EXPECT_EQ(db->lastError().state, "42000");
  EXPECT_NE(db->lastError().text.find("SELEKT"), std::string::npos) << db->lastError().text;
  // The connection is still usable after a refusal.
  EXPECT_EQ(single("SELECT 5 FROM RDB$DATABASE"), "5");
  EXPECT_NE(db->serverVersion().find("3."), std::string::npos) << db->serverVersion();

  SqlError error;
  EXPECT_EQ(connectFirebird("DRIVER=Firebird;USER=x;PASSWORD=hidden", error), nullptr);
  EXPECT_EQ(error.state, "08001");
  EXPECT_EQ(error.text.find("hidden"), std::string::npos);
}

}  // namespace
}  // namespace files::test
