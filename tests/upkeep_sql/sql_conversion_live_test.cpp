// The conversion of a local keyed file into a new SQL table: an older program kept its records
// in a local file; today's program keeps them on the server and records the table's old name.
// The first open creates the table and carries every record across through the upgrade's
// INSERT path: texts with quotes and UTF-8, memos and binary values byte for byte, and a DATE
// and a TIME laid over one text column as one date-time value (a time without a date refused).
// A conversion killed or given up midway is whole at the next open, also when its records come
// only from an old data file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>

#include "platform/files/file_declaration.h"
#include "platform/files/file_driver.h"
#include "platform/files/sql_connect.h"
#include "platform/files/sql_connection_text.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/record_layout.h"
#include "platform/runtime/standard_date.h"
#include "platform/runtime/text.h"
#include "platform/runtime/text_types.h"
#include "tests/support/scratch_folder.h"
#include "tests/upkeep/old_data_file.h"
#include "tests/upkeep/upgrade_in_child.h"
#include "tests/upkeep_sql/converted_items.h"
#include "tests/upkeep_sql/live_backend.h"
#include "upkeep/engine_lifecycle.h"
#include "upkeep/file_open.h"
#include "upkeep/registration.h"
#include "upkeep/sql_insert_batch.h"
#include "upkeep/upgrade_marker.h"

namespace upkeep_sql {
namespace {

using namespace testing;  // the converted items

constexpr int kRecords = 25001;

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

// The declaration the driver code "COR" of old data files is registered with.
struct CorvidRecord {
  runtime::Byte BYTE;
};
constexpr runtime::FieldDef kCorvidFields[] = {GD_FIELD(CorvidRecord, BYTE, "COR:BYTE")};

// A conversion on one live server: the older program's local file, then today's start with the
// table's old name recorded.
class ConversionLiveTest : public LiveBackendTest {
 protected:
  // Connects to `server`; MySQL structures are read with an owner of their own.
  void connectTo(const ServerCase& live) {
    ASSERT_TRUE(connect(live.server));
    if (std::string_view(live.kind) == "MYODBC 3") owner = mySqlOwner(owner);
    kind_ = live.kind;
    systemTable = live.database + files::test::uniqueTableName("upk_conv_sys");
    remember(systemTable);
  }

  // Today's start: a fresh engine with the SQL backends, the local file `oldFile` recorded as
  // the old name of `table`. With `oldData` the driver of old data files (".Dat") is registered
  // too, so that the search looks for one beside the table's name.
  void startToday(const std::string& oldFile, const std::string& table, bool oldData = false) {
    if (backend) files::CLOSE(*backend);
    upkeep::upkeepProcessStart();
    resetSqlBackendState();
    upkeep::ds_AddDriver("Vkf", driverFile, sizeof(Item), driverFile.record().data());
    if (oldData)
      upkeep::ds_AddDriver("Cor", corvidFile, sizeof(CorvidRecord), corvidFile.record().data());
    declareBackend(systemTable, kind_, false);
    installSqlBackends();
    registerOldName(oldFile, table);
  }

  // Today's start and the program's open of the items, now the SQL table `table`, converted
  // from "items.vkf", its recorded old name, or with `oldData` from an old data file when
  // that is not there. Answers the open's error.
  int openItemsTable(const std::string& table, bool oldData = false) {
    startToday("items.vkf", table, oldData);
    files::FileDeclaration items{itemSpec(files::Driver::Odbc, table, owner)};
    upkeep::ds_UsingFile("ITM", "Items", items, 2, 0);
    upkeep::ds_FileOpen(items, 0x42);
    const int error = runtime::ERRORCODE();
    files::CLOSE(items);
    return error;
  }

  // The older program's "items.vkf" of `count` records, each with its name, notes and bytes.
  int writeOlderItems(int count) {
    files::FileDeclaration local{itemSpec(files::Driver::Caskfile, "items.vkf")};
    return writeOlderFile(driverFile, local, count, [&](int i) {
      local.recordAs<Item>().ID = i;
      local.recordAs<Item>().NAME = nameOf(i);
      local.memo(1)->assign(notesOf(i));
      local.memo(2)->setBytes(bytesOf(i));
    });
  }

  files::FileDeclaration driverFile{itemSpec(files::Driver::Caskfile, "driver.vkf")};
  files::FileDeclaration corvidFile{files::FileSpec{.label = "corvid",
                                                    .prefix = "COR",
                                                    .driver = files::Driver::Corvid,
                                                    .fields = kCorvidFields,
                                                    .recordSize = sizeof(CorvidRecord)}};
  std::string systemTable;

 private:
  std::string kind_;
};

TEST_F(ConversionLiveTest, ALocalFileOfManyRecordsArrivesWholeInTheNewTable) {
  std::string server;
  GD_LIVE_CONNECTION(files::test::kLiveServers[0], server);
  connectTo(kServerCases[0]);
  const std::string table = files::test::uniqueTableName("upk_conv_items");
  remember(table);

  ASSERT_EQ(writeOlderItems(kRecords), 0) << runtime::ERROR();

  ASSERT_EQ(openItemsTable(table), 0) << runtime::FILEERROR();

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

// The registration and the conversion each share their connections: one made for every step
// of the registration, and for the conversion one for the system table, one for the probe of
// the old name and one for the new table, not one for each open and each statement.
TEST_F(ConversionLiveTest, AConversionMakesOneConnectionForEachFileItHoldsOpenAtOnce) {
  std::string server;
  GD_LIVE_CONNECTION(files::test::kLiveServers[0], server);
  connectTo(kServerCases[0]);
  const std::string table = files::test::uniqueTableName("upk_conv_items");
  remember(table);
  ASSERT_EQ(writeOlderItems(3), 0) << runtime::ERROR();

  int connects = 0;
  struct CountedConnector {
    files::SqlConnector previous;
    ~CountedConnector() { files::setSqlConnector(std::move(previous)); }
  } counted{files::setSqlConnector(
      [&connects](files::Driver driver, std::string_view text, files::SqlError& error) {
        ++connects;
        return files::connectSql(files::odbcConnectionText(driver, text), error);
      })};
  startToday("items.vkf", table);
  files::FileDeclaration items{itemSpec(files::Driver::Odbc, table, owner)};
  upkeep::ds_UsingFile("ITM", "Items", items, 2, 0);
  EXPECT_EQ(connects, 1);
  connects = 0;
  upkeep::ds_FileOpen(items, 0x42);
  EXPECT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERROR();
  files::CLOSE(items);
  EXPECT_EQ(connects, 3);
}

// The older program kept a date and a time in fields of their own; today's declaration lays
// them, as a GROUP, over one STRING(8) that becomes a single date-time column. The text under
// them is registered unreal (it has no value of its own) and the DATE and TIME real, so that
// the conversion copies them although they lie over another field.
struct OldEvent {
  runtime::Long ID;
  runtime::Date D;
  runtime::Time T;
  runtime::CString<21> NAME;
};
constexpr runtime::FieldDef kOldEventFields[] = {
    GD_FIELD(OldEvent, ID, "EVT:ID"), GD_FIELD(OldEvent, D, "EVT:D"),
    GD_FIELD(OldEvent, T, "EVT:T"), GD_FIELD(OldEvent, NAME, "EVT:NAME")};

struct StampParts {
  runtime::Date D;
  runtime::Time T;
};
struct Event {
  Event() {}
  runtime::Long ID;
  union {
    runtime::String<8> STAMP{};
    StampParts PARTS;
  };
  runtime::CString<21> NAME;
};
constexpr runtime::FieldDef kEventFields[] = {GD_FIELD(Event, ID, "EVT:ID"),
                                              GD_FIELD(Event, STAMP, "EVT:STAMP"),
                                              GD_GROUP(Event, PARTS, "EVT:PARTS").overField(2),
                                              GD_FIELD(Event, PARTS.D, "EVT:D"),
                                              GD_FIELD(Event, PARTS.T, "EVT:T"),
                                              GD_FIELD(Event, NAME, "EVT:NAME")};
static_assert(runtime::hasOffsets(kEventFields, {0, 4, 4, 4, 8, 12}));
constexpr files::KeySpec kEventKeys[] = {{"EVT:P_ID", files::KeyPrimary, {1}}};

files::FileSpec eventSpec(files::Driver driver, std::string_view name, std::string_view owner,
                          std::span<const runtime::FieldDef> fields, std::uint32_t size) {
  return {.label = "Events",
          .prefix = "EVT",
          .driver = driver,
          .name = name,
          .owner = owner,
          .create = true,
          .fields = fields,
          .recordSize = size,
          .keys = kEventKeys};
}

// One record's date and time, and the column's value read back (its first 19 characters; the
// servers add fractions of their own), empty for NULL, nullptr when the record is refused.
struct Stamp {
  int date;
  int time;
  const char* column;
};
const Stamp kStamps[] = {
    {runtime::dateFromYmd(2020, 12, 31), runtime::timeFromHms(12, 30, 0, 0), "2020-12-31 12:30:00"},
    {runtime::dateFromYmd(1999, 1, 2), runtime::timeFromHms(23, 59, 59, 0), "1999-01-02 23:59:59"},
    {runtime::dateFromYmd(2024, 2, 29), runtime::timeFromHms(0, 0, 1, 0), "2024-02-29 00:00:01"},
    {runtime::dateFromYmd(2021, 1, 1), 0, "2021-01-01 00:00:00"},  // no time: midnight
    {0, runtime::timeFromHms(10, 15, 0, 0), nullptr},  // no date: no day to put the time on
    {0, 0, ""},  // neither: the column is left out and stays NULL
};

class ServerConversionTest : public ConversionLiveTest,
                             public ::testing::WithParamInterface<ServerCase> {
 protected:
  void SetUp() override {
    std::string server;
    GD_LIVE_CONNECTION(GetParam().server, server);
    connectTo(GetParam());
  }

  // The conversion into `table` in a child process that kills itself at the `occurrence`-th
  // time the upgrade comes to `step`. Answers whether it died by SIGKILL.
  bool convertInChild(const std::string& table, bool oldData, upkeep::UpgradeStep step,
                      int occurrence) {
    return upkeep::testing::upgradeKilledInChild(
        [=, seen = 0](upkeep::UpgradeStep at) mutable {
          return at == step && ++seen == occurrence;
        },
        [&] {
          openItemsTable(table, oldData);
          return 0;
        });
  }
};

TEST_P(ServerConversionTest, ADateAndTimeOverOneTextColumnArriveOnceAsOneValue) {
  const std::string table = GetParam().database + files::test::uniqueTableName("upk_conv_events");
  remember(table);
  files::FileDeclaration local{
      eventSpec(files::Driver::Caskfile, "events.vkf", {}, kOldEventFields, sizeof(OldEvent))};
  const int count = static_cast<int>(std::size(kStamps));
  ASSERT_EQ(writeOlderFile(driverFile, local, count,
                           [&](int i) {
                             OldEvent& event = local.recordAs<OldEvent>();
                             event.ID = i;
                             event.D = kStamps[i - 1].date;
                             event.T = kStamps[i - 1].time;
                             event.NAME = "event " + std::to_string(i);
                           }),
            0)
      << runtime::ERROR();

  startToday("events.vkf", table);
  upkeep::ds_SetOption("UNREALFIELD", "EVT:STAMP");
  upkeep::ds_SetOption("REALFIELD", "EVT:D");
  upkeep::ds_SetOption("REALFIELD", "EVT:T");
  files::FileDeclaration events{
      eventSpec(files::Driver::Odbc, table, owner, kEventFields, sizeof(Event))};
  upkeep::ds_UsingFile("EVT", "Events", events, 2, 0);
  recordStatements();
  // The refused record is reported (the refusal, then the record), then the incomplete
  // conversion; the user goes on each time.
  for (int report = 0; report < 3; ++report) answerer.addAnswer(runtime::ButtonIgnore);
  upkeep::ds_FileOpen(events, 0x42);
  files::CLOSE(events);
  const std::vector<runtime::MessageRequest> shown = answerer.shown();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_TRUE(
      shown[0].text.starts_with("Upkeep Data Conversion error on insert: 22007 A time "
                                "without a date cannot go into the date-time column"))
      << shown[0].text;
  EXPECT_NE(shown[2].text.find("1 refused. The old file is kept as: "), std::string::npos)
      << shown[2].text;
  EXPECT_TRUE(std::filesystem::exists("dstmp001.VKF")) << "the backup is kept";

  // Each INSERT sent names the date-time column once, and only when it has a value; the
  // refused record's never reaches the server.
  std::vector<std::string> inserts;
  const std::string into = "INSERT INTO " + runtime::UPPER(table) + " ";
  std::copy_if(sent.begin(), sent.end(), std::back_inserter(inserts),
               [&](const std::string& s) { return runtime::UPPER(s).starts_with(into); });
  std::vector<std::size_t> taken;  // the records of kStamps the table takes
  for (std::size_t i = 0; i < std::size(kStamps); ++i)
    if (kStamps[i].column != nullptr) taken.push_back(i);
  ASSERT_EQ(inserts.size(), taken.size()) << ::testing::PrintToString(sent);
  for (std::size_t i = 0; i < inserts.size(); ++i) {
    const std::string insert = runtime::UPPER(inserts[i]);
    const std::string columns = insert.substr(0, insert.find(" VALUES "));
    int named = 0;
    for (std::size_t at = columns.find("STAMP"); at != std::string::npos;
         at = columns.find("STAMP", at + 1))
      ++named;
    EXPECT_EQ(named, *kStamps[taken[i]].column == '\0' ? 0 : 1) << inserts[i];
  }

  ASSERT_TRUE(plain->execute("SELECT id, stamp, name FROM " + table + " ORDER BY id", {}))
      << plain->lastError().text;
  std::size_t read = 0;
  for (files::SqlRow row; plain->fetch(row); ++read) {
    ASSERT_LT(read, taken.size());
    const std::string id = std::to_string(taken[read] + 1);
    EXPECT_EQ(row[0].value, id);
    EXPECT_EQ(row[1].value.value_or("").substr(0, 19), kStamps[taken[read]].column)
        << "record " << id;
    EXPECT_EQ(row[2].value, "event " + id);
  }
  EXPECT_EQ(read, taken.size());
}

// Texts whose backslashes a server could read as escapes, and the same as binary values: each
// arrives as it was written.
TEST_P(ServerConversionTest, TextsAndBytesWithBackslashesArriveAsWritten) {
  const std::string texts[] = {"C:\\new\\table", "ends in a backslash \\", "\\' or ''='",
                               "\\\\server\\share\\0\\Z", "\\x41\\n"};
  const std::string table = GetParam().database + files::test::uniqueTableName("upk_conv_slash");
  remember(table);
  files::FileDeclaration local{itemSpec(files::Driver::Caskfile, "items.vkf")};
  const int count = static_cast<int>(std::size(texts));
  ASSERT_EQ(writeOlderFile(driverFile, local, count,
                           [&](int i) {
                             local.recordAs<Item>().ID = i;
                             local.recordAs<Item>().NAME = texts[i - 1];
                             local.memo(1)->assign("notes " + texts[i - 1]);
                             local.memo(2)->setBytes(texts[i - 1] + "\xAB\xcd");
                           }),
            0)
      << runtime::ERROR();

  ASSERT_EQ(openItemsTable(table), 0) << runtime::FILEERROR();

  ASSERT_TRUE(plain->execute("SELECT id, name, notes, bytes FROM " + table + " ORDER BY id", {}))
      << plain->lastError().text;
  int read = 0;
  for (files::SqlRow row; plain->fetch(row); ++read) {
    ASSERT_LT(read, count);
    EXPECT_EQ(row[0].value, std::to_string(read + 1));
    EXPECT_EQ(row[1].value, texts[read]);
    EXPECT_EQ(row[2].value, "notes " + texts[read]);
    EXPECT_EQ(row[3].value, texts[read] + "\xAB\xcd");
  }
  EXPECT_EQ(read, count);
}

// A text field whose column is given a binary type (its external name carries the option
// BINARY): its bytes, NULs and every other value from 0 to 255 included, arrive unchanged.
struct RawRecord {
  runtime::Long ID;
  runtime::String<256> BYTES;
};
constexpr runtime::FieldDef kOldRawFields[] = {GD_FIELD(RawRecord, ID, "RAW:ID"),
                                               GD_FIELD(RawRecord, BYTES, "RAW:BYTES")};
constexpr runtime::FieldDef kRawFields[] = {
    GD_FIELD(RawRecord, ID, "RAW:ID"),
    GD_FIELD(RawRecord, BYTES, "RAW:BYTES").withExternalName("bytes|BINARY")};
constexpr files::KeySpec kRawKeys[] = {{"RAW:P_ID", files::KeyPrimary, {1}}};

files::FileSpec rawSpec(files::Driver driver, std::string_view name, std::string_view owner,
                        std::span<const runtime::FieldDef> fields) {
  return {.label = "Raw",
          .prefix = "RAW",
          .driver = driver,
          .name = name,
          .owner = owner,
          .create = true,
          .fields = fields,
          .recordSize = sizeof(RawRecord),
          .keys = kRawKeys};
}

TEST_P(ServerConversionTest, ATextGivenABinaryTypeKeepsEveryByte) {
  std::string every;
  for (int b = 0; b < 256; ++b) every += static_cast<char>(b);
  // What each record's field holds; the column takes it without its trailing blanks.
  const std::string values[] = {every, std::string("AB\0", 3) + std::string(253, ' ')};
  const std::string stored[] = {every, std::string("AB\0", 3)};
  const std::string table = GetParam().database + files::test::uniqueTableName("upk_conv_raw");
  remember(table);
  files::FileDeclaration local{rawSpec(files::Driver::Caskfile, "raw.vkf", {}, kOldRawFields)};
  ASSERT_EQ(writeOlderFile(driverFile, local, 2,
                           [&](int i) {
                             local.recordAs<RawRecord>().ID = i;
                             local.recordAs<RawRecord>().BYTES = values[i - 1];
                           }),
            0)
      << runtime::ERROR();

  startToday("raw.vkf", table);
  files::FileDeclaration raw{rawSpec(files::Driver::Odbc, table, owner, kRawFields)};
  upkeep::ds_UsingFile("RAW", "Raw", raw, 2, 0);
  upkeep::ds_FileOpen(raw, 0x42);
  ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERROR();
  files::CLOSE(raw);

  ASSERT_TRUE(plain->execute("SELECT id, bytes FROM " + table + " ORDER BY id", {}))
      << plain->lastError().text;
  int read = 0;
  for (files::SqlRow row; plain->fetch(row); ++read) {
    ASSERT_LT(read, 2);
    EXPECT_EQ(row[0].value, std::to_string(read + 1));
    EXPECT_EQ(row[1].value, stored[read]) << "record " << read + 1;
  }
  EXPECT_EQ(read, 2);
  // The program reads them back as they were written.
  files::OPEN(raw, 0x42);
  ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERROR();
  for (int i = 1; i <= 2; ++i) {
    files::CLEAR(raw);
    raw.recordAs<RawRecord>().ID = i;
    files::GET(raw, *raw.key(1));
    ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERROR();
    EXPECT_EQ(raw.recordAs<RawRecord>().BYTES.text(), values[i - 1]) << "record " << i;
  }
  files::CLOSE(raw);
}

// The items of an older program whose number key took duplicates.
constexpr files::KeySpec kOldItemKeys[] = {{"ITM:P_ID", files::KeyPrimary | files::KeyDup, {1}}};

// A conversion on a server that takes many rows in one INSERT (PostgreSQL; MariaDB's MyISAM
// table would keep the rows before a refused one, so there they go one at a time): the records
// go many to one INSERT, yet each is decided once and in its turn as when it went alone. The commit
// after record 10001 takes exactly the records before it; a refused INSERT of many rows (record 700
// repeats the number of record 699) is sent again one record at a time, so that only the
// duplicate is left out, and counted as one; a NUL in a text arrives as a space, binary bytes
// as they are; a record whose column list differs goes in an INSERT of its own kind.
class ManyRowsConversionTest : public ServerConversionTest {};

TEST_P(ManyRowsConversionTest, RecordsGoManyToOneInsertAndAreDecidedOneByOneAsBefore) {
  constexpr int kItems = 10001 + 1234;
  constexpr int kRepeats = 700;   // holds the number of the record before it
  constexpr int kNoNotes = 2000;  // no notes: a column list of its own
  constexpr int kNulNotes = 3;    // notes with a NUL inside
  const auto nameOf = [](int i) { return "item " + std::to_string(i); };
  const auto notesOf = [](int i) {
    if (i == kNoNotes) return std::string();
    return i == kNulNotes ? std::string("a\0b", 3) : "notes " + std::to_string(i);
  };
  const auto bytesOf = [](int i) { return std::string("\0'\\\xff", 4) + std::to_string(i); };
  const std::string table = GetParam().database + files::test::uniqueTableName("upk_conv_many");
  remember(table);
  files::FileSpec old = itemSpec(files::Driver::Caskfile, "items.vkf");
  old.keys = kOldItemKeys;
  files::FileDeclaration local{old};
  ASSERT_EQ(writeOlderFile(driverFile, local, kItems,
                           [&](int i) {
                             local.recordAs<Item>().ID = i == kRepeats ? i - 1 : i;
                             local.recordAs<Item>().NAME = nameOf(i);
                             local.memo(1)->assign(notesOf(i));
                             local.memo(2)->setBytes(bytesOf(i));
                           }),
            0)
      << runtime::ERROR();

  recordStatements({.manyRows = true, .outcomes = true});
  answerer.addAnswer(runtime::ButtonIgnore);  // the conversion incomplete: the duplicate
  openItemsTable(table);
  const std::vector<runtime::MessageRequest> shown = answerer.shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_TRUE(shown[0].text.starts_with(
      "Upkeep: Upgrade of " + table + " incomplete: " + std::to_string(kItems) + " of " +
      std::to_string(kItems) + " records read, 0 refused. Duplicate keys left out: 1."))
      << shown[0].text;

  // What the server was sent for the items: the records each INSERT decided (those of a refused
  // INSERT of many rows are decided when sent again), and where the commits fell among them.
  using Recorder = testing::RecordingConnection;
  const std::string into = "INSERT INTO " + runtime::UPPER(table) + " ";
  std::vector<int> decided;            // record numbers, in the order the server decided them
  std::vector<std::size_t> commitsAt;  // how many were decided at each commit
  std::size_t mostRows = 0;
  std::vector<std::size_t> refusedAlone;  // records whose INSERT of their own was refused
  int refusedMany = 0;
  for (std::size_t s = 0; s < sent.size(); ++s) {
    if (sent[s] == Recorder::kCommit && !decided.empty()) commitsAt.push_back(decided.size());
    if (!runtime::UPPER(sent[s].substr(0, into.size())).starts_with(into)) continue;
    std::vector<int> rows;
    for (std::size_t at = sent[s].find("'item "); at != std::string::npos;
         at = sent[s].find("'item ", at + 1))
      rows.push_back(std::atoi(sent[s].c_str() + at + 6));
    mostRows = std::max(mostRows, rows.size());
    const bool refused = s + 1 < sent.size() && sent[s + 1] == Recorder::kRefused;
    if (refused && rows.size() > 1) {
      ++refusedMany;
      continue;
    }
    if (refused) refusedAlone.push_back(static_cast<std::size_t>(rows.at(0)));
    decided.insert(decided.end(), rows.begin(), rows.end());
  }
  std::vector<int> inOrder(kItems);
  for (int i = 0; i < kItems; ++i) inOrder[static_cast<std::size_t>(i)] = i + 1;
  EXPECT_EQ(decided, inOrder) << "every record decided once, in its turn";
  ASSERT_GE(commitsAt.size(), 2u);
  EXPECT_EQ(commitsAt[0], 10001u) << "the first commit takes records 1 to 10001";
  EXPECT_EQ(commitsAt.back(), static_cast<std::size_t>(kItems));
  const bool manyRows = GetParam().server.backend == files::SqlBackend::PostgreSQL;
  EXPECT_EQ(mostRows, manyRows ? upkeep::SqlInsertBatch::kMostRows : 1u) << "an INSERT fills";
  EXPECT_EQ(refusedMany, manyRows ? 1 : 0);
  EXPECT_EQ(refusedAlone, std::vector<std::size_t>{kRepeats});

  ASSERT_TRUE(plain->execute("SELECT id, name, notes, bytes FROM " + table + " ORDER BY id", {}))
      << plain->lastError().text;
  int read = 0;
  for (files::SqlRow row; plain->fetch(row);) {
    ++read;
    const int i = read < kRepeats ? read : read + 1;  // record 700 is left out
    ASSERT_EQ(row[0].value, std::to_string(i)) << "row " << read;
    EXPECT_EQ(row[1].value, nameOf(i));
    EXPECT_EQ(row[2].value.value_or(""), i == kNulNotes ? "a b" : notesOf(i));
    EXPECT_EQ(row[3].value.value_or(""), bytesOf(i));
    if (::testing::Test::HasFailure()) break;
  }
  EXPECT_EQ(read, kItems - 1);
}

// Writes the older program's local file "items.vkf" of `count` items, and a copy of it.
void writeItemsFile(files::FileDeclaration& driverFile, int count) {
  files::FileDeclaration local{itemSpec(files::Driver::Caskfile, "items.vkf")};
  ASSERT_EQ(writeOlderFile(driverFile, local, count,
                           [&](int i) {
                             local.recordAs<Item>().ID = i;
                             local.recordAs<Item>().NAME = "item " + std::to_string(i);
                           }),
            0)
      << runtime::ERROR();
  std::filesystem::copy_file("items.vkf", "pristine.vkf");
}

// The old data file (".Dat") the search finds for the SQL table `table`: the table's name up to
// its first dot (MySQL's database) with ".Dat" for its extension, in the current folder.
std::string oldDataFileOf(const std::string& table) {
  return table.substr(0, table.find('.')) + ".Dat";
}

// An older program's old data file of `count` items: ITM:ID, a LONG, and ITM:NAME, a
// STRING(60), keyed on the number; the items 1 to `count`, with a deleted record after the
// first.
upkeep::testing::OldBytes oldDataItems(int count) {
  using namespace upkeep::testing;
  OldFileDescription file;
  file.prefix = "ITM";
  file.fields = {{.type = OldLong, .name = "ITM:ID", .len = 4},
                 {.type = OldString, .name = "ITM:NAME", .len = 60}};
  file.keys = {{.name = "ITM:P_ID", .attr = 0x40, .fields = {1}}};
  const auto item = [](std::int32_t id, const std::string& name) {
    OldBytes bytes;
    for (int b = 0; b < 4; ++b) bytes.push_back(static_cast<std::uint8_t>(id >> (8 * b)));
    bytes.insert(bytes.end(), name.begin(), name.end());
    bytes.resize(64, ' ');
    return bytes;
  };
  for (int i = 1; i <= count; ++i) {
    file.records.push_back({.fields = item(i, "item " + std::to_string(i))});
    if (i == 1) file.records.push_back({.fields = item(0, "deleted"), .deleted = true});
  }
  return oldDataFile(file);
}

// Where the older program left the items that a conversion carries into a new table.
struct OldItems {
  bool oldData;  // only in an old data file beside the table's name; else in "items.vkf"
  const char* what;
};
const OldItems kOldItems[] = {{false, "the local file under the table's recorded old name"},
                              {true, "only an old data file, nothing under the recorded old name"}};

// The file that holds the older program's items for the conversion into `table`.
std::string oldItemsFile(const OldItems& old, const std::string& table) {
  return old.oldData ? oldDataFileOf(table) : "items.vkf";
}

// Writes the older program's `count` items as `old` says into "pristine", for
// restoreOldItems to put where the conversion finds them; "items.vkf" is removed unless it is
// the file that holds them.
void writeOldItems(files::FileDeclaration& driverFile, const OldItems& old, int count) {
  std::filesystem::remove("items.vkf");
  std::filesystem::remove("pristine");
  if (!old.oldData) {
    ASSERT_NO_FATAL_FAILURE(writeItemsFile(driverFile, count));
    std::filesystem::rename("pristine.vkf", "pristine");
    return;
  }
  upkeep::testing::writeOldFile("pristine", oldDataItems(count));
}

// Puts the older program's items where the conversion into `table` finds them, as written: the
// only file that holds them.
void restoreOldItems(const OldItems& old, const std::string& table) {
  std::filesystem::copy_file("pristine", oldItemsFile(old, table),
                             std::filesystem::copy_options::overwrite_existing);
}

// True when the old data file of the older program's items is byte for byte as written: nothing
// ever writes to it. (A local file is not checked: its backup, made and put back through
// SQLite, holds the same records in bytes of its own.)
bool oldDataWhole(const OldItems& old, const std::string& table) {
  return !old.oldData ||
         (std::filesystem::exists(oldItemsFile(old, table)) &&
          support::readFile(oldItemsFile(old, table)) == support::readFile("pristine"));
}

// True when a backup of an upgrade ("dstmp" and a number) is left in the current folder.
bool backupLeft() {
  for (const auto& entry : std::filesystem::directory_iterator("."))
    if (runtime::UPPER(entry.path().filename().string()).starts_with("DSTMP")) return true;
  return false;
}

// Expects `table` to hold the items 1 to `count`, each once.
void expectEveryItemOnce(files::SqlConnection& plain, const std::string& table, int count) {
  ASSERT_TRUE(
      plain.execute("SELECT COUNT(*), COUNT(DISTINCT id), MIN(id), MAX(id) FROM " + table, {}));
  files::SqlRow row;
  ASSERT_TRUE(plain.fetch(row));
  EXPECT_EQ(row[0].value, std::to_string(count));
  EXPECT_EQ(row[1].value, std::to_string(count));
  EXPECT_EQ(row[2].value, "1");
  EXPECT_EQ(row[3].value, std::to_string(count));
  while (plain.fetch(row)) {
  }
}

// A table whose name carries its schema or database in front ("public.items", "gd_test.items"),
// recorded with an old local file named without an extension: the dot of the table's name is
// no extension, and the old file is found under its own name.
TEST_P(ServerConversionTest, AnOldNameWithoutExtensionIsFoundForATableNamedWithItsSchema) {
  const std::string schema = GetParam().database[0] != '\0' ? GetParam().database
                             : GetParam().server.backend == files::SqlBackend::PostgreSQL
                                 ? "public."
                                 : "";
  const std::string table = schema + files::test::uniqueTableName("upk_conv_plain");
  remember(table);
  files::FileDeclaration local{itemSpec(files::Driver::Caskfile, "olditems")};
  ASSERT_EQ(writeOlderFile(driverFile, local, 3,
                           [&](int i) {
                             local.recordAs<Item>().ID = i;
                             local.recordAs<Item>().NAME = "item " + std::to_string(i);
                           }),
            0)
      << runtime::ERROR();
  startToday("olditems", table);
  files::FileDeclaration items{itemSpec(files::Driver::Odbc, table, owner)};
  upkeep::ds_UsingFile("ITM", "Items", items, 2, 0);
  upkeep::ds_FileOpen(items, 0x42);
  ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERROR();
  files::CLOSE(items);
  expectEveryItemOnce(*plain, table, 3);
}

// A conversion killed at any step leaves the next start a table with every record once: the
// half-filled table of an unfinished conversion is dropped, the old file put back and converted
// again; a finished one keeps its table and only loses the backup. So whether the old records
// come from the file under the table's recorded old name or only from an old data file: the
// table created for them is guarded from before its creation, and the old data file is never
// changed.
class ForkedConversionTest : public ServerConversionTest {};

TEST_P(ForkedConversionTest, AConversionKilledAtAnyStepIsWholeAtTheNextStart) {
  constexpr int kItems = 10010;  // a commit after record 10001, the rest at the end

  struct KillPoint {
    upkeep::UpgradeStep step;
    int occurrence;
    bool tableGone;  // a settling killed after it dropped the table: only the backup is left
    const char* what;
    // INSERTs were sent but none committed: a transactional table holds no row after the kill.
    bool noneCommitted = false;
  };
  const KillPoint points[] = {
      {upkeep::UpgradeStep::CreateTable, 1, false, "pending marker written, no table yet"},
      {upkeep::UpgradeStep::Marker, 1, false, "table created, its backup not yet named"},
      {upkeep::UpgradeStep::Backup, 1, false, "marker written, old file not yet set aside"},
      {upkeep::UpgradeStep::Write, 5000, false, "records sent many to an INSERT, none committed",
       true},
      {upkeep::UpgradeStep::Write, 10005, false, "records 1 to 10001 committed"},
      {upkeep::UpgradeStep::Write, 10005, true, "half converted, the table already dropped"},
      {upkeep::UpgradeStep::Finish, 1, false, "every record in, the conversion not yet finished"},
      {upkeep::UpgradeStep::Cleanup, 1, false, "finished, the backup not yet removed"}};
  for (const OldItems& old : kOldItems) {
    SCOPED_TRACE(old.what);
    const std::string table =
        GetParam().database +
        files::test::uniqueTableName(old.oldData ? "upk_conv_kill_dat" : "upk_conv_kill");
    remember(table);
    ASSERT_NO_FATAL_FAILURE(writeOldItems(driverFile, old, kItems));
    const std::string marker =
        upkeep::upgradeMarkerPath(upkeep::completedFileName(files::Driver::Odbc, table));
    for (const KillPoint& point : points) {
      SCOPED_TRACE(point.what);
      dropTable(table);
      restoreOldItems(old, table);
      ASSERT_TRUE(convertInChild(table, old.oldData, point.step, point.occurrence));
      if (point.tableGone) dropTable(table);
      EXPECT_TRUE(oldDataWhole(old, table));
      if (point.noneCommitted && GetParam().server.backend == files::SqlBackend::PostgreSQL) {
        ASSERT_TRUE(plain->execute("SELECT COUNT(*) FROM " + table, {}));
        files::SqlRow row;
        ASSERT_TRUE(plain->fetch(row));
        EXPECT_EQ(row[0].value, "0");
        while (plain->fetch(row)) {
        }
      }

      ASSERT_EQ(openItemsTable(table, old.oldData), 0) << runtime::FILEERROR();
      expectEveryItemOnce(*plain, table, kItems);
      EXPECT_FALSE(std::filesystem::exists(marker));
      EXPECT_FALSE(backupLeft());
      EXPECT_TRUE(oldDataWhole(old, table));
    }
  }
}

// A conversion that gives up after its table was created, before its backup is made and named,
// leaves no empty table to be taken for the converted one: the open fails and the next one
// converts every record. The old data file is left whole throughout.
TEST_P(ServerConversionTest, AConversionThatGivesUpAfterCreatingItsTableRunsAgainAtTheNextOpen) {
  constexpr int kItems = 20;

  struct GiveUp {
    int failedMarker;  // the write of the conversion's marker that fails
    const char* what;
  };
  const GiveUp cases[] = {{1, "no marker naming a backup can be written"},
                          {2, "the backup copied, the marker cannot name its identity"}};
  for (const OldItems& old : kOldItems) {
    SCOPED_TRACE(old.what);
    ASSERT_NO_FATAL_FAILURE(writeOldItems(driverFile, old, kItems));
    for (const GiveUp& giveUp : cases) {
      SCOPED_TRACE(giveUp.what);
      const std::string table =
          GetParam().database +
          files::test::uniqueTableName((old.oldData ? "upk_conv_gave_up_dat" : "upk_conv_gave_up") +
                                       std::to_string(giveUp.failedMarker));
      remember(table);
      const std::string marker =
          upkeep::upgradeMarkerPath(upkeep::completedFileName(files::Driver::Odbc, table));
      restoreOldItems(old, table);
      upkeep::setUpgradeStepHook([&, seen = 0](upkeep::UpgradeStep step) mutable {
        const bool fails = step == upkeep::UpgradeStep::Marker && ++seen == giveUp.failedMarker;
        return fails ? runtime::AccessDeniedErr : 0;
      });
      answerer.addAnswer(runtime::ButtonIgnore);  // "Upkeep: " M5, no backup could be made
      EXPECT_NE(openItemsTable(table, old.oldData), 0);
      upkeep::setUpgradeStepHook({});
      EXPECT_EQ(answerer.answersLeft(), 0u);
      EXPECT_FALSE(std::filesystem::exists(marker));
      EXPECT_FALSE(backupLeft());
      EXPECT_TRUE(oldDataWhole(old, table));

      ASSERT_EQ(openItemsTable(table, old.oldData), 0) << runtime::FILEERROR();
      expectEveryItemOnce(*plain, table, kItems);
      EXPECT_FALSE(std::filesystem::exists(marker));
      EXPECT_TRUE(oldDataWhole(old, table));
    }
  }
}

// A marker written before a table's creation that outlived its open (its removal failed) meets a
// table that holds records: the converted ones and one the user added since. The old file still
// stands, but the table is kept whole and only the marker goes.
TEST_P(ServerConversionTest, AStaleMarkerFromBeforeTheTablesCreationNeverDropsATableWithRecords) {
  constexpr int kItems = 20;
  const std::string table = GetParam().database + files::test::uniqueTableName("upk_conv_stale");
  remember(table);
  ASSERT_NO_FATAL_FAILURE(writeItemsFile(driverFile, kItems));
  ASSERT_EQ(openItemsTable(table), 0) << runtime::FILEERROR();
  ASSERT_TRUE(plain->execute(
      "INSERT INTO " + table + " (id, name) VALUES (" + std::to_string(kItems + 1) + ", 'added')",
      {}))
      << plain->lastError().text;
  const std::string target = upkeep::completedFileName(files::Driver::Odbc, table);
  ASSERT_EQ(
      upkeep::writeUpgradeMarker(
          target,
          {{}, false, false, upkeep::completedFileName(files::Driver::Caskfile, "items.vkf"), {}}),
      0);

  ASSERT_EQ(openItemsTable(table), 0) << runtime::FILEERROR();
  expectEveryItemOnce(*plain, table, kItems + 1);
  EXPECT_FALSE(std::filesystem::exists(upkeep::upgradeMarkerPath(target)));
}

INSTANTIATE_TEST_SUITE_P(Servers, ServerConversionTest, ::testing::ValuesIn(kServerCases),
                         [](const auto& info) { return std::string(info.param.server.name); });
INSTANTIATE_TEST_SUITE_P(Servers, ManyRowsConversionTest,
                         ::testing::ValuesIn(serverCasesOnFirebird(false)),
                         [](const auto& info) { return std::string(info.param.server.name); });
// The embedded Firebird engine runs inside this process, whose threads a fork leaves behind.
INSTANTIATE_TEST_SUITE_P(Servers, ForkedConversionTest,
                         ::testing::ValuesIn(serverCasesOnFirebird(false)),
                         [](const auto& info) { return std::string(info.param.server.name); });

}  // namespace
}  // namespace upkeep_sql
