#include "platform/os/directories.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "temp_desktop.h"

namespace os {
namespace {

TEST(CreateDirectory, CreatesTheFolderAndTheFoldersAboveIt) {
  testing::TempDesktop desktop;
  desktop.write("existing/file.txt", "x");
  const struct {
    std::string path;
    std::string folder;  // what must exist afterwards, relative to the root
  } cases[] = {
      {desktop.root() + "\\base\\My Game\\", "base/My Game"},
      {desktop.root() + "\\base\\My Game\\media", "base/My Game/media"},
      {desktop.root() + "/deep/er/still//deeper/", "deep/er/still/deeper"},
      {".\\relative\\one", "relative/one"},
      {desktop.root() + "/existing", "existing"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(VUCREATEDIRECTORY(c.path), 0) << c.path;
    EXPECT_TRUE(std::filesystem::is_directory(desktop.path(c.folder))) << c.folder;
  }
  EXPECT_TRUE(std::filesystem::exists(desktop.path("existing/file.txt")));
}

TEST(CreateDirectory, FailuresAnswerTheirErrorNumbers) {
  testing::TempDesktop desktop;
  desktop.write("plain.txt", "x");
  const struct {
    std::string path;
    int expected;
  } cases[] = {
      {"", 3},
      {desktop.path("plain.txt"), 3},
      {desktop.path("plain.txt/below"), 3},
  };
  for (const auto& c : cases) EXPECT_EQ(VUCREATEDIRECTORY(c.path), c.expected) << c.path;
}

TEST(CreateDirectory, ReadOnlyParentIsAccessDenied) {
  testing::TempDesktop desktop;
  ASSERT_EQ(VUCREATEDIRECTORY(desktop.path("locked")), 0);
  chmod(desktop.path("locked").c_str(), 0555);
  // Permissions do not bind the superuser; sysfs refuses new folders to everyone.
  const std::string parent = geteuid() == 0 ? "/sys" : desktop.path("locked");
  EXPECT_EQ(VUCREATEDIRECTORY(parent + "/inner/more"), 5);
  chmod(desktop.path("locked").c_str(), 0755);
}

}  // namespace
}  // namespace os
