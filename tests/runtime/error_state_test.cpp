#include "platform/runtime/error_state.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "platform/runtime/utf8.h"

namespace runtime {
namespace {

TEST(ErrorState, TextsOfTheCodesCallersRelyOn) {
  const struct {
    int code;
    const char* text;
  } cases[] = {
      {2, "File Not Found"},           {5, "Access Denied"},
      {30, "Entry Not Found"},         {35, "Record Not Found"},
      {36, "Invalid Data File"},       {40, "Creates Duplicate Key"},
      {46, "Key File Must Be Rebuilt"}, {47, "Invalid Record Declaration"},
      {52, "File Already Open"},       {88, "Invalid Key Length"},
      {90, "File System Error"},       {530, "Error 530"},
  };
  for (const auto& c : cases) {
    setError(c.code);
    EXPECT_EQ(ERRORCODE(), c.code);
    EXPECT_EQ(ERROR(), c.text) << c.code;
  }
  clearError();
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(ERROR(), "");
}

TEST(ErrorState, DriverTextsAreCutToTheirLimitsOnCharacterBoundaries) {
  const std::string code(100, '7');
  std::string text(255, 'x');
  text += "\xC3\xA9";  // a two-byte character straddling the 256-byte limit
  setFileError(90, code, text);
  EXPECT_EQ(FILEERRORCODE(), std::string(80, '7'));
  EXPECT_EQ(FILEERROR(), std::string(255, 'x'));
  setError(2);
  EXPECT_EQ(FILEERRORCODE(), "");
  EXPECT_EQ(FILEERROR(), "");
}

TEST(ErrorState, EachThreadHasItsOwn) {
  setError(35);
  std::thread other([] {
    EXPECT_EQ(ERRORCODE(), 0);
    setError(40);
  });
  other.join();
  EXPECT_EQ(ERRORCODE(), 35);
}

TEST(Utf8Prefix, NeverSplitsACharacter) {
  const std::string euro = "a\xE2\x82\xAC" "b";  // a, euro sign (3 bytes), b
  EXPECT_EQ(utf8Prefix(euro, 1), "a");
  EXPECT_EQ(utf8Prefix(euro, 2), "a");
  EXPECT_EQ(utf8Prefix(euro, 3), "a");
  EXPECT_EQ(utf8Prefix(euro, 4), "a\xE2\x82\xAC");
  EXPECT_EQ(utf8Prefix(euro, 10), euro);
  EXPECT_EQ(utf8Prefix("\xFF\xFF\xFF", 2), "\xFF\xFF");  // invalid bytes count one each
}

}  // namespace
}  // namespace runtime
