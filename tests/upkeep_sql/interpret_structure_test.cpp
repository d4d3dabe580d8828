// ds_InterpretStructure: the program's seven declarations read into FDQ, KDQ and MDQ, compared
// with a golden table; and a declaration with the shapes the program's files lack (arrays, a
// group, a decimal, a field laid over another, pictures, external names, a date-time key).
#include "upkeep_sql/interpret_structure.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/dictionary/declarations.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/text_types.h"
#include "tests/upkeep/engine_fixture.h"
#include "upkeep/registration.h"
#include "upkeep_sql/dialect_rules.h"
#include "upkeep_sql/sql_backends.h"
#include "upkeep_sql/structure_queues.h"
#include "upkeep_sql/table_creation.h"
#include "upkeep_sql/table_in_hand.h"
#include "upkeep_sql/wait_progress.h"

namespace upkeep_sql {
namespace {

template <class Numbers>
std::string joined(const Numbers& numbers, std::size_t count) {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) text += (i ? "," : "") + std::to_string(numbers[i]);
  return text;
}

// The calling thread's queues as text, one line per entry, fields separated by "|".
std::string dump(std::string_view label) {
  const DeclaredStructure& d = declaredStructure();
  std::ostringstream out;
  out << "# " << label << " prefix " << d.InterpretedPrefix << "\n";
  for (const FdqEntry& f : d.FDQ.entries) {
    out << "F|" << f.NAME << "|" << f.TYPE << "|" << f.DCTTYPE << "|" << f.ATTRIB << "|" << f.OFFSET
        << "|" << f.OTHER << "|" << f.LENGTH << "|" << f.TYPENUM << "|" << int(f.PLACES) << "|"
        << int(f.CHARS) << "|" << f.CNUM << "|" << f.CPICT << "|" << f.CWID << "|"
        << joined(f.DIMS, 4) << "|" << joined(f.FACTOR, 4) << "|" << f.PICTURE << "|" << f.ALTNAME
        << "|" << int(f.OVER) << "|" << int(f.DCTMASTER) << "|" << int(f.MATCH) << "\n";
  }
  for (const KdqEntry& k : d.KDQ.entries) {
    out << "K|" << k.KEYNAME << "|" << k.ATT << "|" << k.FIELDS << "|" << k.NUMFIELDS << "|"
        << joined(k.FIELDNUMS, static_cast<std::size_t>(k.NUMFIELDS)) << "|" << k.KEYFILENAME << "|"
        << k.PTR << "|" << int(k.DCTMASTER) << "\n";
  }
  for (const MdqEntry& m : d.MDQ.entries) {
    out << "M|" << m.MEMONAME << "|" << m.LENGTH << "|" << m.ATTRIB << "|" << m.TYPE << "|" << m.PTR
        << "|" << m.MEMOFILENAME << "|" << m.SQLNAME << "\n";
  }
  return out.str();
}

class InterpretStructureTest : public upkeep::testing::EngineTest {
 protected:
  InterpretStructureTest() { resetSqlBackendState(); }
  ~InterpretStructureTest() override { resetSqlBackendState(); }
};

TEST_F(InterpretStructureTest, TheProgramsDeclarationsMatchTheGoldenTable) {
  const files::FileSpec* specs[] = {&app::kProjectsSpec, &app::kCategortSpec, &app::kTemplateSpec,
                                    &app::kCodebySpec,   &app::kFuncSpec,     &app::kMainagcSpec,
                                    &app::kFormatsSpec};
  std::string all;
  for (const files::FileSpec* spec : specs) {
    const files::FileDeclaration file(*spec);
    ds_InterpretStructure(file);
    all += dump(spec->label);
  }
  std::ifstream golden(GD_FIXTURES_DIR "/sql/interpreted_dictionary.txt", std::ios::binary);
  ASSERT_TRUE(golden) << "golden table missing";
  const std::string expected((std::istreambuf_iterator<char>(golden)),
                             std::istreambuf_iterator<char>());
  EXPECT_EQ(all, expected);
}

struct Edge {
  Edge() {}
  struct Parts {
    runtime::Short A;
    runtime::Short B;
  };
  runtime::Long ID;
  runtime::Long GRID[3][4];
  Parts GRP;
  runtime::DecimalField<6, 2> AMOUNT;
  runtime::String<20> NAME;
  union {
    runtime::String<4> RAW{};
    runtime::Long NUMBER;
  };
  runtime::String<8> DT;
  runtime::Date D;
  runtime::Time T;
};

constexpr runtime::FieldDef kEdgeFields[] = {
    GD_FIELD(Edge, ID, "EDG:ID"),
    GD_FIELD(Edge, GRID, "EDG:GRID"),
    GD_GROUP(Edge, GRP, "EDG:GRP"),
    GD_FIELD(Edge, GRP.A, "EDG:A"),
    GD_FIELD(Edge, GRP.B, "EDG:B"),
    GD_FIELD(Edge, AMOUNT, "EDG:AMOUNT"),
    GD_FIELD(Edge, NAME, "EDG:NAME").withPicture("s10").withExternalName("\"Full Name\""),
    GD_FIELD(Edge, RAW, "EDG:RAW"),
    GD_FIELD(Edge, NUMBER, "EDG:NUMBER").overField(8),
    GD_FIELD(Edge, DT, "EDG:DT"),
    GD_FIELD(Edge, D, "EDG:D"),
    GD_FIELD(Edge, T, "EDG:T"),
};
constexpr files::KeySpec kEdgeKeys[] = {
    {"EDG:PK_Id", files::KeyPrimary, {1}},
    {"EDG:K_WHEN", files::KeyDup | files::KeyOpt, {11, -12}},
    {"EDG:K_NAME", files::KeyNoCase, {7}, "name_idx"},
};
constexpr files::MemoSpec kEdgeMemos[] = {{"EDG:NOTES", 500, 1, "notes_col"},
                                          {"EDG:PICTURE", 9000, 3}};
constexpr files::FileSpec kEdgeSpec{.label = "edge",
                                    .prefix = "EDG",
                                    .fields = kEdgeFields,
                                    .recordSize = sizeof(Edge),
                                    .keys = kEdgeKeys,
                                    .memos = kEdgeMemos};

TEST_F(InterpretStructureTest, ArraysGroupsDecimalsOverAndNames) {
  const files::FileDeclaration file(kEdgeSpec);
  ds_InterpretStructure(file);
  const DeclaredStructure& d = declaredStructure();
  ASSERT_EQ(d.FDQ.entries.size(), 12u);
  const FdqEntry& grid = d.FDQ.entries[1];
  EXPECT_EQ(grid.ATTRIB, " dim(3,4)");
  EXPECT_EQ(joined(grid.DIMS, 4), "3,4,0,0");
  EXPECT_EQ(grid.FACTOR[1], 4);
  EXPECT_EQ(grid.FACTOR[0], 16);
  // The group takes the running offset without moving it; its members move it.
  EXPECT_EQ(d.FDQ.entries[2].TYPE, "group (next 2 fields)");
  EXPECT_EQ(d.FDQ.entries[2].OFFSET, 52);
  EXPECT_EQ(d.FDQ.entries[3].OFFSET, 52);
  EXPECT_EQ(d.FDQ.entries[4].OFFSET, 54);
  const FdqEntry& amount = d.FDQ.entries[5];
  EXPECT_EQ(amount.TYPE, "decimal(7,2)");
  EXPECT_EQ(amount.DCTTYPE, "decimal(6,2");
  EXPECT_EQ(amount.CHARS, 7);
  EXPECT_EQ(amount.PLACES, 2);
  EXPECT_EQ(amount.LENGTH, 4);
  const FdqEntry& name = d.FDQ.entries[6];
  EXPECT_EQ(name.TYPE, "string(s10)");
  EXPECT_EQ(name.CPICT, "@s10");
  EXPECT_EQ(name.ALTNAME, "Full Name");
  EXPECT_EQ(name.ATTRIB, " picture name(Full Name)");
  const FdqEntry& number = d.FDQ.entries[8];
  EXPECT_EQ(number.OVER, 1);
  EXPECT_EQ(number.CPICT, "@s5");
  EXPECT_EQ(number.OFFSET, d.FDQ.entries[9].OFFSET) << "a field over another moves nothing";
  EXPECT_EQ(d.InterpretedPrefix, "EDG");

  ASSERT_EQ(d.KDQ.entries.size(), 3u);
  EXPECT_EQ(d.KDQ.entries[0].KEYNAME, "Pk_id");
  EXPECT_EQ(d.KDQ.entries[0].DCTMASTER, 1);
  EXPECT_EQ(d.KDQ.entries[1].ATT, " dup opt");
  EXPECT_EQ(d.KDQ.entries[1].FIELDS, " D T");
  EXPECT_EQ(d.KDQ.entries[2].FIELDS, " FULL NAME") << "an external name, upper case in mode 0";
  EXPECT_EQ(d.KDQ.entries[2].KEYFILENAME, "name_idx");
  ASSERT_EQ(d.MDQ.entries.size(), 2u);
  EXPECT_EQ(d.MDQ.entries[0].SQLNAME, "notes_col");
  EXPECT_EQ(d.MDQ.entries[1].ATTRIB, "Binary");

  caseState().CaseMode = -1;
  ds_InterpretStructure(file);
  EXPECT_EQ(d.FDQ.entries[0].NAME, "id");
  EXPECT_EQ(d.KDQ.entries[2].FIELDS, " Full Name");
  EXPECT_EQ(d.MDQ.entries[0].SQLNAME, "");
  caseState().CaseMode = 2;
  ds_InterpretStructure(file);
  EXPECT_EQ(d.MDQ.entries[0].SQLNAME, "NOTES_COL");
  EXPECT_EQ(d.MDQ.entries[0].MEMONAME, "NOTES");
}

// Options written after a separator in an external name ("|READONLY", "|BINARY",
// "|CHECKFORNULL") belong to their own component only: each key lists every component by its
// bare name, and each column is named without them.
struct Optioned {
  runtime::Long ID;
  runtime::String<10> NAME;
  runtime::String<4> CODE;
  runtime::Long QTY;
};
constexpr runtime::FieldDef kOptionedFields[] = {
    GD_FIELD(Optioned, ID, "OPT:ID").withExternalName("ID|READONLY"),
    GD_FIELD(Optioned, NAME, "OPT:NAME").withExternalName("name | BINARY"),
    GD_FIELD(Optioned, CODE, "OPT:CODE").withExternalName("Code |CHECKFORNULL"),
    GD_FIELD(Optioned, QTY, "OPT:QTY"),
};
constexpr files::KeySpec kOptionedKeys[] = {
    {"OPT:K_ALL", files::KeyDup, {1, 2, 3, 4}},
    {"OPT:K_NAME_ID", files::KeyDup, {2, -1}},
    {"OPT:K_QTY_CODE", files::KeyDup, {4, 3}},
};
constexpr files::FileSpec kOptionedSpec{.label = "optioned",
                                        .prefix = "OPT",
                                        .fields = kOptionedFields,
                                        .recordSize = sizeof(Optioned),
                                        .keys = kOptionedKeys};

TEST_F(InterpretStructureTest, OptionWordsOfExternalNamesLeaveEachComponentItsName) {
  const files::FileDeclaration file(kOptionedSpec);
  ds_InterpretStructure(file);
  ds_SetSQLNames("MSS");
  const DeclaredStructure& d = declaredStructure();
  const struct {
    const char* key;
    const char* fields;
    std::int32_t count;
  } keys[] = {{"K_all", " ID NAME CODE QTY", 4},
              {"K_name_id", " NAME ID", 2},
              {"K_qty_code", " QTY CODE", 2}};
  ASSERT_EQ(d.KDQ.entries.size(), std::size(keys));
  for (std::size_t i = 0; i < std::size(keys); ++i) {
    SCOPED_TRACE(keys[i].key);
    EXPECT_EQ(d.KDQ.entries[i].KEYNAME, keys[i].key);
    EXPECT_EQ(d.KDQ.entries[i].FIELDS, keys[i].fields);
    EXPECT_EQ(d.KDQ.entries[i].NUMFIELDS, keys[i].count);
  }
  const struct {
    const char* altName;
    const char* sqlName;
  } columns[] = {{"ID|READONLY", "ID"}, {"name|BINARY", "name"}, {"Code|CHECKFORNULL", "Code"}};
  for (std::size_t i = 0; i < std::size(columns); ++i) {
    SCOPED_TRACE(columns[i].altName);
    EXPECT_EQ(d.FDQ.entries[i].ALTNAME, columns[i].altName);
    EXPECT_EQ(d.FDQ.entries[i].SQLNAME, columns[i].sqlName);
  }
}

TEST_F(InterpretStructureTest, DateAndTimePartsOfOneDateTimeFieldMakeOneComponent) {
  upkeep::ds_SetOption("UnrealField", "EDG:DT");
  upkeep::ds_SetOption("RealField", "EDG:D");
  upkeep::ds_SetOption("RealField", "EDG:T");
  const files::FileDeclaration file(kEdgeSpec);
  ds_InterpretStructure(file);
  const KdqEntry& when = declaredStructure().KDQ.entries[1];
  EXPECT_EQ(when.FIELDS, " DT");
  EXPECT_EQ(when.NUMFIELDS, 1);
}

TEST_F(InterpretStructureTest, ProgressAndDictionaryMasterOptions) {
  std::vector<std::string> shown;
  waitProgress().fileName = "edge.vkf";
  waitProgress().redisplay = [&] {
    shown.push_back(waitProgress().activity + " " +
                    std::to_string(waitProgress().SQLProgressPercent));
  };
  upkeep::ds_SetOption("DctMasterFields", "1");
  tableInHand().SqlTableName = "edge";
  const files::FileDeclaration file(kEdgeSpec);
  ds_InterpretStructure(file);
  ASSERT_EQ(shown.size(), 3u + 2u + 12u);
  EXPECT_EQ(shown[0], "Reading Keys...edge.vkf 0");
  EXPECT_EQ(shown[3], "Reading Memos...edge.vkf 0");
  EXPECT_EQ(shown.back(), "Reading Fields...edge.vkf 100");
  EXPECT_EQ(declaredStructure().FDQ.entries[0].DCTMASTER, 1);
  EXPECT_EQ(declaredStructure().KDQ.entries[1].DCTMASTER, 0);
}

}  // namespace
}  // namespace upkeep_sql
