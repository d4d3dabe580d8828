// Tables inside data files, and REMOVE, RENAME and COPY on FILEs and on names.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/files/driver_fixture.h"

namespace files::test {
namespace {

using runtime::ERRORCODE;

class TableOpsTest : public ::testing::Test {
 public:
  std::unique_ptr<FileDeclaration> people(const std::string& name) {
    return declare(kPersonSpec, folder.file(name));
  }

  // Creates `name` with the given ids.
  void make(const std::string& name, std::initializer_list<int> ids) {
    auto file = people(name);
    CREATE(*file);
    ASSERT_EQ(ERRORCODE(), 0) << name << ": " << runtime::FILEERROR();
    OPEN(*file, 0x12);
    for (const int id : ids) {
      setPerson(*file, id, "p" + std::to_string(id), "c", id);
      ADD(*file);
    }
    CLOSE(*file);
  }

  // The ids of `name` in key order, or "error <code>".
  std::string ids(const std::string& name) {
    auto file = people(name);
    OPEN(*file, 0x40);
    if (ERRORCODE() != 0) return "error " + std::to_string(ERRORCODE());
    std::string out;
    SET(*file, *file->key(PId));
    for (NEXT(*file); ERRORCODE() == 0; NEXT(*file))
      out += (out.empty() ? "" : " ") + std::to_string(person(*file).ID.value());
    return out;
  }

  bool exists(const std::string& name) { return EXISTS(folder.file(name)) == 1; }

  support::ScratchFolder folder;
};

TEST_F(TableOpsTest, TablesOfOneFileLiveSideBySide) {
  make("multi\\!alpha", {1, 2});
  make("multi\\!beta", {3});
  make("multi", {4, 5, 6});
  EXPECT_TRUE(exists("multi.VKF"));
  EXPECT_EQ(ids("multi\\!alpha"), "1 2");
  EXPECT_EQ(ids("multi\\!ALPHA"), "1 2") << "table names ignore letter case";
  EXPECT_EQ(ids("multi\\!beta"), "3");
  EXPECT_EQ(ids("multi"), "4 5 6");
  EXPECT_EQ(ids("multi\\!gamma"), "error 2");
  make("multi\\!alpha", {7});  // CREATE replaces that table and keeps the others
  EXPECT_EQ(ids("multi\\!alpha"), "7");
  EXPECT_EQ(ids("multi\\!beta"), "3");

  auto beta = people("multi\\!beta");
  REMOVE(*beta);
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(ids("multi\\!beta"), "error 2");
  REMOVE(*beta);
  EXPECT_EQ(ERRORCODE(), runtime::FileNotFoundErr);
  REMOVE(folder.file("multi") + ".VKF\\!alpha");  // the name form
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_TRUE(exists("multi.VKF"));
  REMOVE(*people("multi"));
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_FALSE(exists("multi.VKF")) << "the last table takes its file with it";
}

TEST_F(TableOpsTest, RenameAndCopyMoveTablesBetweenFiles) {
  make("multi\\!alpha", {1, 2});
  make("multi\\!beta", {3});
  auto alpha = people("multi\\!alpha");
  RENAME(*alpha, folder.file("other\\!alpha"));
  ASSERT_EQ(ERRORCODE(), 0) << runtime::FILEERROR();
  EXPECT_EQ(ids("other\\!alpha"), "1 2");
  EXPECT_EQ(ids("multi\\!alpha"), "error 2");
  EXPECT_EQ(ids("multi\\!beta"), "3");

  auto beta = people("multi\\!beta");
  RENAME(*beta, folder.file("multi\\!gamma"));  // inside one file
  ASSERT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(ids("multi\\!gamma"), "3");

  auto gamma = people("multi\\!gamma");
  COPY(*gamma, folder.file("other\\!gamma"));
  ASSERT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(ids("other\\!gamma"), "3");
  EXPECT_EQ(ids("multi\\!gamma"), "3");

  COPY(*gamma, folder.file("multi\\!delta"));  // inside one file
  ASSERT_EQ(ERRORCODE(), 0) << runtime::FILEERROR();
  EXPECT_EQ(ids("multi\\!delta"), "3");
  REMOVE(*people("multi\\!delta"));

  // The only table of its file moves with the whole file.
  RENAME(*gamma, folder.file("single\\!gamma"));
  ASSERT_EQ(ERRORCODE(), 0);
  EXPECT_FALSE(exists("multi.VKF"));
  EXPECT_EQ(ids("single\\!gamma"), "3");
}

TEST_F(TableOpsTest, WholeFilesRenameAndCopyWithTheirRecords) {
  make("projects.aaa", {1, 2, 3});
  auto file = people("projects.aaa");
  COPY(*file, folder.file("proje001"));
  ASSERT_EQ(ERRORCODE(), 0);
  EXPECT_TRUE(exists("proje001.VKF")) << "a target without extension gets the default one";
  EXPECT_EQ(ids("proje001"), "1 2 3");
  RENAME(*file, folder.file("dstmp001"));
  ASSERT_EQ(ERRORCODE(), 0);
  EXPECT_FALSE(exists("projects.aaa"));
  EXPECT_EQ(ids("dstmp001"), "1 2 3");
}

TEST_F(TableOpsTest, RefusalsOfRemoveRenameAndCopy) {
  make("a.dat", {1});
  make("b.dat", {2});
  make("m\\!t", {3});
  make("m\\!u", {4});
  auto a = people("a.dat");
  struct Case {
    const char* what;
    void (*run)(TableOpsTest&, FileDeclaration&);
    int expected;
  };
  const Case cases[] = {
      {"rename over an existing file",
       [](TableOpsTest& t, FileDeclaration& f) { RENAME(f, t.folder.file("b.dat")); },
       runtime::AccessDeniedErr},
      {"copy over an existing file",
       [](TableOpsTest& t, FileDeclaration& f) { COPY(f, t.folder.file("b.dat")); },
       runtime::AccessDeniedErr},
      {"rename onto an existing table",
       [](TableOpsTest& t, FileDeclaration&) {
         RENAME(*t.people("m\\!t"), t.folder.file("m\\!u"));
       },
       runtime::AccessDeniedErr},
      {"copy into a missing folder",
       [](TableOpsTest& t, FileDeclaration& f) { COPY(f, t.folder.file("no/such/c.dat")); },
       runtime::PathNotFoundErr},
      {"rename a missing file",
       [](TableOpsTest& t, FileDeclaration&) {
         RENAME(*t.people("nothing.dat"), t.folder.file("x.dat"));
       },
       runtime::FileNotFoundErr},
      {"remove a file another FILE has open",
       [](TableOpsTest& t, FileDeclaration& f) {
         auto other = t.people("a.dat");
         OPEN(*other, 0x42);
         REMOVE(f);
       },
       runtime::AccessDeniedErr},
      {"remove an open FILE",
       [](TableOpsTest&, FileDeclaration& f) {
         OPEN(f, 0x42);
         REMOVE(f);
         const int code = ERRORCODE();
         CLOSE(f);
         runtime::setError(code);
       },
       runtime::AccessDeniedErr},
  };
  for (const Case& c : cases) {
    c.run(*this, *a);
    EXPECT_EQ(ERRORCODE(), c.expected) << c.what;
  }
  EXPECT_EQ(ids("a.dat"), "1");
  EXPECT_EQ(ids("b.dat"), "2");
  EXPECT_EQ(ids("m\\!u"), "4");
}

TEST_F(TableOpsTest, NameFormsWorkOnAnyFile) {
  support::writeFile(folder.file("notes.txt"), "some text\n");
  COPY(folder.file("notes.txt"), folder.file("copy.txt"));
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(support::readFile(folder.file("copy.txt")), "some text\n");
  COPY(folder.file("notes.txt"), folder.file("copy.txt"));
  EXPECT_EQ(ERRORCODE(), runtime::AccessDeniedErr) << "an existing target stays";
  RENAME(folder.file("copy.txt"), folder.file("moved.txt"));
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_FALSE(exists("copy.txt"));
  REMOVE(folder.file("moved.txt"));
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_FALSE(exists("moved.txt"));
  REMOVE(folder.file("moved.txt"));
  EXPECT_EQ(ERRORCODE(), runtime::FileNotFoundErr);
  RENAME(folder.file("no/such/x"), folder.file("y"));
  EXPECT_EQ(ERRORCODE(), runtime::PathNotFoundErr);

  // A data file copied by name is copied through SQLite, so the copy opens.
  make("data.dat", {5, 6});
  COPY(folder.file("data.dat"), folder.file("data2.dat"));
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(ids("data2.dat"), "5 6");
}

}  // namespace
}  // namespace files::test
