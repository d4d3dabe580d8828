#include "platform/runtime/record_layout.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace runtime {
namespace {

// A record with an array, a GROUP laid over a text field, a decimal and every text kind.
struct StampParts {
  Date D;
  Time T;
};
struct Sample {
  Sample() {}
  Long ID;
  String<10> NAME;
  CString<8> CODE;
  Short RANK[2][3];
  union {
    String<8> STAMP{};
    StampParts PARTS;
  };
  DecimalField<7, 2> AMOUNT;
  PString<6> TAG;
  Byte FLAG;

  static const RecordLayout& layout();
};

constexpr FieldDef kSampleFields[] = {
    GD_FIELD(Sample, ID, "SAM:ID").withPicture("@n-14"),
    GD_FIELD(Sample, NAME, "SAM:NAME").withExternalName("FullName"),
    GD_FIELD(Sample, CODE, "SAM:CODE"),
    GD_FIELD(Sample, RANK, "SAM:RANK"),
    GD_FIELD(Sample, STAMP, "SAM:STAMP"),
    GD_GROUP(Sample, PARTS, "SAM:PARTS").overField(5),
    GD_FIELD(Sample, PARTS.D, "SAM:D"),
    GD_FIELD(Sample, PARTS.T, "SAM:T"),
    GD_FIELD(Sample, AMOUNT, "SAM:AMOUNT"),
    GD_FIELD(Sample, TAG, "SAM:TAG"),
    GD_FIELD(Sample, FLAG, "SAM:FLAG"),
};
static_assert(sizeof(Sample) == 53);
static_assert(hasOffsets(kSampleFields, {0, 4, 14, 22, 34, 34, 34, 38, 42, 46, 52}));
static_assert(kSampleFields[3].size == 2 && kSampleFields[3].totalSize() == 12);
static_assert(kSampleFields[3].dims == std::array<std::uint32_t, 4>{2, 3, 0, 0});
static_assert(kSampleFields[5].type == FieldType::Group && kSampleFields[5].size == 8);
static_assert(kSampleFields[8].type == FieldType::Decimal && kSampleFields[8].size == 4 &&
              kSampleFields[8].digits == 7 && kSampleFields[8].scale == 2);

const RecordLayout& Sample::layout() {
  static const RecordLayout layout(kSampleFields, sizeof(Sample));
  return layout;
}

TEST(RecordLayout, TypeCodesAreTheDescriptorsCodes) {
  const struct {
    FieldType type;
    int code;
    std::uint32_t size;
  } cases[] = {
      {FieldType::Byte, 1, 1},     {FieldType::Short, 2, 2},     {FieldType::UShort, 3, 2},
      {FieldType::Date, 4, 4},     {FieldType::Time, 5, 4},      {FieldType::Long, 6, 4},
      {FieldType::ULong, 7, 4},    {FieldType::SReal, 8, 4},     {FieldType::Real, 9, 8},
      {FieldType::Decimal, 10, 0}, {FieldType::PDecimal, 11, 0}, {FieldType::BFloat4, 13, 4},
      {FieldType::BFloat8, 14, 8}, {FieldType::String, 18, 0},   {FieldType::CString, 19, 0},
      {FieldType::PString, 20, 0}, {FieldType::Group, 22, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(static_cast<int>(c.type), c.code);
    EXPECT_EQ(fixedFieldSize(c.type), c.size) << c.code;
  }
}

TEST(RecordLayout, FieldsFromTheStruct) {
  const RecordLayout& layout = Sample::layout();
  EXPECT_EQ(layout.recordSize(), 53u);
  ASSERT_EQ(layout.fieldCount(), 11u);
  EXPECT_EQ(layout.field(1)->type, FieldType::Long);
  EXPECT_EQ(layout.field(1)->picture, "@n-14");
  EXPECT_EQ(layout.field(2)->externalName, "FullName");
  EXPECT_EQ(layout.field(3)->type, FieldType::CString);
  EXPECT_EQ(layout.field(3)->size, 8u);
  EXPECT_EQ(layout.field(10)->type, FieldType::PString);
  EXPECT_EQ(layout.field(0), nullptr);
  EXPECT_EQ(layout.field(12), nullptr);
}

TEST(RecordLayout, GroupsAndOverFields) {
  const RecordLayout& layout = Sample::layout();
  EXPECT_EQ(layout.field(6)->over, 5);
  EXPECT_EQ(layout.field(6)->members, 2);
  EXPECT_EQ(layout.field(7)->group, 6);
  EXPECT_EQ(layout.field(8)->group, 6);
  EXPECT_EQ(layout.field(9)->group, 0);  // the group ends with its bytes
  EXPECT_FALSE(layout.liesOver(5));
  EXPECT_TRUE(layout.liesOver(6));
  EXPECT_TRUE(layout.liesOver(8));  // through its group
  EXPECT_FALSE(layout.liesOver(9));
}

TEST(RecordLayout, NestedGroupsCountAllTheirFields) {
  const FieldDef fields[] = {
      {.label = "N:OUTER", .type = FieldType::Group, .offset = 0, .size = 10},
      {.label = "N:A", .type = FieldType::Long, .offset = 0, .size = 4},
      {.label = "N:INNER", .type = FieldType::Group, .offset = 4, .size = 6},
      {.label = "N:B", .type = FieldType::Short, .offset = 4, .size = 2},
      {.label = "N:C", .type = FieldType::Long, .offset = 6, .size = 4},
      {.label = "N:D", .type = FieldType::Byte, .offset = 10, .size = 1},
  };
  const RecordLayout layout(fields, 11);
  EXPECT_EQ(layout.field(1)->members, 4);
  EXPECT_EQ(layout.field(3)->members, 2);
  EXPECT_EQ(layout.field(2)->group, 1);
  EXPECT_EQ(layout.field(4)->group, 3);
  EXPECT_EQ(layout.field(5)->group, 3);
  EXPECT_EQ(layout.field(6)->group, 0);
}

TEST(RecordLayout, LookupByLabelAndPlace) {
  const RecordLayout& layout = Sample::layout();
  EXPECT_EQ(layout.numberOf("SAM:NAME"), 2);
  EXPECT_EQ(layout.numberOf("sam:name"), 2);
  EXPECT_EQ(layout.numberOf("Sam:Amount"), 9);
  EXPECT_EQ(layout.numberOf("SAM:NAM"), 0);
  EXPECT_EQ(layout.numberOf("NAME"), 0);
  EXPECT_EQ(layout.numberAt(34, 8), 5);  // STAMP, not the group over it
  EXPECT_EQ(layout.numberAt(34, 4), 7);
  EXPECT_EQ(layout.numberAt(22, 12), 4);
  EXPECT_EQ(layout.numberAt(22, 2), 0);
}

TEST(RecordLayout, KeepsItsOwnTexts) {
  std::string label = "RUN:FIELD";
  std::string picture = "@s20";
  std::vector<FieldDef> fields{
      {.label = label, .type = FieldType::String, .offset = 0, .size = 20, .picture = picture}};
  RecordLayout layout(fields, 20);
  label.assign(label.size(), 'x');
  picture.assign(picture.size(), 'x');
  const RecordLayout moved = std::move(layout);
  EXPECT_EQ(moved.field(1)->label, "RUN:FIELD");
  EXPECT_EQ(moved.field(1)->picture, "@s20");
  EXPECT_EQ(moved.numberOf("run:field"), 1);
}

TEST(RecordLayout, BlankRecordMatchesAFreshStruct) {
  Sample blank;
  std::vector<unsigned char> bytes(sizeof(Sample), 0xAB);
  blankRecord(Sample::layout(), bytes.data());
  EXPECT_EQ(std::memcmp(bytes.data(), &blank, sizeof(Sample)), 0);
  EXPECT_EQ(blank.NAME.text(), std::string(10, ' '));
  EXPECT_EQ(blank.STAMP.text(), std::string(8, ' '));  // not zeroed by the group over it
  EXPECT_EQ(blank.ID, 0);
}

// One field at offset 0 of `size` bytes, and its two values as raw bytes.
struct CompareCase {
  const char* what;
  FieldDef field;
  std::string a, b;
  bool noCase;
  int expected;
};

FieldDef at0(FieldType type, std::uint32_t size) {
  return {.label = "T:F", .type = type, .offset = 0, .size = size};
}
FieldDef decimalAt0(FieldType type, std::uint32_t size, std::uint8_t digits) {
  FieldDef def = at0(type, size);
  def.digits = digits;
  return def;
}

template <class T>
std::string bytesOf(T value) {
  std::string bytes(sizeof(T), '\0');
  std::memcpy(bytes.data(), &value, sizeof(T));
  return bytes;
}

TEST(CompareFieldValues, RuntimeOrderOfEveryType) {
  using std::string;
  FieldDef pair = at0(FieldType::Short, 2);
  pair.dims = {2, 0, 0, 0};
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const CompareCase cases[] = {
      {"byte", at0(FieldType::Byte, 1), "\x01", "\x02", false, -1},
      {"short sign", at0(FieldType::Short, 2), bytesOf<int16_t>(-1), bytesOf<int16_t>(1), false,
       -1},
      {"ushort", at0(FieldType::UShort, 2), bytesOf<uint16_t>(0xFFFF), bytesOf<uint16_t>(1), false,
       1},
      {"long", at0(FieldType::Long, 4), bytesOf<int32_t>(-2), bytesOf<int32_t>(-1), false, -1},
      {"long high byte", at0(FieldType::Long, 4), bytesOf<int32_t>(256), bytesOf<int32_t>(255),
       false, 1},
      {"ulong", at0(FieldType::ULong, 4), bytesOf<uint32_t>(0x80000000u), bytesOf<uint32_t>(1),
       false, 1},
      {"sreal", at0(FieldType::SReal, 4), bytesOf(-1.5f), bytesOf(0.5f), false, -1},
      {"real equal", at0(FieldType::Real, 8), bytesOf(2.0), bytesOf(2.0), false, 0},
      {"real nan last", at0(FieldType::Real, 8), bytesOf(nan), bytesOf(1e300), false, 1},
      {"real nans equal", at0(FieldType::Real, 8), bytesOf(nan), bytesOf(nan), false, 0},
      {"date across a year", at0(FieldType::Date, 4), bytesOf(Date(2023, 12, 31)),
       bytesOf(Date(2024, 1, 1)), false, -1},
      {"date across a month", at0(FieldType::Date, 4), bytesOf(Date(2024, 2, 1)),
       bytesOf(Date(2024, 1, 31)), false, 1},
      {"no date first", at0(FieldType::Date, 4), bytesOf(Date()), bytesOf(Date(1801, 1, 1)), false,
       -1},
      {"time", at0(FieldType::Time, 4), bytesOf(Time(10, 0, 0, 0)), bytesOf(Time(9, 59, 59, 99)),
       false, 1},
      // DECIMAL(7,2): sign nibble, then seven digits.
      {"decimal signs", decimalAt0(FieldType::Decimal, 4, 7), string("\x80\x00\x10\x00", 4),
       string("\x00\x00\x00\x50", 4), false, -1},
      {"decimal negatives", decimalAt0(FieldType::Decimal, 4, 7), string("\x80\x00\x20\x00", 4),
       string("\x80\x00\x10\x00", 4), false, -1},
      {"decimal digits", decimalAt0(FieldType::Decimal, 4, 7), string("\x00\x01\x23\x40", 4),
       string("\x00\x01\x23\x50", 4), false, -1},
      {"decimal minus zero", decimalAt0(FieldType::Decimal, 4, 7), string("\x80\x00\x00\x00", 4),
       string("\x00\x00\x00\x00", 4), false, 0},
      // PDECIMAL(3,0): three digits, then the sign nibble.
      {"pdecimal", decimalAt0(FieldType::PDecimal, 2, 3), string("\x00\x5D", 2),
       string("\x00\x5F", 2), false, -1},
      {"pdecimal digits", decimalAt0(FieldType::PDecimal, 2, 3), "\x12\x3F", "\x12\x4F", false, -1},
      {"string trailing spaces", at0(FieldType::String, 5), "abc  ", string("abc\0\0", 5), false,
       -1},
      {"string padded", at0(FieldType::String, 5), "ab   ", "ab   ", false, 0},
      {"string case", at0(FieldType::String, 3), "Abc", "abc", false, -1},
      {"string nocase", at0(FieldType::String, 3), "Abc", "abC", true, 0},
      {"string nocase order", at0(FieldType::String, 3), "abd", "ABC", true, 1},
      {"cstring to its nul", at0(FieldType::CString, 5), string("ab\0zz", 5), string("ab  \0", 5),
       false, 0},
      {"cstring", at0(FieldType::CString, 5), string("ab\0\0\0", 5), string("abc\0\0", 5), false,
       -1},
      {"pstring", at0(FieldType::PString, 4),
       "\x02"
       "abz",
       "\x03"
       "abc",
       false, -1},
      {"group as text", at0(FieldType::Group, 3), "ab ", string("ab\0", 3), false, -1},
      // BASIC floats: mantissa bytes, sign in the top mantissa bit, exponent last.
      {"bfloat4 sign", at0(FieldType::BFloat4, 4), string("\0\0\0\x81", 4),
       string("\0\0\x80\x81", 4), false, 1},
      {"bfloat4 zero", at0(FieldType::BFloat4, 4), string("\0\0\0\0", 4), string("\0\0\0\x80", 4),
       false, -1},
      {"bfloat8", at0(FieldType::BFloat8, 8), string("\0\0\0\0\0\0\0\x82", 8),
       string("\0\0\0\0\0\0\x7F\x81", 8), false, 1},
      {"array second element", pair, bytesOf<int32_t>(0x00050001), bytesOf<int32_t>(0x00030001),
       false, 1},
  };
  for (const CompareCase& c : cases) {
    ASSERT_EQ(c.a.size(), c.field.totalSize()) << c.what;
    ASSERT_EQ(c.b.size(), c.field.totalSize()) << c.what;
    EXPECT_EQ(compareFieldValues(c.field, c.a.data(), c.b.data(), c.noCase), c.expected) << c.what;
    EXPECT_EQ(compareFieldValues(c.field, c.b.data(), c.a.data(), c.noCase), -c.expected) << c.what;
  }
}

TEST(CompareFieldValues, ReadsTheFieldAtItsOffset) {
  Sample a, b;
  a.NAME = "same";
  b.NAME = "same";
  a.ID = 1;
  b.ID = 2;
  const RecordLayout& layout = Sample::layout();
  EXPECT_EQ(compareFieldValues(*layout.field(2), &a, &b, false), 0);
  EXPECT_EQ(compareFieldValues(*layout.field(1), &a, &b, false), -1);
  a.PARTS.D = Date(2020, 5, 1);
  b.PARTS.D = Date(2020, 4, 30);
  EXPECT_EQ(compareFieldValues(*layout.field(7), &a, &b, false), 1);
}

}  // namespace
}  // namespace runtime
