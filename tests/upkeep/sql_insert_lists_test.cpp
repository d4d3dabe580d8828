#include "upkeep/sql_insert_lists.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/files/file_declaration.h"
#include "platform/os/debug_output.h"
#include "platform/runtime/decimal.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/standard_date.h"
#include "platform/runtime/text_types.h"
#include "tests/upkeep/field_list_fixture.h"
#include "upkeep/field_clearing.h"
#include "upkeep/registration.h"
#include "upkeep/registration_tables.h"
#include "upkeep/text_buffers.h"

namespace upkeep {
namespace {

// A field of the record being inserted and the value it holds.
struct Column {
  FieldEntry field;
  std::vector<unsigned char> bytes;

  template <class F>
  Column(std::string name, const F& value, std::string extName = {}, bool overed = false) {
    field.TYPE = static_cast<std::uint8_t>(F::fieldType);
    field.LEN = sizeof(F);
    if constexpr (requires { F::digits; }) {
      field.CHARS = static_cast<std::uint8_t>(2 * sizeof(F) - 1);
      field.PLACES = F::scale;
    }
    field.NAME = std::move(name);
    field.EXTNAME = std::move(extName);
    field.OVERED = overed ? 1 : 0;
    bytes.resize(sizeof(F));
    std::memcpy(bytes.data(), &value, sizeof(F));
  }

  FieldElement element() {
    FieldElement element;
    element.type = field.TYPE;
    element.len = field.LEN;
    element.chars = field.CHARS;
    element.places = field.PLACES;
    element.bytes = bytes.data();
    return element;
  }
};

class SqlInsertListsTest : public ::testing::Test {
 protected:
  void SetUp() override { allocateSqlTextBuffers(); }
  void TearDown() override {
    freeSqlTextBuffers();
    resetRegistrationTables();
    DTQ().clear();
  }
};

const int kNewYearsEve2020 = runtime::dateFromYmd(2020, 12, 31);
const int kHalfPastTwelve = runtime::timeFromHms(12, 30, 0, 0);

TEST_F(SqlInsertListsTest, EachTypeGivesItsLiteralAndZeroNullLeavesEmptyValuesOut) {
  struct Row {
    const char* what;
    Column column;
    const char* zeroNull;
    std::string backend;
    std::string names;  // after a first column "ID" with the value 1
    std::string values;
  };
  std::vector<Row> rows = {
      {"LONG", Column("PRO:COUNT", runtime::Long(-42)), "0", "", "ID, COUNT", "  1, -42"},
      {"ULONG above the LONG range", Column("PRO:COUNT", runtime::ULong(0xFFFFFFFFu)), "0", "",
       "ID, COUNT", "  1, 4294967295"},
      {"zero LONG", Column("PRO:COUNT", runtime::Long(0)), "0", "", "ID, COUNT", "  1, 0"},
      {"zero LONG with zeronull", Column("PRO:COUNT", runtime::Long(0)), "1", "", "ID", "  1"},
      {"REAL", Column("PRO:RATE", runtime::Real(2.5)), "0", "", "ID, RATE", "  1, 2.5"},
      {"DECIMAL",
       Column("PRO:AMOUNT", runtime::DecimalField<7, 2>(runtime::Decimal::parse("-1.5"))), "0", "",
       "ID, AMOUNT", "  1, -1.50"},
      {"text with an apostrophe", Column("PRO:NAME", runtime::String<10>("O'Brien")), "0", "",
       "ID, NAME", "  1, 'O''Brien'"},
      // MySQL reads a backslash in a literal as an escape: only there it goes doubled.
      {"text with backslashes", Column("PRO:NAME", runtime::String<10>("C:\\n\\'")), "0",
       "POSTGRES", "ID, NAME", "  1, 'C:\\n\\'''"},
      {"text with backslashes on MYODBC 3", Column("PRO:NAME", runtime::String<10>("C:\\n\\'")),
       "0", "MYODBC 3", "ID, NAME", "  1, 'C:\\\\n\\\\'''"},
      {"blank text", Column("PRO:NAME", runtime::String<4>("")), "0", "", "ID, NAME", "  1, ''"},
      {"blank text with zeronull", Column("PRO:NAME", runtime::CString<4>("")), "1", "", "ID",
       "  1"},
      {"date", Column("PRO:DAY", runtime::Date(kNewYearsEve2020)), "0", "", "ID, DAY",
       "  1, '20201231'"},
      {"no date", Column("PRO:DAY", runtime::Date()), "0", "", "ID, DAY", "  1, ''"},
      {"no date with zeronull", Column("PRO:DAY", runtime::Date()), "1", "", "ID", "  1"},
      {"no date on FIREBIRD", Column("PRO:DAY", runtime::Date()), "0", "FIREBIRD", "ID", "  1"},
      {"time", Column("PRO:AT", runtime::Time(kHalfPastTwelve)), "0", "", "ID, AT",
       "  1, '12:30:00'"},
      {"no time with zeronull", Column("PRO:AT", runtime::Time()), "2", "", "ID", "  1"},
      {"external name with an attribute",
       Column("PRO:NAME", runtime::String<2>("x"), "Pro:Full_Name|READONLY"), "0", "",
       "ID, Full_Name", "  1, 'x'"},
      {"a field laid over another keeps its prefix",
       Column("PRO:PART", runtime::String<2>("x"), {}, true), "0", "", "ID, PRO:PART", "  1, 'x'"},
  };
  for (Row& row : rows) {
    ds_SetOption("zeronull", row.zeroNull);
    SqlInsertLists lists;
    lists.backendKind = row.backend;
    Column id("PRO:ID", runtime::Long(1));
    lists.addField(id.field, id.element());
    lists.addField(row.column.field, row.column.element());
    EXPECT_EQ(lists.FieldNames(), row.names) << row.what;
    EXPECT_EQ(lists.FieldValues(), row.values) << row.what;
  }
}

TEST_F(SqlInsertListsTest, ANulByteInATextIsSentAsASpaceAndTraced) {
  std::vector<std::string> lines;
  const os::DebugSink previous =
      os::setDebugSink([&](std::string_view line) { lines.emplace_back(line); });
  SqlInsertLists lists;
  lists.recordNumber = 17;
  Column name("PRO:NAME", runtime::String<3>(std::string("a\0b", 3)));
  lists.addField(name.field, name.element());
  os::setDebugSink(previous);
  EXPECT_EQ(lists.FieldValues(), "  'a b'");
  EXPECT_EQ(lines, std::vector<std::string>{
                       "[Upkeep][ERROR] NULL DATA IN NON BINARY STRING (*CHANGED TO SPACE*) "
                       "record: 17 :: PRO:NAME"});
}

// After a field took its value for new fields, the whole numbers listed are traced, whatever
// the switches, until a field without such a value is filled.
TEST_F(SqlInsertListsTest, AnIntegerListedAfterAValueForNewFieldsIsTraced) {
  std::vector<std::string> lines;
  const os::DebugSink previous =
      os::setDebugSink([&](std::string_view line) { lines.emplace_back(line); });
  ITQ() = {{"PRO:ID", "AUTONUMBER", 6}};
  SqlInsertLists lists;
  Column id("PRO:ID", runtime::Long(0));
  Column count("PRO:COUNT", runtime::Long(3));
  Column other("PRO:OTHER", runtime::Long(0));
  ClearingField(id.element(), id.field.NAME, "PRO");
  lists.addField(id.field, id.element());
  lists.addField(count.field, count.element());
  const std::vector<std::string> afterValue = lines;
  ClearingField(other.element(), other.field.NAME, "PRO");
  lists.addField(other.field, other.element());
  ITQ().clear();
  os::setDebugSink(previous);
  EXPECT_EQ(lists.FieldValues(), "  7, 3, 0");
  EXPECT_EQ(afterValue, std::vector<std::string>(2, "[Upkeep] doing autonumcheck"));
  EXPECT_EQ(lines.size(), 2u) << "a field blanked ends it";
}

// A binary memo's bytes, and those of a text given a binary type (its trailing blanks dropped),
// go in the binary form each server reads: a bytea text on PostgreSQL, X'..' in hexadecimal
// elsewhere, 0x.. on SQL Server.
TEST_F(SqlInsertListsTest, BinaryBytesGoInTheBinaryFormOfTheServer) {
  struct Server {
    std::string kind;
    bool hexNumbers;
    std::string memo;
    std::string text;
  };
  const Server servers[] = {
      {"POSTGRES", false, "  'A\\047\\000\\222'", "  'A\\047\\000\\222 B'"},
      {"MYODBC 3", false, "  X'41270092'", "  X'412700922042'"},
      {"FIREBIRD", false, "  X'41270092'", "  X'412700922042'"},
      {"", true, "  0x41270092", "  0x412700922042"}};  // SQL Server knows no X'..'
  files::Memo memo({"PRO:BYTES", 10, files::MemoKindMemo, {}});
  memo.setBytes(std::string("A'\0\x92", 4));
  FieldEntry field;
  field.TYPE = kMemoEntryType;
  field.NAME = "PRO:BYTES";
  FieldElement element;
  element.type = kMemoEntryType;
  element.memo = &memo;
  Column text("PRO:RAW", runtime::String<8>(std::string("A'\0\x92 B", 6)));
  text.field.NAME = "PRO:RAW";
  for (const Server& server : servers) {
    SqlInsertLists lists;
    lists.backendKind = server.kind;
    lists.hexNumbers = server.hexNumbers;
    lists.addField(field, element);
    EXPECT_EQ(lists.FieldValues(), server.memo) << server.kind;
    lists.clear();
    lists.binaryFields.insert("PRO:RAW");
    lists.addField(text.field, text.element());
    EXPECT_EQ(lists.FieldValues(), server.text) << server.kind;
  }
}

TEST_F(SqlInsertListsTest, DateFormatsFollowTheServer) {
  for (const auto& [format, literal] : std::vector<std::pair<int, std::string>>{
           {10, "  '2020/12/31'"}, {110, "  '2020-12-31'"}, {0, "  '20201231'"}}) {
    SqlInsertLists lists;
    lists.DateFormat = static_cast<std::uint8_t>(format);
    Column day("PRO:DAY", runtime::Date(kNewYearsEve2020));
    lists.addField(day.field, day.element());
    EXPECT_EQ(lists.FieldValues(), literal) << format;
  }
}

TEST_F(SqlInsertListsTest, DateTimePairsGoInAsOneValueAtTheEnd) {
  DTQ() = {{"PRO:STAMP", "PRO:STAMP", "PRO:D1", "PRO:T1", "", ""},
           {"PRO:OTHER", "OTHER", "PRO:D2", "PRO:T2", "", ""},
           {"PRO:EMPTY", "EMPTY", "PRO:D3", "PRO:T3", "", ""}};
  SqlInsertLists lists;
  lists.DateFormat = 110;
  for (Column column : {Column("PRO:D1", runtime::Date(kNewYearsEve2020), {}, true),
                        Column("PRO:T1", runtime::Time(kHalfPastTwelve), {}, true),
                        Column("PRO:D2", runtime::Date(kNewYearsEve2020 + 1), {}, true),
                        Column("PRO:T2", runtime::Time(), {}, true)})
    lists.addField(column.field, column.element());
  EXPECT_EQ(lists.FieldNames(), "");  // laid over the text column: gathered, not listed
  lists.addDateTimePairs();
  EXPECT_EQ(lists.FieldNames(), "STAMP, OTHER");
  EXPECT_EQ(lists.FieldValues(), "  '2020-12-31 12:30:00', '2021-01-01'");
}

TEST_F(SqlInsertListsTest, ATimeWithoutADateRefusesTheRecordUnlessTheServerTakesATimeAlone) {
  DTQ() = {{"PRO:STAMP", "PRO:STAMP", "PRO:D1", "PRO:T1", "", ""}};
  for (const bool timeAloneTaken : {false, true}) {
    SqlInsertLists lists;
    lists.timeAloneTaken = timeAloneTaken;
    for (Column column : {Column("PRO:D1", runtime::Date(), {}, true),
                          Column("PRO:T1", runtime::Time(kHalfPastTwelve), {}, true)})
      lists.addField(column.field, column.element());
    lists.addDateTimePairs();
    EXPECT_EQ(lists.FieldValues(), "  ' 12:30:00'");
    EXPECT_EQ(lists.refusal(), timeAloneTaken ? ""
                                              : "A time without a date cannot go into the "
                                                "date-time column STAMP");
    lists.clear();
    EXPECT_EQ(lists.refusal(), "") << "the next record starts afresh";
  }
}

struct Record {
  runtime::Long ID;
  runtime::String<16> GUID;
  runtime::String<4> NOTE;
};
const runtime::FieldDef kOldFields[] = {GD_FIELD(Record, ID, "PRO:ID")};
const runtime::FieldDef kNewFields[] = {GD_FIELD(Record, ID, "PRO:ID"),
                                        GD_FIELD(Record, GUID, "PRO:GUID"),
                                        GD_FIELD(Record, NOTE, "PRO:NOTE")};

TEST_F(SqlInsertListsTest, TheRecordCopyListsConvertedFieldsAndNewValuesButNotBlanks) {
  files::FileDeclaration oldFile(specOf(kOldFields, sizeof(Record)));
  files::FileDeclaration newFile(specOf(kNewFields, sizeof(Record)));
  oldFile.recordAs<Record>().ID = 12;
  const FieldQueue dst = fieldList(newFile, true);
  const FieldQueue src = fieldList(oldFile, false);
  SqlInsertLists lists;
  RecordCopy copy;
  copy.DST = &dst;
  copy.SRC = &src;
  copy.filePrefix = "PRO";
  copy.sql = &lists;
  CopyRec(copy, oldFile, newFile);
  EXPECT_EQ(lists.FieldNames(), "GUID, ID");  // the fields in order of their names
  const std::string guid(newFile.recordAs<Record>().GUID.clipped());
  EXPECT_EQ(lists.FieldValues(), "  '" + guid + "', 12");
}

}  // namespace
}  // namespace upkeep
