#include "upkeep/registration.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/files/file_declaration.h"
#include "platform/runtime/field_types.h"
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

struct OneByte {
  runtime::Byte value;
};
const runtime::FieldDef kOneByteFields[] = {GD_FIELD(OneByte, value, "DUM:VALUE")};

files::FileSpec oneByteFile(std::string_view label) {
  files::FileSpec spec;
  spec.label = label;
  spec.prefix = "DUM";
  spec.name = label;
  spec.fields = kOneByteFields;
  spec.recordSize = sizeof(OneByte);
  return spec;
}

TEST(RegistrationTest, FilesAndRecordsAreRecordedByIdentity) {
  files::FileDeclaration driverFile(oneByteFile("dummy"));
  files::FileDeclaration categories(oneByteFile("categort"));
  CallLog log;
  ScopedCallRecorder scope(log);
  ds_AddDriver("Vkf", driverFile, 1, driverFile.record().data());
  ds_UsingFile("CAT", "categort", categories, 0, 0);
  ASSERT_EQ(log.calls().size(), 2u);
  EXPECT_EQ(log.texts()[0], "ds_AddDriver(\"Vkf\", FILE(dummy), 1, record)");
  EXPECT_EQ(log.calls()[0].object, &driverFile);
  EXPECT_EQ(log.calls()[0].record, driverFile.record().data());
  EXPECT_EQ(log.texts()[1], "ds_UsingFile(\"CAT\", \"categort\", FILE(categort), 0, 0)");
  EXPECT_EQ(log.calls()[1].object, &categories);
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
