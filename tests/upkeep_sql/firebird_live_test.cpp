// The engine's Firebird reports against the live test database: a managed table whose final
// open fails with error 90 is reported with M33 (the client hint) through ds_Error at level 6,
// which ends the program, and a column name longer than Firebird allows is refused with M67
// before any statement reaches the server.
#include <gtest/gtest.h>

#include "platform/runtime/field_types.h"
#include "platform/runtime/record_layout.h"
#include "tests/upkeep_sql/live_backend.h"
#include "upkeep/file_open.h"
#include "upkeep/sql_backend.h"
#include "upkeep_sql/interpret_structure.h"
#include "upkeep_sql/statement_names.h"
#include "upkeep_sql/table_creation.h"
#include "upkeep_sql/table_in_hand.h"

namespace upkeep_sql {
namespace {

constexpr const files::test::LiveServer& kFirebird = files::test::kLiveServers[2];

struct Order {
  runtime::Long ID;
  runtime::Long ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456;  // 33 characters
};
constexpr runtime::FieldDef kOrderFields[] = {
    GD_FIELD(Order, ID, "ORD:ID"),
    GD_FIELD(Order, ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456, "ORD:ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456"),
};
constexpr files::KeySpec kOrderKeys[] = {{"ORD:P_ID", files::KeyPrimary, {1}}};

class FirebirdLiveTest : public testing::LiveBackendTest {
 protected:
  // Connects, and registers a backend FILE over the live database with the kind "FIREBIRD".
  void SetUp() override {
    std::string server;
    GD_LIVE_CONNECTION(kFirebird, server);
    ASSERT_TRUE(connect(kFirebird));
    previous_ = upkeep::sqlBackend();
    installSqlBackends();
    system_ = files::test::uniqueTableName("UPK_FBSYS");
    makeRowTable(system_);
    declareBackend(system_, "FIREBIRD", true);
  }
  void TearDown() override { upkeep::setSqlBackend(previous_); }

  std::unique_ptr<files::FileDeclaration> orders(const std::string& name,
                                                 const std::string& connection) {
    return std::make_unique<files::FileDeclaration>(files::FileSpec{.label = "orders",
                                                                    .prefix = "ORD",
                                                                    .driver = files::Driver::Odbc,
                                                                    .name = name,
                                                                    .owner = connection,
                                                                    .fields = kOrderFields,
                                                                    .recordSize = sizeof(Order),
                                                                    .keys = kOrderKeys});
  }

  std::string system_;

 private:
  upkeep::SqlBackend* previous_ = nullptr;
};

TEST_F(FirebirdLiveTest, FinalOpenFailureIsReportedWithTheClientHintAndEndsTheProgram) {
  // Connection details that name no database, with the password beside them.
  std::string wrong = owner;
  const std::size_t file = wrong.find("gd_test.fdb");
  ASSERT_NE(file, std::string::npos) << wrong;
  wrong.replace(file, 11, "gd_gone.fdb");
  const auto table = orders(files::test::uniqueTableName("UPK_GONE"), wrong);
  answerer.addAnswer(runtime::ButtonOk);
  std::optional<int> ended;
  try {
    upkeep::ds_FileOpen(*table, 0x42);
  } catch (const runtime::HaltRequested& halt) {
    ended = halt.exitCode;
  }
  ASSERT_TRUE(ended.has_value()) << "level 6 ends the program";
  EXPECT_NE(*ended, 0);
  const std::vector<runtime::MessageRequest> shown = answerer.shown();
  ASSERT_EQ(shown.size(), 1u);
  const std::string& text = shown[0].text;
  EXPECT_NE(text.find("Please ensure you have the FireBird Client DLL installed"),
            std::string::npos)
      << text;
  // The detail: the file's name, error 90, and the server's SQLSTATE and text.
  EXPECT_NE(text.find(":90 08001: "), std::string::npos) << text;
  EXPECT_NE(text.find("gd_gone.fdb"), std::string::npos) << text;
  EXPECT_NE(text.find("Ending Program!"), std::string::npos) << text;
  const std::string password = owner.substr(owner.find("PASSWORD=") + 9);
  EXPECT_EQ(text.find(password), std::string::npos) << "the password is never shown";
}

TEST_F(FirebirdLiveTest, ColumnNameLongerThan32CharactersIsRefusedWithM67) {
  const std::string name = files::test::uniqueTableName("UPK_LONG");
  remember(name);
  const auto table = orders(name, owner);
  tableInHand().SqlTableName = name;
  tableInHand().OutFileName = name;
  ds_InterpretStructure(*table);
  // Yes: end the program rather than create a table the server would refuse.
  answerer.addAnswer(runtime::ButtonYes);
  EXPECT_THROW(ds_SetSQLNames("ODB"), runtime::HaltRequested);
  const std::vector<runtime::MessageRequest> shown = answerer.shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].text.find("The fieldname cannot be longer than 32 characters."),
            std::string::npos)
      << shown[0].text;
  EXPECT_NE(shown[0].text.find("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456"), std::string::npos);
  const std::optional<std::vector<files::SqlColumnInfo>> columns = plain->columns("", name);
  ASSERT_TRUE(columns.has_value()) << plain->lastError().text;
  EXPECT_TRUE(columns->empty()) << "no table was made";
}

}  // namespace
}  // namespace upkeep_sql
