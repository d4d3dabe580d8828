#include "platform/runtime/folded_search.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/runtime/case_fold.h"

namespace runtime {
namespace {

// What the search must answer: a search in the upper case made in full.
bool foundInUpperCase(const std::string& needle, const std::string& text) {
  return foldCase(text).find(needle) != std::string::npos;
}

TEST(FoldedSearch, FindsWhatASearchInTheUpperCaseFinds) {
  const struct {
    const char* name;
    std::string needle;  // as foldCase gives it, unless the case says otherwise
    std::string text;
    bool found;
  } cases[] = {
      {"ascii either case", "ZEPHYR", "a Zephyr b", true},
      {"ascii absent", "ZEPHYR", "zephy r", false},
      {"at the very end", "YR", "zephyr", true},
      {"cut off by the end", "YRS", "zephyr", false},
      {"a digit", "42", "x42y", true},
      {"empty needle", "", "abc", true},
      {"empty text", "A", "", false},
      {"latin-1 letter in small letters", "\xC3\x89T\xC3\x89", "l'\xC3\xA9t\xC3\xA9", true},
      {"dotless i uppers to an ascii I", "PIN", "p\xC4\xB1n", true},
      {"long s uppers to an ascii S", "SUN", "\xC5\xBFun", true},
      {"a character that grows when uppered", "\xE2\xB1\xAF", "x\xC9\x90y", true},
      {"sharp s stays", "\xC3\x9F",
       "STRA\xC3\x9F"
       "E",
       true},
      {"greek final sigma", "\xCE\xA3", "\xCF\x82", true},
      {"micro sign uppers to greek mu", "\xCE\x9C", "\xC2\xB5", true},
      {"binary bytes around", "AB",
       std::string("\x01\xFF"
                   "ab\0\x80",
                   6),
       true},
      {"a byte that is not UTF-8 stays",
       "\xC3"
       "A",
       "\xC3"
       "a",
       true},
      {"a broken character does not hide the next", "\xC3\x89", "\xE2\x82\xC3\xA9", true},
      {"nul in the needle", std::string("A\0B", 3), std::string("xa\0b", 4), true},
      {"nul does not join", "AB", std::string("a\0b", 3), false},
      // A needle that begins inside a character's upper case (not one a user types).
      {"needle of a continuation byte", "\x89", "\xC3\xA9", true},
      {"continuation then ascii", "\x89X", "\xC3\xA9x", true},
      {"needle ends inside a character", "\xC3", "\xC3\xA9", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FoldedSearch(c.needle).foundIn(c.text), c.found) << c.name;
    EXPECT_EQ(foundInUpperCase(c.needle, c.text), c.found) << c.name << " (the case itself)";
  }
}

TEST(FoldedSearch, AgreesWithTheFullUpperCaseOnEveryShortMixOfCharacters) {
  // Letters in both cases, characters that upper into ASCII or grow, broken and binary bytes.
  const std::vector<std::string> pieces = {"a",
                                           "A",
                                           "s",
                                           "S",
                                           "\xC4\xB1",
                                           "\xC5\xBF",
                                           "\xC3\xA9",
                                           "\xC3\x89",
                                           "\xC9\x90",
                                           "\xE2\xB1\xAF",
                                           "\xC3",
                                           "\x89",
                                           std::string(1, '\0'),
                                           "\xFF",
                                           "\xF0\x90\x90\xA8",
                                           "1"};
  // Every text of up to three pieces.
  std::vector<std::string> texts = {""};
  for (std::size_t from = 0, length = 1; length <= 3; ++length) {
    const std::size_t to = texts.size();
    for (std::size_t i = from; i < to; ++i) {
      for (const std::string& piece : pieces) texts.push_back(texts[i] + piece);
    }
    from = to;
  }
  std::vector<std::string> needles;
  for (const std::string& a : pieces) {
    needles.push_back(foldCase(a));
    needles.push_back(a);  // also needles that are not upper case, or not UTF-8
    for (const std::string& b : pieces) needles.push_back(foldCase(a + b));
  }
  int checked = 0;
  for (const std::string& needle : needles) {
    const FoldedSearch search(needle);
    for (const std::string& text : texts) {
      ASSERT_EQ(search.foundIn(text), foundInUpperCase(needle, text))
          << "needle " << testing::PrintToString(needle) << " text "
          << testing::PrintToString(text);
      ++checked;
    }
  }
  EXPECT_GT(checked, 100000);
}

}  // namespace
}  // namespace runtime
