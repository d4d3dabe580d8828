#include "platform/window/use_variable.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/window/picture_bridge.h"

namespace window {
namespace {

TEST(UseVariable, TextFieldsAndNumbersThroughTheirBindings) {
  runtime::CString<5> cstr;
  runtime::String<5> str;
  char raw[4] = {};
  std::int32_t longInt = 0;
  std::uint8_t byte = 0;
  UseVariable c = UseVariable::field(cstr);
  UseVariable s = UseVariable::field(str);
  UseVariable p = UseVariable::pstring(raw, sizeof raw);
  UseVariable l = UseVariable::number(longInt);
  UseVariable b = UseVariable::number(byte);
  EXPECT_TRUE(c.isText());
  EXPECT_FALSE(l.isText());
  EXPECT_TRUE(c.set(Value::text("abcdef")));
  EXPECT_EQ(cstr.text(), "abcd");
  EXPECT_TRUE(s.set(Value::text("ab")));
  EXPECT_EQ(str.text(), "ab   ");
  EXPECT_TRUE(p.set(Value::number(12345)));
  EXPECT_EQ(p.get().toText(), "123");
  EXPECT_TRUE(l.set(Value::text(" 42 ")));
  EXPECT_EQ(longInt, 42);
  EXPECT_FALSE(b.set(Value::number(256)));  // out of range: unchanged
  EXPECT_EQ(byte, 0);
  UseVariable none;
  EXPECT_FALSE(none.bound());
  EXPECT_FALSE(none.set(Value::text("ignored")));
  EXPECT_EQ(none.get().toText(), "");
}

TEST(PictureBridge, ScreenTextsBothWays) {
  const struct {
    Value value;
    const char* picture;
    const char* shown;
  } shown[] = {
      {Value::text("abcdef   "), "@s4", "abcd"},
      {Value::text("ab   "), "@s20", "ab"},
      {Value::number(1234567), "@n-14", "     1,234,567"},
      {Value::number(1), "@n3", "  1"},
      {Value::number(3.14159), "@n-13.2", "         3.14"},
      {Value::number(12), "", "12"},
      {Value::number(4), "@d6", "01/01/1801"},
      {Value::text("Classic"), "@p p", ""},  // a pattern without digits: the icon alone
  };
  for (const auto& c : shown) {
    EXPECT_EQ(screenTextOf(c.value, c.picture), c.shown) << c.picture;
  }
  const struct {
    const char* text;
    const char* picture;
    bool wantText;
    const char* value;
  } read[] = {
      {"1,234", "@n-14", false, "1234"},
      {"abc  ", "@s20", false, "abc  "},
      {"7", "", false, "7"},
      {"7", "", true, "7"},
      {"01/01/1801", "@d6", false, "4"},
      {"-12", "@n-7", true, "-12"},
  };
  for (const auto& c : read) {
    const Value v = valueOfScreenText(c.text, c.picture, c.wantText);
    EXPECT_EQ(v.isText(), c.wantText || std::string(c.picture).rfind("@s", 0) == 0) << c.text;
    EXPECT_EQ(v.toText(), c.value) << c.text;
  }
}

}  // namespace
}  // namespace window
