#include "platform/files/file_property.h"

#include <gtest/gtest.h>

#include "tests/files/test_records.h"

namespace files {
namespace {

using runtime::FieldDef;
using runtime::Long;
using runtime::String;

// A record with a decimal, an array with an external name and a field laid over another.
struct Mixed {
  Mixed() {}
  runtime::PDecimalField<9, 3> PRICE;
  Long SLOTS[2][5];
  union {
    String<4> CODE{};
    Long CODENUM;
  };
};
constexpr FieldDef kMixed[] = {
    GD_FIELD(Mixed, PRICE, "MIX:PRICE"),
    GD_FIELD(Mixed, SLOTS, "MIX:SLOTS").withExternalName("slot_list"),
    GD_FIELD(Mixed, CODE, "MIX:CODE"),
    GD_FIELD(Mixed, CODENUM, "MIX:CODENUM").overField(3),
};
constexpr KeySpec kMixedKeys[] = {{"MIX:K_CODE", KeyDup, {3}}, {"MIX:K_PRICE", 0, {-1}}};
constexpr MemoSpec kMixedMemos[] = {{"MIX:NOTES", 100, MemoKindMemo, "notes.txt"},
                                    {"MIX:PIC", 2000, MemoKindBlob}};
constexpr FileSpec kMixedSpec{
    .label = "mixed",
    .prefix = "MIX",
    .driver = Driver::Mssql,
    .name = "dbo.Mixed",
    .owner = "sa,pw",
    .fields = kMixed,
    .recordSize = sizeof(Mixed),
    .keys = kMixedKeys,
    .memos = kMixedMemos,
};

TEST(FileProperty, ReadsEveryPropertyByNumber) {
  const FileDeclaration projects(test::kProjectsSpec);
  const FileDeclaration mixed(kMixedSpec);
  struct Case {
    const FileDeclaration& file;
    std::uint32_t number;
    int index;
    std::string value;
  };
  const Case cases[] = {
      {projects, PropDriverName, 0, "CASKFILE"},
      {mixed, PropDriverName, 0, "MSSQL"},
      {projects, 0x730F, 0, "4"},
      {projects, 0x7312, 0, "15"},
      {mixed, 0x7312, 0, "4"},
      {mixed, PropOwner, 0, "sa,pw"},
      {projects, PropName, 0, "projects.aaa"},
      {mixed, PropName, 2, "slot_list"},
      {mixed, PropName, 1, ""},
      {mixed, PropName, -1, "notes.txt"},
      {mixed, PropName, -2, ""},
      {mixed, PropName, -3, ""},
      {projects, PropLabel, 0, "projects"},
      {projects, PropLabel, 3, "PRO:DESCRIPTION"},
      {projects, PropLabel, 16, ""},
      {mixed, 0x7322, 1, "3"},
      {mixed, 0x7CB9, 1, "9"},
      {mixed, 0x7322, 2, "0"},
      {mixed, 0x7323, 2, "10"},
      {mixed, 0x7323, 1, "0"},
      {mixed, 0x7324, 4, "3"},
      {mixed, 0x7324, 3, "0"},
      {projects, 0x7354, 0, "PRO"},
      {projects, 0x7C01, 1, "6"},
      {projects, 0x7C01, 2, "19"},
      {projects, 0x7C01, 6, "4"},
      {mixed, 0x7C01, 1, "11"},
      {projects, 0x7C01, 0, ""},
      {projects, 0x7CC6, 0, "1"},
      {mixed, 0x7CC6, 0, "0"},
      {projects, 0x7100, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.number) + " index " + std::to_string(c.index));
    EXPECT_EQ(getProperty(c.file, c.number, c.index), c.value);
  }
}

TEST(FileProperty, NameIsTheOpenNameWhileOpen) {
  FileDeclaration file(test::kProjectsSpec);
  file.openState().handle = std::make_unique<DriverHandle>();
  file.openState().name = "/data/projects.aaa";
  EXPECT_EQ(getProperty(file, PropName), "/data/projects.aaa");
  file.openState().handle.reset();
  EXPECT_EQ(getProperty(file, PropName), "projects.aaa");
}

TEST(FileProperty, WritesOwnerAndDriverValuesOnly) {
  FileDeclaration file(kMixedSpec);
  EXPECT_TRUE(setProperty(file, PropOwner, "upkeep"));
  EXPECT_EQ(file.owner(), "upkeep");
  EXPECT_EQ(getProperty(file, PropOwner), "upkeep");

  for (const std::uint32_t number : {0x7200u, 0x7243u, 0x7245u, 0x7246u, 0x7329u}) {
    SCOPED_TRACE(number);
    EXPECT_EQ(getProperty(file, number), "");
    EXPECT_TRUE(setProperty(file, number, "0"));
    EXPECT_EQ(getProperty(file, number), "0");
  }
  EXPECT_TRUE(setProperty(file, PropSqlStatement, "SELECT 1"));
  EXPECT_EQ(getProperty(file, PropSqlStatement), "SELECT 1");
  EXPECT_EQ(file.driverValue(PropSqlStatement), "SELECT 1");

  // The server version comes from the driver; names, counts and the rest are read only.
  file.setDriverValue(PropServerVersion, "16.0");
  for (const std::uint32_t number :
       {0x724Au, 0x730Du, 0x730Fu, 0x7312u, 0x7316u, 0x7317u, 0x7354u, 0x7C01u, 0x7CC6u, 0x1234u}) {
    SCOPED_TRACE(number);
    const std::string before = getProperty(file, number);
    EXPECT_FALSE(setProperty(file, number, "changed"));
    EXPECT_EQ(getProperty(file, number), before);
  }
  EXPECT_EQ(getProperty(file, PropServerVersion), "16.0");
}

}  // namespace
}  // namespace files
