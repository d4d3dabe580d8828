#include "upkeep/field_clearing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>

#include "platform/runtime/field_types.h"
#include "platform/runtime/text_types.h"
#include "upkeep/registration.h"
#include "upkeep/registration_tables.h"

namespace upkeep {
namespace {

template <class F>
FieldElement elementOf(F& field) {
  FieldElement element;
  element.type = static_cast<std::uint8_t>(F::fieldType);
  element.len = sizeof(F);
  element.bytes = reinterpret_cast<unsigned char*>(&field);
  return element;
}

class FieldClearingTest : public ::testing::Test {
 protected:
  void TearDown() override {
    ITQ().clear();
    resetRegistrationTables();
  }
};

TEST_F(FieldClearingTest, NewFieldsAreBlankUnlessAValueIsRegisteredForThem) {
  runtime::String<8> text("stale");
  runtime::Long number(77);
  ClearingField(elementOf(text), "PRO:NOTE", "PRO");
  ClearingField(elementOf(number), "PRO:COUNT", "PRO");
  EXPECT_EQ(text.view(), "        ");
  EXPECT_EQ(number.value(), 0);

  ITQ().push_back({"PRO:NOTE", "new", 0});
  ITQ().push_back({"PRO:COUNT", "autonumber", 41});
  ClearingField(elementOf(text), "pro:note  ", "PRO");
  EXPECT_EQ(text.view(), "new     ");
  for (const int expected : {42, 43}) {
    ClearingField(elementOf(number), "PRO:COUNT", "PRO");
    EXPECT_EQ(number.value(), expected);
  }
  EXPECT_EQ(ITQ()[1].AUTONUM, 43);
  EXPECT_EQ(ITQ()[1].VALUE, "autonumber");  // the entry stays a counter
}

TEST_F(FieldClearingTest, AnUnrealFieldKeepsWhatTheBufferHolds) {
  ds_SetOption("UnRealField", "pro:Hidden");
  ds_SetOption("RealField", "PRO:SHOWN");
  runtime::String<4> hidden("kept");
  runtime::String<4> shown("gone");
  ClearingField(elementOf(hidden), "PRO:HIDDEN", "PRO");
  ClearingField(elementOf(shown), "PRO:SHOWN", "PRO");
  EXPECT_EQ(hidden.view(), "kept");
  EXPECT_EQ(shown.view(), "    ");
}

TEST_F(FieldClearingTest, TheFilesGuidFieldGetsADifferentRandomValueForEveryRecord) {
  std::set<std::string> seen;
  for (int record = 0; record < 200; ++record) {
    runtime::String<16> guid;
    ClearingField(elementOf(guid), "pro:Guid", "PRO ");
    const std::string bytes(guid.view());
    EXPECT_TRUE(std::none_of(bytes.begin(), bytes.end(), [](char c) {
      return c == 0 || c == '\'';
    })) << record;
    seen.insert(bytes);
  }
  EXPECT_EQ(seen.size(), 200u);

  // Only a STRING(16) named with the file's own prefix is a GUID field.
  runtime::String<16> otherPrefix;
  runtime::String<17> longer;
  runtime::CString<16> cstring("x");
  ClearingField(elementOf(otherPrefix), "CAT:GUID", "PRO");
  ClearingField(elementOf(longer), "PRO:GUID", "PRO");
  ClearingField(elementOf(cstring), "PRO:GUID", "PRO");
  EXPECT_EQ(otherPrefix.view(), std::string(16, ' '));
  EXPECT_EQ(longer.view(), std::string(17, ' '));
  EXPECT_EQ(cstring.view(), "");
}

}  // namespace
}  // namespace upkeep
