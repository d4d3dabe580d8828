#include "platform/runtime/bound_field.h"

#include <gtest/gtest.h>

#include <cstddef>

#include "platform/runtime/decimal.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/record_layout.h"
#include "platform/runtime/text_types.h"

namespace runtime {
namespace {

struct Sample {
  runtime::Long id;
  runtime::Short count;
  runtime::Byte flag;
  runtime::Date made;
  runtime::Real share;
  runtime::DecimalField<7, 2> price;
  runtime::CString<10> name;
  runtime::String<6> code;
  runtime::Long list[3];
};

const runtime::FieldDef kFields[] = {
    GD_FIELD(Sample, id, "S:ID"),       GD_FIELD(Sample, count, "S:COUNT"),
    GD_FIELD(Sample, flag, "S:FLAG"),   GD_FIELD(Sample, made, "S:MADE"),
    GD_FIELD(Sample, share, "S:SHARE"), GD_FIELD(Sample, price, "S:PRICE"),
    GD_FIELD(Sample, name, "S:NAME"),   GD_FIELD(Sample, code, "S:CODE"),
    GD_FIELD(Sample, list, "S:LIST"),
};

TEST(BoundFieldTest, EachFieldReadsAndWritesInItsStoredFormat) {
  Sample record;
  std::byte* bytes = reinterpret_cast<std::byte*>(&record);
  const struct {
    int field;
    runtime::Value stored;
    const char* read;
  } cases[] = {
      {0, runtime::Value::number(-123456), "-123456"},
      {1, runtime::Value::text("42"), "42"},
      {2, runtime::Value::number(255), "255"},
      {3, runtime::Value::number(runtime::dateFromYmd(2024, 2, 29)), nullptr},
      {4, runtime::Value::number(0.25), "0.25"},
      {5, runtime::Value::number(12.345), "12.35"},
      {6, runtime::Value::text("a name that is too long"), "a name th"},
      {7, runtime::Value::text("ab"), "ab    "},
  };
  for (const auto& c : cases) {
    const auto variable = boundField(kFields[c.field], bytes);
    ASSERT_TRUE(variable) << kFields[c.field].label;
    EXPECT_TRUE(variable->set(c.stored)) << kFields[c.field].label;
    if (c.read) {
      EXPECT_EQ(variable->get().toText(), c.read) << kFields[c.field].label;
    }
  }
  EXPECT_EQ(record.id, -123456);
  EXPECT_EQ(record.count, 42);
  EXPECT_EQ(record.made.year(), 2024);
  EXPECT_EQ(record.made.day(), 29);
  EXPECT_EQ(record.price.value().toDouble(), 12.35);
  EXPECT_EQ(std::string(record.name.view()), "a name th");
}

TEST(BoundFieldTest, OutOfRangeValuesLeaveTheFieldAndArraysAreNotBound) {
  Sample record;
  record.flag = 7;
  std::byte* bytes = reinterpret_cast<std::byte*>(&record);
  EXPECT_FALSE(boundField(kFields[2], bytes)->set(runtime::Value::number(256)));
  EXPECT_FALSE(boundField(kFields[2], bytes)->set(runtime::Value::number(-1)));
  EXPECT_EQ(record.flag, 7);
  EXPECT_FALSE(boundField(kFields[3], bytes)->set(runtime::Value::number(-5)));
  EXPECT_EQ(boundField(kFields[8], bytes), nullptr);
}

}  // namespace
}  // namespace runtime
