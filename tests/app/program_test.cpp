#include "app/core/program.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "app/dictionary/declarations.h"
#include "app/dictionary/dictionary.h"
#include "app/windows/main_window.h"
#include "app/windows/quick_find_state.h"
#include "app/windows/window_requests.h"
#include "classlib/error_level.h"
#include "platform/files/file_driver.h"
#include "platform/os/desktop_settings.h"
#include "platform/runtime/ini_file.h"
#include "platform/runtime/module_initialisers.h"
#include "platform/window/dialogs.h"
#include "platform/window/engine.h"
#include "platform/window/headless_backend.h"
#include "platform/window/properties.h"
#include "tests/app/app_fixture.h"
#include "tests/support/child_process.h"
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
  // Runs the whole program with its windows and boxes on `script`. A run that ends in an
  // exception (a script that does not fit what the program shows) fails the test: its windows
  // are closed and its process ended, so that the next run starts afresh.
  void runWholeProgramOn(HeadlessBackend& script) {
    const window::InstalledBackend installed(script);
    startProcess();
    try {
      runProgram();
    } catch (const std::exception& e) {
      ADD_FAILURE() << "the run ended with: " << e.what();
      while (window::openWindows() > 0) window::CLOSE();
    }
    endProcess();
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
  support::ChildProcess child([&] {
    screen.answer(runtime::ButtonIgnore);
    runWholeProgram();
    return 99;  // the program went on
  });
  EXPECT_TRUE(child.wait().exitedWith(1)) << child.wait().text();
}

// A process whose files may not grow past a few kilobytes (a full disk, `prlimit --fsize`): the
// data files Main opens cannot be created, which two boxes say, and the program goes on and
// ends as usual, with the desktop's drag setting put back, instead of dying of SIGXFSZ.
TEST_F(ProgramTest, AFileSizeLimitIsReportedAndTheProgramEndsAsUsual) {
  folder.writeProfile("[Desktop]\nDragFullWindows=1\n");
  oneRun();
  runWholeProgram();  // the catalogue and the files, which the limited run does not write
  std::filesystem::remove(folder.path("projects.aaa"));
  std::filesystem::remove(folder.path("category.aaa"));
  support::ChildProcess child([&] {
    support::limitFileSize(8 * 1024);
    for (int file = 0; file < 2; ++file) screen.answer(runtime::ButtonOk);
    oneRun();
    runWholeProgram();
    const std::vector<std::string> texts = boxTexts();
    const bool told = texts.size() == 2 &&
                      texts[0].find("Unable to create the categort file") == 0 &&
                      texts[1].find("Unable to create the projects file") == 0;
    return told ? 0 : 10;
  });
  EXPECT_TRUE(child.wait().exitedWith(0)) << child.wait().text();
  EXPECT_TRUE(os::dragFullWindows());
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
    run.answer(runtime::ButtonOk).checkpoint("open", [](window::Window&) {}).click(39);
    runWholeProgramOn(run);
    ASSERT_EQ(run.boxes().size(), 1u);
    EXPECT_NE(run.boxes()[0].text.find("Unable to open the projects file"), std::string::npos)
        << run.boxes()[0].text;
    EXPECT_EQ(testing::TempFolder::read(folder.path("projects.aaa")), before);
    EXPECT_TRUE(std::filesystem::exists(folder.path("category.aaa")));
  }
}

TEST_F(ProgramTest, ARunWhoseScriptDoesNotFitFailsAloneAndTheNextRunGoesOn) {
  // No box comes at the start: the scripted answer is left over when Main waits.
  HeadlessBackend misfit;
  misfit.answer(runtime::ButtonOk).click(kMainCloseButton);
  EXPECT_NONFATAL_FAILURE(runWholeProgramOn(misfit), "no box or dialog is shown");
  EXPECT_EQ(window::openWindows(), 0);
  HeadlessBackend fitting;
  bool opened = false;
  fitting.checkpoint("open", [&](window::Window&) { opened = true; }).click(kMainCloseButton);
  runWholeProgramOn(fitting);
  EXPECT_TRUE(opened);
  EXPECT_TRUE(fitting.finished());
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
  support::ChildProcess child([&] {
    int outcome = ReadOnlyAsExpected;
    try {
      if (!support::dropRoot()) return static_cast<int>(ReadOnlyCrashed);
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
    return outcome;
  });
  EXPECT_TRUE(child.wait().exitedWith(ReadOnlyAsExpected)) << child.wait().text();
  chmod(folder.root().c_str(), 0755);
}

// What a start over a data folder holds for a file: its kind and, for a plain file, its bytes.
std::string fileState(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) return "missing";
  if (S_ISLNK(info.st_mode)) return "link to " + std::filesystem::read_symlink(path).string();
  if (!S_ISREG(info.st_mode)) return "not a plain file";
  return testing::TempFolder::read(path);
}

// A rollback journal of some other database: SQLite's journal header for pages of 64 kB and an
// original size of ten pages, with no pages in it.
std::string foreignJournal() {
  std::string header = "\xd9\xd5\x05\xf9\x20\xa1\x63\xd7";
  header += std::string(
      "\0\0\0\0"
      "\x12\x34\x56\x78"
      "\0\0\0\x0a"
      "\0\0\x02\0"
      "\0\x01\0\0",
      20);
  header.resize(512, '\0');
  return header;
}

void sqliteExec(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
}

// Hostile files in place of each file the program reads at start. Every start ends, shows only
// the report of a data file it cannot open, and leaves the hostile files as they were. The time
// limit only catches a start that hangs; a normal start takes a fraction of it.
TEST_F(ProgramTest, HostileFilesAtStartAreRefusedAndLeftAsTheyWere) {
  oneRun();
  runWholeProgram();
  // The reports a start shows for a data file it cannot open, and the button that goes past each.
  struct Report {
    const char* start = nullptr;
    int count = 0;
    int button = runtime::ButtonOk;
  };
  const std::map<std::string, Report> dataFiles = {
      {"projects.aaa", {"Unable to open the projects file", 1}},
      {"category.aaa", {"Unable to open the categort file", 1}},
      {"Formats.FDB", {"An error occured: Invalid Data File.", 1}},
      // The same catalogue failure is shown once a start, however many files look it up.
      {"Upg.Vkf", {"Upkeep: Unable to Open UPG file", 1, runtime::ButtonIgnore}},
  };
  std::map<std::string, std::string> goodBytes;
  for (const auto& [name, report] : dataFiles)
    goodBytes[name] = testing::TempFolder::read(folder.path(name));
  std::string manySections;
  for (int i = 0; i < 20000; ++i) manySections += "[s" + std::to_string(i) + "]\nx=1\n";

  struct Case {
    std::string what;
    std::string file;  // the hostile file, in the data folder or the profile
    std::function<void(const std::string& path)> make;
    Report report;           // what the start shows
    bool rewritten = false;  // an INI file the run writes to: its sections must stay
  };
  std::vector<Case> cases;
  const auto pipe = [](const std::string& path) { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); };
  const auto endless = [](const std::string& path) {
    ASSERT_EQ(symlink("/dev/zero", path.c_str()), 0);
  };
  for (const std::string file : {"game_dock.INI", "gamedock.ini", "profile"}) {
    cases.push_back({"a pipe", file, pipe, {}});
    cases.push_back({"a link to /dev/zero", file, endless, {}});
  }
  const auto text = [](std::string content) {
    return [content](const std::string& path) { std::ofstream(path, std::ios::binary) << content; };
  };
  cases.push_back({"20,000 sections", "gamedock.ini", text(manySections), {}});
  // The program writes its window settings into these: they must keep every section.
  cases.push_back({"20,000 sections", "game_dock.INI", text(manySections), {}, true});
  cases.push_back({"a huge sector count",
                   "game_dock.INI",
                   text("[Sectors]\nSectorCount=100000000\nSector1=Main\n"),
                   {},
                   true});
  for (const auto& [file, box] : dataFiles) {
    const auto withJournal = [](std::function<void(const std::string&)> make) {
      return [make](const std::string& path) {
        make(path);
        std::ofstream(path + "-journal", std::ios::binary) << foreignJournal();
      };
    };
    const auto ours = [&, file = file](const std::string& path) {
      std::ofstream(path, std::ios::binary) << goodBytes.at(file);
    };
    const auto foreignDatabase = [](const std::string& path) {
      sqliteExec(path, "CREATE TABLE t(x); INSERT INTO t VALUES(1)");
    };
    cases.push_back({"a pipe", file, pipe, box});
    cases.push_back({"a link to /dev/zero", file, endless, box});
    // A folder is no file to open: it is reported as no access, never as a damaged file.
    Report folderReport = box;
    if (file == "Formats.FDB") folderReport.start = "An error occured: Access Denied.";
    cases.push_back({"a folder", file,
                     [](const std::string& path) { std::filesystem::create_directory(path); },
                     folderReport});
    cases.push_back({"a foreign journal beside a text file", file,
                     withJournal(text(std::string(24000, 't'))), box});
    cases.push_back({"a foreign journal beside a good file", file, withJournal(ours), box});
    cases.push_back(
        {"a foreign journal beside a foreign database", file, withJournal(foreignDatabase), box});
    cases.push_back({"a copy in WAL mode", file,
                     [ours](const std::string& path) {
                       ours(path);
                       sqliteExec(path, "PRAGMA journal_mode=WAL");
                     },
                     box});
    cases.push_back({"a later format version", file,
                     [ours](const std::string& path) {
                       ours(path);
                       sqliteExec(path, "PRAGMA user_version=99");
                     },
                     box});
  }

  for (const Case& c : cases) {
    SCOPED_TRACE(c.file + ": " + c.what);
    for (const auto& entry : std::filesystem::directory_iterator(folder.root()))
      std::filesystem::remove_all(entry.path());
    std::filesystem::remove(folder.profile());
    const std::string path = c.file == "profile" ? folder.profile() : folder.path(c.file);
    c.make(path);
    const std::string before = fileState(path);
    const std::string journalBefore = fileState(path + "-journal");
    const std::vector<std::string> sectionsBefore = runtime::iniSections(path);

    HeadlessBackend run;
    for (int i = 0; i < c.report.count; ++i) run.answer(c.report.button);
    run.checkpoint("open", [](window::Window&) {}).click(kMainCloseButton);
    const auto start = std::chrono::steady_clock::now();
    runWholeProgramOn(run);
    const auto took = std::chrono::steady_clock::now() - start;

    EXPECT_LT(took, std::chrono::seconds(60));
    EXPECT_TRUE(run.finished());
    EXPECT_EQ(run.boxes().size(), static_cast<std::size_t>(c.report.count));
    for (const runtime::MessageRequest& shown : run.boxes())
      EXPECT_EQ(shown.text.rfind(c.report.start != nullptr ? c.report.start : "", 0), 0u)
          << shown.text;
    if (c.rewritten) {
      const std::vector<std::string> after = runtime::iniSections(path);
      EXPECT_TRUE(
          std::includes(after.begin(), after.end(), sectionsBefore.begin(), sectionsBefore.end()));
    } else {
      EXPECT_EQ(fileState(path), before);
    }
    EXPECT_EQ(fileState(path + "-journal"), journalBefore);
  }
}

}  // namespace
}  // namespace app
