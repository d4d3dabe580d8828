#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/field_types.h"
#include "tests/support/scratch_folder.h"
#include "tests/upkeep/engine_fixture.h"
#include "upkeep/file_copy.h"
#include "upkeep/text_buffers.h"
#include "upkeep/text_converters.h"

namespace upkeep {
namespace {

using support::readFile;
using support::writeFile;

struct Number {
  runtime::Long value;
};
const runtime::FieldDef kNumberFields[] = {GD_FIELD(Number, value, "NUM:VALUE")};

class FileUtilitiesTest : public testing::EngineTest {
 protected:
  FileUtilitiesTest() { TempDirectory() = folder.file(""); }
  ~FileUtilitiesTest() override { TempDirectory().clear(); }

  files::FileSpec spec(const std::string& name, files::Driver driver = files::Driver::Caskfile) {
    files::FileSpec result;
    result.label = "numbers";
    result.prefix = "NUM";
    result.driver = driver;
    names_.push_back(folder.file(name));
    result.name = names_.back();
    result.fields = kNumberFields;
    result.recordSize = sizeof(Number);
    return result;
  }
  bool exists(const std::string& name) const { return std::filesystem::exists(folder.file(name)); }

 private:
  std::vector<std::string> names_{};
};

TEST_F(FileUtilitiesTest, CopyRenameAndRemoveAnswerTheRuntimesCode) {
  files::FileDeclaration file(spec("numbers.VKF"));
  files::CREATE(file);
  ASSERT_EQ(runtime::ERRORCODE(), 0);
  EXPECT_EQ(FileCopyRenameRemove(1, kCopyMode, file, folder.file("dstmp001.VKF"), "Vkf"), 0);
  EXPECT_TRUE(exists("numbers.VKF"));
  EXPECT_TRUE(exists("dstmp001.VKF"));

  // A stale backup is never overwritten, whether a data file or not: the caller is told and
  // goes on to the next number.
  files::FileDeclaration staleFile(spec("dstmp002.VKF"));
  files::CREATE(staleFile);
  const std::string staleBytes = readFile(folder.file("dstmp002.VKF"));
  writeFile(folder.file("proje001.VKF"), "stale backup");
  for (const std::int32_t mode : {kCopyMode, kRenameMode}) {
    EXPECT_EQ(FileCopyRenameRemove(2, mode, file, folder.file("dstmp002.VKF"), "Vkf"),
              runtime::AccessDeniedErr)
        << mode;
    EXPECT_NE(FileCopyRenameRemove(1, mode, file, folder.file("proje001.VKF"), "Vkf"), 0) << mode;
    EXPECT_EQ(readFile(folder.file("dstmp002.VKF")), staleBytes);
    EXPECT_EQ(readFile(folder.file("proje001.VKF")), "stale backup");
    EXPECT_TRUE(exists("numbers.VKF"));
  }
  EXPECT_EQ(FileCopyRenameRemove(2, kRenameMode, file, folder.file("proje002.VKF"), "Vkf"), 0);
  EXPECT_FALSE(exists("numbers.VKF"));
  EXPECT_TRUE(exists("proje002.VKF"));

  // A file that is not there counts as done.
  EXPECT_EQ(FileCopyRenameRemove(3, kRenameMode, file, folder.file("proje003.VKF"), "Vkf"), 0);
  EXPECT_EQ(FileCopyRenameRemove(3, kRemoveMode, file, "", "Vkf"), 0);
  files::FileDeclaration backup(spec("dstmp001.VKF"));
  EXPECT_EQ(FileCopyRenameRemove(3, kRemoveMode, backup, "", "Vkf"), 0);
  EXPECT_FALSE(exists("dstmp001.VKF"));
}

TEST_F(FileUtilitiesTest, CompanionFilesOfTheBtrCodeGoWithTheFileUpToTheFirstMissingOne) {
  files::FileDeclaration file(spec("ORDERS.DAT", files::Driver::Dos));
  for (const char* name : {"ORDERS.DAT", "ORDERS.^01", "ORDERS.^02", "ORDERS.^04"}) {
    writeFile(folder.file(name), name);
  }
  EXPECT_EQ(FileCopyRenameRemove(7, kRenameMode, file, folder.file("proje007.DAT"), "btr"), 0);
  EXPECT_EQ(readFile(folder.file("proje007.DAT")), "ORDERS.DAT");
  EXPECT_EQ(readFile(folder.file("dstmp007.^01")), "ORDERS.^01");
  EXPECT_EQ(readFile(folder.file("dstmp007.^02")), "ORDERS.^02");
  EXPECT_TRUE(exists("ORDERS.^04")) << "the missing third companion ends the loop";
  EXPECT_FALSE(exists("ORDERS.^01"));

  // Another driver code has no companions.
  files::FileDeclaration other(spec("OTHER.DAT", files::Driver::Dos));
  writeFile(folder.file("OTHER.DAT"), "x");
  writeFile(folder.file("OTHER.^01"), "y");
  EXPECT_EQ(FileCopyRenameRemove(8, kRemoveMode, other, "", "Vkf"), 0);
  EXPECT_TRUE(exists("OTHER.^01"));
}

TEST_F(FileUtilitiesTest, BuffersGrowByAStepOrToTheSizeNeededAndKeepTheirText) {
  allocateSqlTextBuffers();
  SqlTextBuffers& buffers = sqlTextBuffers();
  EXPECT_EQ(buffers.FieldValues.capacity(), 16384u);
  const struct {
    std::size_t appended;
    std::size_t capacity;
  } cases[] = {{16384, 16384}, {20000, 32768}, {40000, 40000}};
  for (const auto& test : cases) {
    allocateSqlTextBuffers();
    std::int32_t used = 0;
    CheckRecordBufferSize(3, used, "'a'");
    CheckRecordBufferSize(static_cast<std::int32_t>(test.appended) - 3, used, "x");
    EXPECT_EQ(used, static_cast<std::int32_t>(test.appended));
    EXPECT_EQ(buffers.FieldValues.capacity(), test.capacity) << test.appended;
    EXPECT_EQ(buffers.FieldValues.text(5), "'a'x ") << "kept across growth, padded";
  }

  std::int32_t names = 0;
  AppendFieldName(4, names, "ID, ");
  AppendFieldName(11, names, "NAME, extra");
  EXPECT_EQ(buffers.FieldNames.text(static_cast<std::size_t>(names)), "ID, NAME, extra");

  WriteValueText(3, 6, "ab");
  EXPECT_EQ(buffers.FieldValueText.text(7), "  ab   ");
  WriteValueText(20000, 20001, "zz");
  EXPECT_EQ(buffers.FieldValueText.capacity(), 32768u);
  EXPECT_EQ(buffers.FieldValueText.text(7), "  ab   ");

  std::int32_t length = 0;
  const std::string statement(20000, 'S');
  SetInsertStatement(length, statement);
  EXPECT_EQ(length, 20000);
  EXPECT_EQ(buffers.InsertStatement.capacity(), 20000u);

  const std::size_t spareCapacity = buffers.spare.capacity();
  SaveToSpareBuffer(10, "abc");
  EXPECT_EQ(buffers.spare.capacity(), spareCapacity) << "the spare buffer never shrinks";
  EXPECT_EQ(buffers.spare.text(3), "abc");
  SaveToSpareBuffer(50000, "abc");
  EXPECT_EQ(buffers.spare.capacity(), 50000u);
  freeSqlTextBuffers();
  EXPECT_EQ(buffers.FieldValues.capacity(), 0u);
}

TEST_F(FileUtilitiesTest, TheValueListTracesItsSizesWithItsSwitch) {
  allocateSqlTextBuffers();
  std::int32_t used = 0;
  CheckRecordBufferSize(2, used, "1,");
  EXPECT_TRUE(takeTrace().empty());
  commandLine("/upkdebugAFV");
  CheckRecordBufferSize(1, used, "2");
  EXPECT_EQ(takeTrace(), (std::vector<std::string>{
                             "[Upkeep] AFV: Sizes: Current: 16384 Req Size: 3 AfterAppend: 3 "
                             "FieldVals: 1,2"}));
  freeSqlTextBuffers();
}

TEST(TextConvertersTest, PackedNibblesHexLiteralsAndByteDumps) {
  EXPECT_EQ(Nibbles(3, "\x12\x3C\x45"), " 1 2 3 C");
  EXPECT_EQ(Nibbles(5, "\x12\x3C\x45\x67"), " 1 2 3 C 4 5") << "5 digits read 3 bytes";
  EXPECT_EQ(Nibbles(0, "\x12"), "");
  EXPECT_EQ(HexLiteral(std::string("AB\0", 3)), "0x414200");
  EXPECT_EQ(HexLiteral(""), "0x");
  EXPECT_EQ(ByteDump("AB\xff", 3, 0), "65;66;255;");
  EXPECT_EQ(ByteDump("ABC", 3, 2), "66;67;");
  EXPECT_EQ(ByteDump("ABC", 1, 2), "");
  EXPECT_EQ(ByteDump("AB", 9, 1), "65;66;") << "nothing past the end";
  EXPECT_EQ(ByteDump(std::string(20000, 'x'), 20000, 1).size(), 30000u);
}

TEST(TextConvertersTest, SubscriptsAndTheFormattedTest) {
  const struct {
    const char* text;
    Subscripts expected;
  } cases[] = {
      {"PRO:GRID[2,3]", {2, 3, 1, 1}}, {"PRO:GRID", {1, 1, 1, 1}}, {"X[7]", {7, 1, 1, 1}},
      {"X[1,2,3,4,5]", {1, 2, 3, 4}},  {"X[4,5", {4, 1, 1, 1}},
  };
  for (const auto& test : cases) {
    const Subscripts read = ParseSubscripts(test.text);
    EXPECT_EQ(read.a, test.expected.a) << test.text;
    EXPECT_EQ(read.b, test.expected.b) << test.text;
    EXPECT_EQ(read.c, test.expected.c) << test.text;
    EXPECT_EQ(read.d, test.expected.d) << test.text;
  }
  EXPECT_EQ(IsFormatted(" -12.50 ", "@n10.2"), 0);
  EXPECT_EQ(IsFormatted("1,250.00", "@n10.2"), 1);
  EXPECT_EQ(IsFormatted("", ""), 0);
}

}  // namespace
}  // namespace upkeep
