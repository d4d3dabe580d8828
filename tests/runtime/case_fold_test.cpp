#include "platform/runtime/case_fold.h"

#include <gtest/gtest.h>

#include <string>

namespace runtime {
namespace {

struct CaseCase {
  const char* name;
  std::string text;
  std::string upper;
  std::string lower;
};

TEST(CaseFold, MapsEachCharacterBySimpleCaseMapping) {
  const CaseCase cases[] = {
      {"ascii", "Hello, World 42!", "HELLO, WORLD 42!", "hello, world 42!"},
      {"empty", "", "", ""},
      {"latin-1", "\xC3\xA0\xC3\xA9\xC3\xB1\xC3\xBF \xC3\x80\xC3\x89\xC3\x91",  // àéñÿ ÀÉÑ
       "\xC3\x80\xC3\x89\xC3\x91\xC5\xB8 \xC3\x80\xC3\x89\xC3\x91",             // ÀÉÑŸ ÀÉÑ
       "\xC3\xA0\xC3\xA9\xC3\xB1\xC3\xBF \xC3\xA0\xC3\xA9\xC3\xB1"},
      {"multiplication and division signs stay", "\xC3\x97\xC3\xB7", "\xC3\x97\xC3\xB7",
       "\xC3\x97\xC3\xB7"},
      {"latin extended pairs", "\xC4\x81\xC4\x80\xC5\xBE",  // āĀž
       "\xC4\x80\xC4\x80\xC5\xBD", "\xC4\x81\xC4\x81\xC5\xBE"},
      {"greek", "\xCE\xB1\xCE\xB2\xCE\xA9\xCF\x82",  // αβΩς (final sigma)
       "\xCE\x91\xCE\x92\xCE\xA9\xCE\xA3", "\xCE\xB1\xCE\xB2\xCF\x89\xCF\x82"},
      {"cyrillic", "\xD0\xBF\xD1\x80\xD0\x98\xD1\x91",  // прИё
       "\xD0\x9F\xD0\xA0\xD0\x98\xD0\x81", "\xD0\xBF\xD1\x80\xD0\xB8\xD1\x91"},
      // ß has no simple upper-case mapping; capital ẞ lowers to ß.
      {"sharp s", "\xC3\x9F", "\xC3\x9F", "\xC3\x9F"},
      {"capital sharp s", "\xE1\xBA\x9E", "\xE1\xBA\x9E", "\xC3\x9F"},
      // Dotless ı uppers to I; dotted İ lowers to i and is its own upper case.
      {"turkish dotless i", "\xC4\xB1", "I", "\xC4\xB1"},
      {"turkish dotted capital I", "\xC4\xB0", "\xC4\xB0", "i"},
      {"kelvin sign lowers to ascii", "\xE2\x84\xAA", "\xE2\x84\xAA", "k"},
      {"four-byte deseret", "\xF0\x90\x90\xA8", "\xF0\x90\x90\x80", "\xF0\x90\x90\xA8"},
      {"cjk has no case",
       "\xE6\xBC\xA2"
       "a",
       "\xE6\xBC\xA2"
       "A",
       "\xE6\xBC\xA2"
       "a"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(foldCase(c.text), c.upper) << c.name;
    EXPECT_EQ(lowerCase(c.text), c.lower) << c.name;
  }
}

TEST(CaseFold, InvalidBytesPassThroughUnchanged) {
  const struct {
    const char* name;
    std::string text;
    std::string upper;
  } cases[] = {
      {"stray continuation",
       "a\x80"
       "b",
       "A\x80"
       "B"},
      {"lone lead at end", "a\xC3", "A\xC3"},
      {"lead followed by ascii",
       "\xC3"
       "a",
       "\xC3"
       "A"},
      {"overlong slash",
       "\xC0\xAF"
       "x",
       "\xC0\xAF"
       "X"},
      {"overlong three-byte", "\xE0\x80\xAF", "\xE0\x80\xAF"},
      {"surrogate",
       "\xED\xA0\x80"
       "q",
       "\xED\xA0\x80"
       "Q"},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", "\xF4\x90\x80\x80"},
      {"0xFF bytes",
       "\xFF\xFE"
       "z",
       "\xFF\xFE"
       "Z"},
      // A truncated sequence does not swallow the valid character after it.
      {"truncated then valid", "\xE2\x82\xC3\xA9", "\xE2\x82\xC3\x89"},
      {"nul is kept", std::string("a\0b", 3), std::string("A\0B", 3)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(foldCase(c.text), c.upper) << c.name;
  }
}

TEST(CaseFold, FoldingIsStableUnderRepetition) {
  // Keys are stored folded and compared with folded search values, so folding a folded text
  // must not change it again.
  const std::string samples[] = {"abc\xC4\xB1\xC3\x9F\xCF\x82\xE1\xBA\x9E", "\xC5\xBF\xC7\x85",
                                 "\xE2\x84\xAA\xC2\xB5"};
  for (const auto& s : samples) {
    const std::string once = foldCase(s);
    EXPECT_EQ(foldCase(once), once) << s;
  }
}

}  // namespace
}  // namespace runtime
