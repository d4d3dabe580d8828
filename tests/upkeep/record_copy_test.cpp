#include "upkeep/record_copy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/files/file_declaration.h"
#include "platform/runtime/decimal.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/record_layout.h"
#include "platform/runtime/text_types.h"
#include "tests/upkeep/field_list_fixture.h"
#include "upkeep/field_conversion.h"
#include "upkeep/registration.h"
#include "upkeep/registration_tables.h"

namespace upkeep {
namespace {

using runtime::Decimal;

// The older structure of a file: a field renamed since (OLDNOTE), a shorter array, an array
// whose third element became a field of its own, a stamp later split by a group laid over it.
struct OldRecord {
  runtime::Long ID;
  runtime::String<10> NAME;
  runtime::DecimalField<7, 2> AMOUNT;
  runtime::CString<8> OLDNOTE;
  runtime::Short SCORES[5];
  runtime::Long TOTALS[2][2];
  runtime::String<8> STAMP;
};
const runtime::FieldDef kOldFields[] = {
    GD_FIELD(OldRecord, ID, "PRO:ID"),         GD_FIELD(OldRecord, NAME, "PRO:NAME"),
    GD_FIELD(OldRecord, AMOUNT, "PRO:AMOUNT"), GD_FIELD(OldRecord, OLDNOTE, "PRO:OLDNOTE"),
    GD_FIELD(OldRecord, SCORES, "PRO:SCORES"), GD_FIELD(OldRecord, TOTALS, "PRO:TOTALS"),
    GD_FIELD(OldRecord, STAMP, "PRO:STAMP"),
};

struct StampParts {
  runtime::String<4> YEAR;
  runtime::String<4> REST;
};
struct NewRecord {
  NewRecord() {}
  runtime::CString<20> NAME;
  runtime::Short ID;
  runtime::Real AMOUNT;
  runtime::String<8> NOTE;
  runtime::Long SCORES[10];
  runtime::Long THIRD;
  runtime::String<6> ADDED;
  union {
    runtime::String<8> STAMP{};
    StampParts PARTS;
  };
};
const runtime::FieldDef kNewFields[] = {
    GD_FIELD(NewRecord, NAME, "PRO:NAME"),
    GD_FIELD(NewRecord, ID, "PRO:ID"),
    GD_FIELD(NewRecord, AMOUNT, "PRO:AMOUNT"),
    GD_FIELD(NewRecord, NOTE, "PRO:NOTE"),
    GD_FIELD(NewRecord, SCORES, "PRO:SCORES"),
    GD_FIELD(NewRecord, THIRD, "PRO:THIRD"),
    GD_FIELD(NewRecord, ADDED, "PRO:ADDED"),
    GD_FIELD(NewRecord, STAMP, "PRO:STAMP"),
    GD_GROUP(NewRecord, PARTS, "PRO:PARTS").overField(8),
    GD_FIELD(NewRecord, PARTS.YEAR, "PRO:YEAR"),
    GD_FIELD(NewRecord, PARTS.REST, "PRO:REST"),
};

class RecordCopyTest : public ::testing::Test {
 protected:
  RecordCopyTest()
      : oldFile(specOf(kOldFields, sizeof(OldRecord))),
        newFile(specOf(kNewFields, sizeof(NewRecord))),
        dst(fieldList(newFile, true)),
        src(fieldList(oldFile, false)) {
    OldRecord& old = oldRecord();
    old.ID = 70000;
    old.NAME = "Rocket";
    old.AMOUNT = Decimal::parse("12.5");
    old.OLDNOTE = "renamed";
    for (int i = 0; i < 5; ++i) old.SCORES[i] = static_cast<std::int16_t>(-10 * (i + 1));
    for (int i = 0; i < 4; ++i) old.TOTALS[i / 2][i % 2] = 100 + i;
    old.STAMP = "20201231";
    // A record copied before leaves its bytes everywhere.
    std::memset(newFile.record().data(), 0xA5, newFile.record().size());
  }

  OldRecord& oldRecord() { return oldFile.recordAs<OldRecord>(); }
  NewRecord& newRecord() { return newFile.recordAs<NewRecord>(); }

  void copy(std::vector<AlternateFieldName> alternates = {}, std::string_view interpreted = {}) {
    RecordCopy copy;
    copy.DST = &dst;
    copy.SRC = &src;
    copy.AFN = alternates;
    copy.filePrefix = "PRO";
    copy.InterpretedPrefix = interpreted;
    CopyRec(copy, oldFile, newFile);
  }

  files::FileDeclaration oldFile;
  files::FileDeclaration newFile;
  FieldQueue dst;
  FieldQueue src;
};

TEST_F(RecordCopyTest, FieldsGoOverByNameAndEveryOtherFieldIsWrittenWhole) {
  copy();
  const NewRecord& rec = newRecord();
  EXPECT_EQ(rec.NAME.view(), "Rocket");
  EXPECT_EQ(rec.ID.value(), 4464);  // the low 16 bits of 70000
  EXPECT_EQ(rec.AMOUNT.value(), 12.5);
  EXPECT_EQ(rec.NOTE.view(), "        ");  // renamed without an alternate name: blank
  EXPECT_EQ(rec.THIRD.value(), 0);
  EXPECT_EQ(rec.ADDED.view(), "      ");
  for (int i = 0; i < 10; ++i) EXPECT_EQ(rec.SCORES[i].value(), i < 5 ? -10 * (i + 1) : 0) << i;
  // The stamp arrives through the field under the group; the group's own fields are not
  // written over it.
  EXPECT_EQ(rec.STAMP.view(), "20201231");
  EXPECT_EQ(rec.PARTS.YEAR.view(), "2020");
}

TEST_F(RecordCopyTest, AlternateNamesFindRenamedFieldsAndElementsOfOldArrays) {
  struct Row {
    const char* what;
    std::vector<AlternateFieldName> alternates;
    std::string interpreted;
    std::string note;
    std::int32_t third;
  };
  const std::vector<Row> rows = {
      {"old name with its prefix", {{"PRO:NOTE", "PRO:OLDNOTE"}}, "", "renamed", 0},
      {"old name without a prefix takes the file's own",
       {{"PRO:NOTE", "OLDNOTE"}},
       "",
       "renamed",
       0},
      {"the interpreted prefix first, then the file's own",
       {{"PRO:NOTE", "OLDNOTE"}},
       "SQL",
       "renamed",
       0},
      {"an unknown old name leaves the field blank", {{"PRO:NOTE", "GONE"}}, "", "", 0},
      {"a later alternate name is tried when the first fails",
       {{"PRO:NOTE", "GONE"}, {"PRO:NOTE", "OLDNOTE"}},
       "",
       "renamed",
       0},
      {"an element of an old array", {{"PRO:THIRD", "PRO:TOTALS[2,1]"}}, "", "", 102},
      {"an element without a prefix", {{"PRO:THIRD", "TOTALS[1,2]"}}, "", "", 101},
      {"a subscript beyond the old array", {{"PRO:THIRD", "PRO:TOTALS[3,1]"}}, "", "", 0},
  };
  for (const Row& row : rows) {
    copy(row.alternates, row.interpreted);
    EXPECT_EQ(newRecord().NOTE.clipped(), row.note) << row.what;
    EXPECT_EQ(newRecord().THIRD.value(), row.third) << row.what;
    EXPECT_EQ(newRecord().NAME.view(), "Rocket") << row.what;
  }
}

struct MemoRecord {
  runtime::Long ID;
};
const runtime::FieldDef kMemoFields[] = {GD_FIELD(MemoRecord, ID, "TPL:ID")};
const files::MemoSpec kOldMemos[] = {{"TPL:CODING", 100, files::MemoKindBlob},
                                     {"MEMAUX_TPL:NOTES", 100, files::MemoKindMemo},
                                     {"TPL:OLDTEXT", 100, files::MemoKindMemo}};
const files::MemoSpec kNewMemos[] = {{"TPL:CODING", 100, files::MemoKindBlob},
                                     {"TPL:NOTES", 100, files::MemoKindMemo},
                                     {"TPL:TEXT", 100, files::MemoKindMemo}};

TEST_F(RecordCopyTest, EntriesThatDoNotFitTheirTypeOrRecordAreNeitherReadNorWritten) {
  const auto entry = [](FieldQueue& queue, std::string_view name) -> FieldEntry& {
    return *std::find_if(queue.begin(), queue.end(),
                         [&](const FieldEntry& e) { return e.NAME == name; });
  };
  entry(src, "PRO:ID").LEN = 2;  // a LONG of two bytes: not read, so the new field is blank
  entry(dst, "PRO:NOTE").OFFSET = sizeof(NewRecord);  // reaching past the record: not written
  copy();
  EXPECT_EQ(newRecord().ID.value(), 0);
  EXPECT_EQ(newRecord().NAME.view(), "Rocket");
  EXPECT_EQ(static_cast<unsigned char>(newRecord().NOTE.data()[0]), 0xA5);
}

class RecordCopyMemoTest : public ::testing::Test {
 protected:
  void TearDown() override { resetRegistrationTables(); }
};

TEST_F(RecordCopyMemoTest, MemosGoOverByNameImportedNameAndRegisteredAlternateName) {
  files::FileDeclaration oldFile(specOf(kMemoFields, sizeof(MemoRecord), kOldMemos));
  files::FileDeclaration newFile(specOf(kMemoFields, sizeof(MemoRecord), kNewMemos));
  const std::string binary("\x00\x01'\xFF", 4);
  ASSERT_TRUE(oldFile.memo(1)->setBytes(binary));
  oldFile.memo(2)->assign("imported");
  oldFile.memo(3)->assign("older text");
  for (files::Memo& memo : newFile.memos()) memo.assign("stale");
  const FieldQueue dst = fieldList(newFile, true);
  const FieldQueue src = fieldList(oldFile, false);
  ds_AlternateFieldName("tpl:Text", "OldText");  // as the program registers its renamed fields
  RecordCopy copy;
  copy.DST = &dst;
  copy.SRC = &src;
  copy.filePrefix = "tpl";
  CopyRec(copy, oldFile, newFile);
  EXPECT_EQ(newFile.memo(1)->content(), binary);
  EXPECT_EQ(newFile.memo(2)->content(), "imported");
  EXPECT_EQ(newFile.memo(3)->content(), "older text");
}

struct HeaderRecord {
  runtime::String<6> VALUE;
};
const runtime::FieldDef kHeaderFields[] = {GD_FIELD(HeaderRecord, VALUE, "PRO:LONGFIELDNAM")};
const runtime::FieldDef kLongNameFields[] = {
    GD_FIELD(HeaderRecord, VALUE, "PRO:LONGFIELDNAMEOFTODAY")};

TEST(RecordCopyHeaderTest, AFieldOfAnOldHeaderIsFoundByTheFirstSixteenCharacters) {
  files::FileDeclaration oldFile(specOf(kHeaderFields, sizeof(HeaderRecord)));
  files::FileDeclaration newFile(specOf(kLongNameFields, sizeof(HeaderRecord)));
  oldFile.recordAs<HeaderRecord>().VALUE = "kept";
  const FieldQueue dst = fieldList(newFile, true);
  const FieldQueue src = fieldList(oldFile, false);
  RecordCopy copy;
  copy.DST = &dst;
  copy.SRC = &src;
  copy.filePrefix = "PRO";
  CopyRec(copy, oldFile, newFile);
  EXPECT_EQ(newFile.recordAs<HeaderRecord>().VALUE.clipped(), "");
  copy.SourceFromDatHeader = true;
  CopyRec(copy, oldFile, newFile);
  EXPECT_EQ(newFile.recordAs<HeaderRecord>().VALUE.clipped(), "kept");
}

}  // namespace
}  // namespace upkeep
