#include "upkeep/declaration_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/dictionary/declarations.h"
#include "platform/files/record_descriptor.h"
#include "platform/runtime/message.h"
#include "platform/runtime/scripted_answerer.h"
#include "tests/upkeep/engine_fixture.h"
#include "tests/upkeep/image_fixture.h"
#include "upkeep/sql_insert_lists.h"

namespace upkeep {
namespace {

using runtime::FieldDef;
using runtime::FieldType;

using testing::field;

// A declaration of `fields` with one memo "T:NOTES" of 500 bytes.
std::unique_ptr<files::FileDeclaration> declare(const std::vector<FieldDef>& fields,
                                                std::uint32_t recordSize) {
  files::FileParts parts;
  parts.label = "t";
  parts.prefix = "T";
  parts.name = "t";
  parts.recordLength = recordSize;
  parts.descriptor = *files::writeDescriptor(runtime::RecordLayout(fields, recordSize));
  parts.memos = {{"T:NOTES", 500, files::MemoKindBlob, {}}};
  auto assembled = files::FileDeclaration::assemble(std::move(parts));
  EXPECT_TRUE(assembled.file) << assembled.error;
  return std::move(assembled.file);
}

std::vector<std::string> names(const FieldQueue& queue) {
  std::vector<std::string> out;
  for (const FieldEntry& e : queue) out.push_back(e.NAME);
  return out;
}

class DeclarationReaderTest : public testing::EngineTest {};

TEST_F(DeclarationReaderTest, FieldsGroupsArraysDecimalsAndMemosHaveTheirPlacesAndSizes) {
  FieldDef price = field("T:PRICE", FieldType::Decimal, 24, 4);
  price.digits = 7;
  price.scale = 2;
  FieldDef tags = field("T:TAGS", FieldType::String, 28, 10);
  tags.dims = {3, 0, 0, 0};
  FieldDef named = field("T:ID", FieldType::Long, 0, 4).withPicture("@n9").withExternalName("id");
  auto file = declare({named, field("T:NAME", FieldType::String, 4, 20), price, tags,
                       field("T:PAIR", FieldType::Group, 58, 8),
                       field("T:A", FieldType::Long, 58, 4), field("T:B", FieldType::Long, 62, 4)},
                      66);
  ASSERT_TRUE(LoadDestQueue(*file));
  EXPECT_EQ(names(DST()), (std::vector<std::string>{"T:A", "T:B", "T:ID", "T:NAME", "T:NOTES",
                                                    "T:PAIR", "T:PRICE", "T:TAGS"}));
  struct Expect {
    std::string name;
    int type;
    std::uint32_t len, offset;
    int dims, dim1;
  };
  const std::vector<Expect> table = {
      {"T:ID", 6, 4, 1, 1, 1},      {"T:NAME", 18, 20, 5, 1, 1},    {"T:PRICE", 10, 4, 25, 1, 1},
      {"T:TAGS", 18, 10, 29, 1, 3}, {"T:PAIR", 22, 0, 59, 1, 1},    {"T:A", 6, 4, 59, 1, 1},
      {"T:B", 6, 4, 63, 1, 1},      {"T:NOTES", 200, 500, 7, 1, 1},
  };
  for (const Expect& x : table) {
    SCOPED_TRACE(x.name);
    const FieldEntry* e = findField(DST(), x.name);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->TYPE, x.type);
    EXPECT_EQ(e->LEN, x.len);
    EXPECT_EQ(e->OFFSET, x.offset);
    EXPECT_EQ(e->DIMS, x.dims);
    EXPECT_EQ(e->DIM, (std::array<std::int32_t, 4>{x.dim1, 1, 1, 1}));
    EXPECT_EQ(e->OVERED, 0);
  }
  const FieldEntry& id = *findField(DST(), "T:ID");
  EXPECT_EQ(id.PICTURE, "@n9");
  EXPECT_EQ(id.EXTNAME, "id");
  EXPECT_EQ(id.ATTRIB, files::FieldHasPicture | files::FieldHasExternalName);
  EXPECT_EQ(findField(DST(), "T:PRICE")->CHARS, 7);
  EXPECT_EQ(findField(DST(), "T:PRICE")->PLACES, 2);
  const FieldEntry& pair = *findField(DST(), "T:PAIR");
  EXPECT_EQ(pair.GRPLEN, 8u);
  EXPECT_EQ(pair.GRPNUM, 2u);
  EXPECT_GT(pair.GRPDEF, 0u);
  EXPECT_EQ(findField(DST(), "T:NOTES")->PTR, file->memo(1));
}

// External names lose their blanks, except between double quotes, so an option written after
// a spaced separator still leaves the bare column name for the conversion's INSERT.
TEST_F(DeclarationReaderTest, ExternalNamesLoseTheirBlanksOutsideDoubleQuotes) {
  const struct {
    const char* declared;
    const char* read;
    const char* column;  // the column the conversion names
  } cases[] = {
      {"id | READONLY", "id|READONLY", "id"},
      {" Full_Name |BINARY ", "Full_Name|BINARY", "Full_Name"},
      {"\"Full Name\"", "\"Full Name\"", "\"Full Name\""},
      {"code", "code", "code"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.declared);
    auto file = declare({field("T:ID", FieldType::Long, 0, 4).withExternalName(c.declared)}, 4);
    ASSERT_TRUE(LoadDestQueue(*file));
    const FieldEntry& id = *findField(DST(), "T:ID");
    EXPECT_EQ(id.EXTNAME, c.read);
    EXPECT_EQ(SqlInsertLists::columnName(id), c.column);
  }
}

TEST_F(DeclarationReaderTest, AGroupLaidOverAFieldIsInTheDestinationListOnlyAtItsRealPlace) {
  // STAMP STRING(8); PARTS GROUP OVER(STAMP) { D STRING(4), T STRING(4) }; NOTE LONG after.
  const std::vector<FieldDef> fields = {
      field("T:STAMP", FieldType::String, 0, 8),
      field("T:PARTS", FieldType::Group, 0, 8).overField(1),
      field("T:D", FieldType::String, 0, 4),
      field("T:T", FieldType::String, 4, 4),
      field("T:SHORT", FieldType::Short, 0, 2).overField(1),
      field("T:NOTE", FieldType::Long, 8, 4),
  };
  auto file = declare(fields, 12);
  ASSERT_TRUE(LoadDestQueue(*file));
  ASSERT_TRUE(LoadSourceQueue(*file));
  EXPECT_EQ(names(DST()), (std::vector<std::string>{"T:D", "T:NOTE", "T:NOTES", "T:STAMP", "T:T"}));
  EXPECT_EQ(names(SRC()), (std::vector<std::string>{"T:NOTE", "T:NOTES", "T:STAMP"}));
  EXPECT_EQ(findField(DST(), "T:D")->OVERED, 1);
  EXPECT_EQ(findField(DST(), "T:D")->OFFSET, 1u);
  EXPECT_EQ(findField(DST(), "T:T")->OFFSET, 5u);
  EXPECT_EQ(findField(DST(), "T:NOTE")->OFFSET, 9u);
  EXPECT_EQ(findField(SRC(), "T:NOTE")->OVERED, 0);
}

TEST_F(DeclarationReaderTest, AFirstFieldWithoutPrefixStopsAndTheListIsReadOnIfTheUserGoesOn) {
  runtime::ScriptedAnswerer answers{runtime::ButtonIgnore};
  runtime::InterceptingHalter halter;
  runtime::ScopedMessageHandlers handlers(answers, halter);
  auto file = declare({field("NOPREFIX", FieldType::Long, 0, 4)}, 4);
  ASSERT_TRUE(LoadDestQueue(*file));
  ASSERT_EQ(answers.shown().size(), 1u);
  EXPECT_EQ(answers.shown()[0].text, "No prefix for this file: t");
  EXPECT_EQ(names(DST()), (std::vector<std::string>{"NOPREFIX", "T:NOTES"}));
}

TEST_F(DeclarationReaderTest, TheProgramsFunctionsFileListsItsExampleCodeMemo) {
  files::FileDeclaration func(app::kFuncSpec);
  ASSERT_TRUE(LoadSourceQueue(func));
  const FieldEntry* memo = findField(SRC(), "FUN:EXAMPLECODE");
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(memo->TYPE, kMemoEntryType);
  EXPECT_EQ(memo->LEN, app::kMemoSize);
  EXPECT_EQ(SRC().size(), func.layout().fieldCount() + 1);
}

TEST_F(DeclarationReaderTest, QZDebugTracesEveryFieldAndTheDescriptorBytes) {
  commandLine("/QZDebug");
  auto file = declare({field("T:ID", FieldType::Long, 0, 4)}, 4);
  ASSERT_TRUE(LoadDestQueue(*file));
  const std::vector<std::string> trace = takeTrace();
  ASSERT_EQ(trace.size(), 3u);
  EXPECT_EQ(trace[0], "[Upkeep] dst Using props: Name:  Label: T:ID Dims: 0 over: 0 Type: 6");
  EXPECT_EQ(trace[1].rfind("[Upkeep] What's in the file: 0;22;0;4;0;0;0;1;0;0;0;", 0), 0u)
      << trace[1];
  EXPECT_EQ(trace[2].rfind("[Upkeep]  Using Peek(1): Name: T:ID Dims: 1 Type: 6", 0), 0u)
      << trace[2];
}

}  // namespace
}  // namespace upkeep
