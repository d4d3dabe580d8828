// What a creation of a data file killed half-way leaves beside it ("<file>.new" and a number,
// and its journal) is removed by the next open or creation of that file, and nothing else is.
#include "platform/files/cask_creation_files.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/files/cask_data_file.h"
#include "tests/files/driver_fixture.h"
#include "tests/support/child_process.h"

namespace files::test {
namespace {

using runtime::ERRORCODE;
using support::writeFile;

// The first bytes of a data file of ours: the header with our application id.
std::string ourHeader() {
  std::string header(100, '\0');
  header.replace(0, sizeof kSqliteMagic, kSqliteMagic, sizeof kSqliteMagic);
  for (int i = 0; i < 4; ++i)
    header[68 + static_cast<std::size_t>(i)] =
        static_cast<char>(kCaskApplicationId >> (24 - 8 * i));
  return header;
}

std::string journalHeader() {
  return std::string("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7", 8) + std::string(20, '\0');
}

TEST(CreationLeftovers, TheNextOpenRemovesThoseOfItsFileAndNothingElse) {
  support::ScratchFolder folder;
  const std::string file = folder.file("people.dat");
  const struct {
    const char* name;  // beside the data file
    std::string content;
    bool removed;
  } cases[] = {
      {"people.dat.new123456", "", true},
      {"people.dat.new7", ourHeader() + std::string(8000, '\0'), true},
      {"people.dat.new7-journal", journalHeader(), true},
      {"people.dat.new88", std::string(4096, '\0'), true},
      {"people.dat.new99-journal", journalHeader(), true},  // its file already gone
      {"people.dat.new1234567", "", false},                 // not a number of six digits
      {"people.dat.newer", "", false},
      {"people.dat.new5.bak", "", false},
      {"other.dat.new123", "", false},  // another file's
      {"people.dat.new42", "name,size\nnot ours,1\n", false},
      {"people.dat.new43", ourHeader() + std::string(1 << 20, 'x'), false},  // too big to be one
      {"people.dat.new44-journal", "a journal that is not one", false},
  };
  for (const auto& c : cases) writeFile(folder.file(c.name), c.content);
  auto people = declare(kPersonSpec, file);
  CREATE(*people);
  ASSERT_EQ(ERRORCODE(), 0) << runtime::FILEERROR();
  for (const auto& c : cases) {
    EXPECT_NE(std::filesystem::exists(folder.file(c.name)), c.removed) << c.name;
  }

  // The same when the file is opened rather than created.
  writeFile(folder.file("people.dat.new5"), "");
  OPEN(*people, 0x42);
  EXPECT_EQ(ERRORCODE(), 0) << runtime::FILEERROR();
  EXPECT_FALSE(std::filesystem::exists(folder.file("people.dat.new5")));
  CLOSE(*people);
}

// A creation still at work in another process holds its temporary file: an open of the file
// leaves it; once that process is killed, the next open removes what it left.
TEST(CreationLeftovers, ACreationAtWorkIsLeftAndRemovedOnceItWasKilled) {
  support::ScratchFolder folder;
  const std::string file = folder.file("people.dat");
  auto people = declare(kPersonSpec, file);
  CREATE(*people);
  ASSERT_EQ(ERRORCODE(), 0);
  support::ChildProcess creation([&](support::ChildSide& side) {
    std::string temporary;
    if (makeCreationFile(file, temporary) < 0) return 1;
    writeFile(temporary + "-journal", journalHeader());
    side.pause();  // until killed
    return 0;
  });
  ASSERT_TRUE(creation.waitForPause()) << creation.wait().text();
  const auto leftovers = [&] {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
      count += entry.path().filename().string().starts_with("people.dat.new");
    return count;
  };
  EXPECT_EQ(leftovers(), 2);
  OPEN(*people, 0x42);
  CLOSE(*people);
  EXPECT_EQ(leftovers(), 2) << "a creation at work is left alone";
  ASSERT_TRUE(creation.kill().killedBy(SIGKILL));
  OPEN(*people, 0x42);
  EXPECT_EQ(ERRORCODE(), 0);
  CLOSE(*people);
  EXPECT_EQ(leftovers(), 0);
}

}  // namespace
}  // namespace files::test
