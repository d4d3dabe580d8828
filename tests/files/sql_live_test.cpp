// The SQL driver against live PostgreSQL, MariaDB and Firebird databases: a table with every field
// type of the runtime is created, written, read in both orders, changed and deleted, and every
// value comes back exactly; statements through property 7200h; the errors of a refused
// statement, a missing table and a wrong password.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/files/file_driver.h"
#include "platform/files/file_property.h"
#include "platform/files/sql_columns.h"
#include "platform/files/sql_quoting.h"
#include "platform/os/debug_output.h"
#include "platform/runtime/case_fold.h"
#include "platform/runtime/decimal.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/record_layout.h"
#include "platform/runtime/text_types.h"
#include "tests/files/sql_servers.h"

namespace files::test {
namespace {

using runtime::Decimal;

struct AllTypes {
  runtime::Long ID;
  runtime::Byte B;
  runtime::Short S;
  runtime::UShort US;
  runtime::ULong UL;
  runtime::SReal SR;
  runtime::Real R;
  runtime::DecimalField<31, 2> BIG;
  runtime::PDecimalField<31, 30> FINE;
  runtime::Date D;
  runtime::Time T;
  runtime::String<20> STR;
  runtime::CString<40> CSTR;
  runtime::PString<30> PSTR;
  runtime::Long ARR[3];
};

constexpr runtime::FieldDef kAllFields[] = {
    GD_FIELD(AllTypes, ID, "ALL:ID"),     GD_FIELD(AllTypes, B, "ALL:B"),
    GD_FIELD(AllTypes, S, "ALL:S"),       GD_FIELD(AllTypes, US, "ALL:US"),
    GD_FIELD(AllTypes, UL, "ALL:UL"),     GD_FIELD(AllTypes, SR, "ALL:SR"),
    GD_FIELD(AllTypes, R, "ALL:R"),       GD_FIELD(AllTypes, BIG, "ALL:BIG"),
    GD_FIELD(AllTypes, FINE, "ALL:FINE"), GD_FIELD(AllTypes, D, "ALL:D"),
    GD_FIELD(AllTypes, T, "ALL:T"),       GD_FIELD(AllTypes, STR, "ALL:STR"),
    GD_FIELD(AllTypes, CSTR, "ALL:CSTR"), GD_FIELD(AllTypes, PSTR, "ALL:PSTR"),
    GD_FIELD(AllTypes, ARR, "ALL:ARR"),
};
constexpr KeySpec kAllKeys[] = {
    {"ALL:P_ID", KeyPrimary, {1}},
    {"ALL:K_CSTR", KeyDup | KeyNoCase, {13}},
    {"ALL:K_DATE", KeyDup, {10, -1}},
};
constexpr MemoSpec kAllMemos[] = {{"ALL:NOTES", 2000, MemoKindBlob},
                                  {"ALL:BYTES", 1000, MemoKindMemo}};

// Texts that a statement pasted together would break on.
const std::string kHardText = "O'Brien \\' \"q\" -- ; ünï ✓";

std::string allBytes() {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
  return bytes;
}

class SqlLiveTest : public ::testing::TestWithParam<LiveServer> {
 protected:
  void SetUp() override {
    GD_LIVE_CONNECTION(GetParam(), connection);
    table = uniqueTableName("gd_all");
    file = declare(table);
    REMOVE(*file);  // left by an earlier run that stopped half-way
    CREATE(*file);
    ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERRORCODE() << " " << runtime::FILEERROR();
    OPEN(*file, 0x42);
    ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERRORCODE() << " " << runtime::FILEERROR();
  }

  void TearDown() override {
    if (file == nullptr) return;
    CLOSE(*file);
    REMOVE(*file);
  }

  std::unique_ptr<FileDeclaration> declare(const std::string& name, std::string_view owner = {}) {
    owner_ = owner.empty() ? connection : std::string(owner);
    name_ = name;
    FileSpec spec{.label = "alltypes",
                  .prefix = "ALL",
                  .driver = Driver::Odbc,
                  .name = name_,
                  .owner = owner_,
                  .fields = kAllFields,
                  .recordSize = sizeof(AllTypes),
                  .keys = kAllKeys,
                  .memos = kAllMemos};
    return std::make_unique<FileDeclaration>(spec);
  }

  AllTypes& rec() { return file->recordAs<AllTypes>(); }

  // Fills the buffer with record `id`: `extreme` puts every field at the edge of its range.
  void fill(int id, bool extreme) {
    CLEAR(*file);
    AllTypes& r = rec();
    r.ID = id;
    if (extreme) {
      r.B = 255;
      r.S = -32768;
      r.US = 65535;
      r.UL = 4294967295u;
      r.SR = -1.5f;
      r.R = 3.141592653589793;
      r.BIG = Decimal::parse("-99999999999999999999999999999.99");
      r.FINE = Decimal::parse("0.999999999999999999999999999999");
      r.D = runtime::lastStandardDate;
      r.T = runtime::Time(23, 59, 59, 99);
      r.STR = kHardText.substr(0, 20);
      r.CSTR = kHardText;
      r.PSTR = "  leading blanks";
      r.ARR[0] = -1;
      r.ARR[2] = 0x7fffffff;
      file->memo(1)->assign(kHardText);
      file->memo(2)->setBytes(allBytes());
    } else {
      r.D = runtime::firstStandardDate;
      r.CSTR = "plain " + std::to_string(id);
      r.BIG = Decimal::parse("99999999999999999999999999999.99");
    }
  }

  // Reads the next record and checks it against what fill(id, extreme) writes.
  void expectRecord(int id, bool extreme) {
    ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERRORCODE() << " " << runtime::FILEERROR();
    const std::vector<std::byte> got(file->record().begin(), file->record().end());
    const std::string notes(file->memo(1)->content());
    const std::string bytes(file->memo(2)->content());
    fill(id, extreme);
    for (std::size_t i = 0; i < std::size(kAllFields); ++i) {
      const runtime::FieldDef& f = kAllFields[i];
      if (f.type == runtime::FieldType::PDecimal || f.type == runtime::FieldType::Decimal) {
        const auto valueIn = [&](const std::byte* record) {
          return runtime::unpackDecimal(reinterpret_cast<const unsigned char*>(record) + f.offset,
                                        f.digits, f.scale, f.type == runtime::FieldType::PDecimal);
        };
        EXPECT_EQ(valueIn(got.data()), valueIn(file->record().data())) << f.label << " of " << id;
        continue;
      }
      EXPECT_EQ(0,
                std::memcmp(got.data() + f.offset, file->record().data() + f.offset, f.totalSize()))
          << "field " << f.label << " of record " << id;
    }
    EXPECT_EQ(notes, file->memo(1)->content());
    EXPECT_EQ(bytes, file->memo(2)->content());
  }

  void add(int id, bool extreme) {
    fill(id, extreme);
    ADD(*file);
    ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERRORCODE() << " " << runtime::FILEERROR();
  }

  std::string connection;
  std::string table;
  std::unique_ptr<FileDeclaration> file;

 private:
  std::string owner_;
  std::string name_;
};

TEST_P(SqlLiveTest, EveryFieldTypeRoundTripsThroughAddSetNextGetPutDelete) {
  add(1, true);
  add(2, false);
  add(3, true);
  EXPECT_EQ(RECORDS(*file), 3);

  SET(*file, *file->key(1));
  for (const int id : {1, 2, 3}) {
    NEXT(*file);
    expectRecord(id, id != 2);
  }
  NEXT(*file);
  EXPECT_EQ(runtime::ERRORCODE(), 33);

  // Date ascending, then id descending: 2 has the first date; 3 before 1.
  SET(*file, *file->key(3));
  std::string order;
  for (NEXT(*file); runtime::ERRORCODE() == 0; NEXT(*file))
    order += std::to_string(rec().ID.value());
  EXPECT_EQ(order, "231");

  // From the buffer's key values on.
  CLEAR(*file);
  rec().ID = 2;
  SET(*file, *file->key(1), SetFrom::RecordBuffer);
  NEXT(*file);
  EXPECT_EQ(rec().ID.value(), 2);

  CLEAR(*file);
  rec().ID = 3;
  GET(*file, *file->key(1));
  expectRecord(3, true);

  rec().CSTR = "changed 'again'";
  rec().D = 0;
  PUT(*file);
  ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERROR();
  CLEAR(*file);
  rec().CSTR = "CHANGED 'AGAIN'";
  GET(*file, *file->key(2));
  ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERROR();
  EXPECT_EQ(rec().ID.value(), 3);
  EXPECT_EQ(rec().D.value(), 0) << "a blank date is stored as NULL and reads back blank";

  DELETE(*file);
  ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERROR();
  rec().ID = 3;
  GET(*file, *file->key(1));
  EXPECT_EQ(runtime::ERRORCODE(), runtime::RecordNotFoundErr);
  EXPECT_EQ(RECORDS(*file), 2);

  fill(1, false);
  ADD(*file);
  EXPECT_EQ(runtime::ERRORCODE(), runtime::DuplicateKeyErr);
}

// A text column holds no NUL byte: one written through ADD or PUT arrives as a space on every
// server, the rest of the text kept, and the change is traced.
TEST_P(SqlLiveTest, ANulByteInATextArrivesAsASpaceOnEveryServer) {
  std::vector<std::string> traced;
  const os::DebugSink previous =
      os::setDebugSink([&](std::string_view line) { traced.emplace_back(line); });
  const auto readBack = [&] {
    CLEAR(*file);
    rec().ID = 1;
    GET(*file, *file->key(1));
    EXPECT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERROR();
  };
  fill(1, false);
  rec().STR = std::string("ab\0cd", 5);
  rec().PSTR = std::string("p\0q", 3);
  file->memo(1)->assign(std::string("notes\0end", 9));
  ADD(*file);
  ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERROR();
  readBack();
  EXPECT_EQ(rec().STR.clipped(), "ab cd");
  EXPECT_EQ(rec().PSTR.clipped(), "p q");
  EXPECT_EQ(file->memo(1)->content(), "notes end");

  rec().STR = std::string("ef\0\0gh", 6);
  PUT(*file);
  ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERROR();
  readBack();
  EXPECT_EQ(rec().STR.clipped(), "ef  gh");
  os::setDebugSink(previous);
  EXPECT_NE(
      std::find(traced.begin(), traced.end(), "NUL byte in the text of ALL:STR sent as a space"),
      traced.end())
      << ::testing::PrintToString(traced);
}

TEST_P(SqlLiveTest, StatementAnswersRowsThroughNextAndRecords) {
  add(1, false);
  add(2, false);
  add(3, true);
  const SqlBackend backend = GetParam().backend;
  const std::string id = *quoteIdentifier(backend, namedInCase(backend, "ID"));
  const std::string cstr = *quoteIdentifier(backend, namedInCase(backend, "CSTR"));
  ASSERT_TRUE(setProperty(*file, PropSqlStatement,
                          "SELECT " + id + ", 7, 'x', " + cstr + " FROM " + table + " WHERE " + id +
                              " > 1 ORDER BY " + id));
  ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERROR();
  EXPECT_EQ(RECORDS(*file), 2);
  NEXT(*file);
  // Column 1 into field 1 (ID), 2 into B, 3 into S (no number: 0), 4 into US (no number: 0).
  EXPECT_EQ(rec().ID.value(), 2);
  EXPECT_EQ(rec().B.value(), 7);
  NEXT(*file);
  EXPECT_EQ(rec().ID.value(), 3);
  NEXT(*file);
  EXPECT_EQ(runtime::ERRORCODE(), 33);
  EXPECT_EQ(rec().ID.value(), 3) << "no row leaves the buffer as it was";
  SET(*file);
  NEXT(*file);
  EXPECT_EQ(rec().ID.value(), 2);

  setProperty(*file, PropSqlStatement, "SELECT nothing FROM no_such_table_here");
  EXPECT_EQ(runtime::ERRORCODE(), runtime::FileSystemErr);
  EXPECT_EQ(runtime::FILEERRORCODE(), GetParam().missingTableState);
  EXPECT_NE(runtime::lowerCase(runtime::FILEERROR()).find("no_such_table_here"), std::string::npos)
      << runtime::FILEERROR();
  EXPECT_EQ(getProperty(*file, PropSqlStatement), "SELECT nothing FROM no_such_table_here");
  EXPECT_FALSE(getProperty(*file, PropServerVersion).empty());
}

TEST_P(SqlLiveTest, RollbackDiscardsAndCommitKeepsATransactionsWrites) {
  add(1, false);
  LOGOUT(1, *file);
  ASSERT_EQ(runtime::ERRORCODE(), 0);
  add(2, true);
  add(3, false);
  ROLLBACK();
  EXPECT_EQ(RECORDS(*file), 1);
  LOGOUT(1, *file);
  add(4, true);
  COMMIT();
  ASSERT_EQ(runtime::ERRORCODE(), 0);
  CLOSE(*file);
  OPEN(*file, 0x42);
  EXPECT_EQ(RECORDS(*file), 2);
}

TEST_P(SqlLiveTest, SchemaNamesMissingTablesAndWrongPasswords) {
  add(5, true);
  const std::string schema = GetParam().schema;
  if (!schema.empty()) {
    auto qualified = declare(schema + "." + table);
    OPEN(*qualified, 0x42);
    ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERROR();
    EXPECT_EQ(NAME(*qualified), schema + "." + table);
    EXPECT_EQ(RECORDS(*qualified), 1);
  }

  auto missing = declare(uniqueTableName("gd_none"));
  OPEN(*missing, 0x42);
  EXPECT_EQ(runtime::ERRORCODE(), runtime::FileNotFoundErr);

  // A password the server refuses; where nothing checks passwords, a database that is not
  // there, with the password beside it.
  const std::string wrong = "Wr0ng-Secret-Pw";
  const std::size_t password = connection.find(GetParam().checksLogin ? "PWD=" : "PASSWORD=");
  std::string owner = connection.substr(0, password) + "PWD=" + wrong;
  if (!GetParam().checksLogin) {
    const std::size_t file = owner.find("gd_test.fdb");
    ASSERT_NE(file, std::string::npos) << owner;
    owner.replace(file, 11, "gd_missing.fdb");
  }
  auto refused = declare(table, owner);
  OPEN(*refused, 0x42);
  EXPECT_EQ(runtime::ERRORCODE(), runtime::FileSystemErr);
  EXPECT_FALSE(runtime::FILEERRORCODE().empty());
  EXPECT_NE(runtime::FILEERROR().find("gd"), std::string::npos) << "the server's own text";
  EXPECT_EQ(runtime::FILEERROR().find(wrong), std::string::npos) << runtime::FILEERROR();
}

// Values and names that would change the shape of a statement pasted together without quoting.
const std::string kInjectionCorpus[] = {
    "'",
    "''",
    "\\",
    "\\'",
    "\\'; DELETE FROM x; --",
    "x'); DROP TABLE y; --",
    "/* comment */ still text",
    "-- not a comment",
    "#hash",
    ";",
    "\"double\" `back` [bracket]",
    std::string("nul\0byte", 8),
    "tab\tline\ncr\r",
    "ünïcödé ✓",
};

TEST_P(SqlLiveTest, QuotedLiteralsAndNamesArriveIntactAndNeverChangeAStatement) {
  const SqlBackend backend = GetParam().backend;
  const auto name = [&](std::string_view column) {
    return *quoteIdentifier(backend, backend == SqlBackend::PostgreSQL ? runtime::lowerCase(column)
                                                                       : std::string(column));
  };
  int id = 0;
  int stored = 0;
  for (const std::string& value : kInjectionCorpus) {
    ++id;
    const std::optional<std::string> literal = quoteLiteral(backend, value);
    if (!literal) {
      // Only MariaDB's literals can hold a NUL.
      EXPECT_NE(backend, SqlBackend::MySql);
      EXPECT_NE(value.find('\0'), std::string::npos);
      continue;
    }
    setProperty(*file, PropSqlStatement,
                "INSERT INTO " + table + " (" + name("ID") + ", " + name("CSTR") + ", " +
                    name("NOTES") + ") VALUES (" + std::to_string(id) + ", " + *literal + ", " +
                    *literal + ")");
    ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERROR() << " for " << *literal;
    ++stored;
    CLEAR(*file);
    rec().ID = id;
    GET(*file, *file->key(1));
    ASSERT_EQ(runtime::ERRORCODE(), 0);
    EXPECT_EQ(file->memo(1)->content(), value);
    EXPECT_EQ(rec().CSTR, value.substr(0, value.find('\0')));
  }
  EXPECT_EQ(RECORDS(*file), stored) << "one row per statement, nothing more, nothing less";

  // A table and a column named by the corpus.
  for (const std::string weird : {"t'x\"y`z]", "a;b -- c"}) {
    const std::string t = *quoteIdentifier(backend, weird + "_" + table);
    const std::string c = *quoteIdentifier(backend, weird);
    setProperty(*file, PropSqlStatement, "CREATE TABLE " + t + " (" + c + " INTEGER)");
    ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERROR();
    setProperty(*file, PropSqlStatement, "INSERT INTO " + t + " (" + c + ") VALUES (42)");
    setProperty(*file, PropSqlStatement, "SELECT " + c + " FROM " + t);
    EXPECT_EQ(RECORDS(*file), 1);
    NEXT(*file);
    EXPECT_EQ(rec().ID.value(), 42);
    setProperty(*file, PropSqlStatement, "DROP TABLE " + t);
    EXPECT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERROR();
  }
}

// A text longer than a Firebird VARCHAR holds in UTF-8 (8191 characters) gets a text BLOB.
TEST(SqlFirebirdTextTest, ATextLongerThanAVarcharHoldsKeepsItsValue) {
  std::string connection;
  GD_LIVE_CONNECTION(kLiveServers[2], connection);
  struct LongText {
    runtime::Long ID;
    runtime::CString<9001> TEXT;
  };
  constexpr runtime::FieldDef fields[] = {GD_FIELD(LongText, ID, "LNG:ID"),
                                          GD_FIELD(LongText, TEXT, "LNG:TEXT")};
  constexpr KeySpec keys[] = {{"LNG:P_ID", KeyPrimary, {1}}};
  FileDeclaration file(FileSpec{.label = "longtext",
                                .prefix = "LNG",
                                .driver = Driver::Odbc,
                                .name = uniqueTableName("gd_long"),
                                .owner = connection,
                                .fields = fields,
                                .recordSize = sizeof(LongText),
                                .keys = keys});
  REMOVE(file);
  CREATE(file);
  ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERRORCODE() << " " << runtime::FILEERROR();
  OPEN(file, 0x42);
  ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERROR();
  std::string text;
  for (std::string piece = "ünï 0 "; text.size() + piece.size() <= 9000;
       piece = "ünï " + std::to_string(text.size()) + " ")
    text += piece;
  text.resize(9000, 'x');
  file.recordAs<LongText>().ID = 1;
  file.recordAs<LongText>().TEXT = text;
  ADD(file);
  EXPECT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERROR();
  CLEAR(file);
  SET(file, *file.key(1));
  NEXT(file);
  EXPECT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERROR();
  EXPECT_EQ(file.recordAs<LongText>().TEXT.text(), text);
  CLOSE(file);
  REMOVE(file);
}

INSTANTIATE_TEST_SUITE_P(Servers, SqlLiveTest, ::testing::ValuesIn(kLiveServers),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace files::test
