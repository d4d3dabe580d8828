#include "platform/runtime/process.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/runtime/error_state.h"
#include "tests/support/scratch_folder.h"

namespace runtime {
namespace {

using support::readFile;
using support::ScratchFolder;
using support::writeFile;
using Words = std::vector<std::string>;

TEST(SplitCommandLine, FollowsTheWindowsQuotingRules) {
  const struct {
    const char* line;
    Words words;
  } cases[] = {
      {"prog a b", {"prog", "a", "b"}},
      {"  prog \t a  ", {"prog", "a"}},
      {"", {}},
      {"   ", {}},
      {R"("C:\Program Files\agk.exe" "my project.agk")",
       {R"(C:\Program Files\agk.exe)", "my project.agk"}},
      {R"( "D:\games\p.agk")", {R"(D:\games\p.agk)"}},  // an empty program path before the project
      {R"("pro g"x y)", {"pro gx", "y"}},
      {R"(C:\dir\ "arg")", {R"(C:\dir\)", "arg"}},  // no escapes in the program name
      {R"(p a\b c\\d)", {"p", R"(a\b)", R"(c\\d)"}},
      {R"(p \"a)", {"p", R"("a)"}},
      {R"(p \\"a b")", {"p", R"(\a b)"}},
      {R"(p \\\"a)", {"p", R"(\"a)"}},
      {R"(p "a\\" b)", {"p", R"(a\)", "b"}},
      {R"(p "a""b")", {"p", R"(a"b)"}},
      {R"(p "")", {"p", ""}},
      {R"(p a"b c"d)", {"p", "ab cd"}},
      {R"(p "unclosed quote)", {"p", "unclosed quote"}},
  };
  for (const auto& c : cases) EXPECT_EQ(splitCommandLine(c.line), c.words) << c.line;
}

// Installs a spawner that records what RUN hands it, and puts the real one back afterwards.
class RecordingSpawner {
 public:
  explicit RecordingSpawner(int answer) {
    previous_ = setSpawner([this, answer](const Words& argv) {
      calls.push_back(argv);
      return answer;
    });
  }
  RecordingSpawner(const RecordingSpawner&) = delete;
  RecordingSpawner& operator=(const RecordingSpawner&) = delete;
  ~RecordingSpawner() { setSpawner(previous_); }

  std::vector<Words> calls;

 private:
  Spawner previous_;
};

TEST(Run, HandsTheSpawnerTheArgumentVectorAndReportsItsError) {
  {
    RecordingSpawner spawner(0);
    setError(FileSystemErr);
    RUN(R"(.\ide\agk "C:\my projects\game.agk" --flag)");
    EXPECT_EQ(ERRORCODE(), 0);
    ASSERT_EQ(spawner.calls.size(), 1u);
    EXPECT_EQ(spawner.calls[0], (Words{"./ide/agk", R"(C:\my projects\game.agk)", "--flag"}));
  }
  {
    RecordingSpawner spawner(AccessDeniedErr);
    RUN("/opt/agk/agk x");
    EXPECT_EQ(ERRORCODE(), AccessDeniedErr);
  }
  {
    RecordingSpawner spawner(0);
    RUN("   ");
    EXPECT_EQ(ERRORCODE(), FileNotFoundErr);
    EXPECT_TRUE(spawner.calls.empty());
  }
}

// Waits, without a time limit short enough to fail a slow machine, for `path` to appear.
bool waitForFile(const std::string& path) {
  for (int i = 0; i < 600; ++i) {
    if (std::filesystem::exists(path)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

class SpawnTest : public ::testing::Test {
 protected:
  void SetUp() override {
    script_ = folder_.file("write args.sh");
    writeFile(script_,
              "#!/bin/sh\n"
              "out=\"$1\"; shift\n"
              "for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done > \"$out.part\"\n"
              "mv \"$out.part\" \"$out\"\n");
    chmod(script_.c_str(), 0755);
  }

  ScratchFolder folder_;
  std::string script_;
};

TEST_F(SpawnTest, ArgumentsArriveExactlyAndNothingIsExecuted) {
  const std::string out = folder_.file("args.txt");
  const std::string marker = folder_.file("pwned");
  const std::string hostile =
      "a \"b\" $(touch " + marker + "1) `touch " + marker + "2`; touch " + marker + "3 | & > <";
  // The hostile text as one quoted Windows argument: its quotes escaped with a backslash.
  std::string quoted;
  for (const char c : hostile) quoted += c == '"' ? std::string("\\\"") : std::string(1, c);

  RUN("\"" + script_ + "\" \"" + out + "\" plain \"two words\" \"" + quoted + "\" \"\"");
  ASSERT_EQ(ERRORCODE(), 0) << ERROR();
  ASSERT_TRUE(waitForFile(out));
  EXPECT_EQ(readFile(out), "[plain]\n[two words]\n[" + hostile + "]\n[]\n");
  for (const char* n : {"1", "2", "3"}) EXPECT_FALSE(std::filesystem::exists(marker + n)) << n;
}

TEST_F(SpawnTest, MissingOrNonExecutableProgramsAreErrors) {
  EXPECT_EQ(spawnDetached({folder_.file("no-such-program")}), FileNotFoundErr);
  EXPECT_EQ(spawnDetached({"gd-no-such-program-anywhere-on-path"}), FileNotFoundErr);
  EXPECT_EQ(spawnDetached({}), FileNotFoundErr);
  EXPECT_EQ(spawnDetached({folder_.file("no-folder/prog")}), FileNotFoundErr);

  const std::string plain = folder_.file("not-executable");
  writeFile(plain, "#!/bin/sh\n");
  chmod(plain.c_str(), 0644);
  EXPECT_EQ(spawnDetached({plain}), AccessDeniedErr);

  RUN("\"" + folder_.file("no-such-program") + "\" arg");
  EXPECT_EQ(ERRORCODE(), FileNotFoundErr);
}

// The number of this process's children that have ended but were never waited for.
int zombieChildren() {
  int zombies = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream in(entry.path() / "stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream fields(stat.substr(close + 1));
    char state = 0;
    long parent = 0;
    fields >> state >> parent;
    if (state == 'Z' && parent == getpid()) ++zombies;
  }
  return zombies;
}

TEST_F(SpawnTest, EndedProgramsLeaveNoZombies) {
  const std::string out = folder_.file("done.txt");
  for (int i = 0; i < 5; ++i) {
    ASSERT_EQ(spawnDetached({script_, out + std::to_string(i)}), 0);
  }
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(waitForFile(out + std::to_string(i)));
  int zombies = zombieChildren();
  for (int i = 0; i < 600 && zombies > 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    zombies = zombieChildren();
  }
  EXPECT_EQ(zombies, 0);
}

}  // namespace
}  // namespace runtime
