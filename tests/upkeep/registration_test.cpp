#include "upkeep/registration.h"

#include <gtest/gtest.h>

#include <thread>

#include "upkeep/call_recorder.h"

namespace upkeep {
namespace {

TEST(RegistrationTest, TheRecorderSeesEveryCallInOrderWithItsArguments) {
  CallLog log;
  {
    ScopedCallRecorder scope(log);
    UpgradingFlagAddress();
    ds_SetOption("BadFile", "0");
    ds_IgnoreDriver("AllFiles", 1);
    ds_AlternateFieldName("FUN:examplecode", "examplecode");
  }
  ds_SetOption("SPCreate", "1");  // after the scope: not recorded
  EXPECT_EQ(log.texts(), (std::vector<std::string>{
                             "UpgradingFlagAddress()",
                             "ds_SetOption(\"BadFile\", \"0\")",
                             "ds_IgnoreDriver(\"AllFiles\", 1)",
                             "ds_AlternateFieldName(\"FUN:examplecode\", \"examplecode\")",
                         }));
}

TEST(RegistrationTest, TheUpgradingFlagHasOneAddressAndReadsZeroBetweenOpens) {
  std::uint8_t* flag = UpgradingFlagAddress();
  ASSERT_NE(flag, nullptr);
  EXPECT_EQ(*flag, 0);
  std::uint8_t* other = nullptr;
  std::thread([&] { other = UpgradingFlagAddress(); }).join();
  EXPECT_EQ(other, flag);
}

}  // namespace
}  // namespace upkeep
