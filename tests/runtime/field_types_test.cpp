#include "platform/runtime/field_types.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

namespace runtime {
namespace {

template <class T, std::size_t Size>
constexpr bool isPackedField =
    sizeof(T) == Size &&
    alignof(T) == 1 && std::is_trivially_copyable_v<T>&& std::is_standard_layout_v<T>;
static_assert(isPackedField<Byte, 1>);
static_assert(isPackedField<Short, 2> && isPackedField<UShort, 2>);
static_assert(isPackedField<Long, 4> && isPackedField<ULong, 4>);
static_assert(isPackedField<SReal, 4> && isPackedField<Real, 8>);
static_assert(isPackedField<Date, 4> && isPackedField<Time, 4>);
// DECIMAL(7,2) takes 4 bytes, DECIMAL(8,2) 5; PDECIMAL the same.
static_assert(isPackedField<DecimalField<7, 2>, 4> && isPackedField<DecimalField<8, 2>, 5>);
static_assert(isPackedField<PDecimalField<3, 0>, 2> && isPackedField<DecimalField<31, 10>, 16>);

template <class T>
std::vector<int> bytesOf(const T& field) {
  std::vector<int> bytes(sizeof(T));
  const auto* raw = reinterpret_cast<const unsigned char*>(&field);
  for (std::size_t i = 0; i < sizeof(T); ++i) bytes[i] = raw[i];
  return bytes;
}

TEST(FieldTypes, NumbersAreStoredLittleEndian) {
  EXPECT_EQ(bytesOf(Byte(200)), (std::vector<int>{200}));
  EXPECT_EQ(bytesOf(Short(-2)), (std::vector<int>{0xFE, 0xFF}));
  EXPECT_EQ(bytesOf(UShort(0x1234)), (std::vector<int>{0x34, 0x12}));
  EXPECT_EQ(bytesOf(Long(0x01020304)), (std::vector<int>{4, 3, 2, 1}));
  EXPECT_EQ(bytesOf(Long(-1)), (std::vector<int>{0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(bytesOf(ULong(0x80000000u)), (std::vector<int>{0, 0, 0, 0x80}));
  EXPECT_EQ(bytesOf(SReal(1.0f)), (std::vector<int>{0, 0, 0x80, 0x3F}));
  EXPECT_EQ(bytesOf(Real(-2.0)), (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 0xC0}));
}

TEST(FieldTypes, NumbersReadFromStoredBytes) {
  Long l;
  const unsigned char stored[] = {0x10, 0x27, 0, 0};  // 10000
  std::memcpy(&l, stored, 4);
  EXPECT_EQ(l, 10000);
  Short s;
  const unsigned char minus[] = {0x00, 0x80};
  std::memcpy(&s, minus, 2);
  EXPECT_EQ(s.value(), -32768);
  EXPECT_EQ(Long().value(), 0);
}

TEST(FieldTypes, NumbersWorkLikeTheirValues) {
  Long id;
  id = 41;
  ++id;
  EXPECT_EQ(id, 42);
  id += 8;
  id -= 10;
  EXPECT_EQ(id + 1, 41);
  Short small = 32767;
  ++small;  // wraps as a 16-bit number does
  EXPECT_EQ(small, -32768);
  Real r = 2.5;
  EXPECT_DOUBLE_EQ(r * 2, 5.0);
  EXPECT_TRUE(Long(3) < Long(4));
}

TEST(FieldTypes, DateAndTimeByteLayouts) {
  const Date d(2024, 3, 15);
  EXPECT_EQ(bytesOf(d), (std::vector<int>{15, 3, 0xE8, 0x07}));
  EXPECT_EQ(d.year(), 2024);
  EXPECT_EQ(d.month(), 3);
  EXPECT_EQ(d.day(), 15);

  const Time t(23, 59, 58, 99);
  EXPECT_EQ(bytesOf(t), (std::vector<int>{99, 58, 59, 23}));
  EXPECT_EQ(t.hour(), 23);
  EXPECT_EQ(t.minute(), 59);
  EXPECT_EQ(t.second(), 58);
  EXPECT_EQ(t.hundredths(), 99);
}

TEST(FieldTypes, DatesAndTimesReadAndWriteAsStandardValues) {
  Date d = firstStandardDate;  // 1 January 1801
  EXPECT_EQ(bytesOf(d), (std::vector<int>{1, 1, 0x09, 0x07}));
  EXPECT_EQ(d, 4);
  d = dateFromYmd(2000, 2, 29);
  EXPECT_EQ(d.value(), dateFromYmd(2000, 2, 29));
  d = d + 1;  // arithmetic on day numbers
  EXPECT_EQ(d.month(), 3);
  EXPECT_EQ(d.day(), 1);

  const struct {
    const char* what;
    Date date;
  } noDate[] = {
      {"default", Date()},
      {"zero", Date(0)},
      {"beyond the range", Date(lastStandardDate + 1)},
      {"a day that does not exist", Date(2023, 2, 29)},
  };
  for (const auto& c : noDate) {
    EXPECT_EQ(c.date.value(), 0) << c.what;
    EXPECT_EQ(bytesOf(c.date), (std::vector<int>{0, 0, 0, 0})) << c.what;
  }
  Date raw;
  raw.setYmd(2023, 13, 1);  // stored as given, read as no date
  EXPECT_EQ(raw.month(), 13);
  EXPECT_EQ(raw.value(), 0);

  Time t = 12 * 360000 + 1;  // noon
  EXPECT_EQ(bytesOf(t), (std::vector<int>{0, 0, 0, 12}));
  EXPECT_EQ(Time(0, 0, 1, 50).value(), 151);
  EXPECT_EQ(Time(24, 0, 0, 0).value(), 0);
  EXPECT_EQ(bytesOf(Time(lastStandardTime + 1)), (std::vector<int>{0, 0, 0, 0}));
}

TEST(FieldTypes, DecimalFieldsHoldDecimalValues) {
  DecimalField<7, 2> d;
  EXPECT_EQ(bytesOf(d), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_TRUE(d.value().isZero());
  d = Decimal::parse("-12.345");  // rounded to the field's two places
  EXPECT_EQ(bytesOf(d), (std::vector<int>{0x80, 0x00, 0x12, 0x35}));
  EXPECT_EQ(d.value().toString(), "-12.35");

  PDecimalField<3, 0> p = Decimal::fromLong(-5);
  EXPECT_EQ(bytesOf(p), (std::vector<int>{0x00, 0x5D}));
  p = Decimal::fromLong(1234);  // too large: the low-order digits stay
  EXPECT_EQ(Decimal(p).toString(), "234");
}

}  // namespace
}  // namespace runtime
