// Whole numbers read back from their key image give the bytes the record held, whatever their
// sign and size; keys of other fields are not read back.
#include "classlib/integer_key_image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/files/cask_key_image.h"

namespace classlib {
namespace {

using runtime::FieldType;

TEST(IntegerKeyImage, NumbersComeBackFromTheirImageAsTheRecordHeldThem) {
  const struct {
    FieldType type;
    std::uint32_t size;
    std::int64_t value;
  } cases[] = {
      {FieldType::Byte, 1, 0},           {FieldType::Byte, 1, 255},
      {FieldType::Short, 2, -32768},     {FieldType::Short, 2, -1},
      {FieldType::Short, 2, 300},        {FieldType::UShort, 2, 65535},
      {FieldType::Long, 4, -2147483648}, {FieldType::Long, 4, -7},
      {FieldType::Long, 4, 0},           {FieldType::Long, 4, 2147483647},
      {FieldType::ULong, 4, 4294967295}, {FieldType::ULong, 4, 1 << 24},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(static_cast<int>(c.type)) + " " + std::to_string(c.value));
    // The number, then a LONG after it: a key of two fields.
    const runtime::FieldDef first{"T:FIRST", c.type, 0, c.size};
    const runtime::FieldDef second{"T:SECOND", FieldType::Long, c.size, 4};
    unsigned char record[8] = {};
    std::memcpy(record, &c.value, c.size);  // little-endian, as the record holds it
    const std::int32_t after = -123456;
    std::memcpy(record + c.size, &after, sizeof after);
    std::string image;
    files::appendKeyComponent(image, {&first, false}, record, false);
    files::appendKeyComponent(image, {&second, false}, record, false);
    const std::vector<const runtime::FieldDef*> fields{&first, &second};
    ASSERT_TRUE(readableFromImage(fields));
    EXPECT_EQ(fieldsFromImage(fields, image),
              std::string(reinterpret_cast<const char*>(record), c.size + 4));
  }
}

TEST(IntegerKeyImage, OtherFieldsAreNotReadBack) {
  const runtime::FieldDef number{"T:N", FieldType::Long, 0, 4};
  const runtime::FieldDef date{"T:D", FieldType::Date, 4, 4};
  const runtime::FieldDef text{"T:T", FieldType::CString, 8, 10};
  runtime::FieldDef array{"T:A", FieldType::Long, 18, 4};
  array.dims[0] = 3;
  for (const runtime::FieldDef* other :
       std::vector<const runtime::FieldDef*>{&date, &text, &array}) {
    SCOPED_TRACE(std::string(other->label));
    const std::vector<const runtime::FieldDef*> fields{&number, other};
    EXPECT_FALSE(readableFromImage(fields));
  }
}

}  // namespace
}  // namespace classlib
