#include "platform/window/use_variable.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/window/picture_bridge.h"

namespace window {
namespace {

TEST(UseVariable, TextKindsFollowTheAssignmentRules) {
  char cstr[5];
  char str[5];
  char pstr[4];
  const UseVariable c = UseVariable::cstring(cstr, sizeof cstr);
  const UseVariable s = UseVariable::string(str, sizeof str);
  const UseVariable p = UseVariable::pstring(pstr, sizeof pstr);
  const struct {
    UseVariable var;
    const char* in;
    const char* out;
  } cases[] = {
      {c, "abcdef", "abcd"},
      {c, "ab", "ab"},
      {s, "abcdef", "abcde"},
      {s, "ab", "ab   "},
      {p, "hello", "hel"},
      {p, "", ""},
      {c, "ab\xC3\xA9z", "ab\xC3\xA9"},  // 4 bytes hold a, b and the two-byte character
      {s, "abcd\xC3\xA9", "abcd "},      // never half a character
  };
  for (const auto& tc : cases) {
    UseVariable v = tc.var;
    v.set(Value::ofText(tc.in));
    EXPECT_EQ(v.get().text, tc.out) << tc.in;
    EXPECT_FALSE(v.get().isNumber);
  }
  EXPECT_EQ(cstr[4], '\0');
  EXPECT_EQ(pstr[0], 0);
  EXPECT_EQ(c.textCapacity(), 4u);
  EXPECT_EQ(s.textCapacity(), 5u);
}

TEST(UseVariable, NumbersAreConvertedTruncatedAndWrapped) {
  std::uint8_t byte = 0;
  std::int16_t shortInt = 0;
  std::int32_t longInt = 0;
  double real = 0;
  UseVariable b = UseVariable::byte(byte);
  UseVariable sh = UseVariable::shortInt(shortInt);
  UseVariable l = UseVariable::longInt(longInt);
  UseVariable r = UseVariable::real(real);
  const struct {
    UseVariable* var;
    Value in;
    double out;
  } cases[] = {
      {&b, Value::ofNumber(256), 0},   {&b, Value::ofNumber(-1), 255},
      {&b, Value::ofText("1"), 1},     {&sh, Value::ofNumber(40000), -25536},
      {&l, Value::ofNumber(-7.9), -7}, {&l, Value::ofText("12x"), 0},
      {&l, Value::ofText(" 42 "), 42}, {&r, Value::ofText("2.5"), 2.5},
  };
  for (const auto& tc : cases) {
    tc.var->set(tc.in);
    EXPECT_TRUE(tc.var->get().isNumber);
    EXPECT_EQ(tc.var->get().number, tc.out) << tc.in.asText();
  }
}

TEST(UseVariable, CustomBindingsAndUnboundVariables) {
  std::string held = "x";
  UseVariable v = UseVariable::custom([&] { return Value::ofText(held); },
                                      [&](const Value& n) { held = n.text; }, true);
  v.set(Value::ofNumber(12));
  EXPECT_EQ(held, "12");
  EXPECT_TRUE(v.isText());
  UseVariable none;
  EXPECT_FALSE(none.bound());
  none.set(Value::ofText("ignored"));
  EXPECT_EQ(none.get().text, "");
}

TEST(PictureBridge, StringAndNumberPicturesBothWays) {
  EXPECT_EQ(screenTextOf(Value::ofText("abcdef   "), "@s4"), "abcd");
  EXPECT_EQ(screenTextOf(Value::ofText("ab   "), "@s20"), "ab");
  EXPECT_EQ(screenTextOf(Value::ofNumber(1234567), "@n-14"), "     1,234,567");
  EXPECT_EQ(screenTextOf(Value::ofNumber(-5), "@n-7"), "     -5");
  EXPECT_EQ(screenTextOf(Value::ofNumber(1), "@n3"), "  1");
  EXPECT_EQ(screenTextOf(Value::ofNumber(3.14159), "@n-13.2"), "         3.14");
  EXPECT_EQ(screenTextOf(Value::ofNumber(12), ""), "12");
  EXPECT_EQ(valueOfScreenText("1,234", "@n-14", false), Value::ofNumber(1234));
  EXPECT_EQ(valueOfScreenText("abc", "@s20", false), Value::ofText("abc"));
  EXPECT_EQ(valueOfScreenText("7", "", false), Value::ofNumber(7));
  EXPECT_EQ(valueOfScreenText("7", "", true), Value::ofText("7"));
}

}  // namespace
}  // namespace window
