// Files around a data file that are not its own (journals, write-ahead logs, copies in another
// mode or of a later version): the driver refuses them with 36 before SQLite may write to any of
// them, and still lets SQLite roll back an interrupted write of its own.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "platform/files/cask_data_file.h"
#include "tests/files/driver_fixture.h"
#include "tests/support/child_process.h"

namespace files::test {
namespace {

namespace fs = std::filesystem;
using runtime::ERRORCODE;
using support::readFile;
using support::writeFile;

// Runs `sql` on the database at `path` with a tiny page cache in a child process that then dies
// inside its transaction, as a crash would: the journal it leaves is hot (written and synced,
// its first byte set) and the database holds some of the transaction's pages.
void crashInsideTransaction(const std::string& path, const std::string& sql) {
  support::ChildProcess child([&] {
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) return 1;
    const std::string script = "PRAGMA cache_size=10; BEGIN; " + sql;
    return sqlite3_exec(db, script.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK ? 0 : 2;
  });
  ASSERT_TRUE(child.wait().exitedWith(0)) << child.wait().text();
  const std::string journal = readFile(path + "-journal");
  ASSERT_FALSE(journal.empty());
  ASSERT_NE(journal[0], '\0') << "the journal is not hot";
}

void execute(const std::string& path, const char* sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  sqlite3_close(db);
}

// Adds about 600 kB in new pages; the table it creates changes the first page.
constexpr const char* kGrow =
    "CREATE TABLE grown(x); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
    "WHERE i < 600) INSERT INTO grown SELECT randomblob(1000) FROM n;";
// Rewrites every record of the people table without touching the first page.
constexpr const char* kRewrite = "UPDATE r1 SET rec = rec, m1 = randomblob(1000);";

class ForeignFiles : public ::testing::Test {
 public:
  std::string path() const { return folder.file("people.dat"); }
  std::string other() const { return folder.file("other.db"); }

  void makePeople(const std::string& at) {
    auto file = declare(kPersonSpec, at);
    CREATE(*file);
    OPEN(*file, 0x12);
    ASSERT_EQ(ERRORCODE(), 0) << runtime::FILEERROR();
    for (int id = 1; id <= 200; ++id) {
      setPerson(*file, id, "person " + std::to_string(id), "city", id, std::string(300, 'n'));
      ADD(*file);
    }
    CLOSE(*file);
  }

  void makeForeignDatabase(const std::string& at) {
    execute(at, "CREATE TABLE t(x); INSERT INTO t VALUES(1);");
  }

  // The size and a digest of the bytes of every file in the folder, by name.
  std::map<std::string, std::string> snapshot() const {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder.path())) {
      const std::string name = entry.path().filename().string();
      if (!entry.is_regular_file()) {
        files[name] = "not a file";
        continue;
      }
      const std::string bytes = readFile(entry.path().string());
      files[name] = std::to_string(bytes.size()) + " bytes, digest " +
                    std::to_string(std::hash<std::string>{}(bytes));
    }
    return files;
  }

  support::ScratchFolder folder;
};

TEST_F(ForeignFiles, WhatIsNotOursAnswers36AndEveryFileStaysAsItWas) {
  const struct {
    const char* what;
    std::function<void(ForeignFiles&)> arrange;
  } cases[] = {
      {"a foreign journal beside a text file",
       [](ForeignFiles& t) {
         t.makeForeignDatabase(t.other());
         crashInsideTransaction(t.other(), kGrow);
         writeFile(t.path(), std::string(24000, 't'));
         fs::rename(t.other() + "-journal", t.path() + "-journal");
       }},
      {"a foreign journal beside a good file",
       [](ForeignFiles& t) {
         t.makePeople(t.path());
         t.makeForeignDatabase(t.other());
         crashInsideTransaction(t.other(), kGrow);
         fs::rename(t.other() + "-journal", t.path() + "-journal");
       }},
      {"a journal of bytes beside a good file",
       [](ForeignFiles& t) {
         t.makePeople(t.path());
         writeFile(t.path() + "-journal", std::string(5000, '\x7f'));
       }},
      {"a foreign database with its own hot journal",
       [](ForeignFiles& t) {
         t.makeForeignDatabase(t.path());
         crashInsideTransaction(t.path(), kGrow);
       }},
      {"a pipe for the file",
       [](ForeignFiles& t) { ASSERT_EQ(mkfifo(t.path().c_str(), 0600), 0); }},
      {"a pipe for a journal",
       [](ForeignFiles& t) {
         t.makePeople(t.path());
         ASSERT_EQ(mkfifo((t.path() + "-journal").c_str(), 0600), 0);
       }},
      {"a copy switched to WAL mode",
       [](ForeignFiles& t) {
         t.makePeople(t.path());
         execute(t.path(), "PRAGMA journal_mode=WAL;");
       }},
      {"a write-ahead log beside a good file",
       [](ForeignFiles& t) {
         t.makePeople(t.path());
         writeFile(t.path() + "-wal", "");
       }},
      {"a later format version",
       [](ForeignFiles& t) {
         t.makePeople(t.path());
         execute(t.path(),
                 ("PRAGMA user_version=" + std::to_string(kCaskFormatVersion + 1)).c_str());
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    for (const auto& entry : fs::directory_iterator(folder.path())) fs::remove(entry.path());
    c.arrange(*this);
    const auto before = snapshot();
    for (const int mode : {0x42, 0x40}) {  // a pipe must not hold a read-only open either
      auto file = declare(kPersonSpec, path());
      OPEN(*file, mode);
      EXPECT_EQ(ERRORCODE(), runtime::InvalidDataFileErr) << runtime::FILEERROR();
      CLOSE(*file);
    }
    EXPECT_EQ(snapshot(), before);
  }
}

// A write of our own cut short leaves a hot journal; opening rolls it back to the bytes the file
// held before the write, whether or not the journal holds the file's first page.
TEST_F(ForeignFiles, OurOwnHotJournalIsRolledBack) {
  for (const char* sql : {kGrow, kRewrite}) {
    SCOPED_TRACE(sql);
    for (const auto& entry : fs::directory_iterator(folder.path())) fs::remove(entry.path());
    makePeople(path());
    const std::string before = readFile(path());
    crashInsideTransaction(path(), sql);
    ASSERT_NE(readFile(path()), before) << "the crash left the file unchanged";
    auto file = declare(kPersonSpec, path());
    OPEN(*file, 0x42);
    ASSERT_EQ(ERRORCODE(), 0) << runtime::FILEERROR();
    EXPECT_EQ(RECORDS(*file), 200);
    CLOSE(*file);
    EXPECT_FALSE(fs::exists(path() + "-journal"));
    EXPECT_EQ(readFile(path()), before);
  }
}

}  // namespace
}  // namespace files::test
