#include "upkeep/field_conversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/files/file_declaration.h"
#include "platform/runtime/decimal.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/standard_date.h"
#include "platform/runtime/text_types.h"

namespace upkeep {
namespace {

using runtime::Decimal;
using namespace std::string_literals;

// One field element with bytes of its own: its shape and its value.
struct Operand {
  std::vector<unsigned char> bytes;
  std::uint8_t type = 0;
  std::uint8_t chars = 0;
  std::uint8_t places = 0;
  std::string picture;

  FieldElement element() {
    FieldElement element;
    element.type = type;
    element.len = static_cast<std::uint32_t>(bytes.size());
    element.chars = chars;
    element.places = places;
    element.picture = picture;
    element.bytes = bytes.data();
    return element;
  }
};

// The operand holding the runtime field `field`, shown with `picture`.
template <class F>
Operand of(const F& field, std::string picture = {}) {
  Operand operand;
  operand.bytes.resize(sizeof(F));
  std::memcpy(operand.bytes.data(), &field, sizeof(F));
  operand.type = static_cast<std::uint8_t>(F::fieldType);
  if constexpr (requires { F::digits; }) {
    operand.chars = static_cast<std::uint8_t>(2 * sizeof(F) - 1);
    operand.places = F::scale;
  }
  operand.picture = std::move(picture);
  return operand;
}

// A field of type `type` holding exactly `bytes`.
Operand raw(runtime::FieldType type, std::string bytes, std::string picture = {}) {
  Operand operand;
  operand.bytes.assign(bytes.begin(), bytes.end());
  operand.type = static_cast<std::uint8_t>(type);
  if (type == runtime::FieldType::Decimal || type == runtime::FieldType::PDecimal)
    operand.chars = static_cast<std::uint8_t>(2 * operand.bytes.size() - 1);
  operand.picture = std::move(picture);
  return operand;
}

template <std::size_t N>
runtime::String<N> str(std::string_view text) {
  return runtime::String<N>(text);
}
template <std::size_t N>
runtime::CString<N> cstr(std::string_view text) {
  return runtime::CString<N>(text);
}
template <std::size_t N>
runtime::PString<N> pstr(std::string_view text) {
  return runtime::PString<N>(text);
}
template <unsigned D, unsigned S>
runtime::DecimalField<D, S> dec(std::string_view text) {
  return runtime::DecimalField<D, S>(Decimal::parse(text));
}
template <unsigned D, unsigned S>
runtime::PDecimalField<D, S> pdec(std::string_view text) {
  return runtime::PDecimalField<D, S>(Decimal::parse(text));
}

std::string hex(const std::vector<unsigned char>& bytes) {
  std::string text;
  char digits[4];
  for (const unsigned char byte : bytes) {
    std::snprintf(digits, sizeof digits, "%02X ", byte);
    text += digits;
  }
  return text;
}

const int kNewYearsEve2020 = runtime::dateFromYmd(2020, 12, 31);
const int kHalfPastTwelve = runtime::timeFromHms(12, 30, 0, 0);

struct ConversionRow {
  const char* what;
  Operand source;
  Operand expected;  // the destination's shape and the bytes it must hold afterwards
};

// The conversion table: every destination starts full of stale bytes, so a byte the conversion
// leaves unwritten shows up as a mismatch.
TEST(FieldConversionTest, ConvertsEachPairOfTypesAndPictures) {
  const std::string ten = "abcdefghij";
  const std::string long300(300, 'q');
  std::vector<ConversionRow> rows = {
      // Integers keep the low-order bytes of the destination's width.
      {"LONG into SHORT", of(runtime::Long(70000)), of(runtime::Short(4464))},
      {"LONG into BYTE", of(runtime::Long(300)), of(runtime::Byte(44))},
      {"negative LONG into ULONG", of(runtime::Long(-1)), of(runtime::ULong(0xFFFFFFFFu))},
      {"ULONG into LONG", of(runtime::ULong(0xFFFFFFFFu)), of(runtime::Long(-1))},
      {"ULONG into REAL", of(runtime::ULong(0xFFFFFFFFu)), of(runtime::Real(4294967295.0))},
      {"SHORT into LONG", of(runtime::Short(-2)), of(runtime::Long(-2))},
      {"SHORT into ULONG", of(runtime::Short(-2)), of(runtime::ULong(0xFFFFFFFEu))},
      {"USHORT into LONG", of(runtime::UShort(65535)), of(runtime::Long(65535))},
      {"BYTE into SHORT", of(runtime::Byte(200)), of(runtime::Short(200))},
      {"LONG into SREAL", of(runtime::Long(16777217)), of(runtime::SReal(16777216.0f))},
      {"LONG into USHORT", of(runtime::Long(-1)), of(runtime::UShort(65535))},
      {"LONG into REAL", of(runtime::Long(-7)), of(runtime::Real(-7.0))},
      {"BYTE into REAL", of(runtime::Byte(255)), of(runtime::Real(255.0))},
      {"SHORT into BYTE", of(runtime::Short(-1)), of(runtime::Byte(255))},
      {"USHORT into SHORT", of(runtime::UShort(65535)), of(runtime::Short(-1))},
      {"ULONG into USHORT", of(runtime::ULong(0x12345678u)), of(runtime::UShort(0x5678))},
      // Floating values go to integers truncated toward zero.
      {"REAL into LONG", of(runtime::Real(-2.7)), of(runtime::Long(-2))},
      {"REAL over 32 bits into LONG", of(runtime::Real(3e9)), of(runtime::Long(-1294967296))},
      {"REAL into BYTE", of(runtime::Real(258.9)), of(runtime::Byte(2))},
      {"SREAL into REAL", of(runtime::SReal(1.5f)), of(runtime::Real(1.5))},
      {"REAL into SREAL", of(runtime::Real(0.1)), of(runtime::SReal(0.1f))},
      {"SREAL into LONG", of(runtime::SReal(-3.9f)), of(runtime::Long(-3))},
      {"REAL into ULONG", of(runtime::Real(-1.0)), of(runtime::ULong(0xFFFFFFFFu))},
      {"REAL into SHORT", of(runtime::Real(40000.5)), of(runtime::Short(-25536))},
      {"REAL into USHORT", of(runtime::Real(70000.0)), of(runtime::UShort(4464))},
      {"NaN into LONG", of(runtime::Real(std::nan(""))), of(runtime::Long(0))},
      // Texts read as numbers: at most their first 34 bytes.
      {"text with blanks into LONG", of(str<10>("  42")), of(runtime::Long(42))},
      {"text with a fraction into LONG", of(str<10>("12.9")), of(runtime::Long(12))},
      {"text that is no number into LONG", of(str<10>("12abc")), of(runtime::Long(0))},
      {"negative text into ULONG", of(str<10>("-5")), of(runtime::ULong(4294967291u))},
      {"only 34 bytes of a text are read", of(str<50>(std::string(33, ' ') + "12")),
       of(runtime::Long(1))},
      {"CSTRING into REAL", of(cstr<10>("3.25")), of(runtime::Real(3.25))},
      {"STRING into SHORT", of(str<10>("-300")), of(runtime::Short(-300))},
      {"STRING into BYTE", of(str<10>("258")), of(runtime::Byte(2))},
      {"STRING into REAL", of(str<10>("-0.125")), of(runtime::Real(-0.125))},
      {"PSTRING into SHORT", of(pstr<10>("-7")), of(runtime::Short(-7))},
      {"formatted text into LONG", of(str<10>("1,234"), "@n6"), of(runtime::Long(1234))},
      // Packed decimals: surplus decimals dropped, high digits that do not fit dropped.
      {"text into DECIMAL", of(str<10>("123.456")), of(dec<5, 2>("123.45"))},
      {"text into PDECIMAL", of(str<10>("-5")), raw(runtime::FieldType::PDecimal, "\x00\x5D"s)},
      {"overflowing text into DECIMAL", of(str<10>("1234.5")), of(dec<5, 2>("234.50"))},
      {"negative overflow into DECIMAL", of(str<10>("-98765")), of(dec<3, 0>("-765"))},
      {"exponent text into DECIMAL", of(str<10>("1e3")), of(dec<5, 0>("1000"))},
      {"DECIMAL into narrower DECIMAL", of(dec<7, 2>("12.34")), of(dec<5, 1>("12.3"))},
      {"PDECIMAL into DECIMAL", of(pdec<5, 2>("-1.25")), of(dec<7, 2>("-1.25"))},
      {"DECIMAL into LONG", of(dec<7, 2>("-12.99")), of(runtime::Long(-12))},
      {"DECIMAL into REAL", of(dec<7, 2>("12.25")), of(runtime::Real(12.25))},
      {"REAL into DECIMAL", of(runtime::Real(0.1)), of(dec<3, 2>("0.1"))},
      {"LONG into PDECIMAL", of(runtime::Long(-42)), of(pdec<5, 0>("-42"))},
      {"BYTE into DECIMAL", of(runtime::Byte(7)), of(dec<3, 1>("7"))},
      {"DECIMAL into PDECIMAL", of(dec<7, 2>("-12.34")), of(pdec<7, 2>("-12.34"))},
      {"DECIMAL into SHORT", of(dec<7, 2>("99.99")), of(runtime::Short(99))},
      {"CSTRING into DECIMAL", of(cstr<10>("  -1.5")), of(dec<5, 2>("-1.50"))},
      // Numbers into texts: the number's text without leading zeros, or its picture.
      {"DECIMAL into STRING", of(dec<7, 2>("12.5")), of(str<10>("12.50"))},
      {"DECIMAL below one into STRING", of(dec<7, 2>("0.5")), of(str<10>(".50"))},
      {"negative DECIMAL into CSTRING", of(dec<7, 2>("-0.5")), of(cstr<10>("-.50"))},
      {"zero LONG into STRING", of(runtime::Long(0)), of(str<5>(""))},
      {"negative LONG into CSTRING", of(runtime::Long(-42)), of(cstr<10>("-42"))},
      {"ULONG into STRING", of(runtime::ULong(4294967295u)), of(str<10>("4294967295"))},
      {"REAL into PSTRING", of(runtime::Real(2.5)), of(pstr<10>("2.5"))},
      {"SREAL into STRING", of(runtime::SReal(0.5f)), of(str<5>(".5"))},
      {"BYTE into STRING", of(runtime::Byte(9)), of(str<3>("9"))},
      {"SHORT into STRING", of(runtime::Short(-9)), of(str<3>("-9"))},
      {"USHORT into CSTRING", of(runtime::UShort(65535)), of(cstr<6>("65535"))},
      {"PDECIMAL into STRING", of(pdec<5, 2>("-3.5")), of(str<8>("-3.50"))},
      {"DECIMAL into a pictured STRING", of(dec<7, 2>("1234.5")),
       of(str<10>("  1,234.50"), "@n10.2")},
      // A number written with a picture loses the picture's leading zeros, unless without them
      // the text would read as another number through the picture.
      {"LONG into a pictured STRING", of(runtime::Long(1234)), of(str<6>("1234"), "@n06")},
      {"zero LONG into a pictured STRING", of(runtime::Long(0)), of(str<6>(""), "@n06")},
      {"negative LONG into a pictured CSTRING", of(runtime::Long(-1234)),
       of(cstr<8>("-1234"), "@n07")},
      {"LONG into a pattern of digits", of(runtime::Long(1234)), of(str<5>("1234"), "@p#####p")},
      {"LONG into a pattern whose zeros hold its value", of(runtime::Long(34)),
       of(str<5>("00.34"), "@p##.##p")},
      {"REAL into a pictured PSTRING", of(runtime::Real(2.5)), of(pstr<8>("2.50"), "@n06.2")},
      {"LONG into a STRING too short", of(runtime::Long(123456)), of(str<3>("123"))},
      {"LONG into a STRING over 255 bytes", of(runtime::Long(5)), of(str<300>("5"))},
      // Dates and times go through their standard numbers.
      {"DATE into LONG", of(runtime::Date(kNewYearsEve2020)), of(runtime::Long(kNewYearsEve2020))},
      {"DATE into DATE", of(runtime::Date(kNewYearsEve2020)), of(runtime::Date(kNewYearsEve2020))},
      {"invalid DATE into DATE", raw(runtime::FieldType::Date, "\x1F\x02\xE4\x07"),
       of(runtime::Date())},
      {"blank DATE into LONG", of(runtime::Date()), of(runtime::Long(0))},
      {"blank DATE into STRING", of(runtime::Date()), of(str<10>(""))},
      {"DATE into a pictured STRING", of(runtime::Date(kNewYearsEve2020)),
       of(str<10>("31/12/2020"), "@d6")},
      {"DATE into TIME", of(runtime::Date(kNewYearsEve2020)), of(runtime::Time())},
      {"LONG into DATE", of(runtime::Long(kNewYearsEve2020)), of(runtime::Date(kNewYearsEve2020))},
      {"LONG out of range into DATE", of(runtime::Long(-5)), of(runtime::Date())},
      {"SHORT into DATE", of(runtime::Short(4)), of(runtime::Date(1801, 1, 1))},
      {"pictured text into DATE", of(str<10>("31/12/2020"), "@d6"),
       of(runtime::Date(kNewYearsEve2020))},
      {"TIME into LONG", of(runtime::Time(kHalfPastTwelve)), of(runtime::Long(kHalfPastTwelve))},
      {"LONG into TIME", of(runtime::Long(kHalfPastTwelve)), of(runtime::Time(kHalfPastTwelve))},
      {"TIME into a pictured CSTRING", of(runtime::Time(kHalfPastTwelve)),
       of(cstr<10>("12:30:00"), "@t4")},
      {"TIME into DATE", of(runtime::Time(kHalfPastTwelve)), of(runtime::Date())},
      {"DATE into ULONG", of(runtime::Date(kNewYearsEve2020)),
       of(runtime::ULong(static_cast<std::uint32_t>(kNewYearsEve2020)))},
      {"DATE into REAL", of(runtime::Date(kNewYearsEve2020)), of(runtime::Real(kNewYearsEve2020))},
      {"TIME into TIME", of(runtime::Time(kHalfPastTwelve)), of(runtime::Time(kHalfPastTwelve))},
      {"text into TIME", of(str<10>("4500001")), of(runtime::Time(4500001))},
      // Texts into texts: no stale byte, cuts on character boundaries.
      {"STRING into longer STRING", of(str<20>("XYZ")), of(str<30>("XYZ"))},
      {"STRING into CSTRING", of(str<20>("XYZ")), of(cstr<10>("XYZ"))},
      {"full STRING into CSTRING of its size", of(str<10>(ten)),
       raw(runtime::FieldType::CString, ten)},
      {"CSTRING into longer STRING", of(cstr<20>("XYZ")), of(str<30>("XYZ"))},
      {"PSTRING into STRING", of(pstr<20>("XYZ")), of(str<10>("XYZ"))},
      {"STRING into PSTRING", of(str<20>("XYZ")), of(pstr<10>("XYZ"))},
      {"CSTRING with trailing blanks into CSTRING", of(cstr<10>("ab  ")), of(cstr<10>("ab"))},
      {"UTF-8 text cut into STRING", of(str<10>("ñññ")), of(str<5>("ññ"))},
      {"UTF-8 text cut into CSTRING", of(str<10>("ñññ")), raw(runtime::FieldType::CString, "ñ\0"s)},
      {"UTF-8 text cut into PSTRING", of(cstr<10>("ñññ")), of(pstr<4>("ñ"))},
      {"text kept whole over 255 bytes", of(str<300>(long300)), of(str<300>(long300))},
      {"text between pictures over 255 bytes", of(str<300>(long300), "@s300"),
       of(str<300>(long300), "@S300")},
      {"text into a shorter picture", of(str<20>("hello"), "@s20"), of(str<5>("hel"), "@s3")},
      {"numeric text between pictures keeps its zeros", of(str<5>("007"), "@s5"),
       of(str<5>("007"))},
      {"pictured date text into another date picture", of(str<10>("31/12/2020"), "@d6"),
       of(str<10>("12/31/2020"), "@d2")},
  };
  for (ConversionRow& row : rows) {
    Operand destination = row.expected;
    std::fill(destination.bytes.begin(), destination.bytes.end(), 0xA5);
    ConvertingField(row.source.element(), destination.element());
    EXPECT_EQ(hex(destination.bytes), hex(row.expected.bytes)) << row.what;
  }
}

files::Memo memo(std::uint32_t size, std::uint8_t kind, std::string_view bytes = {}) {
  files::Memo memo({"MEM:TEXT", size, kind, {}});
  if (!bytes.empty()) {
    EXPECT_TRUE(memo.setBytes(bytes));
  }
  return memo;
}

FieldElement memoElement(files::Memo& memo, std::string_view picture = {}) {
  FieldElement element;
  element.type = kMemoEntryType;
  element.len = memo.size();
  element.picture = picture;
  element.memo = &memo;
  return element;
}

TEST(FieldConversionTest, MemosAndBlobsGoOverByteForByte) {
  const std::string binary("\x00\xFF\xC3'abc  \x00", 10);
  files::Memo source = memo(64000, files::MemoKindBlob, binary);
  files::Memo destination = memo(64000, files::MemoKindBlob, "stale old content");
  // Pictures of memo entries mean nothing: they never send a memo through a number.
  ConvertingField(memoElement(source, "@n6"), memoElement(destination, "@s10"));
  EXPECT_EQ(destination.content(), binary);

  files::Memo text = memo(100, files::MemoKindMemo, "añb");
  files::Memo narrowMemo = memo(2, files::MemoKindMemo);
  ConvertingField(memoElement(text), memoElement(narrowMemo));
  EXPECT_EQ(narrowMemo.content(), "a");  // cut before the two-byte character
  files::Memo narrowBlob = memo(2, files::MemoKindBlob);
  ConvertingField(memoElement(source), memoElement(narrowBlob));
  EXPECT_EQ(narrowBlob.content(), binary.substr(0, 2));

  Operand string = of(str<10>("XYZ"));
  files::Memo fromString = memo(100, files::MemoKindMemo, "old");
  ConvertingField(string.element(), memoElement(fromString));
  EXPECT_EQ(fromString.content(), "XYZ");
  Operand intoString = of(str<2>(""));
  ConvertingField(memoElement(text), intoString.element());
  EXPECT_EQ(intoString.bytes, of(str<2>("a ")).bytes);
}

TEST(FieldConversionTest, TextsAndBlanksFillTheWholeDestination) {
  struct Case {
    const char* what;
    Operand expected;
  };
  std::vector<Case> cases = {
      {"STRING", of(str<6>("42"))},      {"CSTRING", of(cstr<6>("42"))},
      {"PSTRING", of(pstr<6>("42"))},    {"LONG", of(runtime::Long(42))},
      {"DECIMAL", of(dec<5, 2>("42"))},  {"DATE", of(runtime::Date(42))},
      {"REAL", of(runtime::Real(42.0))},
  };
  for (Case& c : cases) {
    Operand destination = c.expected;
    std::fill(destination.bytes.begin(), destination.bytes.end(), 0xA5);
    ConvertText("42", destination.element());
    EXPECT_EQ(hex(destination.bytes), hex(c.expected.bytes)) << c.what;
    BlankField(destination.element());
    const unsigned char blank = c.expected.type == 18 ? ' ' : 0;
    EXPECT_EQ(destination.bytes, std::vector<unsigned char>(destination.bytes.size(), blank))
        << c.what;
  }
}

// Any bytes at all, between any two shapes: the destination receives the same bytes whatever
// it held before, and nothing outside either element is touched (the sanitizer builds check
// the reads).
TEST(FieldConversionTest, AnySourceBytesGiveADestinationWrittenWhole) {
  using runtime::FieldType;
  struct Shape {
    FieldType type;
    std::uint32_t len;
    std::uint8_t chars = 0;
    std::uint8_t places = 0;
    const char* picture = "";
  };
  const std::vector<Shape> shapes = {
      {FieldType::Byte, 1},           {FieldType::Short, 2},
      {FieldType::UShort, 2},         {FieldType::Long, 4},
      {FieldType::ULong, 4},          {FieldType::SReal, 4},
      {FieldType::Real, 8},           {FieldType::Decimal, 4, 7, 2},
      {FieldType::PDecimal, 3, 5, 2}, {FieldType::Date, 4},
      {FieldType::Time, 4},           {FieldType::String, 1},
      {FieldType::String, 300},       {FieldType::String, 12, 0, 0, "@n12.2"},
      {FieldType::CString, 1},        {FieldType::CString, 20, 0, 0, "@d6"},
      {FieldType::PString, 1},        {FieldType::PString, 256},
      {FieldType::PString, 300},
  };
  std::uint32_t seed = 12345;
  const auto next = [&] {
    seed = seed * 1103515245u + 12345u;
    return static_cast<unsigned char>(seed >> 16);
  };
  for (const Shape& from : shapes) {
    for (const Shape& to : shapes) {
      for (int round = 0; round < 20; ++round) {
        std::vector<unsigned char> source(from.len);
        for (unsigned char& byte : source) byte = next();
        FieldElement in{static_cast<std::uint8_t>(from.type),
                        from.len,
                        from.chars,
                        from.places,
                        from.picture,
                        source.data(),
                        nullptr};
        std::vector<std::vector<unsigned char>> results;
        for (const unsigned char stale : {0xA5, 0x5A}) {
          std::vector<unsigned char> destination(to.len, stale);
          FieldElement out{static_cast<std::uint8_t>(to.type),
                           to.len,
                           to.chars,
                           to.places,
                           to.picture,
                           destination.data(),
                           nullptr};
          ConvertingField(in, out);
          results.push_back(destination);
        }
        ASSERT_EQ(hex(results[0]), hex(results[1]))
            << static_cast<int>(from.type) << "(" << from.len << ") into "
            << static_cast<int>(to.type) << "(" << to.len << "), round " << round;
      }
    }
  }
}

}  // namespace
}  // namespace upkeep
