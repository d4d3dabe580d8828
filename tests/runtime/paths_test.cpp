#include "platform/runtime/paths.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/runtime/error_state.h"
#include "tests/support/scratch_folder.h"

namespace runtime {
namespace {

TEST(Paths, BackslashesBecomeSlashesAtTheSystemBoundary) {
  const struct {
    const char* path;
    const char* osPath;
  } cases[] = {
      {".\\gamedock.ini", "./gamedock.ini"},
      {"templates\\classic.def", "templates/classic.def"},
      {"/already/fine", "/already/fine"},
      {"C:\\AGK\\agk.exe", "C:/AGK/agk.exe"},  // no drive letters: a relative name
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(toOsPath(c.path), c.osPath) << c.path;
}

TEST(Paths, ShortPathIsThePathAndEmptyMeansTheCurrentDirectory) {
  EXPECT_EQ(SHORTPATH("some\\folder\\file.def"), "some\\folder\\file.def");
  const std::string here = SHORTPATH("");
  EXPECT_TRUE(std::filesystem::path(here).is_absolute()) << here;
  EXPECT_EQ(here, std::filesystem::current_path().string());
}

TEST(Paths, CurrentDirectoryCanBeSavedChangedAndRestored) {
  const support::ScratchFolder folder;
  const std::string saved = currentDirectory();
  ASSERT_TRUE(setCurrentDirectory(folder.path().string()));
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(std::filesystem::path(currentDirectory()), std::filesystem::canonical(folder.path()));

  EXPECT_FALSE(setCurrentDirectory("no\\such\\folder"));
  EXPECT_EQ(ERRORCODE(), PathNotFoundErr);
  EXPECT_EQ(std::filesystem::path(currentDirectory()), std::filesystem::canonical(folder.path()));

  ASSERT_TRUE(setCurrentDirectory(saved));
  EXPECT_EQ(currentDirectory(), saved);
}

}  // namespace
}  // namespace runtime
