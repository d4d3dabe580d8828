#include "platform/runtime/ini_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/runtime/error_state.h"
#include "platform/runtime/paths.h"
#include "tests/support/scratch_folder.h"

namespace runtime {
namespace {

using support::readFile;
using support::ScratchFolder;
using support::writeFile;

bool canCreateIn(const std::string& folder) {
  const std::string probe = folder + "/.gd_probe";
  const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
  if (fd < 0) return false;
  close(fd);
  unlink(probe.c_str());
  return true;
}

// Points the default profile at a file of the scratch folder for the life of the test.
class IniFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedDirectory_ = currentDirectory();
    setenv("GAME_DOCK_PROFILE", folder_.file("profile/default.ini").c_str(), 1);
  }
  void TearDown() override {
    unsetenv("GAME_DOCK_PROFILE");
    setCurrentDirectory(savedDirectory_);
  }

  ScratchFolder folder_;
  std::string savedDirectory_;
};

TEST_F(IniFileTest, PutIniEditsOnlyWhatItMust) {
  constexpr const char* kMissing = nullptr;
  const struct {
    const char* label;
    const char* before;  // nullptr: no file
    const char* section;
    const char* entry;
    std::optional<const char*> value;
    const char* after;  // nullptr: still no file
  } cases[] = {
      {"creates the file", kMissing, "path", "classic", "/opt/agk/agk",
       "[path]\nclassic=/opt/agk/agk\n"},
      {"adds at the end of the section, before its blank lines", "[a]\nx=1\n\n[b]\ny=2\n", "a", "z",
       "3", "[a]\nx=1\nz=3\n\n[b]\ny=2\n"},
      {"replaces in place, any case, keeping comments",
       "; top\n[Path]\nClassic = old\n; note\nstudio=s\n", "PATH", "classic", "new",
       "; top\n[Path]\nClassic=new\n; note\nstudio=s\n"},
      {"adds a missing section at the end", "[a]\nx=1\n", "b", "k", "v", "[a]\nx=1\n[b]\nk=v\n"},
      {"ends an unended last line first", "[a]\nx=1", "a", "y", "2", "[a]\nx=1\ny=2\n"},
      {"keeps CRLF line ends", "[a]\r\nx=1\r\n", "a", "y", "2", "[a]\r\nx=1\r\ny=2\r\n"},
      {"keeps CRLF for a new section", "[a]\r\nx=1\r\n", "b", "k", "v",
       "[a]\r\nx=1\r\n[b]\r\nk=v\r\n"},
      {"keeps CR line ends", "[a]\rx=1\r", "a", "y", "2", "[a]\rx=1\ry=2\r"},
      {"keeps CR for a new section and ends an unended last line", "[a]\rx=1", "b", "k", "v",
       "[a]\rx=1\r[b]\rk=v\r"},
      {"replaces in a CR file without touching the other lines", "[a]\rx=1\ry=2\r", "a", "x", "3",
       "[a]\rx=3\ry=2\r"},
      {"keeps each line's own end in a mixed file", "[a]\r\nx=1\ny=2\rz=3", "A", "y", "4",
       "[a]\r\nx=1\ny=4\rz=3"},
      {"keeps a byte order mark", "\xEF\xBB\xBF[a]\nx=1\n", "A", "x", "2",
       "\xEF\xBB\xBF[a]\nx=2\n"},
      {"quotes a value with surrounding blanks", "[a]\n", "a", "x", " padded ",
       "[a]\nx=\" padded \"\n"},
      {"deletes an entry and its repeats", "[a]\nx=1\n; c\nX=2\ny=3\n", "a", "x", std::nullopt,
       "[a]\n; c\ny=3\n"},
      {"deletes only in its own section", "[a]\nx=1\n[b]\nx=2\n", "b", "x", std::nullopt,
       "[a]\nx=1\n[b]\n"},
      {"deleting a missing entry changes nothing", "[a]\nx=1\n", "a", "nope", std::nullopt,
       "[a]\nx=1\n"},
      {"deleting from a missing file creates none", kMissing, "a", "x", std::nullopt, kMissing},
      {"lines before any section are kept", "orphan=1\n[a]\n", "a", "orphan", "2",
       "orphan=1\n[a]\norphan=2\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string file = folder_.file("test.ini");
    std::filesystem::remove(file);
    if (c.before != nullptr) writeFile(file, c.before);
    setError(FileSystemErr);
    const std::optional<std::string_view> value =
        c.value ? std::optional<std::string_view>(*c.value) : std::nullopt;
    EXPECT_TRUE(PUTINI(c.section, c.entry, value, file));
    EXPECT_EQ(ERRORCODE(), 0);
    if (c.after == nullptr) {
      EXPECT_FALSE(std::filesystem::exists(file));
    } else {
      EXPECT_EQ(readFile(file), c.after);
    }
  }
}

TEST_F(IniFileTest, GetIniReadsLinesEndedByCrLfOrEitherAlone) {
  const char* const contents[] = {
      "[a]\nx=1\ny=2\n", "[a]\r\nx=1\r\ny=2\r\n",     "[a]\rx=1\ry=2\r",
      "[a]\rx=1\r\ny=2", "\r\r[a]\r\n\rx=1\n\ny=2\r",
  };
  for (std::size_t i = 0; i < std::size(contents); ++i) {
    SCOPED_TRACE(::testing::PrintToString(std::string(contents[i])));
    // A file of its own for each, so that no look-up is answered from the one before.
    const std::string file = folder_.file("ends" + std::to_string(i) + ".ini");
    writeFile(file, contents[i]);
    EXPECT_EQ(GETINI("a", "x", "none", file), "1");
    EXPECT_EQ(GETINI("a", "y", "none", file), "2");
  }
}

TEST_F(IniFileTest, GetIniFindsValuesAndFallsBackToTheDefault) {
  const std::string file = folder_.file("messages.ini");
  writeFile(file,
            "; comment=not an entry\r\n"
            "orphan=before any section\r\n"
            "[Messages]\r\n"
            "M19 =  Some text  \r\n"
            "Quoted = \"  padded  \"\r\n"
            "HalfQuoted=\"open\r\n"
            "Empty=\r\n"
            "[path]\r\n"
            "classic=first\r\n"
            "classic=second\r\n"
            "[PATH]\r\n"
            "studio=hidden by the first section\r\n"
            "[Ärger]\r\n"
            "Übel=ja\r\n");
  const struct {
    const char* section;
    const char* entry;
    const char* answer;
  } cases[] = {
      {"messages", "m19", "Some text"},
      {"Messages", "Quoted", "  padded  "},
      {"Messages", "HalfQuoted", "\"open"},
      {"Messages", "Empty", ""},
      {"Messages", "missing", "default"},
      {"path", "classic", "first"},
      {" path ", " classic ", "first"},
      {"path", "studio", "default"},
      {"nosection", "orphan", "default"},
      {"Messages", "; comment", "default"},
      {"ÄRGER", "übel", "ja"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GETINI(c.section, c.entry, "default", file), c.answer) << c.section << "/" << c.entry;
    EXPECT_EQ(ERRORCODE(), 0);
  }
  EXPECT_EQ(iniSections(file), (std::vector<std::string>{"Messages", "path", "Ärger"}));
  EXPECT_EQ(iniEntries("MESSAGES", file),
            (std::vector<std::string>{"M19", "Quoted", "HalfQuoted", "Empty"}));
  EXPECT_EQ(iniEntries("none", file), std::vector<std::string>{});

  EXPECT_EQ(GETINI("path", "classic", "default", folder_.file("absent.ini")), "default");
  EXPECT_EQ(ERRORCODE(), FileNotFoundErr);
}

TEST_F(IniFileTest, GetIniSeesEveryChangeOfTheFileBetweenReads) {
  const std::string file = folder_.file("changing.ini");
  writeFile(file, "[template]\ntotal=3\n1=one\n");
  EXPECT_EQ(GETINI("template", "1", "", file), "one");
  EXPECT_EQ(GETINI("TEMPLATE", "total", "", file), "3");
  writeFile(file, "[template]\ntotal=3\n1=two\n");  // the same size, written in place
  EXPECT_EQ(GETINI("template", "1", "", file), "two");
  ASSERT_TRUE(PUTINI("template", "1", "three", file));
  EXPECT_EQ(GETINI("template", "1", "", file), "three");
  writeFile(file, "[other]\n[template]\n1=first\n[Template]\n1=second\n2=hidden\n");
  EXPECT_EQ(GETINI("template", "1", "", file), "first") << "the first section of a name";
  EXPECT_EQ(GETINI("template", "2", "none", file), "none");
  std::filesystem::remove(file);
  EXPECT_EQ(GETINI("template", "1", "gone", file), "gone");
  EXPECT_EQ(ERRORCODE(), FileNotFoundErr);
}

TEST_F(IniFileTest, ValuesReadBackAsTheyWereWritten) {
  const std::string file = folder_.file("round.ini");
  const char* values[] = {
      "plain",      " leading",        "trailing\t", "\"quoted\"",       "\"", "", "a=b",
      "semi;colon", "[not a section]", "ünïcödé",    "C:\\dir\\file.exe"};
  for (const char* value : values) {
    EXPECT_TRUE(PUTINI("s", "k", value, file));
    EXPECT_EQ(GETINI("s", "k", "default", file), value);
  }
}

TEST_F(IniFileTest, RefusesWhatCannotBeStoredOnOneLine) {
  const std::string file = folder_.file("refuse.ini");
  writeFile(file, "[s]\nk=1\n");
  const struct {
    const char* section;
    const char* entry;
    const char* value;
  } cases[] = {
      {"s", "k", "two\nlines"}, {"s", "k", "cr\r"}, {"s", "a=b", "v"},
      {"s", "", "v"},           {"s", "  ", "v"},   {"s]x", "k", "v"},
      {"s\n[t]", "k", "v"},     {"s", ";k", "v"},   {"s", "[k", "v"},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(PUTINI(c.section, c.entry, c.value, file)) << c.section << "/" << c.entry;
    EXPECT_EQ(ERRORCODE(), FileSystemErr);
  }
  EXPECT_EQ(readFile(file), "[s]\nk=1\n");
}

TEST_F(IniFileTest, FailedWritesAnswerFalseAndLeaveNothingBehind) {
  EXPECT_FALSE(PUTINI("s", "k", "v", folder_.file("no/such/folder/x.ini")));
  EXPECT_EQ(ERRORCODE(), PathNotFoundErr);

  std::string readOnly = folder_.file("locked");
  std::filesystem::create_directory(readOnly);
  chmod(readOnly.c_str(), 0555);
  if (canCreateIn(readOnly)) readOnly = "/sys";  // root ignores permissions; sysfs refuses files
  if (canCreateIn(readOnly)) GTEST_SKIP() << "no read-only folder to test with";
  EXPECT_FALSE(PUTINI("s", "k", "v", readOnly + "/x.ini"));
  EXPECT_EQ(ERRORCODE(), AccessDeniedErr);
  EXPECT_FALSE(std::filesystem::exists(readOnly + "/x.ini"));
}

TEST_F(IniFileTest, ReplacingKeepsPermissionsLinksAndNoTemporaryFiles) {
  const std::string target = folder_.file("real.ini");
  const std::string link = folder_.file("link.ini");
  writeFile(target, "[s]\nk=1\n");
  chmod(target.c_str(), 0640);
  std::filesystem::create_symlink(target, link);

  EXPECT_TRUE(PUTINI("s", "k", "2", link));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(readFile(target), "[s]\nk=2\n");
  struct stat info {};
  ASSERT_EQ(stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  std::vector<std::string> names;
  for (const auto& item : std::filesystem::directory_iterator(folder_.path())) {
    names.push_back(item.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"link.ini", "real.ini"}));
}

TEST_F(IniFileTest, RelativeNamesWithBackslashesAreTakenFromTheCurrentDirectory) {
  ASSERT_TRUE(setCurrentDirectory(folder_.path().string()));
  EXPECT_TRUE(PUTINI("path", "basepath", "/home/projects", ".\\gamedock.ini"));
  EXPECT_EQ(readFile(folder_.file("gamedock.ini")), "[path]\nbasepath=/home/projects\n");
  EXPECT_EQ(GETINI("path", "basepath", "", "gamedock.ini"), "/home/projects");
  EXPECT_EQ(GETINI("path", "basepath", "", "./gamedock.ini"), "/home/projects");
}

TEST_F(IniFileTest, DefaultProfileIsUsedWithoutAFileName) {
  EXPECT_EQ(GETINI("VendorStaffInternalOnly", "PermitDevTraceForXOnly___Yes", "0"), "0");
  EXPECT_TRUE(PUTINI("game_dock", "BadFile", "projects.vkf"));  // creates the profile's folder
  EXPECT_EQ(readFile(folder_.file("profile/default.ini")), "[game_dock]\nBadFile=projects.vkf\n");
  EXPECT_EQ(GETINI("game_dock", "BadFile", ""), "projects.vkf");
  EXPECT_TRUE(PUTINI("game_dock", "BadFile", std::nullopt));
  EXPECT_EQ(GETINI("game_dock", "BadFile", "gone"), "gone");
}

TEST_F(IniFileTest, DefaultProfileFollowsTheEnvironment) {
  EXPECT_EQ(defaultProfilePath(), folder_.file("profile/default.ini"));
  unsetenv("GAME_DOCK_PROFILE");
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  const std::string savedXdg = xdg == nullptr ? "" : xdg;
  const std::string home = std::getenv("HOME") == nullptr ? "" : std::getenv("HOME");

  setenv("XDG_CONFIG_HOME", "/cfg", 1);
  EXPECT_EQ(defaultProfilePath(), "/cfg/game_dock/default-profile.ini");
  setenv("XDG_CONFIG_HOME", "relative/is/ignored", 1);
  EXPECT_EQ(defaultProfilePath(), home + "/.config/game_dock/default-profile.ini");

  if (xdg == nullptr) {
    unsetenv("XDG_CONFIG_HOME");
  } else {
    setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
  }
}

TEST_F(IniFileTest, ConcurrentWritersLoseNoEntry) {
  const std::string file = folder_.file("shared.ini");
  constexpr int kThreads = 6;
  constexpr int kEntries = 40;
  std::vector<std::thread> writers;
  for (int t = 0; t < kThreads; ++t) {
    writers.emplace_back([&, t] {
      for (int i = 0; i < kEntries; ++i) {
        PUTINI("t" + std::to_string(t), "e" + std::to_string(i), std::to_string(t * 1000 + i),
               file);
      }
    });
  }
  for (std::thread& writer : writers) writer.join();
  for (int t = 0; t < kThreads; ++t) {
    for (int i = 0; i < kEntries; ++i) {
      ASSERT_EQ(GETINI("t" + std::to_string(t), "e" + std::to_string(i), "lost", file),
                std::to_string(t * 1000 + i));
    }
  }
}

}  // namespace
}  // namespace runtime
