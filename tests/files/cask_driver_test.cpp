#include "platform/files/cask_driver.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/files/file_ops.h"
#include "tests/files/driver_fixture.h"
#include "tests/support/child_process.h"

namespace files::test {
namespace {

using runtime::ERRORCODE;

class CaskDriverTest : public PeopleTest {
 protected:
  // Records in physical order 3 1 2 4 5; person 5 has no name (left out of the OPT name key).
  void addPeople() {
    add(3, "carol", "Berlin", 2.5);
    add(1, "Alice", "Paris", 9);
    add(2, "bob", "Berlin", 7);
    add(4, "alice", "Athens", 1);
    add(5, "", "Paris", 9);
  }
};

TEST_F(CaskDriverTest, ReadsInEveryOrderBothWays) {
  addPeople();
  struct Case {
    int key;
    const char* forwards;
    const char* backwards;
  };
  const Case cases[] = {
      {0, "3 1 2 4 5", "5 4 2 1 3"},
      {PId, "1 2 3 4 5", "5 4 3 2 1"},
      // NOCASE with duplicates in record order; the blank name is not in the OPT key.
      {PName, "1 4 2 3", "3 2 4 1"},
      // City ascending, score descending, ties in record order.
      {PCity, "4 2 3 1 5", "5 1 3 2 4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(readIds(c.key), c.forwards);
    EXPECT_EQ(readIds(c.key, true), c.backwards);
  }
  EXPECT_EQ(RECORDS(*file), 5);
}

TEST_F(CaskDriverTest, TurnsAroundAndStopsAtTheEnds) {
  addPeople();
  SET(*file, key(PId));
  std::string seen;
  const auto step = [&](bool forwards) {
    forwards ? NEXT(*file) : PREVIOUS(*file);
    seen += ERRORCODE() == 0 ? std::to_string(person(*file).ID.value()) : "-";
  };
  for (const bool forwards :
       {true, true, true, false, false, false, true, true, true, true, true, true, false})
    step(forwards);
  // After the start (or the end) is passed, the other direction reads from that end again.
  EXPECT_EQ(seen, "12321-12345-5");
}

TEST_F(CaskDriverTest, GetsAndSetsFromTheKeyValuesInTheBuffer) {
  addPeople();
  CLEAR(*file);
  person(*file).ID = 2;
  GET(*file, key(PId));
  ASSERT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(person(*file).NAME.text(), "bob");

  CLEAR(*file);
  person(*file).NAME = "ALICE";
  GET(*file, key(PName));
  ASSERT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(person(*file).ID.value(), 1) << "the first duplicate in record order";

  struct Miss {
    const char* name;
    int id;
  };
  for (const Miss& miss : {Miss{"nobody", 0}, Miss{"", 0}}) {
    SCOPED_TRACE(miss.name);
    CLEAR(*file);
    person(*file).NAME = miss.name;
    GET(*file, key(PName));
    EXPECT_EQ(ERRORCODE(), runtime::RecordNotFoundErr);
    EXPECT_EQ(person(*file).NAME.text(), miss.name) << "the buffer is left alone";
  }

  CLEAR(*file);
  person(*file).NAME = "B";
  SET(*file, key(PName), SetFrom::RecordBuffer);
  NEXT(*file);
  EXPECT_EQ(person(*file).ID.value(), 2);
  person(*file).NAME = "B";
  SET(*file, key(PName), SetFrom::RecordBuffer);
  PREVIOUS(*file);
  EXPECT_EQ(person(*file).ID.value(), 4) << "the last name before B";
  person(*file).NAME = "BOB";
  SET(*file, key(PName), SetFrom::RecordBuffer);
  PREVIOUS(*file);
  EXPECT_EQ(person(*file).ID.value(), 2) << "at or before: bob himself";
}

TEST_F(CaskDriverTest, LongRunsOfEqualKeysReadInOrderAcrossBatchesAndTurns) {
  // Three names of 70 records each, added in turn: reading in name order crosses many batch
  // ends inside each run, and turns inside a run and at its ends.
  const char* const names[] = {"cy", "ann", "BEA"};
  LOGOUT(1, *file);
  for (int id = 1; id <= 210; ++id) add(id, names[id % 3], "Oslo", id);
  COMMIT();
  std::vector<int> order;  // by name without case, then by record number
  for (const int run : {1, 2, 0})
    for (int id = 1; id <= 210; ++id)
      if (id % 3 == run) order.push_back(id);
  std::string forwards;
  std::string backwards;
  for (std::size_t i = 0; i < order.size(); ++i) {
    forwards += (i ? " " : "") + std::to_string(order[i]);
    backwards += (i ? " " : "") + std::to_string(order[order.size() - 1 - i]);
  }
  EXPECT_EQ(readIds(PName), forwards);
  EXPECT_EQ(readIds(PName, true), backwards);

  // Steps (+n forwards, -n backwards) and the index in `order` each one ends on.
  const struct {
    int steps;
    int at;
  } walk[] = {{75, 74}, {-30, 44}, {40, 84}, {-84, 0}, {139, 139}, {-1, 138}, {71, 209}};
  SET(*file, key(PName));
  int at = -1;
  for (const auto& step : walk) {
    for (int i = 0; i < std::abs(step.steps); ++i) {
      step.steps > 0 ? NEXT(*file) : PREVIOUS(*file);
      ASSERT_EQ(ERRORCODE(), 0);
      at += step.steps > 0 ? 1 : -1;
      ASSERT_EQ(person(*file).ID.value(), order[static_cast<std::size_t>(at)]) << at;
    }
    EXPECT_EQ(at, step.at);
  }
  NEXT(*file);
  EXPECT_EQ(ERRORCODE(), kRecordNotAvailableErr);

  CLEAR(*file);
  person(*file).NAME = "bea";
  SET(*file, key(PName), SetFrom::RecordBuffer);
  PREVIOUS(*file);
  EXPECT_EQ(person(*file).ID.value(), order[139]) << "the last of the run at the values";
  SET(*file, key(PName), SetFrom::RecordBuffer);
  NEXT(*file);
  EXPECT_EQ(person(*file).ID.value(), order[70]) << "the first of the run at the values";
}

// A reading that starts where the rows of the reading before lie takes them from there, and so
// does a GET by that order's key: whatever came before, it must read what a handle that has
// read nothing reads from the same file.
TEST_F(CaskDriverTest, StartsAndGetsAmongTheRowsJustReadAsAFreshHandleDoes) {
  const char* const names[] = {"cy", "ann", "BEA", "dee"};
  LOGOUT(1, *file);
  for (int id = 1; id <= 120; ++id) add(id, names[id % 4 == 0 ? 3 : id % 3], "Oslo", id);
  COMMIT();
  auto fresh = declare(kPersonSpec, folder.file("people.dat"));
  OPEN(*fresh, 0x42);
  ASSERT_EQ(ERRORCODE(), 0);
  // The ids of `count` records after a start at `name` (empty: from the first or last).
  const auto readFrom = [&](FileDeclaration& f, const char* name, bool forwards, int count) {
    CLEAR(f);
    person(f).NAME = name;
    SET(f, *f.key(PName), *name ? SetFrom::RecordBuffer : SetFrom::KeyStart);
    std::string ids;
    for (int i = 0; i < count; ++i) {
      forwards ? NEXT(f) : PREVIOUS(f);
      ids += ERRORCODE() == 0 ? std::to_string(person(f).ID.value()) + " " : "- ";
    }
    return ids;
  };
  const auto getId = [&](FileDeclaration& f, const char* name) {
    CLEAR(f);
    person(f).NAME = name;
    GET(f, *f.key(PName));
    return ERRORCODE() == 0 ? person(f).ID.value() : -ERRORCODE();
  };
  // Readings that leave rows in hand: how far, which way, from where.
  const struct {
    const char* from;
    bool forwards;
    int count;
  } before[] = {{"", true, 3},      {"", true, 40},   {"", false, 25},   {"bea", true, 12},
                {"bea", false, 50}, {"cy", true, 90}, {"ann", true, 200}};
  const char* const starts[] = {"", "a", "ann", "anna", "BEA", "c", "cy", "dee", "zz"};
  for (const auto& b : before) {
    for (const char* start : starts) {
      for (const bool forwards : {true, false}) {
        SCOPED_TRACE(std::string(b.from) + (b.forwards ? " +" : " -") + std::to_string(b.count) +
                     " then " + start + (forwards ? " +" : " -"));
        readFrom(*file, b.from, b.forwards, b.count);
        EXPECT_EQ(readFrom(*file, start, forwards, 30), readFrom(*fresh, start, forwards, 30));
        readFrom(*file, b.from, b.forwards, b.count);
        EXPECT_EQ(getId(*file, start), getId(*fresh, start));
      }
    }
  }
  // Another user of the handle reads in another order in between; physical order starts again.
  readFrom(*file, "bea", true, 12);
  SET(*file, key(PId));
  for (int i = 0; i < 5; ++i) NEXT(*file);
  EXPECT_EQ(readFrom(*file, "bea", true, 30), readFrom(*fresh, "bea", true, 30));
  const auto physical = [&](FileDeclaration& f, int count) {
    SET(f);
    std::string ids;
    for (int i = 0; i < count; ++i) {
      NEXT(f);
      ids += std::to_string(person(f).ID.value()) + " ";
    }
    return ids;
  };
  physical(*file, 7);
  EXPECT_EQ(physical(*file, 20), physical(*fresh, 20));
}

// Rows in hand are taken again only while no connection has changed the file: a record
// changed, deleted or added by another handle since is read as it now is.
TEST_F(CaskDriverTest, RowsInHandGiveWayToChangesByOtherConnections) {
  addPeople();
  auto other = declare(kPersonSpec, folder.file("people.dat"));
  OPEN(*other, 0x42);
  ASSERT_EQ(ERRORCODE(), 0);
  const auto readFrom = [&](int id) {
    CLEAR(*file);
    person(*file).ID = id;
    SET(*file, key(PId), SetFrom::RecordBuffer);
    std::string seen;
    for (NEXT(*file); ERRORCODE() == 0; NEXT(*file))
      seen += std::to_string(person(*file).ID.value()) + person(*file).NAME.text() + " ";
    return seen;
  };
  const auto getName = [&](int id) {
    CLEAR(*file);
    person(*file).ID = id;
    GET(*file, key(PId));
    return ERRORCODE() == 0 ? person(*file).NAME.text() : "#" + std::to_string(ERRORCODE());
  };
  const auto change = [&](int id, const char* name) {
    CLEAR(*other);
    person(*other).ID = id;
    GET(*other, *other->key(PId));
    person(*other).NAME = name;
    PUT(*other);
    ASSERT_EQ(ERRORCODE(), 0);
  };
  SET(*file, key(PId));
  NEXT(*file);
  NEXT(*file);  // rows 1 to 5 in hand
  EXPECT_EQ(getName(3), "carol");
  change(3, "cora");
  EXPECT_EQ(getName(3), "cora") << "a record changed since";
  EXPECT_EQ(readFrom(2), "2bob 3cora 4alice 5 ");
  change(4, "ada");
  EXPECT_EQ(readFrom(2), "2bob 3cora 4ada 5 ");
  CLEAR(*other);
  person(*other).ID = 3;
  GET(*other, *other->key(PId));
  DELETE(*other);
  EXPECT_EQ(getName(3), "#35") << "a record deleted since";
  EXPECT_EQ(readFrom(2), "2bob 4ada 5 ");
  setPerson(*other, 6, "fay", "Rome", 1);
  ADD(*other);
  EXPECT_EQ(readFrom(4), "4ada 5 6fay ") << "a record added since";
  // Changes through this handle itself.
  CLEAR(*file);
  person(*file).ID = 5;
  GET(*file, key(PId));
  person(*file).NAME = "eve";
  PUT(*file);
  EXPECT_EQ(readFrom(4), "4ada 5eve 6fay ");
  EXPECT_EQ(getName(5), "eve");
}

TEST_F(CaskDriverTest, RefusesDuplicatesInUniqueKeysOnly) {
  addPeople();
  setPerson(*file, 2, "another bob", "Rome", 1);
  ADD(*file);
  EXPECT_EQ(ERRORCODE(), runtime::DuplicateKeyErr);
  add(6, "BOB", "Berlin", 7);  // same NOCASE name and same city and score: duplicates allowed
  EXPECT_EQ(RECORDS(*file), 6);
  EXPECT_EQ(readIds(PName), "1 4 2 6 3");
}

TEST_F(CaskDriverTest, PutAndDeleteWorkOnTheCurrentRecord) {
  PUT(*file);
  EXPECT_EQ(ERRORCODE(), kRecordNotAvailableErr);
  addPeople();
  CLEAR(*file);
  person(*file).ID = 1;
  GET(*file, key(PId));
  person(*file).NAME = "zoe";
  PUT(*file);
  ASSERT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(readIds(PName), "4 2 3 1");
  person(*file).ID = 3;  // a changed unique key that collides
  PUT(*file);
  EXPECT_EQ(ERRORCODE(), runtime::DuplicateKeyErr);

  person(*file).ID = 4;
  GET(*file, key(PId));
  DELETE(*file);
  ASSERT_EQ(ERRORCODE(), 0);
  DELETE(*file);
  EXPECT_EQ(ERRORCODE(), kRecordNotAvailableErr);
  EXPECT_EQ(readIds(PId), "1 2 3 5");
}

TEST_F(CaskDriverTest, ReadingGoesOnAcrossWrites) {
  addPeople();
  SET(*file, key(PId));
  NEXT(*file);  // 1
  NEXT(*file);  // 2
  person(*file).SCORE = 100;
  PUT(*file);
  add(7, "gus", "Oslo", 0);  // after the current record in key order
  CLEAR(*file);
  person(*file).ID = 3;
  GET(*file, key(PId));
  DELETE(*file);  // the next one in key order
  std::string rest;
  for (NEXT(*file); ERRORCODE() == 0; NEXT(*file)) rest += std::to_string(person(*file).ID.value());
  EXPECT_EQ(rest, "457");
}

TEST_F(CaskDriverTest, MemosComeBackByteForByte) {
  std::string everyByte;
  for (int i = 0; i < 1000; ++i) everyByte.push_back(static_cast<char>((i * 7) % 256));
  const std::string cases[] = {
      everyByte,
      std::string("ends with zeros\0\0\0", 18),
      std::string(1000, '\0'),
      std::string(1000, ' '),
      "",
  };
  int id = 0;
  for (const std::string& notes : cases) add(++id, "n", "c", 0, notes);
  id = 0;
  for (const std::string& notes : cases) {
    CLEAR(*file);
    person(*file).ID = ++id;
    GET(*file, key(PId));
    ASSERT_EQ(ERRORCODE(), 0);
    EXPECT_EQ(file->memo(1)->content(), notes) << "memo " << id;
  }
  SET(*file);
  NEXT(*file);
  EXPECT_EQ(file->memo(1)->content(), everyByte) << "NEXT reads the memo too";
}

TEST_F(CaskDriverTest, AppendLeavesKeysStaleUntilBuild) {
  add(1, "a", "x", 0);
  for (const int id : {2, 3, 2}) {  // two records with the same unique id
    setPerson(*file, id, "n", "y", 0);
    APPEND(*file);
    ASSERT_EQ(ERRORCODE(), 0);
  }
  SET(*file, key(PId));
  EXPECT_EQ(ERRORCODE(), runtime::KeyFileRebuildErr);
  CLOSE(*file);
  OPEN(*file, 0x12);
  EXPECT_EQ(ERRORCODE(), runtime::KeyFileRebuildErr);
  EXPECT_EQ(STATUS(*file), 0x12) << "the file stays open";
  EXPECT_EQ(RECORDS(*file), 4);
  EXPECT_EQ(readIds(0), "1 2 3 2") << "physical order still reads";
  BUILD(*file);
  EXPECT_EQ(ERRORCODE(), runtime::DuplicateKeyErr);
  setPerson(*file, 2, "n", "y", 0);
  GET(*file, key(PName));
  EXPECT_EQ(ERRORCODE(), runtime::KeyFileRebuildErr) << "a failed build leaves them stale";

  SET(*file);
  for (NEXT(*file); ERRORCODE() == 0; NEXT(*file)) {
    if (person(*file).ID.value() == 2 && person(*file).CITY.clipped() == "y") {
      person(*file).ID = 9;
      break;
    }
  }
  // PUT needs fresh keys; remove the duplicate instead and build again.
  DELETE(*file);
  ASSERT_EQ(ERRORCODE(), 0);
  BUILD(*file);
  ASSERT_EQ(ERRORCODE(), 0) << runtime::FILEERROR();
  CLOSE(*file);
  OPEN(*file, 0x42);
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(readIds(PId), "1 2 3");
}

// Runs `sql` on the people file with plain SQLite, as another program (or an earlier version of
// the driver) would write it; the file must not be open.
void changeStoredFile(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
      << sqlite3_errmsg(db);
  sqlite3_close(db);
}

TEST_F(CaskDriverTest, BuildComputesTheImagesOfRecordsStoredWithout) {
  addPeople();
  for (const int id : {7, 6}) {
    setPerson(*file, id, id == 7 ? "Zoe" : "", "Athens", id);
    APPEND(*file);
    ASSERT_EQ(ERRORCODE(), 0);
  }
  CLOSE(*file);
  // An earlier driver stored appended records without key images; records 1 and 7 stand so.
  changeStoredFile(folder.file("people.dat"),
                   "UPDATE r1 SET k1 = NULL, k2 = NULL, k3 = NULL WHERE rowid IN (2, 6)");
  OPEN(*file, 0x42);
  ASSERT_EQ(ERRORCODE(), runtime::KeyFileRebuildErr);
  BUILD(*file);
  ASSERT_EQ(ERRORCODE(), 0) << runtime::FILEERROR();
  EXPECT_EQ(readIds(PId), "1 2 3 4 5 6 7");
  EXPECT_EQ(readIds(PName), "1 4 2 3 7") << "the records without a name are left out";
  EXPECT_EQ(readIds(PCity), "7 6 4 2 3 1 5");

  // A damaged image is computed again when the driver is told to build every record's keys.
  CLOSE(*file);
  changeStoredFile(folder.file("people.dat"),
                   "UPDATE r1 SET k1 = x'00' WHERE rowid = 3; UPDATE cask_table SET stale = 1");
  OPEN(*file, 0x42);
  SEND(*file, "FULLBUILD=on");
  BUILD(*file);
  ASSERT_EQ(ERRORCODE(), 0) << runtime::FILEERROR();
  setPerson(*file, 2, "", "", 0);
  GET(*file, key(PId));
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(readIds(PId), "1 2 3 4 5 6 7");
}

// A closed file keeps its connection for the next open: whatever happened to the file in
// between, the next open reads the file as it is now.
// The key images the people file stores, record by record ("id: k1 k2 k3", NULL for none),
// read with plain SQLite; the file must not be open.
std::string storedKeyImages(const std::string& path) {
  sqlite3* db = nullptr;
  std::string images;
  EXPECT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  sqlite3_exec(
      db, "SELECT id, quote(k1), quote(k2), quote(k3) FROM r1 ORDER BY id",
      [](void* out, int columns, char** values, char**) {
        std::string& text = *static_cast<std::string*>(out);
        text += values[0] + std::string(":");
        for (int c = 1; c < columns; ++c) text += std::string(" ") + values[c];
        text += "\n";
        return 0;
      },
      &images, nullptr);
  sqlite3_close(db);
  return images;
}

// The key images an APPEND stores are those a key build computes: a build that computes only
// the missing ones, one that computes them all and one after an earlier driver stored none end
// with the same images, and the records read in every order as they do. A record whose OPT
// keys are all blank stores none and is in none of those keys.
TEST_F(CaskDriverTest, KeyImagesStoredAtAppendAreThoseABuildComputes) {
  for (const int id : {3, 1, 2, 4, 5}) {
    // Persons 2 and 5 have no name (left out of the OPT name key), person 5 no city either.
    setPerson(*file, id,
              id == 5 || id == 2 ? ""
              : id == 4          ? "ALICE"
                                 : "alice",
              id == 5 ? "" : "Oslo", id);
    APPEND(*file);
    ASSERT_EQ(ERRORCODE(), 0) << runtime::FILEERROR();
  }
  CLOSE(*file);
  const std::string path = folder.file("people.dat");
  const std::string appended = storedKeyImages(path);
  EXPECT_NE(appended.find("\n5: X'"), std::string::npos) << appended;
  EXPECT_NE(appended.find(" NULL "), std::string::npos) << "the blank names store no image";

  struct Build {
    const char* what;
    const char* change;  // SQL run on the file before the build
    bool fullBuild;
  };
  const Build builds[] = {
      {"the images missing computed", "", false},
      {"every image computed", "UPDATE cask_table SET stale = 1", true},
      {"the images of an earlier driver's appends computed",
       "UPDATE r1 SET k1 = NULL, k2 = NULL, k3 = NULL; UPDATE cask_table SET stale = 1", false},
  };
  for (const Build& build : builds) {
    SCOPED_TRACE(build.what);
    changeStoredFile(path, build.change);
    OPEN(*file, 0x42);
    ASSERT_EQ(ERRORCODE(), runtime::KeyFileRebuildErr);
    if (build.fullBuild) SEND(*file, "FULLBUILD=on");
    BUILD(*file);
    ASSERT_EQ(ERRORCODE(), 0) << runtime::FILEERROR();
    EXPECT_EQ(readIds(PId), "1 2 3 4 5");
    EXPECT_EQ(readIds(PName), "3 1 4") << "equal names in record order";
    EXPECT_EQ(readIds(PCity), "5 4 3 2 1") << "the blank city first, then by score downwards";
    CLOSE(*file);
    EXPECT_EQ(storedKeyImages(path), appended);
  }
}

// A file whose records were all stored without key images, more than a build reads at a time:
// the build computes every image, as the APPENDs store them, and every key reads in order.
TEST_F(CaskDriverTest, ABuildComputesTheImagesOfAFileOfRecordsAllStoredWithout) {
  constexpr int kRecords = 1300;
  std::string ids;
  std::string byName;  // names "n<id mod 7>" without case, equal names in record order
  LOGOUT(1, *file);
  for (int id = 1; id <= kRecords; ++id) {
    setPerson(*file, id, (id % 2 == 0 ? "N" : "n") + std::to_string(id % 7), "Oslo", -id);
    APPEND(*file);
    ASSERT_EQ(ERRORCODE(), 0) << runtime::FILEERROR();
    ids += (id > 1 ? " " : "") + std::to_string(id);
  }
  COMMIT();
  for (int name = 0; name < 7; ++name)
    for (int id = 1; id <= kRecords; ++id)
      if (id % 7 == name) byName += (byName.empty() ? "" : " ") + std::to_string(id);
  CLOSE(*file);
  const std::string path = folder.file("people.dat");
  const std::string appended = storedKeyImages(path);
  changeStoredFile(path, "UPDATE r1 SET k1 = NULL, k2 = NULL, k3 = NULL");
  OPEN(*file, 0x42);
  BUILD(*file);
  ASSERT_EQ(ERRORCODE(), 0) << runtime::FILEERROR();
  EXPECT_EQ(readIds(PId), ids);
  EXPECT_EQ(readIds(PName), byName);
  EXPECT_EQ(readIds(PCity), ids) << "one city, the scores downwards";
  CLOSE(*file);
  EXPECT_EQ(storedKeyImages(path), appended);
}

TEST_F(CaskDriverTest, AnOpenAfterAChangeElsewhereReadsTheFileAsItIsNow) {
  CLOSE(*file);
  const std::string path = folder.file("people.dat");
  const auto addWithAnother = [&](const std::string& name, int id) {
    auto other = declare(kPersonSpec, name);
    OPEN(*other, 0x42);
    setPerson(*other, id, "n" + std::to_string(id), "x", 0);
    ADD(*other);
    ASSERT_EQ(ERRORCODE(), 0) << runtime::FILEERROR();
    CLOSE(*other);
  };
  const auto fileWith = [&](const std::string& name, int id) {
    auto other = declare(kPersonSpec, name);
    CREATE(*other);
    ASSERT_EQ(ERRORCODE(), 0) << runtime::FILEERROR();
    addWithAnother(name, id);
  };
  struct Case {
    const char* change;
    std::function<void()> make;
    const char* ids;
  };
  const std::vector<Case> cases = {
      {"another open added a record", [&] { addWithAnother(path, 7); }, "1 7"},
      {"another file was moved over it",
       [&] {
         fileWith(folder.file("other.dat"), 8);
         std::filesystem::rename(folder.file("other.dat"), path);
       },
       "8"},
      {"it was removed and made again",
       [&] {
         std::filesystem::remove(path);
         fileWith(path, 9);
       },
       "9"},
      {"its table was created anew", [&] { fileWith(path, 6); }, "6"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.change);
    std::filesystem::remove(path);
    fileWith(path, 1);
    OPEN(*file, 0x42);
    ASSERT_EQ(ERRORCODE(), 0);
    EXPECT_EQ(readIds(PId), "1");
    CLOSE(*file);
    c.make();
    OPEN(*file, 0x42);
    ASSERT_EQ(ERRORCODE(), 0) << runtime::FILEERROR();
    EXPECT_EQ(readIds(PId), c.ids);
    setPerson(*file, 1, "", "", 0);
    GET(*file, key(PId));
    EXPECT_EQ(ERRORCODE(), std::string(c.ids) == "1 7" ? 0 : runtime::RecordNotFoundErr);
    CLOSE(*file);
  }
}

// How many files inside `folder` this process holds open although they were removed.
int removedFilesHeld(const std::filesystem::path& folder) {
  int held = 0;
  for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    const std::string target = std::filesystem::read_symlink(fd.path(), error).string();
    if (!error && target.starts_with(folder.string()) && target.ends_with(" (deleted)")) ++held;
  }
  return held;
}

// A file whose connection is kept is then removed or has another put in its place: the kept
// connection lets go of the old file, so that its space is given back by the next open of any
// file at the latest (at once when the program itself put the other in place), and the next
// open of the name reads the file that stands there now.
TEST_F(CaskDriverTest, AKeptConnectionLetsGoOfAFileRemovedOrReplaced) {
  CLOSE(*file);
  const std::string path = folder.file("people.dat");
  const auto fileWith = [&](const std::string& name, int id) {
    auto other = declare(kPersonSpec, name);
    CREATE(*other);
    OPEN(*other, 0x42);
    setPerson(*other, id, "n", "x", 0);
    ADD(*other);
    ASSERT_EQ(ERRORCODE(), 0) << runtime::FILEERROR();
    CLOSE(*other);
  };
  struct Case {
    const char* change;
    std::function<void()> make;
    bool atOnce;      // the old file is let go of at once, before any other open
    const char* ids;  // what the name holds afterwards; nullptr: nothing stands there
  };
  const std::vector<Case> cases = {
      {"the program put another file in its place",
       [&] {
         fileWith(folder.file("backup.dat"), 8);
         ASSERT_EQ(replaceNamedFile(folder.file("backup.dat"), path), 0);
       },
       true, "8"},
      {"another program moved a file over it",
       [&] {
         fileWith(folder.file("other.dat"), 9);
         std::filesystem::rename(folder.file("other.dat"), path);
       },
       false, "9"},
      {"another program removed it", [&] { std::filesystem::remove(path); }, false, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.change);
    std::filesystem::remove(path);
    fileWith(path, 1);
    OPEN(*file, 0x42);
    CLOSE(*file);  // its connection kept
    c.make();
    if (c.atOnce) {
      EXPECT_EQ(removedFilesHeld(folder.path()), 0);
    }
    fileWith(folder.file("unrelated.dat"), 2);
    EXPECT_EQ(removedFilesHeld(folder.path()), 0) << "after the next open of any file";
    if (c.ids == nullptr) continue;
    OPEN(*file, 0x42);
    ASSERT_EQ(ERRORCODE(), 0) << runtime::FILEERROR();
    EXPECT_EQ(readIds(PId), c.ids);
    CLOSE(*file);
  }
}

// A connection kept from one kind of open serves the next as that open asks: one kept from a
// read-only open does not refuse the writes of an open for writing, and another process (whose
// copy of the kept connections is not its own) reads and writes the file through connections
// of its own, whose writes the next open here reads.
TEST_F(CaskDriverTest, AKeptConnectionServesOnlyTheOpenAndTheProcessItSuits) {
  add(1, "one", "x", 0);
  CLOSE(*file);
  OPEN(*file, 0x40);
  ASSERT_EQ(ERRORCODE(), 0) << runtime::FILEERROR();
  EXPECT_EQ(readIds(PId), "1");
  CLOSE(*file);
  OPEN(*file, 0x42);
  ASSERT_EQ(ERRORCODE(), 0) << runtime::FILEERROR();
  add(2, "two", "x", 0);
  EXPECT_EQ(readIds(PId), "1 2");
  CLOSE(*file);

  support::ChildProcess child([&] {
    OPEN(*file, 0x42);
    setPerson(*file, 3, "three", "x", 0);
    ADD(*file);
    const int code = ERRORCODE();
    CLOSE(*file);
    return code;
  });
  ASSERT_TRUE(child.wait().exitedWith(0)) << child.wait().text();
  OPEN(*file, 0x42);
  ASSERT_EQ(ERRORCODE(), 0) << runtime::FILEERROR();
  EXPECT_EQ(readIds(PId), "1 2 3");
  add(4, "four", "x", 0);
  EXPECT_EQ(readIds(PId), "1 2 3 4");
}

TEST_F(CaskDriverTest, TransactionsKeepOrDropTheirWrites) {
  add(1, "kept", "x", 0);
  LOGOUT(1, *file);
  ASSERT_EQ(ERRORCODE(), 0);
  add(2, "dropped", "x", 0);
  setPerson(*file, 1, "changed", "x", 0);
  GET(*file, key(PId));
  person(*file).NAME = "changed";
  PUT(*file);
  ROLLBACK();
  EXPECT_EQ(readIds(PId), "1");
  CLEAR(*file);
  person(*file).ID = 1;
  GET(*file, key(PId));
  EXPECT_EQ(person(*file).NAME.text(), "kept");

  LOGOUT(1, *file);
  add(3, "committed", "x", 0);
  COMMIT();
  ASSERT_EQ(ERRORCODE(), 0);
  COMMIT();  // without a transaction: nothing
  EXPECT_EQ(ERRORCODE(), 0);
  ROLLBACK();
  EXPECT_EQ(readIds(PId), "1 3");

  STREAM(*file);
  add(4, "streamed", "x", 0);
  APPEND(*file);  // stale keys inside the stream, rolled back below
  ASSERT_EQ(ERRORCODE(), 0);
  CLOSE(*file);  // an unfinished stream is rolled back
  OPEN(*file, 0x42);
  ASSERT_EQ(ERRORCODE(), 0) << "the keys are fresh again";
  STREAM(*file);
  add(4, "streamed", "x", 0);
  FLUSH(*file);
  ASSERT_EQ(ERRORCODE(), 0);
  ROLLBACK();
  EXPECT_EQ(readIds(PId), "1 3 4");
}

TEST_F(CaskDriverTest, AReadHoldGivesWayToWritesTransactionsAndLongReads) {
  addPeople();
  auto other = declare(kPersonSpec, folder.file("people.dat"));  // another connection
  OPEN(*other, 0x42);
  ASSERT_EQ(ERRORCODE(), 0);
  const auto otherHas = [&](int id) {
    CLEAR(*other);
    person(*other).ID = id;
    GET(*other, *other->key(PId));
    return ERRORCODE() == 0;
  };
  {
    const ReadHold hold(*file);
    EXPECT_EQ(readIds(PId), "1 2 3 4 5");
    add(6, "fay", "Rome", 1);
    EXPECT_TRUE(otherHas(6)) << "a write inside a hold is kept at once";
    LOGOUT(1, *file);
    ASSERT_EQ(ERRORCODE(), 0);
    add(7, "gus", "Rome", 1);
    ROLLBACK();
    EXPECT_EQ(readIds(PId), "1 2 3 4 5 6") << "a transaction inside a hold is its own";
  }
  {
    const ReadHold hold(*file);
    readIds(PId);
    endReadHold(*file);
    setPerson(*other, 8, "hal", "Rome", 1);
    ADD(*other);
    EXPECT_EQ(ERRORCODE(), 0) << "a hold ended early lets other connections write";
  }
  LOGOUT(1, *file);
  for (int id = 10; id < 700; ++id) add(id, "many", "Oslo", id);
  COMMIT();
  {
    const ReadHold hold(*file);
    SET(*file, key(PName));
    for (int i = 0; i < 690; ++i) NEXT(*file);
    ASSERT_EQ(ERRORCODE(), 0);
    // Once the hold's reads come to a large batch, other connections may write again (a
    // lock kept would make this wait for the busy timeout and fail with 5).
    setPerson(*other, 800, "late", "Oslo", 1);
    ADD(*other);
    EXPECT_EQ(ERRORCODE(), 0);
  }
  {
    const ReadHold hold(*file);
    for (int id = 10; id < 700; ++id) {
      CLEAR(*file);
      person(*file).ID = id;
      GET(*file, key(PId));
    }
    setPerson(*other, 801, "later", "Oslo", 1);
    ADD(*other);
    EXPECT_EQ(ERRORCODE(), 0) << "records read by key count as well";
  }
  EXPECT_TRUE(otherHas(800));
}

TEST_F(CaskDriverTest, ReadOnlyOpensRefuseWrites) {
  add(1, "a", "x", 0);
  CLOSE(*file);
  OPEN(*file, 0x40);
  ASSERT_EQ(ERRORCODE(), 0);
  for (void (*write)(FileDeclaration&) : {&ADD, &APPEND, &PUT, &BUILD}) {
    setPerson(*file, 2, "b", "y", 0);
    write(*file);
    EXPECT_EQ(ERRORCODE(), runtime::AccessDeniedErr);
  }
  EXPECT_EQ(RECORDS(*file), 1);
}

TEST_F(CaskDriverTest, StatusNameAndAlreadyOpen) {
  EXPECT_EQ(STATUS(*file), 0x42);
  EXPECT_EQ(NAME(*file), folder.file("people.dat"));
  OPEN(*file, 0x22);
  EXPECT_EQ(ERRORCODE(), runtime::FileAlreadyOpenErr);
  EXPECT_EQ(STATUS(*file), 0x42);
  CLOSE(*file);
  EXPECT_EQ(STATUS(*file), 0);
  CLOSE(*file);
  EXPECT_EQ(ERRORCODE(), 0);
  NEXT(*file);
  EXPECT_EQ(ERRORCODE(), kFileNotOpenErr);
  EXPECT_EQ(EXISTS(folder.file("people.dat")), 1);
  EXPECT_EQ(EXISTS(folder.file("people.dat") + "\\!other"), 1);
  EXPECT_EQ(EXISTS(folder.file("nobody.dat")), 0);
}

TEST_F(CaskDriverTest, ClearBlanksTheBufferAndMemos) {
  setPerson(*file, 1, "a", "b", 3, "notes");
  CLEAR(*file);
  const Person& p = person(*file);
  EXPECT_EQ(p.ID.value(), 0);
  EXPECT_EQ(p.NAME.text(), "");
  EXPECT_EQ(p.CITY.text(), std::string(20, ' '));
  EXPECT_EQ(p.BORN.value(), 0);
  EXPECT_EQ(file->memo(1)->content(), "");
}

TEST_F(CaskDriverTest, SendTakesTheDriverHints) {
  addPeople();
  for (const char* command :
       {"FULLBUILD=on", "QUICKSCAN=ON", "/QUICKSCAN=true", "/VERIFYVIASELECT=TRUE"}) {
    SEND(*file, command);
    EXPECT_EQ(ERRORCODE(), 0) << command;
  }
  EXPECT_EQ(readIds(PId), "1 2 3 4 5");
}

TEST(CaskFileSize, FollowsTheContentNotTheCapacity) {
  // A projects-sized record (10800 bytes) holding short texts.
  struct Big {
    runtime::Long ID;
    runtime::CString<100> DESCRIPTION;
    runtime::CString<10696> LONGDESCRIPTION;
  };
  static_assert(sizeof(Big) == 10800);
  static constexpr runtime::FieldDef fields[] = {
      GD_FIELD(Big, ID, "BIG:ID"),
      GD_FIELD(Big, DESCRIPTION, "BIG:DESCRIPTION"),
      GD_FIELD(Big, LONGDESCRIPTION, "BIG:LONGDESCRIPTION"),
  };
  static constexpr KeySpec keys[] = {{"BIG:P_ID", KeyPrimary, {1}}};
  support::ScratchFolder folder;
  FileSpec spec{
      .label = "big", .prefix = "BIG", .fields = fields, .recordSize = sizeof(Big), .keys = keys};
  auto file = declare(spec, folder.file("big"));
  CREATE(*file);
  OPEN(*file, 0x12);
  ASSERT_EQ(runtime::ERRORCODE(), 0);
  LOGOUT(5, *file);
  constexpr int kRecords = 500;
  for (int id = 1; id <= kRecords; ++id) {
    CLEAR(*file);
    Big& big = file->recordAs<Big>();
    big.ID = id;
    big.DESCRIPTION = "project number " + std::to_string(id);
    big.LONGDESCRIPTION = "a short long description";
    ADD(*file);
  }
  COMMIT();
  CLOSE(*file);
  struct stat info {};
  ASSERT_EQ(stat(folder.file("big.VKF").c_str(), &info), 0) << "the default extension";
  EXPECT_LT(info.st_size, kRecords * 200);
}

}  // namespace
}  // namespace files::test
