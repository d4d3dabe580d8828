// The main window run headless over small data folders: its opening, the lists and their
// icons, choosing a project (its file's dates, "Visit"), the "&Browse" dialog, starting the
// IDEs, the category lookup, the quick filter, the menu, the paths and what is kept between
// runs.
#include "app/windows/main_window.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/dictionary/declarations.h"
#include "app/dictionary/dictionary.h"
#include "app/dictionary/globals.h"
#include "app/dictionary/services.h"
#include "app/windows/main_lists.h"
#include "app/windows/paths_file.h"
#include "app/windows/quick_find.h"
#include "app/windows/setup_paths.h"
#include "app/windows/window_procedures.h"
#include "app/windows/window_requests.h"
#include "classlib/error_level.h"
#include "classlib/file_manager.h"
#include "classlib/request.h"
#include "platform/files/file_driver.h"
#include "platform/os/file_dates.h"
#include "platform/runtime/ini_file.h"
#include "platform/runtime/message.h"
#include "platform/runtime/standard_date.h"
#include "platform/runtime/text.h"
#include "platform/window/engine.h"
#include "platform/window/headless_backend.h"
#include "platform/window/key_codes.h"
#include "tests/app/app_fixture.h"
#include "tests/app_windows/main_fixture.h"
#include "tests/classlib/headless_fixture.h"

namespace app {
namespace {

namespace fs = std::filesystem;
using testing::MainSurroundings;
using window::HeadlessBackend;
using window::Window;

class MainWindowTest : public ::testing::Test {
 protected:
  ~MainWindowTest() override {
    for (WindowProcedure p : {WindowProcedure::update_projects, WindowProcedure::browse_Templates,
                              WindowProcedure::browse_Categories, WindowProcedure::browse_codeby,
                              WindowProcedure::browse_functions, WindowProcedure::New_Project})
      setWindowProcedure(p, {});
  }

  // Runs Main through the script, which must close it; the script must be used up.
  void run(HeadlessBackend& b) {
    {
      classlib::testing::HeadlessScope scope(b);
      Main(main.links);
    }
    EXPECT_TRUE(b.finished()) << b.remaining() << " steps left";
  }

  // The texts of column `column` of list `list`, top to bottom.
  static std::vector<std::string> column(const Window& w, int list, int column) {
    std::vector<std::string> out;
    const window::ListView& l = w.control(list)->list;
    for (std::size_t r = 1; r <= l.rowCount(); ++r) out.push_back(l.cellText(r, column));
    return out;
  }
  static std::string shown(const Window& w, int control) {
    return runtime::CLIP(w.control(control)->screenText);
  }

  testing::TempFolder folder;
  MainSurroundings main;
};

// Choosing a project is a double click, which also opens its change form: the scripts close
// the form again at once.

// The day number of yyyymmdd.
int day(int yyyymmdd) {
  return runtime::dateFromYmd(yyyymmdd / 10000, yyyymmdd / 100 % 100, yyyymmdd % 100);
}

TEST_F(MainWindowTest, OpeningShowsTheProjectsWithTheirIconsAndTheWindowsParts) {
  Projects classic = MainSurroundings::project("Alpha", "Games", "Classic");
  classic.WINDOWSEXE = 1;
  classic.HTML5 = 1;
  Projects studio = MainSurroundings::project("Beta", "Tools", "Studio");
  studio.ANDROID = 1;
  studio.IOS = 2;  // only 1 counts as built
  MainSurroundings::addProject(classic);
  MainSurroundings::addProject(studio);
  MainSurroundings::addProject(MainSurroundings::project("Gamma", "Games", "Other"));
  folder.write("gamedock.ini", "[path]\nclassic=/ide/classic\nstudio=/ide/studio\nbasepath=/b\n");
  HeadlessBackend b;
  b.checkpoint("open", [](Window& w) {
     EXPECT_EQ(w.title(), "AGK - Game Dock and Projects Database");
     EXPECT_EQ(w.statusText(2), kMainStatusText);
     EXPECT_EQ(w.timer(), 8);
     EXPECT_EQ(globalErrors().procedureName(), "Main");
     EXPECT_EQ(windowRequests().request, 0);
     EXPECT_EQ(w.control(kMainCategoryLookup)->tip, "Select Category");
     EXPECT_EQ(CLASSICEXE.view(), "/ide/classic");
     EXPECT_EQ(STUDIOEXE.view(), "/ide/studio");
     EXPECT_EQ(GLO.BASEPATH.view(), "/b");
     EXPECT_EQ(column(w, kMainProjectsList, 6),
               (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
     const window::ListView& l = w.control(kMainProjectsList)->list;
     // The IDE column, then Windows, Android, Mac OS and HTML 5.
     const std::vector<std::vector<int>> icons = {
         {kIconClassic, kIconCheck, kIconNone, kIconNone, kIconCheck},
         {kIconStudio, kIconNone, kIconCheck, kIconNone, kIconNone},
         {kIconQuestion, kIconNone, kIconNone, kIconNone, kIconNone},
     };
     for (std::size_t r = 0; r < icons.size(); ++r) {
       for (int c = 1; c <= 5; ++c) EXPECT_EQ(l.iconNumber(r + 1, c), icons[r][c - 1]) << r << c;
     }
     EXPECT_EQ(l.icons.at(kIconQuestion), "~question.ico");
     EXPECT_EQ(column(w, kMainSearchList, 1), (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
   }).click(kMainCloseButton);
  run(b);
  EXPECT_EQ(globalErrors().procedureName(), "");
  EXPECT_EQ(windowRequests().response, classlib::ResponseCompleted);
}

// Sets the last-access and last-write times of `path` to noon of the two dates.
void setTimes(const std::string& path, int accessed, int written) {
  const auto noon = [](int yyyymmdd) {
    tm t{};
    t.tm_year = yyyymmdd / 10000 - 1900;
    t.tm_mon = yyyymmdd / 100 % 100 - 1;
    t.tm_mday = yyyymmdd % 100;
    t.tm_hour = 12;
    t.tm_isdst = -1;
    return timespec{mktime(&t), 0};
  };
  const timespec times[2] = {noon(accessed), noon(written)};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST_F(MainWindowTest, ChoosingAProjectOpensItAndWritesItsFilesDatesToItsRecord) {
  folder.write("alpha.agk", "x");
  setTimes(folder.path("alpha.agk"), 20200102, 20210304);
  Projects onDisk = MainSurroundings::project("Alpha");
  onDisk.PROJECTPATH = folder.path("alpha.agk");
  Projects missing = MainSurroundings::project("Beta");
  missing.PROJECTPATH = folder.path("gone.agk");
  missing.LASTDATE = runtime::Date(2019, 5, 6);  // replaced by what VUFILEDATE answers
  const int alpha = MainSurroundings::addProject(onDisk);
  const int beta = MainSurroundings::addProject(missing);
  HeadlessBackend b;
  b.doubleClick(kMainProjectsList, 1)
      .in("Form projects")
      .closeBox()
      .checkpoint("alpha chosen",
                  [&](Window& w) {
                    EXPECT_EQ(shown(w, kMainProjectEntry), folder.path("alpha.agk"));
                    EXPECT_EQ(shown(w, kMainLastAccess), "02/01/2020");
                  })
      .doubleClick(kMainProjectsList, 2)
      .in("Form projects")
      .closeBox()
      .click(kMainCloseButton);
  run(b);
  EXPECT_EQ(GLO.PROJECT.view(), folder.path("gone.agk"));
  const Projects a = MainSurroundings::storedProject(alpha);
  EXPECT_EQ(a.LASTACCESS.value(), day(20200102));
  EXPECT_EQ(a.LASTDATE.value(), day(20210304));
  EXPECT_EQ(a.CREATETIONDATE.value(), day(os::VUFILEDATE(folder.path("alpha.agk"), 1)));
  EXPECT_EQ(a.DESCRIPTION.view(), "Alpha");  // the rest of the record as it was
  const Projects m = MainSurroundings::storedProject(beta);
  EXPECT_EQ(m.LASTDATE.value(), 0);  // a missing file has no dates
  EXPECT_EQ(m.LASTACCESS.value(), 0);
  EXPECT_EQ(m.CREATETIONDATE.value(), 0);
  EXPECT_EQ(m.DESCRIPTION.view(), "Beta");
}

TEST_F(MainWindowTest, AProjectGoneFromTheFileIsNotWrittenOverAnother) {
  const int alpha = MainSurroundings::addProject(MainSurroundings::project("Alpha"));
  const int beta = MainSurroundings::addProject(MainSurroundings::project("Beta"));
  HeadlessBackend b;
  b.checkpoint(
       "beta is deleted behind the list's back",
       [&](Window&) {
         PRO->ID = beta;
         classlib::FileManager& manager = *fileManager(projects);
         ASSERT_EQ(manager.fetch(projects.get().keyNumber("PRO:P_ID")), classlib::LevelBenign);
         ASSERT_EQ(manager.deleteRecord(), classlib::LevelBenign);
         PRO->ID = alpha;  // the browse has read alpha last
         ASSERT_EQ(manager.fetch(projects.get().keyNumber("PRO:P_ID")), classlib::LevelBenign);
       })
      .doubleClick(kMainProjectsList, 2)
      .in("Form projects")
      .closeBox()
      .click(kMainCloseButton);
  run(b);
  EXPECT_EQ(MainSurroundings::storedProject(alpha).DESCRIPTION.view(), "Alpha");
  EXPECT_EQ(MainSurroundings::storedProject(beta).DESCRIPTION.view(), "");
}

TEST_F(MainWindowTest, VisitWorksOnlyForAProjectWithAThreadLinkAndOpensIt) {
  Projects linked = MainSurroundings::project("Alpha");
  linked.THREADLINK = "https://forum.example/thread/1";
  MainSurroundings::addProject(MainSurroundings::project("Beta"));
  MainSurroundings::addProject(linked);
  HeadlessBackend b;
  const auto visit = [](bool enabled) {
    return [enabled](Window& w) { EXPECT_EQ(w.control(kMainVisitButton)->disabled, !enabled); };
  };
  b.doubleClick(kMainProjectsList, 1)
      .in("Form projects")
      .closeBox()
      .checkpoint("no link: disabled", visit(false))
      .doubleClick(kMainProjectsList, 2)
      .in("Form projects")
      .closeBox()
      .checkpoint("a link: enabled",
                  [&](Window& w) {
                    visit(true)(w);
                    EXPECT_EQ(shown(w, kMainThreadLink), "https://forum.example/thread/1");
                  })
      .click(kMainVisitButton)
      .doubleClick(kMainProjectsList, 1)
      .in("Form projects")
      .closeBox()
      .checkpoint("disabled again", visit(false))
      .click(kMainCloseButton);
  run(b);
  EXPECT_EQ(main.links.opened, (std::vector<std::string>{"https://forum.example/thread/1"}));
}

TEST_F(MainWindowTest, BrowseChoosesTheProjectFileAndACancelledDialogEmptiesIt) {
  const std::string here = fs::current_path().string();
  fs::create_directory("projects");
  HeadlessBackend b;
  b.click(kMainBrowseButton)
      .answerFile(here + "/projects/game.agk", true)
      .checkpoint("chosen",
                  [&](Window& w) {
                    EXPECT_EQ(shown(w, kMainProjectEntry), here + "/projects/game.agk");
                    EXPECT_EQ(fs::current_path().string(), here);
                  })
      .click(kMainBrowseButton)
      .cancelDialog()
      .checkpoint("emptied",
                  [&](Window& w) {
                    EXPECT_EQ(shown(w, kMainProjectEntry), "");
                    EXPECT_EQ(GLO.PROJECT.view(), "");
                  })
      .click(kMainCloseButton);
  run(b);
  ASSERT_EQ(b.fileDialogs().size(), 2u);
  const window::FileDialogRequest& dialog = b.fileDialogs()[0];
  EXPECT_EQ(dialog.title, "Select AGK filename");
  ASSERT_EQ(dialog.masks.size(), 1u);
  EXPECT_EQ(dialog.masks[0].description, "AGK Project Files");
  EXPECT_EQ(dialog.masks[0].pattern, "*.agk");
  EXPECT_FALSE(dialog.folder);
}

TEST_F(MainWindowTest, TheIdesStartOnTheOpenProjectWithExactlyTheirArguments) {
  const struct {
    const char* name;
    const char* classic;
    const char* studio;
    const char* project;
    int button;
    std::vector<std::string> argv;
  } cases[] = {
      {"classic",
       "/opt/agk/classic",
       "/opt/agk/studio",
       "/home/me/game.agk",
       kMainRunClassic,
       {"/opt/agk/classic", "/home/me/game.agk"}},
      {"studio",
       "/opt/agk/classic",
       "/opt/agk/studio",
       "/home/me/game.agk",
       kMainRunStudio,
       {"/opt/agk/studio", "/home/me/game.agk"}},
      {"blanks in both",
       "/opt/AGK IDE/run me",
       "",
       "/home/me/my game/a b.agk",
       kMainRunClassic,
       {"/opt/AGK IDE/run me", "/home/me/my game/a b.agk"}},
      {"no project: an empty argument",
       "/opt/agk/classic",
       "",
       "",
       kMainRunClassic,
       {"/opt/agk/classic", ""}},
      {"a path stored with backslashes names the file with slashes; quotes stay in the argument",
       "/opt/agk/studio",
       "/opt/agk/studio",
       "projects\\Space blaster\\\"x\" \\",
       kMainRunStudio,
       {"/opt/agk/studio", "projects/Space blaster/\"x\" /"}},
      {"no executable: the project is not run as a program",
       "",
       "",
       "/home/me/game.agk",
       kMainRunClassic,
       {"", "/home/me/game.agk"}},
      {"text that a shell would run stays text",
       "/opt/agk/classic",
       "",
       "/x/$(touch pwned); rm -rf ~ `id`.agk",
       kMainRunClassic,
       {"/opt/agk/classic", "/x/$(touch pwned); rm -rf ~ `id`.agk"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    main.started.clear();
    folder.write("gamedock.ini", "[path]\nclassic=" + std::string(c.classic) +
                                     "\nstudio=" + std::string(c.studio) + "\n");
    HeadlessBackend b;
    b.type(kMainProjectEntry, c.project).click(c.button).click(kMainCloseButton);
    run(b);
    ASSERT_EQ(main.started.size(), 1u);
    EXPECT_EQ(main.started[0], c.argv);
  }
}

// browse_Categories as the lookup sees it: records the category buffer and the request it was
// started with, then chooses `choice` (completed) or, when empty, is closed (cancelled).
struct CategoryLookup {
  std::string startedAt;
  int request = 0;
  std::string choice;

  void install() {
    setWindowProcedure(WindowProcedure::browse_Categories, [this] {
      startedAt = CAT->CATDESCRIPTION.text();
      request = windowRequests().request;
      if (choice.empty()) {
        windowRequests().response = classlib::ResponseCancelled;
        return;
      }
      CAT->CATDESCRIPTION = choice;
      windowRequests().response = classlib::ResponseCompleted;
    });
  }
};

TEST_F(MainWindowTest, TheCategoryLookupStartsAtTheNearestCategoryAndFillsTheCategoryList) {
  for (const char* name : {"Arcade", "Puzzle", "Racing"}) MainSurroundings::addCategory(name);
  MainSurroundings::addProject(MainSurroundings::project("Tetris", "Puzzle"));
  MainSurroundings::addProject(MainSurroundings::project("Rally", "Racing"));
  MainSurroundings::addProject(MainSurroundings::project("Sokoban", "Puzzle"));
  const struct {
    const char* name;
    const char* typed;
    const char* choice;  // empty: the lookup is closed
    const char* startedAt;
    std::string entry;
    std::vector<std::string> listed;
    int focus;
  } cases[] = {
      {"a category in the file",
       "Racing",
       "Puzzle",
       "Racing",
       "Puzzle",
       {"Tetris", "Sokoban"},
       kMainCategoryList},
      {"one that is not: the next",
       "Pa",
       "Racing",
       "Puzzle",
       "Racing",
       {"Rally"},
       kMainCategoryList},
      {"in small letters", "racing", "Arcade", "Racing", "Arcade", {}, kMainCategoryList},
      {"closed: the typed text stays", "Puz", "", "Puzzle", "Puz", {}, kMainCategoryLookup},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CategoryLookup lookup;
    lookup.choice = c.choice;
    lookup.install();
    HeadlessBackend b;
    b.click(kMainCategoryTab)
        .type(kMainCategoryEntry, c.typed)
        .click(kMainCategoryLookup)
        .checkpoint("after the lookup",
                    [&](Window& w) {
                      EXPECT_EQ(shown(w, kMainCategoryEntry), c.entry);
                      EXPECT_EQ(column(w, kMainCategoryList, 1), c.listed);
                      EXPECT_EQ(w.focus(), c.focus);
                      EXPECT_EQ(windowRequests().response, classlib::ResponseCancelled);
                    })
        .click(kMainCloseButton);
    run(b);
    EXPECT_EQ(lookup.startedAt, c.startedAt);
    EXPECT_EQ(lookup.request, classlib::RequestSelect);
    EXPECT_EQ(GLO.CATEGORY.view(), c.entry);
  }
}

TEST_F(MainWindowTest, TheQuickFilterIgnoresCaseFindsDatesAndSwitchesItselfOffOnNoMatch) {
  Projects dated = MainSurroundings::project("Racer");
  dated.CREATETIONDATE = runtime::Date(2021, 3, 5);  // @d6: 05/03/2021
  MainSurroundings::addProject(MainSurroundings::project("DRAGON Quest"));
  MainSurroundings::addProject(MainSurroundings::project("space blaster"));
  MainSurroundings::addProject(dated);
  const struct {
    const char* name;
    const char* text;
    std::vector<std::string> listed;
    bool noMatches;
  } cases[] = {
      {"small letters find capitals", "dragon", {"DRAGON Quest"}, false},
      {"capitals find small letters", "BLASTER", {"space blaster"}, false},
      {"a digit finds a formatted date", "03/20", {"Racer"}, false},
      {"nothing matches", "zebra", {"DRAGON Quest", "space blaster", "Racer"}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HeadlessBackend b;
    b.click(kMainSearchTab).type(kMainFindEntry, c.text).click(kMainFindSwitch);
    if (c.noMatches) b.answer(runtime::ButtonOk);
    b.checkpoint("filtered", [&](Window& w) {
       EXPECT_EQ(column(w, kMainSearchList, 1), c.listed);
       EXPECT_EQ(w.control(kMainFindSwitch)->text, c.noMatches ? "Find Off" : "Find On");
       // The main window keeps the text, upper-cased, when the filter goes off.
       EXPECT_EQ(shown(w, kMainFindEntry), runtime::UPPER(c.text));
     }).click(kMainCloseButton);
    run(b);
    ASSERT_EQ(b.boxes().size(), c.noMatches ? 1u : 0u);
    if (c.noMatches) {
      EXPECT_EQ(b.boxes()[0].text, kNoMatchesText);
      EXPECT_EQ(b.boxes()[0].caption, kNoMatchesCaption);
    }
    EXPECT_EQ(quickFind.QuickFindText.clipped(), "");  // cleared on closing
  }
}

// A filter that passes over thousands of projects before it finds one lets the windows draw
// every thousand of them meanwhile: a checkpoint right after the click runs while it reads.
TEST_F(MainWindowTest, ALongQuickFilterLetsTheWindowsDrawWhileItReads) {
  MainSurroundings::addProject(MainSurroundings::project("Project 1"));
  files::FileDeclaration& file = projects.get();
  files::OPEN(file, 0x42);
  files::LOGOUT(0, file);
  for (int id = 2; id <= 2500; ++id) {
    *PRO = MainSurroundings::project(id == 2400 ? "Quasar" : "Project " + std::to_string(id));
    PRO->ID = id;
    files::ADD(file);
  }
  files::COMMIT();
  ASSERT_EQ(runtime::ERRORCODE(), 0);
  files::CLOSE(file);
  HeadlessBackend b;
  int drawsWhileReading = 0;
  b.click(kMainSearchTab)
      .type(kMainFindEntry, "quasar")
      .click(kMainFindSwitch)
      .checkpoint("while it reads", [&](Window&) { drawsWhileReading = b.pendingCalls(); })
      .mouseAt(1, 1)  // taken once the window waits again
      .checkpoint("filtered",
                  [&](Window& w) {
                    EXPECT_EQ(column(w, kMainSearchList, 1), std::vector<std::string>{"Quasar"});
                  })
      .click(kMainCloseButton);
  run(b);
  EXPECT_GE(drawsWhileReading, 1);
  EXPECT_GE(b.pendingCalls(), 2);
}

TEST_F(MainWindowTest, SwitchingTheFilterOnWithoutTextOnlyMovesTheFocusToFind) {
  MainSurroundings::addProject(MainSurroundings::project("Alpha"));
  HeadlessBackend b;
  b.click(kMainSearchTab)
      .click(kMainFindSwitch)
      .checkpoint("unchanged",
                  [&](Window& w) {
                    EXPECT_EQ(w.focus(), kMainFindEntry);
                    EXPECT_EQ(column(w, kMainSearchList, 1), std::vector<std::string>{"Alpha"});
                  })
      .click(kMainCloseButton);
  run(b);
  EXPECT_TRUE(b.boxes().empty());
}

TEST_F(MainWindowTest, PathsChangedInThePathsWindowHoldForTheRunAndAreKeptOnlyWhenSaved) {
  folder.write("gamedock.ini", "[path]\nclassic=/old/classic\n");
  HeadlessBackend b;
  b.type(kMainProjectEntry, "/p/game.agk")
      .click(kMainPathsItem)
      .in("Paths")
      .type(kClassicEntry, "/new/classic")
      .closeBox()
      .click(kMainRunClassic)
      .click(kMainPathsItem)
      .in("Paths")
      .type(kStudioEntry, "/new/studio")
      .click(kUpdateSaveButton)
      .click(kMainRunStudio)
      .click(kMainCloseButton);
  run(b);
  ASSERT_EQ(main.started.size(), 2u);
  EXPECT_EQ(main.started[0], (std::vector<std::string>{"/new/classic", "/p/game.agk"}));
  EXPECT_EQ(main.started[1], (std::vector<std::string>{"/new/studio", "/p/game.agk"}));
  // The first change was saved with the second.
  EXPECT_EQ(runtime::GETINI("path", "classic", "", kPathsFile), "/new/classic");
  EXPECT_EQ(runtime::GETINI("path", "studio", "", kPathsFile), "/new/studio");
}

TEST_F(MainWindowTest, ThePathsWindowClosedWithoutSavingLeavesTheFileForTheNextStart) {
  folder.write("gamedock.ini", "[path]\nclassic=/old/classic\n");
  HeadlessBackend b;
  b.click(kMainPathsItem)
      .in("Paths")
      .type(kClassicEntry, "/new/classic")
      .closeBox()
      .click(kMainCloseButton);
  run(b);
  HeadlessBackend next;
  next.checkpoint("the next start reads the old path",
                  [](Window&) { EXPECT_EQ(CLASSICEXE.view(), "/old/classic"); })
      .click(kMainCloseButton);
  run(next);
}

TEST_F(MainWindowTest, TheMenuAndNewProjectOpenTheProgramsWindows) {
  const struct {
    int control;
    const char* title;
  } cases[] = {
      {kMainPathsItem, "Paths"},
      {kMainTemplatesItem, "Templates"},
      {kMainCategoriesItem, "Categories"},
      {kMainMembersItem, "Browse the codeby file"},
      {kMainFunctionsItem, "AGK Functions Database"},
      {kMainNewProjectButton, "New Project"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    HeadlessBackend b;
    // The close box must be taken by the window of that title.
    b.click(c.control).in(c.title).closeBox().click(kMainCloseButton);
    run(b);
  }
}

TEST_F(MainWindowTest, TheMenuAndNewProjectRunTheirWindowsOnceTheyExist) {
  const struct {
    int control;
    WindowProcedure procedure;
  } cases[] = {
      {kMainTemplatesItem, WindowProcedure::browse_Templates},
      {kMainCategoriesItem, WindowProcedure::browse_Categories},
      {kMainMembersItem, WindowProcedure::browse_codeby},
      {kMainFunctionsItem, WindowProcedure::browse_functions},
      {kMainNewProjectButton, WindowProcedure::New_Project},
  };
  MainSurroundings::addProject(MainSurroundings::project("Alpha"));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.control);
    // Not there (the module of a window that exists registered it at start): nothing happens.
    setWindowProcedure(c.procedure, {});
    HeadlessBackend before;
    before.type(kMainProjectEntry, "typed").click(c.control).click(kMainCloseButton);
    run(before);
    // There: the window's data is saved first, and the lists show what it added.
    std::string projectSeen;
    setWindowProcedure(c.procedure, [&] {
      projectSeen = GLO.PROJECT.text();
      MainSurroundings::addProject(MainSurroundings::project("Added"));
    });
    HeadlessBackend b;
    b.type(kMainProjectEntry, "typed")
        .click(c.control)
        .checkpoint("back",
                    [&](Window& w) {
                      if (c.procedure == WindowProcedure::New_Project) {
                        EXPECT_EQ(column(w, kMainProjectsList, 6).back(), "Added");
                      }
                    })
        .click(kMainCloseButton);
    run(b);
    EXPECT_EQ(projectSeen, "typed");
    setWindowProcedure(c.procedure, {});
  }
}

// With the procedures the window modules registered at start, each menu item and the New
// Project button open their own window, which takes the next step, and Main waits again after it.
TEST_F(MainWindowTest, TheMenuItemsAndNewProjectOpenTheProgramsWindows) {
  const struct {
    int control;
    const char* title;
  } cases[] = {
      {kMainTemplatesItem, "Templates"},
      {kMainCategoriesItem, "Categories"},
      {kMainMembersItem, "Browse the codeby file"},
      {kMainFunctionsItem, "AGK Functions Database"},
      {kMainNewProjectButton, "New Project"},
  };
  MainSurroundings::addCategory("Games");
  MainSurroundings::addProject(MainSurroundings::project("Alpha", "Games"));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    std::string opened;
    HeadlessBackend b;
    b.click(c.control)
        .in(c.title)
        .checkpoint("opened", [&](Window& w) { opened = w.title(); })
        .closeBox()
        .in("AGK - Game Dock and Projects Database")
        .click(kMainCloseButton);
    run(b);
    EXPECT_EQ(opened, c.title);
    EXPECT_EQ(window::openWindows(), 0);
  }
}

TEST_F(MainWindowTest, TheProjectButtonsRunTheFormWithTheirRequestUnlessOnlyViewing) {
  MainSurroundings::addProject(MainSurroundings::project("Alpha"));
  std::vector<int> requests;
  std::vector<std::string> records;
  setWindowProcedure(WindowProcedure::update_projects, [&] {
    requests.push_back(windowRequests().request);
    records.push_back(PRO->DESCRIPTION.text());
    windowRequests().response = classlib::ResponseCancelled;
  });
  for (int opened : {0, int{classlib::RequestView}}) {
    SCOPED_TRACE(opened);
    requests.clear();
    windowRequests().request = static_cast<std::uint8_t>(opened);
    HeadlessBackend b;
    b.click(kMainInsertButton)
        .click(kMainChangeButton)
        .click(kMainDeleteButton)
        .click(kMainCloseButton);
    run(b);
    if (opened == classlib::RequestView) {
      EXPECT_TRUE(requests.empty());
    } else {
      EXPECT_EQ(requests, (std::vector<int>{1, 2, 3}));
      EXPECT_EQ(records.back(), "Alpha");
    }
  }
}

// The row highlighted in the projects list, the record the window shows under it and the
// "Visit" button always tell of the same project.
void expectRowAndRecordAgree(const Window& w, const std::string& description) {
  const window::ListView& l = w.control(kMainProjectsList)->list;
  ASSERT_GT(l.selected, 0) << "no row is highlighted";
  EXPECT_EQ(runtime::CLIP(l.cellText(static_cast<std::size_t>(l.selected), 6)), description);
  EXPECT_EQ(PRO->DESCRIPTION.text(), description);
  EXPECT_EQ(runtime::CLIP(w.control(kMainLongDescription)->screenText),
            description.empty() ? "" : description + " in long");
  EXPECT_EQ(!w.control(kMainVisitButton)->disabled, !runtime::CLIP(PRO->THREADLINK.view()).empty())
      << "Visit for " << description;
}

TEST_F(MainWindowTest, TheHighlightedRowIsTheRecordShownAfterASortAnInsertAndADelete) {
  for (const char* name : {"Beta", "Alpha", "Gamma"}) {
    Projects p = MainSurroundings::project(name);
    p.LONGDESCRIPTION = std::string(name) + " in long";
    if (std::string(name) != "Alpha") p.THREADLINK = "https://forum.example/" + std::string(name);
    MainSurroundings::addProject(p);
  }
  setWindowProcedure(WindowProcedure::update_projects, [] {
    classlib::FileManager& manager = *fileManager(projects);
    if (windowRequests().request == classlib::RequestInsert) {
      PRO->DESCRIPTION = "Delta";
      PRO->LONGDESCRIPTION = "Delta in long";
      ASSERT_EQ(manager.insert(), classlib::LevelBenign);
    } else if (windowRequests().request == classlib::RequestDelete) {
      ASSERT_EQ(manager.deleteRecord(), classlib::LevelBenign);
    }
    windowRequests().response = classlib::ResponseCompleted;
  });
  const int description = 6;
  const auto agree = [](const char* name) {
    return [name](Window& w) { expectRowAndRecordAgree(w, name); };
  };
  HeadlessBackend b;
  b.chooseRow(kMainProjectsList, 2)
      .checkpoint("Alpha, without a link", agree("Alpha"))
      .chooseRow(kMainProjectsList, 1)
      .checkpoint("Beta, with one", agree("Beta"))
      .headerClick(kMainProjectsList, description)
      .checkpoint("sorted: still Beta", agree("Beta"))
      .headerClick(kMainProjectsList, description)
      .checkpoint("sorted the other way: still Beta", agree("Beta"))
      .click(kMainInsertButton)
      .checkpoint("the new project", agree("Delta"))
      .click(kMainDeleteButton)
      .checkpoint("after the delete",
                  [](Window& w) {
                    EXPECT_NE(PRO->DESCRIPTION.text(), "Delta");
                    expectRowAndRecordAgree(w, PRO->DESCRIPTION.text());
                  })
      .click(kMainCloseButton);
  run(b);
}

// The long description and "Visit" tell of the project selected in `list`, the list in view;
// only the projects whose names are in `linked` have a thread link.
void expectRecordOfList(const Window& w, int list, const std::vector<std::string>& linked) {
  const window::ListView& l = w.control(list)->list;
  ASSERT_GT(l.selected, 0) << "no row is highlighted";
  const std::string selected = runtime::CLIP(
      l.cellText(static_cast<std::size_t>(l.selected), list == kMainProjectsList ? 6 : 1));
  EXPECT_EQ(runtime::CLIP(w.control(kMainLongDescription)->screenText), selected + " in long");
  const bool link = std::find(linked.begin(), linked.end(), selected) != linked.end();
  EXPECT_EQ(w.control(kMainVisitButton)->disabled, !link) << "Visit for " << selected;
}

TEST_F(MainWindowTest, TheLongDescriptionAndVisitFollowTheListInViewAfterEveryChange) {
  const std::vector<std::string> linked = {"Ninja 13"};
  for (const char* name : {"Zombie 25", "Ninja 13", "Pirate 7"}) {
    Projects p = MainSurroundings::project(name, std::string(name) == "Pirate 7" ? "Sea" : "Land");
    p.LONGDESCRIPTION = std::string(name) + " in long";
    if (std::string(name) == "Ninja 13") p.THREADLINK = "https://forum.example/t/13";
    MainSurroundings::addProject(p);
  }
  for (const char* name : {"Land", "Sea"}) MainSurroundings::addCategory(name);
  CategoryLookup lookup;
  lookup.choice = "Sea";
  lookup.install();
  setWindowProcedure(WindowProcedure::New_Project, [] {
    Projects p = MainSurroundings::project("Knight 1", "Land");
    p.LONGDESCRIPTION = "Knight 1 in long";
    MainSurroundings::addProject(p);
  });
  const auto showing = [&](int list) {
    return [list, &linked](Window& w) { expectRecordOfList(w, list, linked); };
  };
  HeadlessBackend b;
  b.checkpoint("opened", showing(kMainProjectsList))
      .click(kMainSearchTab)
      .checkpoint("the search tab", showing(kMainSearchList))
      .type(kMainFindEntry, "ninja")
      .click(kMainFindSwitch)
      .checkpoint("filtered",
                  [&](Window& w) {
                    EXPECT_EQ(column(w, kMainSearchList, 1), std::vector<std::string>{"Ninja 13"});
                    showing(kMainSearchList)(w);
                  })
      .click(kMainNewProjectButton)
      .checkpoint("a new project", showing(kMainSearchList))
      .click(kMainCategoryTab)
      .click(kMainCategoryLookup)
      .checkpoint("the category looked up",
                  [&](Window& w) {
                    EXPECT_EQ(column(w, kMainCategoryList, 1),
                              std::vector<std::string>{"Pirate 7"});
                    showing(kMainCategoryList)(w);
                  })
      .click(kMainProjectsTab)
      .checkpoint("back on the projects", showing(kMainProjectsList))
      .click(kMainCloseButton);
  run(b);
}

TEST_F(MainWindowTest, ADamagedFileIsReportedOnceForItsWindowByItsPathAndLeftAsItIs) {
  const std::string damaged = "this is not a data file of the program\n";
  const struct {
    const char* file;
    int item;
  } cases[] = {{"template.aaa", kMainTemplatesItem},
               {"codeby.aaa", kMainMembersItem},
               {"FUNC.VKF", kMainFunctionsItem}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    folder.write(c.file, damaged);
    HeadlessBackend b;
    b.click(c.item).answer(runtime::ButtonOk).closeBox().click(kMainCloseButton);
    run(b);
    ASSERT_EQ(b.boxes().size(), 1u);
    EXPECT_NE(b.boxes()[0].text.find(folder.path(c.file)), std::string::npos) << b.boxes()[0].text;
    EXPECT_EQ(testing::TempFolder::read(folder.path(c.file)), damaged);
  }
}

TEST_F(MainWindowTest, AltCMovesBetweenChangeAndCloseAndEscapeClosesTheWindow) {
  MainSurroundings::addProject(MainSurroundings::project("Alpha"));
  bool formRun = false;
  setWindowProcedure(WindowProcedure::update_projects, [&] { formRun = true; });
  HeadlessBackend b;
  b.key(window::AltKey + 'C')
      .checkpoint("on Change", [](Window& w) { EXPECT_EQ(w.focus(), kMainChangeButton); })
      .key(window::AltKey + 'C')
      .checkpoint("on Close, still open", [](Window& w) { EXPECT_EQ(w.focus(), kMainCloseButton); })
      .key(window::AltKey + 'C')
      .checkpoint("round to Change", [](Window& w) { EXPECT_EQ(w.focus(), kMainChangeButton); })
      .key(window::EscKey);
  run(b);
  EXPECT_FALSE(formRun) << "a shared letter presses nothing";
}

TEST_F(MainWindowTest, TheSortByAColumnAndTheWindowsPlaceAreKeptForTheNextRun) {
  for (const char* name : {"Beta", "alpha", "Gamma"})  // the sort ignores letter case
    MainSurroundings::addProject(MainSurroundings::project(name));
  const int description = 6;  // the column of PRO:DESCRIPTION
  HeadlessBackend b;
  b.headerClick(kMainProjectsList, description)
      .checkpoint("ascending",
                  [&](Window& w) {
                    EXPECT_EQ(column(w, kMainProjectsList, description),
                              (std::vector<std::string>{"alpha", "Beta", "Gamma"}));
                  })
      .headerClick(kMainProjectsList, description)
      .checkpoint("descending",
                  [&](Window& w) {
                    EXPECT_EQ(column(w, kMainProjectsList, description),
                              (std::vector<std::string>{"Gamma", "Beta", "alpha"}));
                    window::setProperty(0, window::PropXpos, 40);
                    window::setProperty(0, window::PropYpos, 30);
                  })
      .click(kMainCloseButton);
  run(b);
  HeadlessBackend next;
  next.checkpoint("as left",
                  [&](Window& w) {
                    EXPECT_EQ(column(w, kMainProjectsList, description),
                              (std::vector<std::string>{"Gamma", "Beta", "alpha"}));
                    EXPECT_EQ(w.at().x, 40);
                    EXPECT_EQ(w.at().y, 30);
                  })
      .click(kMainCloseButton);
  run(next);
}

TEST_F(MainWindowTest, EnterMovesOnAndReachingTheLookupShowsTheTypedCategorysProjects) {
  MainSurroundings::addProject(MainSurroundings::project("Tetris", "Puzzle"));
  MainSurroundings::addProject(MainSurroundings::project("Rally", "Racing"));
  HeadlessBackend b;
  b.type(kMainProjectEntry, "/p/game.agk")
      .key(window::EnterKey)
      .checkpoint("to Browse", [](Window& w) { EXPECT_EQ(w.focus(), kMainBrowseButton); })
      .click(kMainCategoryTab)
      .type(kMainCategoryEntry, "Racing")
      .checkpoint("not yet",
                  [&](Window& w) { EXPECT_TRUE(column(w, kMainCategoryList, 1).empty()); })
      .key(window::EnterKey)
      .checkpoint("on the lookup button, the list shows the category",
                  [&](Window& w) {
                    EXPECT_EQ(w.focus(), kMainCategoryLookup);
                    EXPECT_EQ(column(w, kMainCategoryList, 1), std::vector<std::string>{"Rally"});
                  })
      .click(kMainCloseButton);
  run(b);
}

TEST_F(MainWindowTest, CtrlEnterChoosesTheSelectedProjectInEachListAsADoubleClickDoes) {
  MainSurroundings::addCategory("Racing");
  Projects tetris = MainSurroundings::project("Tetris", "Puzzle");
  tetris.PROJECTPATH = "/p/tetris.agk";
  Projects rally = MainSurroundings::project("Rally", "Racing");
  rally.PROJECTPATH = "/p/rally.agk";
  MainSurroundings::addProject(tetris);
  MainSurroundings::addProject(rally);
  const auto open = [](const char* path) {
    return [path](Window&) { EXPECT_EQ(GLO.PROJECT.text(), path); };
  };
  HeadlessBackend b;
  b.chooseRow(kMainProjectsList, 2)
      .key(window::EnterKey)  // moves the focus on
      .checkpoint("not chosen", open(""))
      .chooseRow(kMainProjectsList, 2)
      .key(window::CtrlKey + window::EnterKey)
      .in("Form projects")  // choosing in the projects list opens its form, as a double click
      .closeBox()
      .checkpoint("chosen in the projects list", open("/p/rally.agk"))
      .click(kMainSearchTab)
      .chooseRow(kMainSearchList, 1)
      .key(window::CtrlKey + window::EnterKey)
      .checkpoint("chosen in the search list", open("/p/tetris.agk"))
      .click(kMainCategoryTab)
      .type(kMainCategoryEntry, "Racing")
      .key(window::EnterKey)
      .chooseRow(kMainCategoryList, 1)
      .key(window::CtrlKey + window::EnterKey)
      .checkpoint("chosen in the category list", open("/p/rally.agk"))
      .click(kMainCloseButton);
  run(b);
}

TEST_F(MainWindowTest, TheArrowPageHomeAndEndKeysMoveTheSelectionAndLeaveTheFocusOnTheList) {
  for (const char* name : {"A1", "A2", "A3", "A4", "A5"})
    MainSurroundings::addProject(MainSurroundings::project(name));
  const struct {
    int key;
    const char* shown;
  } steps[] = {
      {window::DownKey, "A2"}, {window::DownKey, "A3"}, {window::UpKey, "A2"},
      {window::EndKey, "A5"},  {window::HomeKey, "A1"}, {window::PgDnKey, "A5"},
      {window::PgUpKey, "A1"},
  };
  HeadlessBackend b;
  b.chooseRow(kMainProjectsList, 1);
  for (const auto& step : steps) {
    b.key(step.key).checkpoint(step.shown, [&step](Window& w) {
      EXPECT_EQ(w.focus(), kMainProjectsList);
      EXPECT_EQ(PRO->DESCRIPTION.text(), step.shown) << "the record follows the highlight";
      const window::ListView& l = w.control(kMainProjectsList)->list;
      EXPECT_EQ(runtime::CLIP(l.cellText(static_cast<std::size_t>(l.selected), 6)), step.shown);
    });
  }
  b.click(kMainCloseButton);
  run(b);
}

TEST_F(MainWindowTest, EachListsPopupOffersItsFormatEntriesAfterALine) {
  MainSurroundings::addProject(MainSurroundings::project("Alpha", "Games"));
  GLO.CATEGORY = "Games";
  HeadlessBackend b;
  b.rightClick(kMainProjectsList, 1)
      .answerPopup(0)
      .click(kMainCategoryTab)
      .rightClick(kMainCategoryList, 1)
      .answerPopup(0)
      .click(kMainCloseButton);
  run(b);
  ASSERT_EQ(b.popups().size(), 2u);
  const auto texts = [](const window::PopupRequest& popup) {
    std::vector<std::string> out;
    for (const window::PopupItem& item : popup.items) out.push_back(item.line ? "-" : item.text);
    return out;
  };
  EXPECT_EQ(texts(b.popups()[0]),
            (std::vector<std::string>{"&Insert", "&Change", "&Delete", "-", "Save List Format",
                                      "Restore Default Format"}));
  EXPECT_EQ(texts(b.popups()[1]),
            (std::vector<std::string>{"Save List Format", "Restore Default Format"}));
}

}  // namespace
}  // namespace app
