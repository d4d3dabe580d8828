#include "app/program.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "app/dictionary/declarations.h"
#include "app/dictionary/dictionary.h"
#include "app/windows/main_window.h"
#include "app/windows/quick_find_state.h"
#include "app/windows/window_requests.h"
#include "platform/classlib/error_level.h"
#include "platform/files/file_driver.h"
#include "platform/os/desktop_settings.h"
#include "platform/runtime/module_initialisers.h"
#include "platform/window/dialogs.h"
#include "platform/window/engine.h"
#include "platform/window/headless_backend.h"
#include "platform/window/properties.h"
#include "tests/app/app_fixture.h"
#include "upkeep/call_recorder.h"
#include "upkeep/driver_used.h"
#include "upkeep/registration_tables.h"

namespace app {
namespace {

using window::HeadlessBackend;

class ProgramTest : public ::testing::Test {
 protected:
  ProgramTest() {
    window::setBackend(&screen);
    previousAnswerer_ = runtime::setMessageAnswerer(&window::backendAnswerer());
  }
  ~ProgramTest() override {
    while (window::openWindows() > 0) window::CLOSE();
    runtime::runThreadEnd();
    runtime::runProcessEnd();
    runtime::setMessageAnswerer(previousAnswerer_);
    window::setBackend(nullptr);
    runtime::resetModuleInitialisers();
  }

  // Runs the program as its main does: the runtime's start, the program procedure, the ends.
  void runWholeProgram() {
    startProcess();
    runProgram();
    endProcess();
  }
  // Starts a new process: the modules registered afresh, the process and its first thread.
  static void startProcess() {
    runtime::resetModuleInitialisers();
    registerProgramModules();
    runtime::runProcessStart();
    runtime::runThreadStart();
  }
  static void endProcess() {
    runtime::runThreadEnd();
    runtime::runProcessEnd();
  }
  // The script of one run of Main: answer OK to `boxes` boxes, check, and close it.
  void oneRun(
      int boxes = 0, HeadlessBackend::Check check = [](window::Window&) {}) {
    for (int i = 0; i < boxes; ++i) screen.answer(runtime::ButtonOk);
    screen.checkpoint("Main is open", std::move(check)).click(kMainCloseButton);
  }
  std::vector<std::string> boxTexts() const {
    std::vector<std::string> texts;
    for (const runtime::MessageRequest& box : screen.boxes()) texts.push_back(box.text);
    return texts;
  }

  testing::TempFolder folder;
  HeadlessBackend screen;

 private:
  runtime::MessageAnswerer* previousAnswerer_ = nullptr;
};

TEST_F(ProgramTest, MainOpensWithItsTitleAndTheProgramIcon) {
  oneRun(0, [](window::Window& main) {
    EXPECT_EQ(main.title(), "AGK - Game Dock and Projects Database");
    EXPECT_EQ(main.icon(), "dockmark.ico");
    EXPECT_EQ(window::systemProperty(window::PropIcon), "dockmark.ico");
  });
  runWholeProgram();
  EXPECT_TRUE(screen.finished());
  EXPECT_EQ(window::openWindows(), 0);
}

TEST_F(ProgramTest, TheFirstRunCreatesTheDataFilesWithTheirDeclaredStructures) {
  ASSERT_TRUE(std::filesystem::is_empty(folder.root()));
  oneRun();
  runWholeProgram();
  EXPECT_TRUE(screen.boxes().empty());
  // Main uses projects and categort; the others are created on their own first use.
  for (const files::FileSpec* spec : {&kProjectsSpec, &kCategortSpec}) {
    SCOPED_TRACE(spec->label);
    files::FileDeclaration file(*spec);
    files::OPEN(file, 0x42);
    EXPECT_EQ(runtime::ERRORCODE(), 0) << runtime::ERROR();
    files::CLOSE(file);
  }
  EXPECT_FALSE(std::filesystem::exists(folder.path("codeby.aaa")));
}

TEST_F(ProgramTest, ASecondRunOpensTheFilesOfTheFirst) {
  oneRun(0, [](window::Window&) {
    classlib::FileManager& list = *fileManager(projects);
    list.primeRecord();
    PRO->DESCRIPTION = "kept between runs";
    EXPECT_EQ(list.insert(), classlib::LevelBenign);
  });
  runWholeProgram();
  oneRun(0, [](window::Window&) {
    EXPECT_EQ(files::RECORDS(projects.get()), 1);
    PRO->ID = 1;
    EXPECT_EQ(fileManager(projects)->fetch(4), classlib::LevelBenign);
    EXPECT_EQ(PRO->DESCRIPTION.view(), "kept between runs");
  });
  runWholeProgram();
  EXPECT_TRUE(screen.boxes().empty());
}

TEST_F(ProgramTest, FullWindowDraggingIsOffWhileTheProgramRunsAndPutBackAfter) {
  const struct {
    const char* name;
    const char* profile;  // nullptr: no profile file
    bool after;
  } cases[] = {
      {"on", "[Desktop]\nDragFullWindows=1\n", true},
      {"unset, which is on", nullptr, true},
      {"off", "[Desktop]\nDragFullWindows=0\n", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(folder.profile());
    if (c.profile) folder.writeProfile(c.profile);
    oneRun(0, [](window::Window&) { EXPECT_FALSE(os::dragFullWindows()); });
    runWholeProgram();
    EXPECT_EQ(os::dragFullWindows(), c.after);
    if (!c.after) {
      EXPECT_EQ(testing::TempFolder::read(folder.profile()), c.profile);
    }
  }
}

TEST_F(ProgramTest, AProgramEndedEarlyStillPutsFullWindowDraggingBack) {
  folder.writeProfile("[Desktop]\nDragFullWindows=1\n");
  testing::ThrowingHalter halter;
  screen.checkpoint("end the program", [](window::Window&) {
    EXPECT_FALSE(os::dragFullWindows());
    runtime::HALT(1);
  });
  startProcess();
  EXPECT_THROW(runProgram(), std::runtime_error);
  endProcess();
  EXPECT_TRUE(os::dragFullWindows());
}

TEST_F(ProgramTest, TheRegistrationCallsAreMadeOnceInOrder) {
  upkeep::CallLog log;
  const upkeep::ScopedCallRecorder recording(log);
  oneRun();
  oneRun();
  startProcess();
  runProgram();
  runProgram();
  std::vector<std::string> calls;
  for (const upkeep::EntryCall& call : log.calls()) {
    if (call.entry == "ds_FileOpen" || call.entry == "ds_UpgradeFile") continue;
    calls.push_back(call.text());
    if (call.entry == "ds_UsingFile") {
      // The FILE passed is the calling thread's instance.
      const std::string label = call.arguments[1].substr(1, call.arguments[1].size() - 2);
      for (const files::PerThreadFile* file : kThreadFileOrder)
        if (file->spec().label == label) {
          EXPECT_EQ(call.object, &file->get()) << label;
        }
    }
  }
  endProcess();
  const std::vector<std::string> expected = {
      "UpgradingFlagAddress()",
      "ds_SetOption(\"BadFile\", \"0\")",
      "ds_AddDriver(\"Vkf\", FILE(vkfdriver), 1, record)",
      "ds_IgnoreDriver(\"AllFiles\", 1)",
      "ds_SetOption(\"SPCreate\", \"1\")",
      "ds_UsingFile(\"CAT\", \"categort\", FILE(categort), 0, 0)",
      "ds_UsingFile(\"COD\", \"codeby\", FILE(codeby), 0, 0)",
      "ds_UsingFile(\"FUN\", \"func\", FILE(func), 0, 0)",
      "ds_AlternateFieldName(\"FUN:examplecode\", \"examplecode\")",
      "ds_UsingFile(\"PRO\", \"projects\", FILE(projects), 8, 0)",
      "ds_UsingFile(\"tpl\", \"template\", FILE(template), 0, 0)",
      "ds_AlternateFieldName(\"tpl:Coding\", \"Coding\")",
      "UpgradingFlagAddress()",
  };
  EXPECT_EQ(calls, expected);
}

TEST_F(ProgramTest, ACorruptProjectsFileIsReportedAndEndsTheProgramWithANonZeroCode) {
  folder.writeCorruptProjects("projects.aaa");
  const std::string before = folder.read(folder.path("projects.aaa"));
  testing::ThrowingHalter halter;
  screen.answer(runtime::ButtonIgnore);  // going on still ends the program
  startProcess();
  try {
    runProgram();
    ADD_FAILURE() << "the program went on";
  } catch (const std::runtime_error& halted) {
    EXPECT_STREQ(halted.what(), "halted with 1");
  }
  endProcess();
  ASSERT_EQ(screen.boxes().size(), 1u);
  const runtime::MessageRequest& box = screen.boxes()[0];
  EXPECT_EQ(box.caption, "Stop");
  EXPECT_EQ(box.text,
            "Upkeep: File Corrupt. Restart program to invoke Reviver. Name : projects.aaa");
  EXPECT_EQ(folder.read(folder.path("projects.aaa")), before) << "left byte for byte";
}

TEST_F(ProgramTest, AProcessStoppedByACorruptFileExitsWithANonZeroCode) {
  folder.writeCorruptProjects("projects.aaa");
  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    screen.answer(runtime::ButtonIgnore);
    runWholeProgram();
    _exit(99);  // the program went on
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
}

TEST_F(ProgramTest, TheRegistrationFillsTheEnginesTables) {
  oneRun(0, [](window::Window&) {
    const upkeep::RegistrationTables& tables = upkeep::registration();
    EXPECT_EQ(tables.options.badFile, 0);
    EXPECT_EQ(tables.options.spCreate, 1);
    ASSERT_EQ(tables.DR.size(), 1u);
    EXPECT_EQ(tables.DR[0].NAME, "Vkf");
    EXPECT_EQ(upkeep::DriverUsed(projects.get()), "Vkf");
    ASSERT_EQ(tables.IGD.size(), 1u);
    EXPECT_EQ(tables.IGD[0].NAME, "ALLFILES");
    std::vector<std::string> managed;
    for (const upkeep::UsingFileEntry& entry : tables.UF) {
      managed.push_back(entry.PREFIX + " " + entry.LABEL + " " + std::to_string(entry.VERSION));
    }
    EXPECT_EQ(managed, (std::vector<std::string>{"CAT categort 0", "COD codeby 0", "FUN func 0",
                                                 "PRO projects 8", "TPL template 0"}));
    ASSERT_EQ(tables.AFNS.size(), 2u);
    EXPECT_EQ(tables.AFNS[1].DESTNAME1, "TPL:CODING");
  });
  runWholeProgram();
  EXPECT_TRUE(upkeep::registration().UF.empty()) << "released at the process end";
}

TEST_F(ProgramTest, TheInitialisersSetUpEachThreadAndTheFirstOnlyOnce) {
  quickFind.QuickFindText = "left from before";
  windowRequests().request = 4;
  startProcess();
  EXPECT_EQ(quickFind.QuickFindText.clipped(), "");
  EXPECT_EQ(windowRequests().request, 0);
  for (const files::PerThreadFile* file : kThreadFileOrder)
    EXPECT_TRUE(file->builtOnThisThread()) << file->spec().label;
  // The program procedure creates the first thread's dictionary, not the thread start.
  EXPECT_EQ(relationManager(projects), nullptr);
  bool secondHadOne = false;
  bool secondReleased = false;
  std::thread([&] {
    runtime::runThreadStart();
    secondHadOne = fileManager(projects) != nullptr;
    runtime::runThreadEnd();
    secondReleased = relationManager(projects) == nullptr && !projects.builtOnThisThread();
  }).join();
  EXPECT_TRUE(secondHadOne);
  EXPECT_TRUE(secondReleased);
  endProcess();
  EXPECT_FALSE(projects.builtOnThisThread());
}

// A data file the program cannot use is reported and left exactly as it was.
TEST_F(ProgramTest, ADataFileThatIsNotOursOrOfAnotherLayoutIsReportedAndLeftAlone) {
  const auto writeGarbage = [&] { folder.write("projects.aaa", "not a data file of ours\n"); };
  const auto writeOtherLayout = [&] {
    files::FileSpec other = kCodebySpec;
    other.name = "projects.aaa";
    files::FileDeclaration file(other);
    files::CREATE(file);
    files::OPEN(file, 0x42);
    file.recordAs<Codeby>().NAME = "someone";
    files::ADD(file);
    files::CLOSE(file);
  };
  const struct {
    const char* name;
    std::function<void()> setUp;
  } cases[] = {{"not ours", writeGarbage}, {"another layout", writeOtherLayout}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(folder.path("projects.aaa"));
    c.setUp();
    const std::string before = testing::TempFolder::read(folder.path("projects.aaa"));
    HeadlessBackend run;
    window::setBackend(&run);
    run.answer(runtime::ButtonOk).checkpoint("open", [](window::Window&) {}).click(39);
    runWholeProgram();
    window::setBackend(&screen);
    ASSERT_EQ(run.boxes().size(), 1u);
    EXPECT_NE(run.boxes()[0].text.find("Unable to open the projects file"), std::string::npos)
        << run.boxes()[0].text;
    EXPECT_EQ(testing::TempFolder::read(folder.path("projects.aaa")), before);
    EXPECT_TRUE(std::filesystem::exists(folder.path("category.aaa")));
  }
}

// What the read-only run found, as the child's exit code.
enum ReadOnlyOutcome : int {
  ReadOnlyAsExpected = 0,
  ReadOnlyWrongBoxes = 10,
  ReadOnlyWroteFiles = 11,
  ReadOnlyCrashed = 12,
};

TEST_F(ProgramTest, AReadOnlyDataFolderIsReportedAndNothingIsWritten) {
  // The run happens in a child process: as root it drops to an ordinary user, for whom the
  // folder's permissions hold.
  chmod(std::filesystem::path(folder.root()).parent_path().c_str(), 0755);
  chmod(folder.root().c_str(), 0555);
  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    int outcome = ReadOnlyAsExpected;
    try {
      if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(ReadOnlyCrashed);
      // The engine cannot create its catalogue there: one Stop says so, which the user goes
      // past (the five managed files and the upgrades of the two files Main opens fail the
      // same way and are not shown again); then those two files cannot be created.
      screen.answer(runtime::ButtonIgnore);
      for (int file = 0; file < 2; ++file) screen.answer(runtime::ButtonOk);
      oneRun();
      runWholeProgram();
      const std::vector<std::string> texts = boxTexts();
      const auto catalogueStops =
          std::count_if(texts.begin(), texts.end(), [](const std::string& text) {
            return text.rfind("Upkeep: Unable to Open UPG file : cause ", 0) == 0;
          });
      if (texts.size() != 3 || catalogueStops != 1 ||
          texts[1].find("Unable to create the categort file") != 0 ||
          texts[2].find("Unable to create the projects file") != 0) {
        outcome = ReadOnlyWrongBoxes;
      } else if (!std::filesystem::is_empty(folder.root())) {
        outcome = ReadOnlyWroteFiles;
      }
    } catch (...) {
      outcome = ReadOnlyCrashed;
    }
    _exit(outcome);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), ReadOnlyAsExpected);
  chmod(folder.root().c_str(), 0755);
}

}  // namespace
}  // namespace app
