#include "platform/runtime/text_types.h"

#include <gtest/gtest.h>

#include <cstring>

#include <string>
#include <type_traits>

namespace runtime {
namespace {

template <class T>
constexpr bool isRecordField =
    alignof(T) == 1 && std::is_trivially_copyable_v<T>&& std::is_standard_layout_v<T>;
static_assert(isRecordField<String<1>> && sizeof(String<1>) == 1);
static_assert(isRecordField<String<1024>> && sizeof(String<1024>) == 1024);
static_assert(isRecordField<CString<255>> && sizeof(CString<255>) == 255);
static_assert(isRecordField<PString<256>> && sizeof(PString<256>) == 256);
static_assert(String<20>::capacity() == 20 && CString<20>::capacity() == 19 &&
              PString<20>::capacity() == 19);

template <class T>
std::string bytesOf(const T& field) {
  return std::string(field.data(), sizeof(T));
}

const std::string euro = "\xE2\x82\xAC";  // three bytes

TEST(TextTypes, AssignmentCutsPadsAndTerminates) {
  const struct {
    std::string text;
    std::string string5;   // bytes of a STRING(5)
    std::string cstring5;  // bytes of a CSTRING(5)
    std::string pstring5;  // bytes of a PSTRING(5)
  } cases[] = {
      {"", "     ", std::string(5, '\0'), std::string(5, '\0')},
      {"ab", "ab   ", std::string("ab\0\0\0", 5),
       std::string("\x02"
                   "ab\0\0",
                   5)},
      {"abcd", "abcd ", std::string("abcd\0", 5),
       "\x04"
       "abcd"},
      {"abcde", "abcde", std::string("abcd\0", 5),
       "\x04"
       "abcd"},
      {"abcdefgh", "abcde", std::string("abcd\0", 5),
       "\x04"
       "abcd"},
      // A character that does not fit whole is left out whole.
      {"ab" + euro, "ab" + euro, std::string("ab\0\0\0", 5),
       std::string("\x02"
                   "ab\0\0",
                   5)},
      {"abc" + euro, "abc  ", std::string("abc\0\0", 5),
       std::string("\x03"
                   "abc\0",
                   5)},
      {"a" + euro, "a" + euro + " ", "a" + euro + '\0',
       "\x04"
       "a" +
           euro},
      // Trailing spaces are text like any other.
      {"a  ", "a    ", std::string("a  \0\0", 5),
       std::string("\x03"
                   "a  \0",
                   5)},
  };
  for (const auto& c : cases) {
    String<5> s;
    CString<5> cs;
    PString<5> ps;
    s = c.text;
    cs = c.text;
    ps = c.text;
    EXPECT_EQ(bytesOf(s), c.string5) << c.text;
    EXPECT_EQ(bytesOf(cs), c.cstring5) << c.text;
    EXPECT_EQ(bytesOf(ps), c.pstring5) << c.text;
  }
}

TEST(TextTypes, AssignmentOverwritesTheWholeField) {
  String<6> s{"abcdef"};
  CString<6> cs{"abcde"};
  PString<6> ps{"abcde"};
  s = "x";
  cs = "x";
  ps = "x";
  EXPECT_EQ(bytesOf(s), "x     ");
  EXPECT_EQ(bytesOf(cs), std::string("x\0\0\0\0\0", 6));
  EXPECT_EQ(bytesOf(ps), std::string("\x01x\0\0\0\0", 6));
}

// An empty view may carry no pointer at all; clearing a field with it must still blank it.
TEST(TextTypes, AssignmentOfAnEmptyViewBlanksTheField) {
  String<4> s{"abcd"};
  CString<4> cs{"abc"};
  PString<4> ps{"abc"};
  s = std::string_view{};
  cs = std::string_view{};
  ps = std::string_view{};
  EXPECT_EQ(bytesOf(s), "    ");
  EXPECT_EQ(bytesOf(cs), std::string(4, '\0'));
  EXPECT_EQ(bytesOf(ps), std::string(4, '\0'));
}

TEST(TextTypes, ReadingGivesTheFieldsText) {
  String<6> s{"ab"};
  EXPECT_EQ(s.text(), "ab    ");
  EXPECT_EQ(s.clipped(), "ab");
  CString<6> cs{"ab "};
  EXPECT_EQ(cs.text(), "ab ");
  EXPECT_EQ(cs.clipped(), "ab");
  PString<6> ps{"ab "};
  EXPECT_EQ(ps.text(), "ab ");
  EXPECT_EQ(ps.clipped(), "ab");
  // Defaults are blank.
  EXPECT_EQ(String<3>().text(), "   ");
  EXPECT_EQ(CString<3>().text(), "");
  EXPECT_EQ(PString<3>().text(), "");
}

TEST(TextTypes, ReadingStaysInsideTheFieldWhateverItsBytes) {
  // Bytes as a record from a file may hold them.
  CString<4> cs;
  std::memcpy(cs.data(), "ab\0z", 4);
  EXPECT_EQ(cs.text(), "ab");
  std::memcpy(cs.data(), "abcd", 4);  // no terminator at all
  EXPECT_EQ(cs.text(), "abcd");
  PString<4> ps;
  std::memcpy(ps.data(),
              "\xFF"
              "abc",
              4);  // a length beyond the field
  EXPECT_EQ(ps.text(), "abc");
  // A NUL inside an assigned text ends a CSTRING there.
  cs = std::string_view("a\0b", 3);
  EXPECT_EQ(bytesOf(cs), std::string("a\0\0\0", 4));
}

TEST(TextTypes, AssignmentBetweenFieldsOfOtherKindsAndSizes) {
  String<8> wide{"abc"};
  String<2> narrow;
  narrow = wide;
  EXPECT_EQ(narrow.text(), "ab");
  CString<10> c;
  c = wide;  // the padded text, cut to the CSTRING's capacity
  EXPECT_EQ(c.text(), "abc     ");
  PString<4> p;
  p = c;
  EXPECT_EQ(p.text(), "abc");
  wide = p;
  EXPECT_EQ(wide.text(), "abc     ");
}

TEST(TextTypes, ComparisonsIgnoreTrailingSpaces) {
  const struct {
    std::string a, b;
    int expected;
  } cases[] = {
      {"ab", "ab", 0},   {"ab", "ab   ", 0},   {"", "  ", 0}, {"ab", "abc", -1},
      {"abd", "abc", 1}, {"Ab", "ab", -1},      // case-sensitive, upper case first
      {"ab\t", "ab", 1},                        // only spaces are trailing blanks
      {"ab", "ab!", -1}, {"\xC3\xA9", "z", 1},  // bytes compare unsigned
      {" a", "a", -1},                          // leading spaces count
  };
  for (const auto& c : cases) {
    const String<6> a{c.a};
    const CString<7> b{c.b};
    const int got = (a < b) ? -1 : (a > b) ? 1 : 0;
    EXPECT_EQ(got, c.expected) << '"' << c.a << "\" vs \"" << c.b << '"';
    EXPECT_EQ(a == b, c.expected == 0) << c.a;
    EXPECT_EQ(a == c.b, c.expected == 0) << c.a;
    EXPECT_EQ(c.b == a, c.expected == 0) << c.a;
  }
  const PString<5> p{"ab"};
  const String<3> s{"ab"};
  EXPECT_TRUE(p == s);
  EXPECT_TRUE(s == "ab");
  EXPECT_TRUE(std::string("ab ") == s);
  EXPECT_TRUE(s != String<3>{"abc"});
  EXPECT_TRUE(String<2>{"zz"} > String<9>{"abcdefghi"});
}

}  // namespace
}  // namespace runtime
