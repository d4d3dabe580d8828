// The error table of the Caskfile driver, each condition made for real on disk.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "tests/files/child_process.h"
#include "tests/files/driver_fixture.h"

namespace files::test {
namespace {

using runtime::ERRORCODE;

constexpr runtime::FieldDef kOtherPictureFields[] = {
    kPersonFields[0], kPersonFields[1].withPicture("@s29"),
    kPersonFields[2], kPersonFields[3],
    kPersonFields[4], kPersonFields[5],
};
constexpr KeySpec kCaseSensitiveKeys[] = {
    kPersonKeys[0],
    {"PER:K_NAME", KeyDup | KeyOpt, {2}},
    kPersonKeys[2],
};
constexpr MemoSpec kLongerMemos[] = {{"PER:NOTES", 2000, MemoKindBlob}};

FileSpec specWith(void (*change)(FileSpec&)) {
  FileSpec spec = kPersonSpec;
  if (change != nullptr) change(spec);
  return spec;
}

// The scratch folder, readable by the other user of runInChild, with a people file in it.
class ErrorTable : public ::testing::Test {
 public:
  void SetUp() override {
    std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_all |
                                                    std::filesystem::perms::group_read |
                                                    std::filesystem::perms::group_exec |
                                                    std::filesystem::perms::others_read |
                                                    std::filesystem::perms::others_exec);
  }

  std::string path() const { return folder.file("people.dat"); }

  // Creates the people file with `count` records.
  void makePeople(int count = 40, FileSpec spec = kPersonSpec) {
    auto file = declare(spec, path());
    CREATE(*file);
    OPEN(*file, 0x12);
    ASSERT_EQ(ERRORCODE(), 0) << runtime::FILEERROR();
    LOGOUT(1, *file);
    for (int id = 1; id <= count; ++id) {
      setPerson(*file, id, "person " + std::to_string(id), "city", id, std::string(300, 'n'));
      ADD(*file);
    }
    COMMIT();
    CLOSE(*file);
  }

  // Keeps a child process open on the people file with `mode` until the test ends.
  void holdInChild(int mode) {
    children.push_back(std::make_unique<ChildProcess>([this, mode] {
      static std::unique_ptr<FileDeclaration> held;
      held = declare(kPersonSpec, path());
      OPEN(*held, mode);
      return ERRORCODE();
    }));
  }

  support::ScratchFolder folder;
  std::vector<std::unique_ptr<ChildProcess>> children;
};

struct OpenCase {
  const char* condition;
  std::function<void(ErrorTable&)> arrange;
  int expected;
  int mode = 0x42;
  std::string suffix = {};                   // added to the file name ("\!table", a missing folder)
  void (*declaration)(FileSpec&) = nullptr;  // how the declaration differs from the file's
  bool asOtherUser = false;                  // open as a user that is not root
};

TEST_F(ErrorTable, OpenAnswersEachConditionWithItsCode) {
  const auto people = [](ErrorTable& t) { t.makePeople(); };
  const auto bytes = [](std::string content) {
    return [content](ErrorTable& t) { support::writeFile(t.path(), content); };
  };
  const OpenCase cases[] = {
      {"a missing file", [](ErrorTable&) {}, runtime::FileNotFoundErr},
      {"a missing table in an existing file", people, runtime::FileNotFoundErr, 0x42, "\\!nosuch"},
      {"a missing folder", [](ErrorTable&) {}, runtime::PathNotFoundErr, 0x42, "/nosuch/x"},
      {"another process holds it deny-all",
       [](ErrorTable& t) {
         t.makePeople();
         t.holdInChild(0x12);
       },
       runtime::AccessDeniedErr, 0x40},
      {"another process denies writing, we write",
       [](ErrorTable& t) {
         t.makePeople();
         t.holdInChild(0x22);
       },
       runtime::AccessDeniedErr, 0x42},
      {"another process writes, we deny writing",
       [](ErrorTable& t) {
         t.makePeople();
         t.holdInChild(0x42);
       },
       runtime::AccessDeniedErr, 0x22},
      {"we only read beside a deny-write",
       [](ErrorTable& t) {
         t.makePeople();
         t.holdInChild(0x22);
       },
       0, 0x40},
      {"two deny-none writers",
       [](ErrorTable& t) {
         t.makePeople();
         t.holdInChild(0x42);
       },
       0, 0x42},
      {"no permission to write",
       [](ErrorTable& t) {
         t.makePeople();
         chmod(t.path().c_str(), 0444);
       },
       runtime::AccessDeniedErr,
       0x42,
       {},
       nullptr,
       true},
      {"no permission to read",
       [](ErrorTable& t) {
         t.makePeople();
         chmod(t.path().c_str(), 0);
       },
       runtime::AccessDeniedErr,
       0x40,
       {},
       nullptr,
       true},
      {"not an access mode", people, runtime::AccessDeniedErr, 0x55},
      {"a zero-byte file", bytes(""), runtime::InvalidDataFileErr},
      {"a text file", bytes("name,city\nAlice,Paris\n"), runtime::InvalidDataFileErr},
      {"a foreign SQLite database",
       [](ErrorTable& t) {
         sqlite3* db = nullptr;
         sqlite3_open(t.path().c_str(), &db);
         sqlite3_exec(db, "CREATE TABLE cask_table(x); INSERT INTO cask_table VALUES(1)", nullptr,
                      nullptr, nullptr);
         sqlite3_close(db);
       },
       runtime::InvalidDataFileErr},
      {"a truncated file",
       [](ErrorTable& t) {
         t.makePeople(200);
         struct stat info {};
         stat(t.path().c_str(), &info);
         truncate(t.path().c_str(), info.st_size / 2);
       },
       runtime::InvalidDataFileErr},
      {"another owner",
       people,
       runtime::InvalidDataFileErr,
       0x42,
       {},
       [](FileSpec& s) { s.owner = "secret"; }},
      {"a different record layout",
       people,
       runtime::InvalidRecordDeclarationErr,
       0x42,
       {},
       [](FileSpec& s) { s.fields = kOtherPictureFields; }},
      {"a different memo set",
       people,
       runtime::InvalidRecordDeclarationErr,
       0x42,
       {},
       [](FileSpec& s) { s.memos = kLongerMemos; }},
      {"different key definitions",
       people,
       runtime::InvalidKeyLengthErr,
       0x42,
       {},
       [](FileSpec& s) { s.keys = kCaseSensitiveKeys; }},
      {"keys stale after APPEND",
       [](ErrorTable& t) {
         t.makePeople();
         auto file = declare(kPersonSpec, t.path());
         OPEN(*file, 0x12);
         setPerson(*file, 99, "appended", "x", 0);
         APPEND(*file);
       },
       runtime::KeyFileRebuildErr},
      {"keys stale after a failed BUILD",
       [](ErrorTable& t) {
         t.makePeople();
         auto file = declare(kPersonSpec, t.path());
         OPEN(*file, 0x12);
         setPerson(*file, 1, "a second person 1", "x", 0);
         APPEND(*file);
         BUILD(*file);
       },
       runtime::KeyFileRebuildErr},
      {"a corrupted page",
       [](ErrorTable& t) {
         t.makePeople();
         std::string content = support::readFile(t.path());
         content[100] = '\x55';  // the page type of the table list's page
         support::writeFile(t.path(), content);
       },
       runtime::FileSystemErr},
  };
  for (const OpenCase& c : cases) {
    SCOPED_TRACE(c.condition);
    children.clear();
    std::filesystem::remove_all(folder.path() / "people.dat");
    c.arrange(*this);
    const std::string name = path() + c.suffix;
    const FileSpec spec = specWith(c.declaration);
    int code = 0;
    if (c.asOtherUser) {
      code = runInChild(
          [&] {
            auto file = declare(spec, name);
            OPEN(*file, c.mode);
            return ERRORCODE();
          },
          true);
    } else {
      auto file = declare(spec, name);
      OPEN(*file, c.mode);
      code = ERRORCODE();
      const bool staysOpen = code == 0 || code == runtime::KeyFileRebuildErr;
      EXPECT_EQ(STATUS(*file), staysOpen ? c.mode : 0);
    }
    EXPECT_EQ(code, c.expected) << runtime::FILEERROR();
    chmod(path().c_str(), 0644);
  }
}

TEST_F(ErrorTable, AFileAlreadyOpenAnswers52AndStaysOpen) {
  makePeople();
  auto file = declare(kPersonSpec, path());
  OPEN(*file, 0x22);
  ASSERT_EQ(ERRORCODE(), 0);
  OPEN(*file, 0x42);
  EXPECT_EQ(ERRORCODE(), runtime::FileAlreadyOpenErr);
  EXPECT_EQ(STATUS(*file), 0x22);
}

TEST_F(ErrorTable, LogoutWaitsForAnotherWritersTransactionAndThenGivesUp) {
  makePeople(3);
  ChildProcess writer([this] {
    static std::unique_ptr<FileDeclaration> held;
    held = declare(kPersonSpec, path());
    OPEN(*held, 0x42);
    LOGOUT(1, *held);
    return ERRORCODE();
  });
  auto file = declare(kPersonSpec, path());
  OPEN(*file, 0x42);
  ASSERT_EQ(ERRORCODE(), 0);
  LOGOUT(1, *file);
  EXPECT_EQ(ERRORCODE(), runtime::AccessDeniedErr);
  EXPECT_FALSE(file->openState().handle == nullptr);
  EXPECT_EQ(writer.finish(), 0) << "the other writer had its transaction";
  LOGOUT(1, *file);
  EXPECT_EQ(ERRORCODE(), 0) << "once it is gone a transaction starts";
  ROLLBACK();
}

TEST_F(ErrorTable, AKillDuringATransactionLeavesTheFileAsBefore) {
  makePeople(40);
  ChildProcess writer([this] {
    auto file = declare(kPersonSpec, path());
    OPEN(*file, 0x42);
    LOGOUT(1, *file);
    for (int id = 1000; id < 3000; ++id) {
      setPerson(*file, id, "uncommitted", "x", 0, std::string(500, 'u'));
      ADD(*file);
    }
    CLEAR(*file);
    person(*file).ID = 1;
    GET(*file, *file->key(PId));
    DELETE(*file);
    return ERRORCODE();  // still inside the transaction when killed
  });
  writer.kill();
  auto file = declare(kPersonSpec, path());
  OPEN(*file, 0x42);
  ASSERT_EQ(ERRORCODE(), 0) << runtime::FILEERROR();
  EXPECT_EQ(RECORDS(*file), 40);
  CLEAR(*file);
  person(*file).ID = 1;
  GET(*file, *file->key(PId));
  EXPECT_EQ(ERRORCODE(), 0) << "the deleted record is back";
}

TEST_F(ErrorTable, AKillAmongSingleWritesLosesNoWrittenRecord) {
  makePeople(0);
  support::ChildProcess writer([&](support::ChildSide& side) {
    auto file = declare(kPersonSpec, path());
    OPEN(*file, 0x42);
    for (int id = 1;; ++id) {
      setPerson(*file, id, "p", "x", 0);
      ADD(*file);
      if (ERRORCODE() != 0) return ERRORCODE();
      if (id == 20) side.tell();  // enough written: kill me any time
    }
  });
  // The child never ends by itself; wait for its word, let it write on, then kill it.
  ASSERT_TRUE(writer.waitForPause()) << writer.wait().text();
  usleep(20000);
  writer.kill();
  auto file = declare(kPersonSpec, path());
  OPEN(*file, 0x42);
  ASSERT_EQ(ERRORCODE(), 0);
  const std::int64_t count = RECORDS(*file);
  EXPECT_GE(count, 20);
  // The records that are there are exactly 1 .. count, in key order and complete.
  SET(*file, *file->key(PId));
  for (int id = 1; id <= count; ++id) {
    NEXT(*file);
    ASSERT_EQ(ERRORCODE(), 0);
    ASSERT_EQ(person(*file).ID.value(), id);
  }
}

TEST_F(ErrorTable, AFullDiskGivesAnErrorAndNoHalfWrittenFile) {
  makePeople(40);
  const std::string before = support::readFile(path());
  const int code = runInChild(
      [this] {
        auto file = declare(kPersonSpec, path());
        OPEN(*file, 0x42);
        LOGOUT(1, *file);
        for (int id = 1000; id < 20000 && ERRORCODE() == 0; ++id) {
          setPerson(*file, id, "too much", "x", 0, std::string(1000, static_cast<char>(id)));
          ADD(*file);
        }
        if (ERRORCODE() != 0) return ERRORCODE();
        COMMIT();
        return ERRORCODE();
      },
      false, static_cast<rlim_t>(before.size() + 64 * 1024));
  EXPECT_EQ(code, runtime::FileSystemErr);
  auto file = declare(kPersonSpec, path());
  OPEN(*file, 0x42);
  ASSERT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(RECORDS(*file), 40);
}

TEST_F(ErrorTable, AReadOnlyFolderRefusesCreatesAndWrites) {
  makePeople(5);
  chmod(path().c_str(), 0666);
  chmod(folder.path().c_str(), 0555);
  const std::string before = support::readFile(path());
  const int createCode = runInChild(
      [this] {
        auto file = declare(kPersonSpec, folder.file("new.dat"));
        CREATE(*file);
        return ERRORCODE();
      },
      true);
  EXPECT_EQ(createCode, runtime::AccessDeniedErr);
  EXPECT_EQ(EXISTS(folder.file("new.dat")), 0);
  // The file itself may be written, but its journal cannot be made beside it.
  const int addCode = runInChild(
      [this] {
        auto file = declare(kPersonSpec, path());
        OPEN(*file, 0x42);
        if (ERRORCODE() != 0) return 100 + ERRORCODE();
        setPerson(*file, 77, "x", "y", 0);
        ADD(*file);
        return ERRORCODE();
      },
      true);
  EXPECT_EQ(addCode, runtime::AccessDeniedErr);
  chmod(folder.path().c_str(), 0755);
  EXPECT_EQ(support::readFile(path()), before);
}

TEST_F(ErrorTable, NoBrokenFileCrashesTheDriver) {
  makePeople(60);
  const std::string good = support::readFile(path());
  std::mt19937 random(1234);
  for (int round = 0; round < 150; ++round) {
    std::string broken = good;
    const int damage = 1 + static_cast<int>(random() % 20);
    for (int i = 0; i < damage; ++i) broken[random() % broken.size()] = static_cast<char>(random());
    if (round % 10 == 0) broken.resize(random() % broken.size());
    support::writeFile(path(), broken);
    auto file = declare(kPersonSpec, path());
    OPEN(*file, 0x42);
    const int code = ERRORCODE();
    ASSERT_TRUE(code == 0 || code == runtime::InvalidDataFileErr ||
                code == runtime::FileSystemErr || code == runtime::FileNotFoundErr ||
                code == runtime::InvalidRecordDeclarationErr ||
                code == runtime::InvalidKeyLengthErr || code == runtime::KeyFileRebuildErr)
        << "round " << round << ": " << code;
    if (STATUS(*file) == 0) continue;
    RECORDS(*file);
    for (const int k : {0, int{PId}, int{PName}, int{PCity}}) {
      k == 0 ? SET(*file) : SET(*file, *file->key(k));
      for (int n = 0; n < 100; ++n) {
        NEXT(*file);
        if (ERRORCODE() == kRecordNotAvailableErr) break;
      }
    }
    setPerson(*file, 5000 + round, "new", "x", 1);
    ADD(*file);
    CLEAR(*file);
    person(*file).ID = 7;
    GET(*file, *file->key(PId));
    if (ERRORCODE() == 0) DELETE(*file);
    BUILD(*file);
  }
}

}  // namespace
}  // namespace files::test
