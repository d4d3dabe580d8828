#include "platform/files/record_descriptor.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/files/test_records.h"

namespace files {
namespace {

using runtime::FieldDef;
using runtime::FieldType;
using runtime::Long;
using runtime::RecordLayout;
using runtime::String;

// Descriptor bytes written as hex numbers and NUL-terminated texts.
class Bytes {
 public:
  Bytes& hex(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size()) {
      if (text[at] == ' ') {
        ++at;
        continue;
      }
      bytes_.push_back(static_cast<std::uint8_t>(
          std::strtoul(std::string(text.substr(at, 2)).c_str(), nullptr, 16)));
      at += 2;
    }
    return *this;
  }
  Bytes& text(std::string_view value) {
    bytes_.insert(bytes_.end(), value.begin(), value.end());
    bytes_.push_back(0);
    return *this;
  }
  operator std::vector<std::uint8_t>() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

struct Small {
  Long ID;
  String<20> NAME;
  runtime::DecimalField<7, 2> AMOUNT;
};
constexpr FieldDef kSmall[] = {
    GD_FIELD(Small, ID, "SML:ID"),
    GD_FIELD(Small, NAME, "SML:NAME"),
    GD_FIELD(Small, AMOUNT, "SML:AMOUNT"),
};

struct Pair {
  Long A;
  Long B;
};
struct Grouped {
  Pair PT;
};
constexpr FieldDef kGrouped[] = {
    GD_GROUP(Grouped, PT, "GRP:PT"),
    GD_FIELD(Grouped, PT.A, "GRP:A"),
    GD_FIELD(Grouped, PT.B, "GRP:B"),
};

struct Array {
  String<10> NAMES[3];
};
constexpr FieldDef kArray[] = {GD_FIELD(Array, NAMES, "ARR:NAMES")};

struct Grid {
  Long CELLS[3][4];
};
constexpr FieldDef kGrid[] = {GD_FIELD(Grid, CELLS, "GRD:CELLS").withExternalName("Cells")};

struct Over {
  Over() {}
  Long ID;
  union {
    String<4> CODE{};
    Long CODENUM;
  };
};
constexpr FieldDef kOver[] = {
    GD_FIELD(Over, ID, "OVR:ID"),
    GD_FIELD(Over, CODE, "OVR:CODE"),
    GD_FIELD(Over, CODENUM, "OVR:CODENUM").overField(2),
};

struct StampParts {
  runtime::Date D;
  runtime::Time T;
};
struct GroupOver {
  GroupOver() {}
  union {
    String<8> STAMP{};
    StampParts PARTS;
  };
  Long AFTER;
};
constexpr FieldDef kGroupOver[] = {
    GD_FIELD(GroupOver, STAMP, "GOV:STAMP"), GD_GROUP(GroupOver, PARTS, "GOV:PARTS").overField(1),
    GD_FIELD(GroupOver, PARTS.D, "GOV:D"),   GD_FIELD(GroupOver, PARTS.T, "GOV:T"),
    GD_FIELD(GroupOver, AFTER, "GOV:AFTER"),
};
static_assert(runtime::hasOffsets(kGroupOver, {0, 0, 0, 4, 8}));

struct Golden {
  const char* name;
  std::span<const FieldDef> fields;
  std::uint32_t recordSize;
  std::vector<std::uint8_t> bytes;
};

const std::vector<Golden>& goldens() {
  static const std::vector<Golden> cases = {
      {"LONG, STRING(20), DECIMAL(7,2)", kSmall, sizeof(Small),
       Bytes()
           .hex("16 00  1C 00 00 00  03 00 00 00  32 00 00 00")
           .hex("06 00")
           .text("SML:ID")
           .hex("12 00 14")
           .text("SML:NAME")
           .hex("0A 00 04 02")
           .text("SML:AMOUNT")},
      {"GROUP of two LONGs", kGrouped, sizeof(Grouped),
       Bytes()
           .hex("16 00  08 00 00 00  03 00 00 00  33 00 00 00")
           .hex("16 00  08 00 00 00  02 00 00 00  25 00 00 00")
           .text("GRP:PT")
           .hex("06 00")
           .text("GRP:A")
           .hex("06 00")
           .text("GRP:B")},
      {"STRING(10),DIM(3)", kArray, sizeof(Array),
       Bytes()
           .hex("16 00  1E 00 00 00  01 00 00 00  1D 00 00 00")
           .hex("12 10 0A")
           .text("ARR:NAMES")
           .hex("01 03")},
      {"LONG,DIM(3,4),NAME('Cells')", kGrid, sizeof(Grid),
       Bytes()
           .hex("16 00  30 00 00 00  01 00 00 00  23 00 00 00")
           .hex("06 11")
           .text("GRD:CELLS")
           .text("Cells")
           .hex("02 03 04")},
      {"LONG OVER a STRING(4)", kOver, sizeof(Over),
       Bytes()
           .hex("16 00  08 00 00 00  03 00 00 00  32 00 00 00")
           .hex("06 00")
           .text("OVR:ID")
           .hex("12 00 04")
           .text("OVR:CODE")
           .hex("06 08")
           .text("OVR:CODENUM")
           .hex("82")},
      {"GROUP OVER a STRING(8)", kGroupOver, sizeof(GroupOver),
       Bytes()
           .hex("16 00  0C 00 00 00  05 00 00 00  50 00 00 00")
           .hex("12 00 08")
           .text("GOV:STAMP")
           .hex("16 08  08 00 00 00  02 00 00 00  29 00 00 00")
           .text("GOV:PARTS")
           .hex("81")
           .hex("04 00")
           .text("GOV:D")
           .hex("05 00")
           .text("GOV:T")
           .hex("06 00")
           .text("GOV:AFTER")},
      {"func", test::kFuncFields, sizeof(test::Func),
       Bytes()
           .hex("16 00  86 05 00 00  06 00 00 00  65 00 00 00")
           .hex("06 00")
           .text("FUN:ID")
           .hex("13 00 20 64")
           .text("FUN:NAME")
           .hex("13 00 24 00")
           .text("FUN:DESCRIPTION")
           .hex("01 00")
           .text("FUN:FULLCODE")
           .hex("13 00 20 FF")
           .text("FUN:FORUMLINK")
           .hex("13 00 1E")
           .text("FUN:USER")},
      {"projects", test::kProjectsFields, sizeof(test::Projects),
       Bytes()
           .hex("16 00  30 2A 00 00  0F 00 00 00  18 01 00 00")
           .hex("06 04")
           .text("@n-14")
           .text("PRO:ID")
           .hex("13 00 14")
           .text("PRO:TYPEC")
           .hex("13 04 20 64")
           .text("@s99")
           .text("PRO:DESCRIPTION")
           .hex("13 04 20 FF")
           .text("@s254")
           .text("PRO:PROJECTPATH")
           .hex("13 04 20 32")
           .text("@s49")
           .text("PRO:CATEGORY")
           .hex("04 00")
           .text("PRO:LASTDATE")
           .hex("04 00")
           .text("PRO:LASTACCESS")
           .hex("04 00")
           .text("PRO:CREATETIONDATE")
           .hex("01 00")
           .text("PRO:WINDOWSEXE")
           .hex("01 00")
           .text("PRO:ANDROID")
           .hex("01 00")
           .text("PRO:IOS")
           .hex("01 00")
           .text("PRO:HTML5")
           .hex("13 00 20 64")
           .text("PRO:CODEBY")
           .hex("13 00 20 FF")
           .text("PRO:THREADLINK")
           .hex("13 00 40 27 10")
           .text("PRO:LONGDESCRIPTION")},
  };
  return cases;
}

void expectSameFields(std::span<const FieldDef> expected, std::span<const FieldDef> actual) {
  ASSERT_EQ(expected.size(), actual.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(std::string(expected[i].label));
    const FieldDef& e = expected[i];
    const FieldDef& a = actual[i];
    EXPECT_EQ(e.label, a.label);
    EXPECT_EQ(e.type, a.type);
    EXPECT_EQ(e.offset, a.offset);
    EXPECT_EQ(e.size, a.size);
    EXPECT_EQ(e.digits, a.digits);
    EXPECT_EQ(e.scale, a.scale);
    EXPECT_EQ(e.dims, a.dims);
    EXPECT_EQ(e.picture, a.picture);
    EXPECT_EQ(e.externalName, a.externalName);
    EXPECT_EQ(e.over, a.over);
    EXPECT_EQ(e.group, a.group);
    EXPECT_EQ(e.members, a.members);
  }
}

TEST(RecordDescriptor, WritesTheGoldenBytes) {
  for (const Golden& golden : goldens()) {
    SCOPED_TRACE(golden.name);
    const RecordLayout layout(golden.fields, golden.recordSize);
    std::string error;
    const auto bytes = writeDescriptor(layout, &error);
    ASSERT_TRUE(bytes) << error;
    EXPECT_EQ(*bytes, golden.bytes);
  }
}

TEST(RecordDescriptor, ReadsTheFieldsBack) {
  for (const Golden& golden : goldens()) {
    SCOPED_TRACE(golden.name);
    const RecordLayout layout(golden.fields, golden.recordSize);
    std::string error;
    const auto contents = readDescriptor(golden.bytes, &error);
    ASSERT_TRUE(contents) << error;
    EXPECT_EQ(contents->length, golden.bytes.size());
    EXPECT_EQ(contents->layout.recordSize(), golden.recordSize);
    expectSameFields(layout.fields(), contents->layout.fields());
    for (std::size_t i = 0; i < layout.fieldCount(); ++i)
      EXPECT_EQ(contents->flags[i], descriptorFlags(layout.fields()[i]));
    EXPECT_EQ(writeDescriptor(contents->layout), golden.bytes);
  }
}

TEST(RecordDescriptor, ReadsOnlyTheDescriptorsOwnLength) {
  std::vector<std::uint8_t> bytes = goldens()[0].bytes;
  bytes.insert(bytes.end(), {0xAB, 0xCD});
  const auto contents = readDescriptor(bytes);
  ASSERT_TRUE(contents);
  EXPECT_EQ(contents->length, bytes.size() - 2);
}

// Numbers take one, two or three bytes by size; shown here through array dimensions.
TEST(RecordDescriptor, EncodesNumbersInOneToThreeBytes) {
  struct Case {
    std::uint32_t dimension;
    std::vector<std::uint8_t> encoded;
  };
  const Case cases[] = {
      {1, {0x01}},
      {0x1F, {0x1F}},
      {0x20, {0x20, 0x20}},
      {0x1FFF, {0x3F, 0xFF}},
      {0x2000, {0x40, 0x20, 0x00}},
      {0x12345, {0x41, 0x23, 0x45}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dimension);
    FieldDef field{.label = "D:B", .type = FieldType::Byte, .size = 1};
    field.dims[0] = c.dimension;
    const RecordLayout layout(std::span(&field, 1), c.dimension);
    const auto bytes = writeDescriptor(layout);
    ASSERT_TRUE(bytes);
    std::vector<std::uint8_t> expected = Bytes().hex("01 10").text("D:B").hex("01");
    expected.insert(expected.end(), c.encoded.begin(), c.encoded.end());
    EXPECT_EQ(std::vector<std::uint8_t>(bytes->begin() + kDescriptorHeaderSize, bytes->end()),
              expected);
    const auto back = readDescriptor(*bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->layout.fields()[0].dims[0], c.dimension);
  }
}

TEST(RecordDescriptor, KeepsFlagsItDoesNotWriteAndDropsAFalseOver) {
  // Flag 02h and 20h are kept; flag 08h with an over-reference lacking bit 80h is dropped, and
  // the field then takes its own place.
  const std::vector<std::uint8_t> bytes = Bytes()
                                              .hex("16 00  08 00 00 00  02 00 00 00  1B 00 00 00")
                                              .hex("06 22")
                                              .text("X:A")
                                              .hex("06 08")
                                              .text("X:B")
                                              .hex("01");
  std::string error;
  const auto contents = readDescriptor(bytes, &error);
  ASSERT_TRUE(contents) << error;
  EXPECT_EQ(contents->flags, (std::vector<std::uint8_t>{0x22, 0x00}));
  EXPECT_EQ(contents->layout.fields()[1].over, 0);
  EXPECT_EQ(contents->layout.fields()[1].offset, 4u);
}

TEST(RecordDescriptor, RefusesBytesThatAreNotASoundDescriptor) {
  const std::vector<std::uint8_t> small = goldens()[0].bytes;
  const auto with = [&](std::size_t at, std::uint8_t value) {
    std::vector<std::uint8_t> bytes = small;
    bytes[at] = value;
    return bytes;
  };
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
  };
  const std::vector<Case> cases = {
      {"empty", {}},
      {"wrong signature", with(0, 0x17)},
      {"length beyond the bytes", with(10, 0x33)},
      {"length inside the header", with(10, 0x05)},
      {"length short of the last entry", with(10, 0x31)},
      {"more fields than entries", with(6, 0x04)},
      {"unknown type code", with(14, 0x0C)},
      {"record smaller than its fields", with(2, 0x1B)},
      {"bytes after the last field", with(6, 0x02)},
      {"over-reference to a later field", Bytes()
                                              .hex("16 00  04 00 00 00  01 00 00 00  15 00 00 00")
                                              .hex("06 08")
                                              .text("X:A")
                                              .hex("82")},
      {"group length that does not match its members",
       Bytes()
           .hex("16 00  08 00 00 00  03 00 00 00  33 00 00 00")
           .hex("16 00  08 00 00 00  02 00 00 00  24 00 00 00")
           .text("GRP:PT")
           .hex("06 00")
           .text("GRP:A")
           .hex("06 00")
           .text("GRP:B")},
      {"group with members past the last field",
       Bytes()
           .hex("16 00  08 00 00 00  02 00 00 00  2B 00 00 00")
           .hex("16 00  08 00 00 00  02 00 00 00  1D 00 00 00")
           .text("GRP:PT")
           .hex("06 00")
           .text("GRP:A")},
      {"members that do not fit in their group",
       Bytes()
           .hex("16 00  08 00 00 00  03 00 00 00  33 00 00 00")
           .hex("16 00  04 00 00 00  02 00 00 00  25 00 00 00")
           .text("GRP:PT")
           .hex("06 00")
           .text("GRP:A")
           .hex("06 00")
           .text("GRP:B")},
      {"five dimensions", Bytes()
                              .hex("16 00  01 00 00 00  01 00 00 00  1A 00 00 00")
                              .hex("01 10")
                              .text("X:A")
                              .hex("05 01 01 01 01 01")},
      // 10001h * 10001h elements of 4 bytes, which would wrap to exactly the record's size.
      {"dimensions whose product passes 32 bits",
       Bytes()
           .hex("16 00  04 00 08 00  01 00 00 00  1B 00 00 00")
           .hex("06 10")
           .text("X:A")
           .hex("02 41 00 01 41 00 01")},
      {"dimension 0", Bytes()
                          .hex("16 00  01 00 00 00  01 00 00 00  16 00 00 00")
                          .hex("01 10")
                          .text("X:A")
                          .hex("01 00")},
      {"STRING of 0 bytes",
       Bytes().hex("16 00  01 00 00 00  01 00 00 00  15 00 00 00").hex("12 00 00").text("X:A")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string error;
    EXPECT_FALSE(readDescriptor(c.bytes, &error));
    EXPECT_FALSE(error.empty());
  }
}

TEST(RecordDescriptor, EveryCutOrFlippedByteOfARealDescriptorReadsSafely) {
  // However broken, the bytes never crash the reader; a cut descriptor never reads.
  const std::vector<std::uint8_t> projects = goldens().back().bytes;
  for (std::size_t size = 0; size < projects.size(); ++size)
    EXPECT_FALSE(readDescriptor(std::span(projects).first(size))) << size;
  for (std::size_t at = 0; at < projects.size(); ++at) {
    std::vector<std::uint8_t> bytes = projects;
    bytes[at] ^= 0xFF;
    (void)readDescriptor(bytes);
  }
}

TEST(RecordDescriptor, ReadsTheOlderLayoutWithNarrowWords) {
  // The older layout gives the same fields as the current one: 16-bit header and GROUP words
  // (the group's length word is whatever it held), single-byte dimensions.
  struct Case {
    std::size_t golden;
    std::vector<std::uint8_t> older;
  };
  // Entries without a GROUP, and with dimensions below 20h, read the same in both layouts.
  const auto olderHeaderOn = [](std::size_t n, std::vector<std::uint8_t> header) {
    const std::vector<std::uint8_t>& current = goldens()[n].bytes;
    header.insert(header.end(), current.begin() + kDescriptorHeaderSize, current.end());
    return header;
  };
  const Case cases[] = {
      {1, Bytes()
              .hex("16 00  08 00  03 00  27 00")
              .hex("16 00  08 00  02 00  99 99")
              .text("GRP:PT")
              .hex("06 00")
              .text("GRP:A")
              .hex("06 00")
              .text("GRP:B")},
      {2, olderHeaderOn(2, Bytes().hex("16 00  1E 00  01 00  17 00"))},
      {6, olderHeaderOn(6, Bytes().hex("16 00  86 05  06 00  5F 00"))},
  };
  for (const Case& c : cases) {
    const Golden& golden = goldens()[c.golden];
    SCOPED_TRACE(golden.name);
    std::string error;
    const auto older = readOlderDescriptor(c.older, &error);
    ASSERT_TRUE(older) << error;
    EXPECT_EQ(older->length, c.older.size());
    const RecordLayout layout(golden.fields, golden.recordSize);
    expectSameFields(layout.fields(), older->layout.fields());
    EXPECT_FALSE(readDescriptor(c.older));
  }
}

TEST(RecordDescriptor, RefusesLayoutsItCannotDescribe) {
  struct Case {
    const char* name;
    std::vector<FieldDef> fields;
    std::uint32_t recordSize;
  };
  FieldDef gapped{.label = "X:B", .type = FieldType::Long, .offset = 6, .size = 4};
  FieldDef huge{.label = "X:T", .type = FieldType::String, .offset = 0, .size = 0x10000};
  FieldDef nul{.label = std::string_view("X:\0A", 4), .type = FieldType::Byte, .size = 1};
  FieldDef holed{.label = "X:H", .type = FieldType::Byte, .size = 1};
  holed.dims = {2, 0, 3, 0};
  const std::vector<Case> cases = {
      {"a gap before a field",
       {FieldDef{.label = "X:A", .type = FieldType::Long, .size = 4}, gapped},
       10},
      {"a string above FFFFh bytes", {huge}, 0x10000},
      {"a label holding a NUL", {nul}, 1},
      {"an unused dimension before a used one", {holed}, 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const RecordLayout layout(c.fields, c.recordSize);
    std::string error;
    EXPECT_FALSE(writeDescriptor(layout, &error));
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace files
