#include "platform/runtime/number_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cmath>
#include <limits>
#include <string>

namespace runtime {
namespace {

TEST(NumberText, ReadsWholeTextsOnly) {
  const struct {
    std::string text;
    bool numeric;
    long long asLong;
    double asReal;
  } cases[] = {
      {"12", true, 12, 12},
      {"  -12  ", true, -12, -12},
      {"+7", true, 7, 7},
      {"00012.50", true, 12, 12.5},
      {"-00012.50", true, -12, -12.5},
      {"12.", true, 12, 12},
      {".5", true, 0, 0.5},
      {"-.5", true, 0, -0.5},
      {"12.99", true, 12, 12.99},  // truncated toward zero
      {"-12.99", true, -12, -12.99},
      {"1e5", true, 100000, 1e5},
      {"2.5E-3", true, 0, 2.5e-3},
      {"1e+15", true, 1000000000000000LL, 1e15},
      {"1e-400", true, 0, 0},  // too small for a REAL: reads as 0
      {"9223372036854775807", true, LLONG_MAX, 9223372036854775807.0},
      {"99999999999999999999", true, LLONG_MAX, 1e20},  // saturates
      {"-99999999999999999999", true, LLONG_MIN, -1e20},
      {"1e300", true, LLONG_MAX, 1e300},
      {"1e400", false, 0, 0},  // too large for a REAL
      {"", false, 0, 0},
      {"    ", false, 0, 0},
      {"12abc", false, 0, 0},
      {"abc", false, 0, 0},
      {"1 2", false, 0, 0},
      {"- 5", false, 0, 0},
      {"1,000", false, 0, 0},
      {"$5", false, 0, 0},
      {".", false, 0, 0},
      {"-", false, 0, 0},
      {"+-1", false, 0, 0},
      {"1e", false, 0, 0},
      {"1e+", false, 0, 0},
      {"e5", false, 0, 0},
      {"0x1F", false, 0, 0},
      {"inf", false, 0, 0},
      {"nan", false, 0, 0},
      {"\t12", false, 0, 0},  // only spaces surround a number
      {std::string("12\0", 3), false, 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NUMERIC(c.text), c.numeric) << '"' << c.text << '"';
    EXPECT_EQ(textToLong(c.text), c.asLong) << '"' << c.text << '"';
    EXPECT_DOUBLE_EQ(textToReal(c.text), c.asReal) << '"' << c.text << '"';
  }
}

TEST(NumberText, WritesLongs) {
  EXPECT_EQ(longToText(0), "0");
  EXPECT_EQ(longToText(42), "42");
  EXPECT_EQ(longToText(-42), "-42");
  EXPECT_EQ(longToText(LLONG_MIN), "-9223372036854775808");
}

TEST(NumberText, WritesRealsWithFifteenSignificantDigits) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {0.1 + 0.2, "0.3"},
      {123.450, "123.45"},
      {42.0, "42"},
      {-42.0, "-42"},
      {0.0, "0"},
      {-0.0, "0"},
      {0.5, "0.5"},
      {-0.25, "-0.25"},
      {1.0 / 3.0, "0.333333333333333"},
      {2.0 / 3.0, "0.666666666666667"},
      {123456789012345.0, "123456789012345"},
      {99999999999999.9, "99999999999999.9"},
      {1e15, "1e+15"},
      {1234567890123456789.0, "1.23456789012346e+18"},
      {0.0001, "0.0001"},
      {0.00001, "1e-05"},
      {1.5e-7, "1.5e-07"},
      {std::numeric_limits<double>::infinity(), "inf"},
      {-std::numeric_limits<double>::infinity(), "-inf"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(realToText(c.value), c.text) << c.text;
  }
}

TEST(NumberText, RealTextReadsBackAsTheSameRoundedValue) {
  const double values[] = {0.1 + 0.2, 1e15, -1.5e-7, 123456789012345.0, 2.0 / 3.0};
  for (double value : values) {
    const std::string text = realToText(value);
    ASSERT_TRUE(NUMERIC(text)) << text;
    EXPECT_EQ(realToText(textToReal(text)), text);
  }
}

TEST(NumberText, IgnoresTheProcessLocale) {
  // A desktop program runs with the user's locale, where the decimal point may be ",".
  const char* const commaLocales[] = {"de_DE.UTF-8", "fr_FR.UTF-8", "nl_NL.UTF-8"};
  bool chosen = false;
  for (const char* name : commaLocales) {
    if (std::setlocale(LC_ALL, name) != nullptr && *std::localeconv()->decimal_point == ',') {
      chosen = true;
      break;
    }
  }
  if (!chosen) {
    std::setlocale(LC_ALL, "C");
    GTEST_SKIP() << "no locale with a decimal comma is installed";
  }
  EXPECT_EQ(realToText(1.5), "1.5");
  EXPECT_DOUBLE_EQ(textToReal("1.5"), 1.5);
  EXPECT_FALSE(NUMERIC("1,5"));
  std::setlocale(LC_ALL, "C");
}

}  // namespace
}  // namespace runtime
