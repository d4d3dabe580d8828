// The conversion of a local keyed file into a new PostgreSQL table: an older program kept its
// items in a local file; today's program keeps them on the server and records the table's old
// name. The first open creates the table and carries every record across through the
// upgrade's INSERT path, texts with quotes and UTF-8, memos and binary values byte for byte.
#include <gtest/gtest.h>

#include "platform/files/file_declaration.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/record_layout.h"
#include "platform/runtime/text_types.h"
#include "tests/upkeep_sql/live_backend.h"
#include "upkeep/engine_lifecycle.h"
#include "upkeep/file_open.h"
#include "upkeep/open_flags.h"
#include "upkeep/registration.h"
#include "upkeep/registration_tables.h"
#include "upkeep/structure_search.h"

namespace upkeep_sql {
namespace {

constexpr int kRecords = 25001;

struct Item {
  runtime::Long ID;
  runtime::CString<61> NAME;
};
constexpr runtime::FieldDef kFields[] = {GD_FIELD(Item, ID, "ITM:ID"),
                                         GD_FIELD(Item, NAME, "ITM:NAME")};
constexpr files::KeySpec kKeys[] = {{"ITM:P_ID", files::KeyPrimary, {1}}};
// A text memo and a binary one.
constexpr files::MemoSpec kMemos[] = {{"ITM:NOTES", 2000, files::MemoKindBlob},
                                      {"ITM:BYTES", 1000, files::MemoKindMemo}};

std::string nameOf(int i) { return "O'Brien \"" + std::to_string(i) + "\" Gämma ünï -- ;"; }
std::string notesOf(int i) {
  return i % 3 == 0 ? std::string() : "Notes of " + std::to_string(i) + ": 'quoted', ü\r\nline";
}

// Every byte value, then the record's number: NULs, quotes, backslashes and bytes that are no
// UTF-8.
std::string bytesOf(int i) {
  std::string bytes;
  if (i % 5 == 0) return bytes;
  for (int b = 0; b < 256; ++b) bytes += static_cast<char>((b + i) % 256);
  return bytes + std::to_string(i);
}

class SqlConversionLiveTest : public testing::LiveBackendTest {
 protected:
  files::FileDeclaration driverFile{files::FileSpec{.label = "driver",
                                                    .prefix = "DRV",
                                                    .driver = files::Driver::Caskfile,
                                                    .name = "driver.vkf",
                                                    .fields = kFields,
                                                    .recordSize = sizeof(Item)}};
};

TEST_F(SqlConversionLiveTest, ALocalFileOfManyRecordsArrivesWholeInTheNewTable) {
  std::string server;
  GD_LIVE_CONNECTION(files::test::kLiveServers[0], server);
  ASSERT_TRUE(connect(files::test::kLiveServers[0]));
  const std::string table = files::test::uniqueTableName("upk_conv_items");
  const std::string system = files::test::uniqueTableName("upk_conv_sys");
  remember(table);
  remember(system);

  // The older program: its items in a local keyed file.
  files::FileDeclaration local{files::FileSpec{.label = "Items",
                                               .prefix = "ITM",
                                               .driver = files::Driver::Caskfile,
                                               .name = "items.vkf",
                                               .create = true,
                                               .fields = kFields,
                                               .recordSize = sizeof(Item),
                                               .keys = kKeys,
                                               .memos = kMemos}};
  upkeep::upkeepProcessStart();
  upkeep::ds_AddDriver("Vkf", driverFile, sizeof(Item), driverFile.record().data());
  upkeep::ds_UsingFile("ITM", "Items", local, 1, 0);
  files::CREATE(local);
  files::OPEN(local, 0x12);
  ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::ERROR();
  files::STREAM(local);
  for (int i = 1; i <= kRecords; ++i) {
    files::CLEAR(local);
    local.recordAs<Item>().ID = i;
    local.recordAs<Item>().NAME = nameOf(i);
    local.memo(1)->assign(notesOf(i));
    local.memo(2)->setBytes(bytesOf(i));
    files::APPEND(local);
  }
  files::FLUSH(local);
  files::BUILD(local);
  files::CLOSE(local);

  // Today's program: the items on the server, the local file named as the table's old name.
  upkeep::upkeepProcessStart();
  resetSqlBackendState();
  upkeep::ds_AddDriver("Vkf", driverFile, sizeof(Item), driverFile.record().data());
  declareBackend(system, "POSTGRES", false);
  installSqlBackends();
  upkeep::OFN().push_back({.OLDNAME = "items.vkf",
                           .NEWNAME = runtime::UPPER(table),
                           .PATH = "",
                           .SQLOLDNAME = "no_such_" + table,
                           .OLDOWNER = ""});
  files::FileDeclaration items{files::FileSpec{.label = "Items",
                                               .prefix = "ITM",
                                               .driver = files::Driver::Odbc,
                                               .name = table,
                                               .owner = owner,
                                               .fields = kFields,
                                               .recordSize = sizeof(Item),
                                               .keys = kKeys,
                                               .memos = kMemos}};
  upkeep::ds_UsingFile("ITM", "Items", items, 2, 0);
  upkeep::ds_FileOpen(items, 0x42);
  ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERROR();
  files::CLOSE(items);

  ASSERT_TRUE(plain->execute("SELECT id, name, notes, bytes FROM " + table + " ORDER BY id", {}));
  int count = 0;
  for (files::SqlRow row; plain->fetch(row);) {
    ++count;
    ASSERT_EQ(row[0].value, std::to_string(count));
    EXPECT_EQ(row[1].value, nameOf(count));
    EXPECT_EQ(row[2].value.value_or(""), notesOf(count)) << count;
    EXPECT_EQ(row[3].value.value_or(""), bytesOf(count)) << count;
    if (::testing::Test::HasFailure()) break;
  }
  EXPECT_EQ(count, kRecords);
}

}  // namespace
}  // namespace upkeep_sql
