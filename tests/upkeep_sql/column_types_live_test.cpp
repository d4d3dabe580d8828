// Column types as the live PostgreSQL, MariaDB and Firebird databases keep them, through the
// table manager's open: a table it made of every declared type is met unchanged by a full
// comparison; wide fields and raw bytes keep their values; a nullable column that joins the
// primary key is made NOT NULL; on Firebird, keys made by hand are dropped by their constraints'
// names before the declared keys take their place.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/files/file_declaration.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/decimal.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/record_layout.h"
#include "platform/runtime/standard_date.h"
#include "platform/runtime/text_types.h"
#include "tests/upkeep_sql/item_versions.h"
#include "tests/upkeep_sql/table_manager_fixture.h"
#include "upkeep_sql/statement_execution.h"

namespace upkeep_sql {
namespace {

using namespace testing;  // the item declarations and the fixture
using runtime::Decimal;
using runtime::FieldDef;
using runtime::FieldType;

// A field of the bytes of `def` declared as `type` (the BFLOAT types have no C++ type).
constexpr FieldDef declaredAs(FieldDef def, FieldType type) {
  def.type = type;
  return def;
}

struct StampParts {
  runtime::Date D;
  runtime::Time T;
};
struct ShortPair {
  runtime::Short A;
  runtime::Short B;
};
// Every field type, pictures, a date and time laid over a text, a GROUP and the long texts.
struct EveryType {
  EveryType() {}
  runtime::Long ID;
  runtime::Byte B;
  runtime::Short S;
  runtime::UShort US;
  runtime::ULong UL;
  runtime::SReal SR;
  runtime::Real R;
  runtime::String<4> BF4;
  runtime::String<8> BF8;
  runtime::DecimalField<7, 2> D72;
  runtime::DecimalField<7, 0> D70;
  runtime::PDecimalField<11, 4> P114;
  runtime::Date D;
  runtime::Time T;
  runtime::String<20> STR;
  runtime::String<30> PSTR30;
  runtime::CString<41> CSTR;
  runtime::CString<100> PCSTR;
  runtime::PString<31> PSTR;
  runtime::String<300> LONGSTR;
  runtime::CString<301> LONGCSTR;
  union {
    runtime::String<8> STAMP{};
    StampParts PARTS;
  };
  ShortPair PAIR;
};
constexpr FieldDef kEveryTypeFields[] = {
    GD_FIELD(EveryType, ID, "ITM:ID"),
    GD_FIELD(EveryType, B, "ITM:B"),
    GD_FIELD(EveryType, S, "ITM:S"),
    GD_FIELD(EveryType, US, "ITM:US"),
    GD_FIELD(EveryType, UL, "ITM:UL"),
    GD_FIELD(EveryType, SR, "ITM:SR"),
    GD_FIELD(EveryType, R, "ITM:R"),
    declaredAs(GD_FIELD(EveryType, BF4, "ITM:BF4"), FieldType::BFloat4),
    declaredAs(GD_FIELD(EveryType, BF8, "ITM:BF8"), FieldType::BFloat8),
    GD_FIELD(EveryType, D72, "ITM:D72"),
    GD_FIELD(EveryType, D70, "ITM:D70"),
    GD_FIELD(EveryType, P114, "ITM:P114"),
    GD_FIELD(EveryType, D, "ITM:D"),
    GD_FIELD(EveryType, T, "ITM:T"),
    GD_FIELD(EveryType, STR, "ITM:STR"),
    GD_FIELD(EveryType, PSTR30, "ITM:PSTR30").withPicture("@s30"),
    GD_FIELD(EveryType, CSTR, "ITM:CSTR"),
    GD_FIELD(EveryType, PCSTR, "ITM:PCSTR").withPicture("@s99"),
    GD_FIELD(EveryType, PSTR, "ITM:PSTR"),
    GD_FIELD(EveryType, LONGSTR, "ITM:LONGSTR"),
    GD_FIELD(EveryType, LONGCSTR, "ITM:LONGCSTR"),
    GD_FIELD(EveryType, STAMP, "ITM:STAMP"),
    GD_GROUP(EveryType, PARTS, "ITM:PARTS").overField(22),
    GD_FIELD(EveryType, PARTS.D, "ITM:PD"),
    GD_FIELD(EveryType, PARTS.T, "ITM:PT"),
    GD_GROUP(EveryType, PAIR, "ITM:PAIR"),
    GD_FIELD(EveryType, PAIR.A, "ITM:PA"),
    GD_FIELD(EveryType, PAIR.B, "ITM:PB"),
};
// Indexes over the columns whose types a loader could read back otherwise than made.
constexpr files::KeySpec kEveryTypeKeys[] = {{"ITM:P_ID", files::KeyPrimary, {1}},
                                             {"ITM:K_UL", files::KeyDup, {5}},
                                             {"ITM:K_D70", 0, {11}},
                                             {"ITM:K_MIX", files::KeyDup, {10, -12}}};
constexpr files::MemoSpec kEveryTypeMemos[] = {{"ITM:NOTES", 2000, files::MemoKindMemo},
                                               {"ITM:BYTES", 1000, files::MemoKindBlob}};

// Fields wider than a Firebird DECIMAL, CHAR or VARCHAR holds, and raw bytes.
struct WideItem {
  runtime::Long ID;
  runtime::PDecimalField<24, 6> AMOUNT;
  runtime::String<9000> WIDE;
  runtime::String<33000> WIDER;
  runtime::CString<9001> CWIDE;
  runtime::String<4> BF4;
  runtime::String<8> BF8;
};
constexpr FieldDef kWideFields[] = {
    GD_FIELD(WideItem, ID, "ITM:ID"),
    GD_FIELD(WideItem, AMOUNT, "ITM:AMOUNT"),
    GD_FIELD(WideItem, WIDE, "ITM:WIDE"),
    GD_FIELD(WideItem, WIDER, "ITM:WIDER"),
    GD_FIELD(WideItem, CWIDE, "ITM:CWIDE"),
    declaredAs(GD_FIELD(WideItem, BF4, "ITM:BF4"), FieldType::BFloat4),
    declaredAs(GD_FIELD(WideItem, BF8, "ITM:BF8"), FieldType::BFloat8),
};
constexpr files::KeySpec kWideKeys[] = {{"ITM:P_ID", files::KeyPrimary, {1}}};

// The primary key of version 1 of the items, and the same key over the code as well.
constexpr files::KeySpec kKeysWithCode[] = {{"ITM:P_ID", files::KeyPrimary, {1, 4}},
                                            {"ITM:K_NAME", files::KeyDup, {2}},
                                            {"ITM:K_CODE", files::KeyDup, {4}}};

class ColumnTypesLiveTest : public TableManagerLiveTest {
 protected:
  // A full comparison of the table at `version` (`Record` with `fields`, `keys`, `memos`):
  // nothing is queued and nothing changes.
  template <class Record>
  void expectFullComparisonUnchanged(std::span<const FieldDef> fields,
                                     std::span<const files::KeySpec> keys, std::int16_t version,
                                     std::span<const files::MemoSpec> memos = {}) {
    commandLine("/goindeep");
    ASSERT_EQ(start<Record>(fields, keys, version, memos), 0) << runtime::FILEERROR();
    commandLine("");
    // Only the version row is written again.
    const std::string rowTable = systemTable.substr(std::string(GetParam().database).size());
    Lines tableChanges;
    for (const std::string& statement : changes())
      if (statement.find(rowTable) == std::string::npos) tableChanges.push_back(statement);
    EXPECT_EQ(tableChanges, Lines{});
    const StatementQueues& queues = statementQueues();
    EXPECT_TRUE(queues.SQ.empty() && queues.DQ.empty() && queues.AQ.empty())
        << (queues.SQ.empty() ? "" : queues.SQ.front().SQL);
    EXPECT_TRUE(managed());
  }
};

TEST_P(ColumnTypesLiveTest, ATableOfEveryTypeTheManagerMadeMeetsAFullComparisonUnchanged) {
  ASSERT_EQ(start<EveryType>(kEveryTypeFields, kEveryTypeKeys, 1, kEveryTypeMemos), 0)
      << runtime::FILEERROR() << "\n"
      << ::testing::PrintToString(sent);
  EXPECT_TRUE(managed());
  expectFullComparisonUnchanged<EveryType>(kEveryTypeFields, kEveryTypeKeys, 1, kEveryTypeMemos);
}

TEST_P(ColumnTypesLiveTest, WideFieldsAndRawBytesKeepTheirValues) {
  ASSERT_EQ(start<WideItem>(kWideFields, kWideKeys, 1), 0) << runtime::FILEERROR() << "\n"
                                                           << ::testing::PrintToString(sent);
  // Each start opens the table through a FILE of its own.
  const auto fill = [](files::FileDeclaration& items) {
    files::CLEAR(items);
    WideItem& r = items.recordAs<WideItem>();
    r.ID = 1;
    r.AMOUNT = Decimal::parse("-999999999999999999.999999");
    std::string wide;
    while (wide.size() < 9000) wide += "wide ünï text " + std::to_string(wide.size()) + "; ";
    r.WIDE = wide.substr(0, 8990);
    r.CWIDE = wide.substr(0, 9000);
    r.WIDER = std::string(32990, 'w') + "end";
    std::memcpy(&r.BF4, "\x00\x80\x7f\x81", 4);
    std::memcpy(&r.BF8, "\xff\x00\x01\x80\x7f\xfe\x10\x82", 8);
  };
  fill(file());
  files::ADD(file());
  ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERRORCODE() << " " << runtime::FILEERROR();
  expectFullComparisonUnchanged<WideItem>(kWideFields, kWideKeys, 1);

  files::SET(file(), *file().key(1));
  files::NEXT(file());
  ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERRORCODE() << " " << runtime::FILEERROR();
  const std::vector<std::byte> got(file().record().begin(), file().record().end());
  fill(file());
  for (const FieldDef& f : kWideFields) {
    EXPECT_EQ(0, std::memcmp(got.data() + f.offset, file().record().data() + f.offset, f.size))
        << f.label;
  }
}

TEST_P(ColumnTypesLiveTest, ANullableColumnThatJoinsThePrimaryKeyIsMadeNotNull) {
  ASSERT_EQ(start<ItemV1>(kFieldsV1, kKeysV1, 1), 0) << runtime::FILEERROR();
  for (const char* values : {"1, 'O''Brien', 9.99, 'A-1'", "2, 'Zed', 12.5, 'B-2'"})
    run("INSERT INTO " + fullName() + " (id, name, price, code) VALUES (" + values + ")");

  ASSERT_EQ(start<ItemV1>(kFieldsV1, kKeysWithCode, 2), 0) << runtime::FILEERROR() << "\n"
                                                           << ::testing::PrintToString(sent);
  EXPECT_TRUE(managed());
  EXPECT_EQ(storedVersion(), "2");
  EXPECT_EQ(rows(), (Lines{"1|O'Brien|9.99|A-1", "2|Zed|12.50|B-2"}));
  // The key takes the same id twice under two codes, and no row without a code.
  run("INSERT INTO " + fullName() + " (id, name, price, code) VALUES (1, 'Twin', 1, 'C-3')");
  EXPECT_FALSE(plain->execute(
      "INSERT INTO " + fullName() + " (id, name, price, code) VALUES (3, 'None', 1, NULL)", {}));
  expectFullComparisonUnchanged<ItemV1>(kFieldsV1, kKeysWithCode, 2);
}

class FirebirdKeysLiveTest : public ColumnTypesLiveTest {};

TEST_P(FirebirdKeysLiveTest, KeysMadeByHandAreDroppedByTheirConstraintsBeforeTheDeclaredOnes) {
  // The server names these constraints INTEG_n, over the indexes RDB$PRIMARYn and RDB$n.
  run("CREATE TABLE " + table +
      " (ID INTEGER NOT NULL PRIMARY KEY, NAME VARCHAR(20), PRICE DECIMAL(7,2), CODE "
      "VARCHAR(10) UNIQUE)");
  for (const char* values : {"1, 'O''Brien', 9.99, 'A-1'", "2, 'Zed', 12.5, 'B-2'"})
    run("INSERT INTO " + table + " (id, name, price, code) VALUES (" + values + ")");

  ASSERT_EQ(start<ItemV1>(kFieldsV1, kKeysV1, 1), 0) << runtime::FILEERROR() << "\n"
                                                     << ::testing::PrintToString(sent);
  EXPECT_TRUE(managed());
  EXPECT_EQ(indexes(),
            (Lines{key("k_code") + ":dup", key("k_name") + ":dup", key("p_id") + ":unique"}));
  EXPECT_EQ(rows(), (Lines{"1|O'Brien|9.99|A-1", "2|Zed|12.50|B-2"}));
  expectFullComparisonUnchanged<ItemV1>(kFieldsV1, kKeysV1, 1);
}

INSTANTIATE_TEST_SUITE_P(Servers, ColumnTypesLiveTest, ::testing::ValuesIn(kServerCases),
                         [](const auto& info) { return std::string(info.param.server.name); });
INSTANTIATE_TEST_SUITE_P(Servers, FirebirdKeysLiveTest,
                         ::testing::ValuesIn(serverCasesOnFirebird(true)),
                         [](const auto& info) { return std::string(info.param.server.name); });

}  // namespace
}  // namespace upkeep_sql
