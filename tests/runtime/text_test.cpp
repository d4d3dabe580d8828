#include "platform/runtime/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace runtime {
namespace {

// Two-byte "é" and three-byte "€" to check that no cut splits a character.
const std::string kE = "\xC3\xA9";
const std::string kEuro = "\xE2\x82\xAC";

TEST(Text, ClipLeftAndLen) {
  EXPECT_EQ(CLIP("abc   "), "abc");
  EXPECT_EQ(CLIP("  a b  "), "  a b");
  EXPECT_EQ(CLIP("    "), "");
  EXPECT_EQ(CLIP(""), "");
  EXPECT_EQ(CLIP(std::string("a\0 ", 3)), std::string("a\0", 2));  // only spaces are dropped
  EXPECT_EQ(CLIP("a\t"), "a\t");

  EXPECT_EQ(LEFT("  ab "), "ab   ");
  EXPECT_EQ(LEFT("ab"), "ab");
  EXPECT_EQ(LEFT("   "), "   ");
  EXPECT_EQ(LEFT(""), "");

  EXPECT_EQ(LEN("ab  "), 4);
  EXPECT_EQ(LEN(kE + kEuro), 5);  // bytes, not characters
  EXPECT_EQ(LEN(""), 0);
}

TEST(Text, UpperAndLowerUseTheCaseFolding) {
  EXPECT_EQ(UPPER("stra" + kE + "e"),
            "STRA\xC3\x89"
            "E");
  EXPECT_EQ(LOWER("STRA\xC3\x89"
                  "E"),
            "stra" + kE + "e");
}

TEST(Text, AllRepeatsToTheLength) {
  const struct {
    std::string pattern;
    int length;
    std::string expected;
  } cases[] = {
      {"-", 5, "-----"},
      {"ab", 5, "ababa"},
      {"ab", 0, ""},
      {"ab", -3, ""},
      {"", 4, ""},
      {kEuro, 7, kEuro + kEuro},  // a third euro sign would not fit whole
      {"a" + kE, 5, "a" + kE + "a"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ALL(c.pattern, c.length), c.expected) << c.pattern << " " << c.length;
  }
}

TEST(Text, SubTakesAByteWindow) {
  const struct {
    std::string text;
    int start;
    int length;
    std::string expected;
  } cases[] = {
      {"abcdef", 1, 3, "abc"},
      {"abcdef", 3, 2, "cd"},
      {"abcdef", 4, 100, "def"},  // beyond the end: the rest
      {"abcdef", 4, -1, "def"},   // negative: the rest
      {"abcdef", 6, 1, "f"},
      {"abcdef", 7, 1, ""},  // past the end
      {"abcdef", 2, 0, ""},
      {"abcdef", 0, 2, "a"},  // position 0 lies before the text
      {"abcdef", -2, 4, "a"},
      {"abcdef", -2, 3, ""},
      {"abcdef", -5, -1, "abcdef"},
      {"", 1, 5, ""},
      // Whole characters only: a window that starts or ends inside one leaves it out.
      {"a" + kEuro + "b", 2, 3, kEuro},
      {"a" + kEuro + "b", 2, 2, ""},
      {"a" + kEuro + "b", 3, 3, "b"},
      {"a" + kEuro + "b", 1, 3, "a"},
      {"a" + kEuro + "b", 3, -1, "b"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SUB(c.text, c.start, c.length), c.expected)
        << c.text << " start " << c.start << " length " << c.length;
  }
}

TEST(Text, InstringFindsByStepAndStart) {
  const struct {
    const char* name;
    std::string substring;
    std::string text;
    int step;
    int start;
    int expected;
  } cases[] = {
      {"first occurrence", "b", "abcabc", 1, 1, 2},
      {"from a later start", "b", "abcabc", 1, 3, 5},
      {"start on the match", "b", "abcabc", 1, 5, 5},
      {"absent", "x", "abcabc", 1, 1, 0},
      {"empty substring", "", "abc", 1, 1, 0},
      {"empty text", "a", "", 1, 1, 0},
      {"substring longer than text", "abcd", "abc", 1, 1, 0},
      {"match at the very end", "bc", "abc", 1, 1, 2},
      {"start past the end", "a", "abc", 1, 4, 0},
      {"start below 1 counts as 1", "a", "abc", 1, -3, 1},
      {"step 0 counts as 1", "c", "abc", 0, 1, 3},
      // Step 3 tries positions 1, 4, 7: a match off that grid is not found.
      {"step skips unaligned matches", "bc", "abcabc", 3, 1, 0},
      {"step finds aligned matches", "ab", "xyzab", 3, 1, 4},
      {"step from another start", "bc", "abcabc", 3, 2, 2},
      {"backwards from the end", "b", "abcabc", -1, 6, 5},
      {"backwards from the middle", "b", "abcabc", -1, 4, 2},
      {"backwards start on the match", "b", "abcabc", -1, 2, 2},
      {"backwards absent", "z", "abcabc", -1, 6, 0},
      {"backwards start past the end", "bc", "abcabc", -1, 10, 5},
      {"backwards step 2 on its grid", "c", "abcabc", -2, 6, 6},
      {"backwards step 2 off its grid", "c", "abcabc", -2, 5, 3},
      {"backwards step keeps its grid past the end", "a", "abcabc", -3, 7, 4},
      {"backwards start below 1", "a", "abc", -1, 0, 0},
      {"backwards with the most negative step", "c", "abc", INT_MIN, 9, 0},
      {"trailing spaces are part of the substring", "a ", "ba", 1, 1, 0},
      {"positions count bytes", kEuro, "a" + kE + kEuro, 1, 1, 4},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(INSTRING(c.substring, c.text, c.step, c.start), c.expected) << c.name;
  }
  EXPECT_EQ(INSTRING("c", "abc"), 3);  // step 1 from position 1 by default
}

TEST(Text, ComparisonsIgnoreTrailingSpaces) {
  const struct {
    std::string a;
    std::string b;
    int exact;
    int noCase;
  } cases[] = {
      {"abc", "abc   ", 0, 0},
      {"", "    ", 0, 0},
      {"abc", "ABC", 1, 0},
      {"ab", "abc", -1, -1},
      {"ab c", "ab", 1, 1},
      {" ab", "ab", -1, -1},  // leading spaces count
      {"a", "b", -1, -1},
      {"\xC3\xA9", "z", 1, 1},  // bytes compare unsigned: non-ASCII after ASCII
      {"\xC3\xA9", "\xC3\x89", 1, 0},
      {"\xCE\xB1\xCE\xB2 ", "\xCE\x91\xCE\x92", 1, 0},  // Greek αβ / ΑΒ
      {"stra\xC3\x9F"
       "e",
       "STRASSE", 1, 1},                   // ß folds to itself, not SS
      {"\xC4\xB1", "i", 1, 0},             // dotless ı and i both fold to I
      {std::string("a\0", 2), "a", 1, 1},  // a NUL is not a space
  };
  for (const auto& c : cases) {
    EXPECT_EQ(compareText(c.a, c.b), c.exact) << c.a << " / " << c.b;
    EXPECT_EQ(compareText(c.b, c.a), -c.exact) << c.b << " / " << c.a;
    EXPECT_EQ(compareTextNoCase(c.a, c.b), c.noCase) << c.a << " / " << c.b;
    EXPECT_EQ(equalText(c.a, c.b), c.exact == 0) << c.a << " / " << c.b;
    EXPECT_EQ(equalTextNoCase(c.a, c.b), c.noCase == 0) << c.a << " / " << c.b;
  }
}

}  // namespace
}  // namespace runtime
