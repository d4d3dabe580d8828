#include "platform/runtime/picture.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "platform/runtime/standard_date.h"

namespace runtime {
namespace {

constexpr int jan5th2026 = 82188;

// Values that FORMAT writes as the text and DEFORMAT reads back as the value's plain text.
TEST(Picture, RoundTrips) {
  const struct {
    const char* picture;
    PictureValue value;
    const char* text;
    const char* deformatted;
  } cases[] = {
      {"@n-14", 1234, "         1,234", "1234"},
      {"@n-14", -1234567, "    -1,234,567", "-1234567"},
      {"@n3", 7, "  7", "7"},
      {"@n3", 0, "  0", "0"},
      {"@n-7", -32768, "-32,768", "-32768"},
      {"@n13", 4294967295LL, "4,294,967,295", "4294967295"},
      {"@n6", 65535, "65,535", "65535"},
      {"@n-13.2", 1234.5, "     1,234.50", "1234.5"},
      {"@n-13.2", -0.5, "        -0.50", "-0.5"},
      {"@n14-", -1234, "        1,234-", "-1234"},
      {"@n14-", 1234, "        1,234 ", "1234"},
      {"@n_1", 5, "5", "5"},
      {"@n_2", 7, " 7", "7"},
      {"@n_2", 1234, "##", "0"},
      {"@n02", 5, "05", "5"},
      {"@n03", 42, "042", "42"},
      {"@n-05", -5, "-0005", "-5"},
      {"@d2", jan5th2026, "01/05/2026", "82188"},
      {"@d3", jan5th2026, "Jan 05,2026", "82188"},
      {"@d6", jan5th2026, "05/01/2026", "82188"},
      {"@d6.", jan5th2026, "05.01.2026", "82188"},
      {"@d6_", jan5th2026, "05 01 2026", "82188"},
      {"@d10", jan5th2026, "2026/01/05", "82188"},
      {"@d10-", jan5th2026, "2026-01-05", "82188"},
      {"@d12", jan5th2026, "20260105", "82188"},
      {"@d10", firstStandardDate, "1801/01/01", "4"},
      {"@d10-", lastStandardDate, "9999-12-31", "2994626"},
      {"@d3", dateFromYmd(2000, 2, 29), "Feb 29,2000", "72746"},
      {"@d6", 0, "", "0"},
      {"@t1", timeFromHms(8, 30, 0, 0), "08:30", "3060001"},
      {"@t4", timeFromHms(8, 30, 15, 0), "08:30:15", "3061501"},
      {"@t4", 1, "00:00:00", "1"},
      {"@t4", 0, "", "0"},
      {"@p<<#-##p", 12345, "123-45", "12345"},
      {"@p<<#-##p", 45, "  0-45", "45"},
      {"@p###-##-####p", 123456789, "123-45-6789", "123456789"},
      {"@p<<#pb", 0, "   ", "0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FORMAT(c.value, c.picture), c.text) << c.picture << " " << c.text;
    EXPECT_EQ(DEFORMAT(c.text, c.picture), c.deformatted) << c.picture << " " << c.text;
  }
}

TEST(Picture, Format) {
  const std::string bufferText = "12.50" + std::string(250, ' ');
  const struct {
    const char* picture;
    PictureValue value;
    const char* text;
  } cases[] = {
      // Numbers: rounding half away from zero in decimal, text values, overflow.
      {"@n-13.2", 2.675, "         2.68"},
      {"@n_5", 0.5, "    1"},
      {"@n_5", -0.5, "   -1"},
      {"@n-7", 9.9999, "     10"},
      {"@n3", -5, " -5"},  // a picture without a sign still shows the minus
      {"@n3", 1234, "###"},
      {"@n-13.2", bufferText, "        12.50"},
      {"@n-13.2", "abc", "         0.00"},
      {"@n-14", "", "             0"},
      {"@n_4", std::string_view("42\0junk", 7), "  42"},
      {"@n-40.2", "-1234567890123456789012345.67", "   -1,234,567,890,123,456,789,012,345.67"},
      // Dates and times out of range, and given as text or real.
      {"@d6", 3, ""},
      {"@d6", -1, ""},
      {"@d6", lastStandardDate + 1, ""},
      {"@d6", 1e30, ""},
      {"@d6", "82188", "05/01/2026"},
      {"@d6", 82188.7, "05/01/2026"},
      {"@t4", lastStandardTime, "23:59:59"},
      {"@t4", lastStandardTime + 1, ""},
      {"@t1", -3, ""},
      // Texts of a fixed width, cut on character boundaries.
      {"@s5", "abc", "abc  "},
      {"@s3", "abcdef", "abc"},
      {"@s3", "ab\xC3\xA9", "ab "},
      {"@s0", "abc", ""},
      {"@s5", 42, "42   "},
      {"@s10", 2.5, "2.5       "},
      // Patterns.
      {"@p p", 99, " "},
      {"@p p", "Classic", " "},
      {"@p<<#p", -5, "###"},
      {"@p<#p", 123, "##"},
      {"@p<<#pb", 7, "  7"},
      // Plain text for no picture and for pictures outside the grammar.
      {"", 1234567, "1234567"},
      {"", -2.50, "-2.5"},
      {"", 1.0 / 3, "0.333333333333333"},
      {"", 0.1 + 0.2, "0.3"},
      {"", 1e20, "1e+20"},
      {"@n-30", 1e20, "   100,000,000,000,000,000,000"},
      {"", "text", "text"},
      {"", std::numeric_limits<long long>::min(), "-9223372036854775808"},
      {"@n3", "1e999", "  0"},
      {"@x9", 12, "12"},
      {"@n", 12, "12"},
      {"@d99", jan5th2026, "82188"},
      {"@p<<#", 5, "5"},
      {"@n-14x", 5, "5"},
      // Letters of either case, with or without "@", spaces around.
      {"N-14", 1234, "         1,234"},
      {"  @D6  ", jan5th2026, "05/01/2026"},
      {"@T4", timeFromHms(8, 30, 15, 0), "08:30:15"},
      {"@P<#PB", 0, "  "},
      {"S2", "abc", "ab"},
  };
  for (const auto& c : cases) EXPECT_EQ(FORMAT(c.value, c.picture), c.text) << c.picture;
}

TEST(Picture, DeformatReadsFormattedAndJunkTexts) {
  const struct {
    const char* text;
    const char* picture;
    const char* value;
  } cases[] = {
      {"1,234.50-", "", "1234.50-"},
      {"abc", "", ""},
      {"$ 1,234.50", "@n-13.2", "1234.5"},
      {"   1,234-", "@n14-", "-1234"},
      {"junk", "@n3", "0"},
      {"", "@n3", "0"},
      {"007", "@n03", "7"},
      {"1.2.3", "@n-9.2", "1.23"},
      {"Jan 01, 1900", "d3", "36163"},
      {"jan 1,1900", "@d3", "36163"},
      {"JANUARY 1, 1900", "@d3", "36163"},
      {"Dec 28, 1800", "d3", "0"},  // the day before the first valid date
      {"Jab 01, 1900", "@d3", "0"},
      {"01 Jan 1900", "@d3", "0"},
      {"2026-01-05", "@d10", "82188"},
      {"2026/1/5", "@d12", "82188"},
      {"  05/01/2026  ", "@d6", "82188"},
      {"31/02/2026", "@d6", "0"},
      {"29/02/1900", "@d6", "0"},
      {"29/02/2000", "@d6", "72746"},
      {"", "@d6", "0"},
      {"aa/bb/cccc", "@d6", "0"},
      {"05/01/2026 extra", "@d6", "0"},
      {"05/01/26", "@d6", "0"},
      {"05;01;2026", "@d6", "0"},
      {"99999999999/1/1", "@d10", "0"},
      {"2026010", "@d12", "0"},
      {"8:30", "@t1", "3060001"},
      {"08:30:15.07", "@t4", "3061508"},
      {"25:00", "@t1", "0"},
      {"", "@t4", "0"},
      {"ab:cd", "@t4", "0"},
      {"8", "@t4", "0"},
      {"abc  ", "@s3", "abc  "},
      {"12-34", "@p##-##p", "1234"},
      {"x", "@p##p", "0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DEFORMAT(c.text, c.picture), c.value) << c.text << " " << c.picture;
  }
}

// A date read from one picture and written in another, as the conversions of stored fields do.
TEST(Picture, DateTextsConvertBetweenPictures) {
  EXPECT_EQ(FORMAT(DEFORMAT("Jan 01, 1900", "d3"), "@d10-"), "1900-01-01");
  EXPECT_EQ(FORMAT(DEFORMAT("20260105", "@d12"), "@d6"), "05/01/2026");
  EXPECT_EQ(FORMAT(DEFORMAT("not a date", "@d12"), "@d6"), "");
}

}  // namespace
}  // namespace runtime
