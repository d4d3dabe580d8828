// A folder where a driver expects its file: every driver's open answers no access and names the
// folder as what it is, whatever the access mode, and leaves the folder as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/files/driver_fixture.h"

namespace files::test {
namespace {

struct Text {
  runtime::String<8> LINE;
};
constexpr runtime::FieldDef kTextFields[] = {GD_FIELD(Text, LINE, "TXT:LINE")};

// A file of one text field under `driver`.
constexpr FileSpec textSpec(Driver driver) {
  return {.label = "text",
          .prefix = "TXT",
          .driver = driver,
          .fields = kTextFields,
          .recordSize = sizeof(Text)};
}

TEST(FolderInPlace, EveryDriverAnswersNoAccessAndLeavesTheFolderAlone) {
  support::ScratchFolder folder;
  const struct {
    const char* what;
    FileSpec spec;
    std::string suffix;  // after the folder's path in the FILE's name
  } drivers[] = {
      {"Caskfile", kPersonSpec, ""},
      {"Caskfile, a table of the file", kPersonSpec, "\\!people"},
      {"ASCII", textSpec(Driver::Ascii), ""},
      {"DOS", textSpec(Driver::Dos), ""},
  };
  const std::string path = folder.file("in-place.dat");
  std::filesystem::create_directory(path);
  for (const auto& driver : drivers) {
    for (const int mode : {0x22, 0x40, 0x42, 0x12}) {
      SCOPED_TRACE(std::string(driver.what) + " mode " + std::to_string(mode));
      auto file = declare(driver.spec, path + driver.suffix);
      OPEN(*file, mode);
      EXPECT_EQ(runtime::ERRORCODE(), runtime::AccessDeniedErr) << runtime::ERROR();
      EXPECT_EQ(runtime::FILEERROR(), "a folder stands in the place of the file");
      EXPECT_EQ(STATUS(*file), 0);
      EXPECT_TRUE(std::filesystem::is_directory(path));
      EXPECT_TRUE(std::filesystem::is_empty(path));
    }
  }
}

}  // namespace
}  // namespace files::test
