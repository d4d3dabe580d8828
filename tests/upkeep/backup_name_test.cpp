#include "upkeep/backup_name.h"

#include <gtest/gtest.h>

#include "upkeep/file_copy.h"

namespace upkeep {
namespace {

TEST(BackupNameTest, NamesByOptionDriverAndNumber) {
  struct Case {
    const char* name;
    const char* prefix;
    const char* driver;
    bool option;
    int n;
    const char* expected;
  };
  const Case cases[] = {
      {"C:\\data\\projects.aaa", "PRO", "Vkf", true, 1, "C:\\data\\proje001"},
      {"projects.aaa", "PRO", "Vkf", true, 12, "proje012"},
      {"abc", "ABC", "Vkf", true, 1, "abc001"},
      {"/home/u/func.vkf", "FUN", "Vkf", true, 2, "/home/u/func.002"},
      // A table: the number goes before the "\!" or the first "." before it.
      {"C:\\d\\Upg.Vkf\\!Upg2", "UPG", "Vkf", true, 1, "C:\\d\\Upg001.Vkf\\!Upg2"},
      {"C:\\d\\longname.Vkf\\!t", "T", "Vkf", true, 3, "C:\\d\\longn003.Vkf\\!t"},
      // BTR: the prefix and the number fill five characters in the file's folder.
      {"C:\\data\\x.dat", "PR", "btr", true, 1, "C:\\data\\PR001"},
      {"x.dat", "PRO", "BTR", true, 7, "PRO07"},
      {"x.dat", "PROJ", "BTR", true, 9, "PROJ9"},
      {"x.dat", "PROJ", "BTR", true, 10, ""},
      {"x.dat", "PRO", "BTR", true, 100, ""},
      {"x.dat", "PROJE", "BTR", true, 1, ""},
      // Without the option: a numbered temporary name.
      {"C:\\data\\projects.aaa", "PRO", "Vkf", false, 1, "dstmp001"},
      {"projects.aaa", "PRO", "BTR", false, 45, "dstmp045"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(backupName(c.n, {c.name, c.prefix, c.driver, c.option, false}), c.expected)
        << c.name << " " << c.driver << " " << c.n;
  }
  TempDirectory() = "tmp/";
  EXPECT_EQ(backupName(1, {"projects.aaa", "PRO", "Vkf", false, false}), "tmp/dstmp001");
  EXPECT_EQ(backupName(2, {"projects.aaa", "PRO", "Vkf", false, true}), "dstmp002");
  TempDirectory().clear();
}

}  // namespace
}  // namespace upkeep
