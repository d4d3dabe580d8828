#include "platform/files/cask_key_image.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "platform/runtime/decimal.h"
#include "platform/runtime/standard_date.h"

namespace files {
namespace {

using runtime::FieldDef;
using runtime::FieldType;

// Stored values of one field: the bytes a record holds for it.
using Values = std::vector<std::string>;

template <class T>
std::string bytesOf(T value) {
  std::string bytes(sizeof(T), '\0');
  std::memcpy(bytes.data(), &value, sizeof(T));  // the machine is little-endian, as records are
  return bytes;
}

std::string text(std::string_view value, std::size_t size, char pad) {
  std::string bytes(value);
  bytes.resize(size, pad);
  return bytes;
}

std::string date(int year, int month, int day) {
  std::string bytes(4, '\0');
  runtime::packDate(runtime::dateFromYmd(year, month, day),
                    reinterpret_cast<unsigned char*>(bytes.data()));
  return bytes;
}

std::string packed(const char* value, int digits, int scale, bool pdecimal) {
  std::string bytes(static_cast<std::size_t>(runtime::packedSize(digits)), '\0');
  runtime::packDecimal(runtime::Decimal::parse(value), digits, scale, pdecimal,
                       reinterpret_cast<unsigned char*>(bytes.data()));
  return bytes;
}

// A BASIC float: mantissa bytes low first (the top one holding the sign), then the exponent.
std::string bfloat(std::size_t size, unsigned exponent, bool negative, unsigned top,
                   unsigned char low = 0) {
  std::string bytes(size, static_cast<char>(low));
  bytes[size - 2] = static_cast<char>((top & 0x7F) | (negative ? 0x80 : 0));
  bytes[size - 1] = static_cast<char>(exponent);
  return bytes;
}

struct TypeCase {
  const char* name;
  FieldDef field;
  Values values;
};

FieldDef fieldOf(FieldType type, std::uint32_t size, std::uint8_t digits = 0,
                 std::uint8_t scale = 0) {
  FieldDef field;
  field.label = "T:F";
  field.type = type;
  field.size = size;
  field.digits = digits;
  field.scale = scale;
  return field;
}

std::vector<TypeCase> typeCases() {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const Values texts8 = {"",
                         "a",
                         "a ",
                         "ab",
                         std::string("ab\x01", 3),
                         "AB",
                         "ab c",
                         "ab  c",
                         "b",
                         "\xC3\xA4"
                         "b" /* äb */,
                         "\xC3\x84"
                         "b" /* Äb */,
                         "\xC3\x9F" /* ß */,
                         "zz",
                         std::string("a\0b", 3),
                         " a"};
  std::vector<TypeCase> cases = {
      {"BYTE",
       fieldOf(FieldType::Byte, 1),
       {bytesOf<std::uint8_t>(0), bytesOf<std::uint8_t>(1), bytesOf<std::uint8_t>(127),
        bytesOf<std::uint8_t>(128), bytesOf<std::uint8_t>(255)}},
      {"SHORT",
       fieldOf(FieldType::Short, 2),
       {bytesOf<std::int16_t>(-32768), bytesOf<std::int16_t>(-256), bytesOf<std::int16_t>(-1),
        bytesOf<std::int16_t>(0), bytesOf<std::int16_t>(1), bytesOf<std::int16_t>(255),
        bytesOf<std::int16_t>(256), bytesOf<std::int16_t>(32767)}},
      {"USHORT",
       fieldOf(FieldType::UShort, 2),
       {bytesOf<std::uint16_t>(0), bytesOf<std::uint16_t>(255), bytesOf<std::uint16_t>(256),
        bytesOf<std::uint16_t>(65535)}},
      {"LONG",
       fieldOf(FieldType::Long, 4),
       {bytesOf<std::int32_t>(std::numeric_limits<std::int32_t>::min()),
        bytesOf<std::int32_t>(-70000), bytesOf<std::int32_t>(-1), bytesOf<std::int32_t>(0),
        bytesOf<std::int32_t>(1), bytesOf<std::int32_t>(65536),
        bytesOf<std::int32_t>(std::numeric_limits<std::int32_t>::max())}},
      {"ULONG",
       fieldOf(FieldType::ULong, 4),
       {bytesOf<std::uint32_t>(0), bytesOf<std::uint32_t>(1), bytesOf<std::uint32_t>(0x80000000u),
        bytesOf<std::uint32_t>(0xFFFFFFFFu)}},
      {"SREAL",
       fieldOf(FieldType::SReal, 4),
       {bytesOf<float>(-inf), bytesOf<float>(-2.5f), bytesOf<float>(-0.0f), bytesOf<float>(0.0f),
        bytesOf<float>(1e-30f), bytesOf<float>(2.5f), bytesOf<float>(inf),
        bytesOf<float>(static_cast<float>(nan))}},
      {"REAL",
       fieldOf(FieldType::Real, 8),
       {bytesOf(-inf), bytesOf(-1e300), bytesOf(-1.0), bytesOf(-0.0), bytesOf(0.0), bytesOf(5e-324),
        bytesOf(1.0), bytesOf(1.0000000000000002), bytesOf(inf), bytesOf(nan), bytesOf(-nan)}},
      {"BFLOAT4",
       fieldOf(FieldType::BFloat4, 4),
       {bfloat(4, 0, false, 0), bfloat(4, 0, true, 0x55, 0x33) /* zero with leftovers */,
        bfloat(4, 129, false, 0) /* 1 */, bfloat(4, 129, false, 0x40) /* 1.5 */,
        bfloat(4, 130, false, 0) /* 2 */, bfloat(4, 129, true, 0) /* -1 */,
        bfloat(4, 130, true, 0x40) /* -3 */, bfloat(4, 1, false, 0, 1)}},
      {"BFLOAT8",
       fieldOf(FieldType::BFloat8, 8),
       {bfloat(8, 0, false, 0), bfloat(8, 129, false, 0), bfloat(8, 129, false, 0, 1),
        bfloat(8, 129, true, 0), bfloat(8, 200, true, 0x7F, 0xFF)}},
      {"DATE",
       fieldOf(FieldType::Date, 4),
       {std::string(4, '\0'), date(1801, 1, 1), date(1999, 12, 31), date(2000, 1, 1),
        date(2000, 2, 1), date(2024, 2, 29), std::string("\x1F\x0D\xD0\x07", 4) /* no date */}},
      {"TIME",
       fieldOf(FieldType::Time, 4),
       {std::string(4, '\0'), std::string("\x00\x00\x00\x00", 4),
        std::string("\x01\x00\x00\x00", 4), std::string("\x00\x01\x00\x00", 4),
        std::string("\x00\x00\x01\x00", 4), std::string("\x00\x00\x00\x17", 4),
        std::string("\x00\x00\x00\x30", 4) /* no time */}},
      {"DECIMAL",
       fieldOf(FieldType::Decimal, 4, 7, 2),
       {packed("-99999.99", 7, 2, false), packed("-1.5", 7, 2, false), packed("-0.01", 7, 2, false),
        packed("0", 7, 2, false), packed("0.01", 7, 2, false), packed("1.5", 7, 2, false),
        packed("10", 7, 2, false), packed("99999.99", 7, 2, false),
        std::string("\x0F\xFF\xFF\xFF", 4) /* not a number */}},
      {"PDECIMAL",
       fieldOf(FieldType::PDecimal, 3, 5, 0),
       {packed("-12345", 5, 0, true), packed("-1", 5, 0, true), packed("0", 5, 0, true),
        packed("7", 5, 0, true), packed("12345", 5, 0, true)}},
      {"GROUP",
       fieldOf(FieldType::Group, 4),
       {std::string("\0\0\0\0", 4), std::string("ab  ", 4), std::string("ab\x01 ", 4), "abcd"}},
  };
  Values strings, cstrings, pstrings;
  for (const std::string& t : texts8) {
    strings.push_back(text(t, 8, ' '));
    if (t.find('\0') == std::string::npos) cstrings.push_back(text(t, 8, '\0'));
    pstrings.push_back(static_cast<char>(std::min<std::size_t>(t.size(), 7)) + text(t, 7, 'x'));
  }
  cases.push_back({"STRING", fieldOf(FieldType::String, 8), strings});
  cases.push_back({"CSTRING", fieldOf(FieldType::CString, 8), cstrings});
  cases.push_back({"PSTRING", fieldOf(FieldType::PString, 8), pstrings});
  return cases;
}

int sign(int value) { return (value > 0) - (value < 0); }

int compareImages(const std::string& a, const std::string& b) {
  return sign(std::string_view(a).compare(b));
}

std::string imageOf(const FieldDef& field, const std::string& bytes, bool noCase, bool descending) {
  std::string image;
  appendKeyComponent(image, {&field, descending},
                     reinterpret_cast<const unsigned char*>(bytes.data()) - field.offset, noCase);
  return image;
}

TEST(CaskKeyImage, EveryTypeSortsAsTheRuntimeComparesIt) {
  for (const TypeCase& c : typeCases()) {
    for (const bool noCase : {false, true}) {
      for (const bool descending : {false, true}) {
        SCOPED_TRACE(std::string(c.name) + (noCase ? " nocase" : "") + (descending ? " desc" : ""));
        for (const std::string& a : c.values) {
          for (const std::string& b : c.values) {
            const int expected = runtime::compareFieldValues(c.field, a.data() - c.field.offset,
                                                             b.data() - c.field.offset, noCase);
            const int got = compareImages(imageOf(c.field, a, noCase, descending),
                                          imageOf(c.field, b, noCase, descending));
            ASSERT_EQ(got, descending ? -expected : expected)
                << testing::PrintToString(a) << " vs " << testing::PrintToString(b);
          }
        }
      }
    }
  }
}

TEST(CaskKeyImage, TextsComparePaddedAndCaseFolded) {
  const FieldDef field = fieldOf(FieldType::String, 8);
  const auto image = [&](std::string_view value, bool noCase) {
    return imageOf(field, text(value, 8, ' '), noCase, false);
  };
  struct Case {
    const char* a;
    const char* b;
    bool noCase;
    int order;
  };
  const Case cases[] = {
      {"ab", "ab  ", false, 0},
      {"ab", "ab\x01", false, -1},
      {"ab", "ab c", false, -1},
      {"ab", "AB", false, 1},
      {"ab", "AB", true, 0},
      {"\xC3\xA4", "\xC3\x84", true, 0},
      {"\xC3\xA4", "\xC3\x84", false, 1},
      {"z", "\xC3\xA4", true, -1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(compareImages(image(c.a, c.noCase), image(c.b, c.noCase)), c.order)
        << c.a << " vs " << c.b;
}

TEST(CaskKeyImage, ComponentsCompareInTurnWithoutRunningIntoEachOther) {
  // A key of (STRING(6) NOCASE, LONG descending, DATE): the text image ends before the next
  // component, so "ab" with a large number still sorts before "abc".
  FieldDef name = fieldOf(FieldType::String, 6);
  FieldDef number = fieldOf(FieldType::Long, 4);
  number.offset = 6;
  FieldDef day = fieldOf(FieldType::Date, 4);
  day.offset = 10;
  const KeyComponent key[] = {{&name, false}, {&number, true}, {&day, false}};
  std::vector<std::string> records;
  for (const char* t : {"ab", "AB", "abc", "a", "b"})
    for (const int n : {-5, 0, 0x7F000000})
      for (const std::string& d : {date(2000, 1, 1), date(1999, 12, 31)})
        records.push_back(text(t, 6, ' ') + bytesOf<std::int32_t>(n) + d);
  for (const std::string& a : records) {
    for (const std::string& b : records) {
      const auto* x = reinterpret_cast<const unsigned char*>(a.data());
      const auto* y = reinterpret_cast<const unsigned char*>(b.data());
      int expected = runtime::compareFieldValues(name, x, y, true);
      if (expected == 0) expected = -runtime::compareFieldValues(number, x, y, true);
      if (expected == 0) expected = runtime::compareFieldValues(day, x, y, true);
      KeyImage ia, ib;
      buildKeyImage(key, true, false, x, ia);
      buildKeyImage(key, true, false, y, ib);
      ASSERT_EQ(compareImages(ia.bytes, ib.bytes), expected);
    }
  }
}

TEST(CaskKeyImage, OptKeysLeaveOutRecordsWhoseFieldsAreAllBlankOrZero) {
  FieldDef name = fieldOf(FieldType::CString, 6);
  FieldDef number = fieldOf(FieldType::Real, 8);
  number.offset = 6;
  const KeyComponent key[] = {{&name, false}, {&number, false}};
  struct Case {
    std::string record;
    bool left;
  };
  const Case cases[] = {
      {text("", 6, '\0') + bytesOf(0.0), true},
      {text("  ", 6, '\0') + bytesOf(-0.0), true},
      {text("x", 6, '\0') + bytesOf(0.0), false},
      {text("", 6, '\0') + bytesOf(0.5), false},
  };
  for (const Case& c : cases) {
    KeyImage image;
    buildKeyImage(key, false, true, reinterpret_cast<const unsigned char*>(c.record.data()), image);
    EXPECT_EQ(image.null, c.left) << testing::PrintToString(c.record);
    buildKeyImage(key, false, false, reinterpret_cast<const unsigned char*>(c.record.data()),
                  image);
    EXPECT_FALSE(image.null) << "without OPT every record is in the key";
  }
}

}  // namespace
}  // namespace files
