#include "platform/files/cask_header_map.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <string>

#include "tests/support/scratch_folder.h"

namespace files {
namespace {

void run(sqlite3* db, const char* sql) {
  ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql;
}

// The mapped header follows every commit of another connection at once, and tells a file
// whose commits leave the counter alone by answering none.
TEST(CaskHeaderMap, FollowsCommitsOfOtherConnectionsInRollbackJournalModeOnly) {
  support::ScratchFolder folder;
  const std::string path = folder.file("data.db");
  sqlite3* writer = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &writer), SQLITE_OK);
  run(writer, "PRAGMA journal_mode=DELETE; CREATE TABLE t(x)");

  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  CaskHeaderMap header;
  EXPECT_EQ(header.changeCounter(), std::nullopt) << "nothing mapped yet";
  header.map(fd);
  ASSERT_TRUE(header.mapped());
  const std::optional<std::uint32_t> before = header.changeCounter();
  ASSERT_TRUE(before.has_value());
  for (int commit = 1; commit <= 3; ++commit) {
    run(writer, "INSERT INTO t VALUES(1)");
    EXPECT_EQ(header.changeCounter(), *before + static_cast<std::uint32_t>(commit));
  }

  run(writer, "PRAGMA journal_mode=WAL");
  run(writer, "INSERT INTO t VALUES(2)");
  EXPECT_EQ(header.changeCounter(), std::nullopt) << "a file in write-ahead-log mode";
  sqlite3_close(writer);

  header.unmap();
  EXPECT_FALSE(header.mapped());
  EXPECT_EQ(header.changeCounter(), std::nullopt);
  close(fd);
}

}  // namespace
}  // namespace files
