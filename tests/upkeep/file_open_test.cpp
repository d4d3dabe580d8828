#include "upkeep/file_open.h"

#include <gtest/gtest.h>

#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/field_types.h"
#include "tests/runtime/scratch_folder.h"
#include "upkeep/call_recorder.h"
#include "upkeep/registration.h"

namespace upkeep {
namespace {

struct Number {
  runtime::Long value;
};
const runtime::FieldDef kNumberFields[] = {GD_FIELD(Number, value, "NUM:VALUE")};
const files::KeySpec kNumberKeys[] = {{"NUM:K_VALUE", 0, {1}}};

TEST(FileOpenTest, TheFileIsOpenedPlainlyAndTheOpensErrorIsLeft) {
  runtime::testing::ScratchFolder folder;
  const std::string path = folder.file("numbers");
  files::FileSpec spec;
  spec.label = "numbers";
  spec.prefix = "NUM";
  spec.name = path;
  spec.fields = kNumberFields;
  spec.recordSize = sizeof(Number);
  spec.keys = kNumberKeys;
  files::FileDeclaration file(spec);
  const std::uint8_t* upgrading = UpgradingFlagAddress();
  CallLog log;
  ScopedCallRecorder recording(log);

  const struct {
    bool createFirst;
    int mode;
    int error;
    int status;
  } steps[] = {
      {false, 0x42, runtime::FileNotFoundErr, 0},
      {true, 0x22, 0, 0x22},
      {false, 0x42, runtime::FileAlreadyOpenErr, 0x22},
  };
  for (const auto& step : steps) {
    if (step.createFirst) files::CREATE(file);
    ds_FileOpen(file, step.mode);
    EXPECT_EQ(runtime::ERRORCODE(), step.error) << step.mode;
    EXPECT_EQ(files::STATUS(file), step.status) << step.mode;
    EXPECT_EQ(*upgrading, 0) << "the flag is 1 only during the open";
  }
  EXPECT_EQ(log.texts()[0], "ds_FileOpen(FILE(numbers), 66)");
  EXPECT_EQ(log.calls()[0].object, &file);
  EXPECT_EQ(log.texts()[1], "ds_FileOpen(FILE(numbers), 34)");
}

}  // namespace
}  // namespace upkeep
