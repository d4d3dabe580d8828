#include "platform/runtime/whole_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "platform/runtime/error_state.h"
#include "platform/runtime/ini_file.h"
#include "tests/support/scratch_folder.h"

namespace runtime {
namespace {

using support::ScratchFolder;

// Files a reader must refuse rather than wait on or read without end; each is made at `path`.
struct HostileFile {
  const char* what;
  std::function<void(const std::string& path)> make;
  int error;
};

const HostileFile kHostileFiles[] = {
    {"a pipe with no writer",
     [](const std::string& path) { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); }, AccessDeniedErr},
    {"a link to an endless device",
     [](const std::string& path) { ASSERT_EQ(symlink("/dev/zero", path.c_str()), 0); },
     AccessDeniedErr},
    {"a folder", [](const std::string& path) { std::filesystem::create_directory(path); },
     AccessDeniedErr},
    {"a file over the limit",
     [](const std::string& path) {
       support::writeFile(path, "[a]\n");
       std::filesystem::resize_file(path, kWholeFileLimit + 1);
     },
     OutOfMemoryErr},
};

TEST(WholeFile, RefusesWhatIsNotARegularFileOfSaneSize) {
  for (const HostileFile& hostile : kHostileFiles) {
    SCOPED_TRACE(hostile.what);
    ScratchFolder folder;
    const std::string path = folder.file("game_dock.INI");
    hostile.make(path);
    struct stat before {};
    ASSERT_EQ(lstat(path.c_str(), &before), 0);
    std::string content = "left over";
    EXPECT_EQ(readWholeFile(path, content), hostile.error);
    EXPECT_TRUE(content.empty());

    // The INI services treat it as unreadable: the default comes back and nothing replaces it.
    EXPECT_EQ(GETINI("a", "b", "default", path), "default");
    EXPECT_EQ(ERRORCODE(), hostile.error);
    EXPECT_FALSE(PUTINI("a", "b", "c", path));
    struct stat after {};
    ASSERT_EQ(lstat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_size, before.st_size);
  }
}

TEST(WholeFile, ReadsARegularFileUpToTheLimit) {
  ScratchFolder folder;
  const std::string path = folder.file("big");
  std::string expected(kWholeFileLimit, 'x');
  support::writeFile(path, expected);
  std::string content;
  EXPECT_EQ(readWholeFile(path, content), NoError);
  EXPECT_EQ(content, expected);
}

// A whole file is created only where none stands; one standing keeps its bytes.
TEST(WholeFile, CreateNeverReplacesAFile) {
  ScratchFolder folder;
  const std::string path = folder.file("marker");
  EXPECT_EQ(createWholeFile(path, "first"), NoError);
  EXPECT_EQ(createWholeFile(path, "second"), AccessDeniedErr);
  EXPECT_EQ(support::readFile(path), "first");
  EXPECT_EQ(replaceWholeFile(path, "third"), NoError);
  EXPECT_EQ(support::readFile(path), "third");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                          std::filesystem::directory_iterator()),
            1)
      << "no temporary file is left beside it";
}

}  // namespace
}  // namespace runtime
