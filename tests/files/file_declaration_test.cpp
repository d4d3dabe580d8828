#include "platform/files/file_declaration.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <new>
#include <string>
#include <thread>

#include "platform/files/record_descriptor.h"
#include "tests/files/test_records.h"

namespace files {
namespace {

using runtime::FieldDef;
using runtime::Short;
using runtime::String;

// The list-format file: STRING fields (blank is spaces) and a five-component key.
struct Formats {
  String<30> APPNAME;
  String<30> PROCID;
  Short USERID;
  Short CTRLID;
  Short FORMATID;
  String<30> FORMATNAME;
  runtime::Byte FLAG;
  String<5120> FORMAT;
  String<2048> VARLINE;
};
static_assert(sizeof(Formats) == 7265);
constexpr FieldDef kFormatsFields[] = {
    GD_FIELD(Formats, APPNAME, "CFG:APPNAME"),   GD_FIELD(Formats, PROCID, "CFG:PROCID"),
    GD_FIELD(Formats, USERID, "CFG:USERID"),     GD_FIELD(Formats, CTRLID, "CFG:CTRLID"),
    GD_FIELD(Formats, FORMATID, "CFG:FORMATID"), GD_FIELD(Formats, FORMATNAME, "CFG:FORMATNAME"),
    GD_FIELD(Formats, FLAG, "CFG:FLAG"),         GD_FIELD(Formats, FORMAT, "CFG:FORMAT"),
    GD_FIELD(Formats, VARLINE, "CFG:VARLINE"),
};
static_assert(runtime::hasOffsets(kFormatsFields, {0, 30, 60, 62, 64, 66, 96, 97, 5217}));
constexpr KeySpec kFormatsKeys[] = {{"CFG:KEY_MAIN", KeyNoCase | KeyOpt, {1, 2, 3, 4, -5}}};
constexpr FileSpec kFormatsSpec{
    .label = "Formats",
    .prefix = "CFG",
    .name = "Formats.FDB",
    .fields = kFormatsFields,
    .recordSize = sizeof(Formats),
    .keys = kFormatsKeys,
};

TEST(FileDeclaration, StaticTableGivesKeysDescriptorAndABlankRecord) {
  FileDeclaration file(kFormatsSpec);
  EXPECT_EQ(file.currentName(), "Formats.FDB");
  ASSERT_EQ(file.keyCount(), 1u);
  EXPECT_EQ(file.key(1)->components, (std::vector<std::int32_t>{1, 2, 3, 4, -5}));
  EXPECT_TRUE(file.key(1)->unique());
  EXPECT_EQ(file.keyNumber("cfg:key_main"), 1);
  EXPECT_EQ(file.keyNumber("CFG:OTHER"), 0);
  EXPECT_EQ(file.key(2), nullptr);

  const auto back = readDescriptor(file.descriptor());
  ASSERT_TRUE(back);
  EXPECT_EQ(back->layout.fieldCount(), 9u);

  Formats& record = file.recordAs<Formats>();
  EXPECT_EQ(record.APPNAME.view(), std::string(30, ' '));
  EXPECT_EQ(record.USERID, 0);
  record.USERID = 513;
  EXPECT_EQ(std::to_integer<int>(file.record()[60]), 1);
  EXPECT_EQ(std::to_integer<int>(file.record()[61]), 2);
}

// The parts of `file` as a structure image would carry them.
FileParts partsOf(const FileDeclaration& file) {
  FileParts parts;
  parts.label = file.label();
  parts.prefix = file.prefix();
  parts.driver = file.driver();
  parts.name = file.currentName();
  parts.driverString = file.driverString();
  parts.owner = file.owner();
  parts.attributes = file.attributes();
  parts.recordLength = file.recordLength();
  parts.keys.assign(file.keys().begin(), file.keys().end());
  for (const Memo& memo : file.memos()) parts.memos.push_back(memo.def());
  parts.descriptor.assign(file.descriptor().begin(), file.descriptor().end());
  return parts;
}

TEST(FileDeclaration, AssemblesTheSameDeclarationFromItsParts) {
  const FileDeclaration original(test::kFuncSpec);
  FileParts parts = partsOf(original);
  parts.owner = "secret";
  parts.driverString = "/FULLBUILD=on";
  parts.attributes = 0x04;
  AssembledFile made = FileDeclaration::assemble(std::move(parts));
  ASSERT_TRUE(made.file) << made.error;
  const FileDeclaration& file = *made.file;

  EXPECT_EQ(file.label(), "func");
  EXPECT_EQ(file.owner(), "secret");
  EXPECT_EQ(file.driverString(), "/FULLBUILD=on");
  EXPECT_EQ(file.attributes(), 0x04);
  EXPECT_TRUE(std::ranges::equal(file.descriptor(), original.descriptor()));
  ASSERT_EQ(file.layout().fieldCount(), original.layout().fieldCount());
  for (std::size_t i = 0; i < file.layout().fieldCount(); ++i) {
    EXPECT_EQ(file.layout().fields()[i].label, original.layout().fields()[i].label);
    EXPECT_EQ(file.layout().fields()[i].offset, original.layout().fields()[i].offset);
  }
  ASSERT_EQ(file.keyCount(), 1u);
  EXPECT_EQ(file.key(1)->label, "FUN:P_ID");
  ASSERT_EQ(file.memoCount(), 1u);
  EXPECT_EQ(file.memo(1)->label(), "FUN:EXAMPLECODE");
  EXPECT_EQ(file.memo(1)->size(), 64000u);
  EXPECT_EQ(file.recordLength(), 1414u);
}

TEST(FileDeclaration, AssemblyKeepsTheDescriptorByteForByte) {
  // Flag bits the writer never sets (02h here) stay in the bytes and in the field's flags;
  // bytes after the descriptor's own length are not part of it.
  const FileDeclaration original(test::kFuncSpec);
  FileParts parts = partsOf(original);
  parts.descriptor[kDescriptorHeaderSize + 1] = 0x02;
  parts.descriptor.push_back(0xEE);
  AssembledFile made = FileDeclaration::assemble(std::move(parts));
  ASSERT_TRUE(made.file) << made.error;
  EXPECT_EQ(made.file->fieldFlags(1), 0x02);
  EXPECT_EQ(made.file->descriptor().size(), original.descriptor().size());
  EXPECT_EQ(made.file->descriptor()[kDescriptorHeaderSize + 1], 0x02);
}

TEST(FileDeclaration, AssemblyRefusesUnsoundParts) {
  const FileDeclaration original(test::kFuncSpec);
  struct Case {
    const char* name;
    void (*spoil)(FileParts&);
  };
  const Case cases[] = {
      {"descriptor that does not read", [](FileParts& p) { p.descriptor.resize(20); }},
      {"no descriptor", [](FileParts& p) { p.descriptor.clear(); }},
      {"record length other than the descriptor's", [](FileParts& p) { p.recordLength = 1415; }},
      {"key component beyond the fields", [](FileParts& p) { p.keys[0].components = {7}; }},
      {"descending key component beyond the fields",
       [](FileParts& p) { p.keys[0].components = {-7}; }},
      {"key component 0", [](FileParts& p) { p.keys[0].components = {0}; }},
      {"key without components", [](FileParts& p) { p.keys[0].components.clear(); }},
      {"memo of size 0", [](FileParts& p) { p.memos[0].size = 0; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FileParts parts = partsOf(original);
    c.spoil(parts);
    const AssembledFile made = FileDeclaration::assemble(std::move(parts));
    EXPECT_FALSE(made.file);
    EXPECT_FALSE(made.error.empty());
  }
}

TEST(FileDeclaration, BoundNameIsReadAtEachUse) {
  static runtime::CString<255> mainAgcFile;
  static String<20> paddedName;
  static constexpr FieldDef kLine[] = {
      {.label = "AGC:PLINE", .type = runtime::FieldType::String, .size = 1024}};
  static constexpr FileSpec kMainAgc{
      .label = "mainagc",
      .prefix = "AGC",
      .driver = Driver::Ascii,
      .nameVariable = bindName(mainAgcFile),
      .fields = kLine,
      .recordSize = 1024,
  };
  FileDeclaration file(kMainAgc);
  EXPECT_TRUE(file.nameIsBound());
  EXPECT_EQ(file.currentName(), "");
  mainAgcFile = "/home/me/Game/main.agc";
  EXPECT_EQ(file.currentName(), "/home/me/Game/main.agc");
  mainAgcFile = "/home/me/Other/main.agc";
  EXPECT_EQ(file.currentName(), "/home/me/Other/main.agc");

  // A STRING variable reads without its padding; a limit cuts on a character boundary.
  paddedName = "caf\xC3\xA9.txt";
  EXPECT_EQ(bindName(paddedName).text(), "caf\xC3\xA9.txt");
  EXPECT_EQ(bindName(paddedName, 4).text(), "caf");
  EXPECT_EQ(bindName(paddedName, 5).text(), "caf\xC3\xA9");

  // A name given at run time is fixed from then on: the variable is no longer read.
  file.setName("/home/me/Fixed/main.agc");
  mainAgcFile = "/home/me/Third/main.agc";
  EXPECT_FALSE(file.nameIsBound());
  EXPECT_EQ(file.currentName(), "/home/me/Fixed/main.agc");
}

TEST(FileDeclaration, MemosHoldTextAndBytesUpToTheirSize) {
  static constexpr MemoSpec kMemos[] = {{"TST:NOTE", 5, MemoKindMemo}};
  static constexpr FieldDef kOne[] = {
      {.label = "TST:ID", .type = runtime::FieldType::Long, .size = 4}};
  FileDeclaration file(
      FileSpec{.label = "t", .prefix = "TST", .fields = kOne, .recordSize = 4, .memos = kMemos});
  Memo& memo = *file.memo(1);
  memo.assign("abcd\xC3\xA9");  // six bytes: the cut leaves the whole character out
  EXPECT_EQ(memo.content(), "abcd");
  EXPECT_TRUE(memo.setBytes(std::string_view("a\0b\0c", 5)));
  EXPECT_EQ(memo.content(), std::string_view("a\0b\0c", 5));
  EXPECT_FALSE(memo.setBytes("123456"));
  EXPECT_EQ(memo.content(), std::string_view("a\0b\0c", 5));
  memo.clear();
  EXPECT_TRUE(memo.content().empty());
}

TEST(FileDeclaration, DriverNames) {
  EXPECT_EQ(driverName(Driver::Caskfile), "CASKFILE");
  EXPECT_EQ(driverName(Driver::SqlAnywhere), "SQLANYWHERE");
  EXPECT_EQ(driverNamed("odbc "), Driver::Odbc);
  EXPECT_EQ(driverNamed("Ascii"), Driver::Ascii);
  EXPECT_EQ(driverNamed("TOPSPEED"), std::nullopt);
  EXPECT_TRUE(isSqlDriver(Driver::Mssql));
  EXPECT_FALSE(isSqlDriver(Driver::Dos));
}

// A handle that notes when it is destroyed, which is when its file is closed.
class NotingHandle : public DriverHandle {
 public:
  explicit NotingHandle(std::atomic<int>& closed) : closed_(closed) {}
  ~NotingHandle() override { ++closed_; }

 private:
  std::atomic<int>& closed_;
};

const ThreadFile<test::Func> func{test::kFuncSpec};

TEST(PerThreadFile, EachThreadHasItsOwnInstanceReleasedAtItsEnd) {
  func.record().ID = 7;
  func.get().memo(1)->assign("main thread");
  std::atomic<int> closed = 0;
  std::thread other([&] {
    EXPECT_FALSE(func.builtOnThisThread());
    EXPECT_EQ(func.record().ID, 0);
    EXPECT_TRUE(func.get().memo(1)->content().empty());
    func.record().ID = 9;
    func.get().openState().handle = std::make_unique<NotingHandle>(closed);
    EXPECT_EQ(func.record().ID, 9);
  });
  other.join();
  EXPECT_EQ(closed, 1);
  EXPECT_EQ(func.record().ID, 7);
  EXPECT_EQ(func.get().memo(1)->content(), "main thread");

  func.get().openState().handle = std::make_unique<NotingHandle>(closed);
  releaseThreadFiles();
  EXPECT_EQ(closed, 2);
  EXPECT_FALSE(func.builtOnThisThread());
  EXPECT_EQ(func.record().ID, 0);
  func.release();
  EXPECT_FALSE(func.builtOnThisThread());
}

TEST(PerThreadFile, ALaterOneAtTheSameAddressGetsItsOwnInstance) {
  alignas(PerThreadFile) unsigned char storage[sizeof(PerThreadFile)];
  auto* first = new (storage) PerThreadFile(test::kFuncSpec);
  EXPECT_EQ(first->get().label(), "func");
  first->~PerThreadFile();
  auto* second = new (storage) PerThreadFile(test::kProjectsSpec);
  EXPECT_FALSE(second->builtOnThisThread());
  EXPECT_EQ(second->get().label(), "projects");
  second->release();
  second->~PerThreadFile();
}

}  // namespace
}  // namespace files
