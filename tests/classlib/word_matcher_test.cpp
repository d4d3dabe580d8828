#include "classlib/word_matcher.h"

#include <gtest/gtest.h>

namespace classlib {
namespace {

TEST(WordMatcherTest, OptionsTakeOnlyTheirNumbersAndTheValuesZeroAndOne) {
  WordMatcher matcher;
  EXPECT_FALSE(matcher.setOption(IgnoreCaseOption, 1)) << "before init";
  matcher.init();
  const struct {
    int option, value;
    bool accepted;
  } cases[] = {
      {IgnoreCaseOption, 1, true},
      {WholeWordsOption, 0, true},
      {WholeWordsOption, 1, true},
      {IgnoreCaseOption, 2, false},
      {IgnoreCaseOption, -1, false},
      {3, 1, false},
      {0, 1, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(matcher.setOption(c.option, c.value), c.accepted) << c.option << "=" << c.value;
  }
  EXPECT_EQ(matcher.option(IgnoreCaseOption), 1);
  EXPECT_EQ(matcher.option(WholeWordsOption), 1);
  EXPECT_EQ(matcher.option(3), 0);
}

TEST(WordMatcherTest, KillAndInitStartAgainFromZero) {
  WordMatcher matcher;
  matcher.init();
  ASSERT_TRUE(matcher.setOption(IgnoreCaseOption, 1));
  matcher.kill();
  EXPECT_FALSE(matcher.initialised());
  EXPECT_EQ(matcher.option(IgnoreCaseOption), 0);
  matcher.init();
  EXPECT_TRUE(matcher.initialised());
  EXPECT_EQ(matcher.option(IgnoreCaseOption), 0);
}

}  // namespace
}  // namespace classlib
