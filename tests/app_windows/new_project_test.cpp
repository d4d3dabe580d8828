// The "New Project" window run headless: a real project made on disk from the sample template,
// the IDE started through a recording spawner, the lookups (chosen, cancelled), what the window
// keeps between uses, and Cancel.
#include "app/windows/new_project.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/dictionary/declarations.h"
#include "app/dictionary/globals.h"
#include "app/dictionary/services.h"
#include "app/windows/browse_categories.h"
#include "app/windows/select_template.h"
#include "app/windows/window_requests.h"
#include "classlib/request.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/message.h"
#include "platform/runtime/text.h"
#include "platform/window/headless_backend.h"
#include "tests/app_windows/new_project_fixture.h"
#include "tests/classlib/headless_fixture.h"

namespace app {
namespace {

namespace fs = std::filesystem;
using testing::MainSurroundings;
using testing::NewProjectSurroundings;
using testing::TempFolder;
using window::HeadlessBackend;
using window::Window;

const std::string kResources = std::string(GD_RESOURCES_DIR) + "/templates/";

class NewProjectTest : public ::testing::Test {
 protected:
  NewProjectTest() {
    CLASSICEXE = "/opt/agk classic/agk";
    STUDIOEXE = "/opt/agk studio/agk-studio";
  }

  // Runs New_Project through the script, which must be used up.
  static void run(HeadlessBackend& b) {
    {
      classlib::testing::HeadlessScope scope(b);
      New_Project();
    }
    EXPECT_TRUE(b.finished()) << b.remaining() << " steps left";
  }

  static std::string shown(const Window& w, int control) {
    return runtime::CLIP(w.control(control)->screenText);
  }

  // The text of column 1 of the selected row of the lookup list `w`.
  static std::string selectedRow(const Window& w) {
    const window::ListView& l = w.control(1)->list;
    return runtime::CLIP(l.cellText(static_cast<std::size_t>(l.selected), 1));
  }
  NewProjectSurroundings s;
};

TEST_F(NewProjectTest, CreateProjectMakesTheProjectOnDiskAndStartsTheIde) {
  for (const char* name : {"classic.def", "studio.def", "sample.tpl"})
    fs::copy_file(kResources + name, s.folder.path(std::string("templates/") + name),
                  fs::copy_options::overwrite_existing);
  s.addTemplate("Sample", "templates/sample.tpl", TempFolder::read(kResources + "sample.tpl"));
  HeadlessBackend b;
  b.click(kNewProjectStudioRadio)
      .type(kNewProjectDescriptionEntry, "Space Game")
      .type(kNewProjectFileNameEntry, "space shooter")
      .click(kNewProjectTemplateLookup)
      .in("Select Template")
      .click(kSelectTemplateButton)
      .checkpoint("the template chosen",
                  [](Window& w) { EXPECT_EQ(shown(w, kNewProjectTemplateEntry), "Sample"); })
      .click(kNewProjectCreate);
  run(b);

  const std::string folder = s.folder.path("projects/Space Game");
  EXPECT_TRUE(fs::is_directory(folder + "/media"));
  EXPECT_EQ(TempFolder::read(folder + "/main.agc"),
            NewProjectSurroundings::header("Space Game", "space shooter") +
                "// Window and display\n"
                "SetWindowTitle(\"My Game\")\n"
                "SetWindowSize(1024, 768, 0)\n"
                "SetWindowAllowResize(1)\n"
                "SetVirtualResolution(1024, 768)\n"
                "SetOrientationAllowed(1, 1, 1, 1)\n"
                "SetSyncRate(60, 0)\n"
                "UseNewDefaultFonts(1)\n"
                "\n"
                "do\n"
                "    Print(\"FPS: \" + str(ScreenFPS(), 1))\n"
                "    Sync()\n"
                "loop\n"
                "// End of the sample template\n");
  EXPECT_EQ(TempFolder::read(folder + "/space shooter.agk"),
            TempFolder::read(kResources + "studio.def"));
  std::vector<std::string> inFolder;
  for (const auto& entry : fs::directory_iterator(folder))
    inFolder.push_back(entry.path().filename());
  std::sort(inFolder.begin(), inFolder.end());
  EXPECT_EQ(inFolder, (std::vector<std::string>{"main.agc", "media", "space shooter.agk"}));

  const std::string agk = s.folder.path("projects") + "/Space Game/space shooter.agk";
  EXPECT_EQ(GLO.PROJECT.text(), agk);
  ASSERT_EQ(s.main.started.size(), 1u);
  // The IDE gets the .agk file as one argument; the runtime converts only the program name.
  EXPECT_EQ(s.main.started[0], (std::vector<std::string>{"/opt/agk studio/agk-studio", agk}));
  const Projects stored = MainSurroundings::storedProject(1);
  EXPECT_EQ(stored.DESCRIPTION.text(), "Space Game");
  EXPECT_EQ(stored.PROJECTPATH.text(), agk);
  EXPECT_EQ(stored.TYPEC.text(), "Studio");
  EXPECT_EQ(GLO.MAINAGCFILE.text(), folder + "/main.agc");
  EXPECT_EQ(globalErrors().procedureName(), "");
}

TEST_F(NewProjectTest, WithoutATemplateMainAgcIsEmptyAndClassicIsStarted) {
  GLO.CATEGORY = "Puzzles";
  HeadlessBackend b;
  b.checkpoint("opens on Classic with what was kept",
               [](Window& w) {
                 EXPECT_EQ(globalErrors().procedureName(), "New_Project");
                 EXPECT_EQ(shown(w, kNewProjectCategoryEntry), "Puzzles");
                 EXPECT_EQ(w.control(kNewProjectIdeOption)->use.get().toText(), "Classic");
               })
      .type(kNewProjectDescriptionEntry, "Plain")
      .type(kNewProjectFileNameEntry, "plain")
      .click(kNewProjectCreate);
  run(b);
  EXPECT_EQ(TempFolder::read(s.folder.path("projects/Plain/main.agc")), "");
  EXPECT_EQ(TempFolder::read(s.folder.path("projects/Plain/plain.agk")), testing::kClassicDef);
  ASSERT_EQ(s.main.started.size(), 1u);
  EXPECT_EQ(s.main.started[0][0], "/opt/agk classic/agk");
  EXPECT_EQ(MainSurroundings::storedProject(1).CATEGORY.text(), "Puzzles");
}

TEST_F(NewProjectTest, TheWindowKeepsItsEntriesButAlwaysOpensOnClassic) {
  HeadlessBackend first;
  first.click(kNewProjectStudioRadio)
      .type(kNewProjectDescriptionEntry, "Kept")
      .type(kNewProjectCategoryEntry, "Arcade")
      .type(kNewProjectFileNameEntry, "kept")
      .click(kNewProjectCancel);
  run(first);
  EXPECT_FALSE(fs::exists(s.folder.path("projects/Kept")));  // Cancel makes nothing
  EXPECT_TRUE(s.main.started.empty());
  HeadlessBackend second;
  second
      .checkpoint("what was typed is there",
                  [](Window& w) {
                    EXPECT_EQ(shown(w, kNewProjectDescriptionEntry), "Kept");
                    EXPECT_EQ(shown(w, kNewProjectCategoryEntry), "Arcade");
                    EXPECT_EQ(shown(w, kNewProjectFileNameEntry), "kept");
                    EXPECT_EQ(w.control(kNewProjectIdeOption)->use.get().toText(), "Classic");
                  })
      .closeBox();
  run(second);
}

TEST_F(NewProjectTest, ACancelledTemplateLookupKeepsTheTemplateChosenBefore) {
  s.addTemplate("First", "first.tpl", "[template]\ntotal=1\n1=first\n");
  s.addTemplate("Second", "second.tpl", "[template]\ntotal=1\n1=second\n");
  HeadlessBackend b;
  b.type(kNewProjectDescriptionEntry, "Keep")
      .type(kNewProjectFileNameEntry, "keep")
      .click(kNewProjectTemplateLookup)
      .checkpoint("the list starts at the first",
                  [](Window& w) { EXPECT_EQ(selectedRow(w), "First"); })
      .click(kSelectTemplateButton)
      .type(kNewProjectTemplateEntry, "Sec")
      .click(kNewProjectTemplateLookup)
      .checkpoint("at the next description", [](Window& w) { EXPECT_EQ(selectedRow(w), "Second"); })
      .closeBox()
      .checkpoint("focus back on the button",
                  [](Window& w) {
                    EXPECT_EQ(w.focus(), kNewProjectTemplateLookup);
                    EXPECT_EQ(shown(w, kNewProjectTemplateEntry), "Sec");
                  })
      .click(kNewProjectCreate);
  run(b);
  // The positioning left "Second" in the buffer, but the id kept is the one chosen before.
  const std::string agc = TempFolder::read(s.folder.path("projects/Keep/main.agc"));
  EXPECT_EQ(agc.substr(agc.size() - 7), "\nfirst\n");
}

TEST_F(NewProjectTest, TheCategoryLookupFillsTheEntryOrKeepsIt) {
  MainSurroundings::addCategory("Arcade");
  MainSurroundings::addCategory("Puzzles");
  HeadlessBackend b;
  b.type(kNewProjectCategoryEntry, "Blocks")  // none such: the list starts at the next one
      .click(kNewProjectCategoryLookup)
      .checkpoint("at the next category", [](Window& w) { EXPECT_EQ(selectedRow(w), "Puzzles"); })
      .click(kCategoriesSelect)
      .checkpoint("chosen",
                  [](Window& w) {
                    EXPECT_EQ(shown(w, kNewProjectCategoryEntry), "Puzzles");
                    EXPECT_EQ(GLO.CATEGORY.text(), "Puzzles");
                    EXPECT_EQ(w.focus(), kNewProjectFileNameEntry);
                  })
      .type(kNewProjectCategoryEntry, "Arc")
      .click(kNewProjectCategoryLookup)
      .click(kCategoriesClose)
      .checkpoint("cancelled",
                  [](Window& w) {
                    EXPECT_EQ(shown(w, kNewProjectCategoryEntry), "Arc");
                    EXPECT_EQ(w.focus(), kNewProjectCategoryLookup);
                  })
      .closeBox();
  run(b);
  EXPECT_EQ(GLO.CATEGORY.text(), "Arc");
}

TEST_F(NewProjectTest, AnExistingProjectFolderIsWrittenIntoOnlyWhenTheUserAgrees) {
  fs::create_directory(s.folder.path("projects/Old"));
  s.folder.write("projects/Old/main.agc", "old\n");
  for (const int button : {runtime::ButtonNo, runtime::ButtonYes}) {
    SCOPED_TRACE(runtime::buttonName(button));
    s.main.started.clear();
    HeadlessBackend b;
    b.type(kNewProjectDescriptionEntry, "Old")
        .type(kNewProjectFileNameEntry, "old")
        .click(kNewProjectCreate)
        .answer(button);
    if (button == runtime::ButtonNo)
      b.checkpoint("the window stays, at the description", [](Window& w) {
         EXPECT_EQ(w.focus(), kNewProjectDescriptionEntry);
       }).closeBox();
    run(b);
    ASSERT_EQ(b.boxes().size(), 1u);
    EXPECT_NE(b.boxes()[0].text.find(s.folder.path("projects/Old")), std::string::npos);
    EXPECT_EQ(b.boxes()[0].defaultButton, runtime::ButtonNo);
    const std::string agc = TempFolder::read(s.folder.path("projects/Old/main.agc"));
    if (button == runtime::ButtonNo) {
      EXPECT_EQ(agc, "old\n");
      EXPECT_FALSE(fs::exists(s.folder.path("projects/Old/old.agk")));
      EXPECT_FALSE(fs::exists(s.folder.path("projects/Old/media")));
      EXPECT_TRUE(s.main.started.empty());
      EXPECT_EQ(MainSurroundings::storedProject(1).PROJECTPATH.text(), "");
    } else {
      EXPECT_EQ(agc, "old\n");  // no template: nothing is added
      EXPECT_TRUE(fs::exists(s.folder.path("projects/Old/old.agk")));
      EXPECT_EQ(s.main.started.size(), 1u);
    }
  }
}

TEST_F(NewProjectTest, ANameThatIsNotOneFolderOrFileIsRefusedAndSaidSo) {
  const struct {
    const char* description;
    const char* fileName;
    int focus;
  } cases[] = {
      {"Shooter 1/2: Part", "shooter", kNewProjectDescriptionEntry},
      {"..", "up", kNewProjectDescriptionEntry},
      {"../../outside", "up", kNewProjectDescriptionEntry},
      {"back\\slash", "b", kNewProjectDescriptionEntry},
      {"   ", "blank", kNewProjectDescriptionEntry},
      {"Fine", "sub/name", kNewProjectFileNameEntry},
      {"Fine", "", kNewProjectFileNameEntry},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.description) + " | " + c.fileName);
    HeadlessBackend b;
    b.type(kNewProjectDescriptionEntry, c.description)
        .type(kNewProjectFileNameEntry, c.fileName)
        .click(kNewProjectCreate)
        .answer(runtime::ButtonOk)
        .checkpoint("the focus is on the faulty entry",
                    [&c](Window& w) { EXPECT_EQ(w.focus(), c.focus); })
        .closeBox();
    run(b);
    ASSERT_EQ(b.boxes().size(), 1u);
    EXPECT_NE(b.boxes()[0].text.find("No project was created."), std::string::npos);
    EXPECT_TRUE(fs::is_empty(s.folder.path("projects")));
    EXPECT_TRUE(s.main.started.empty());
  }
  EXPECT_FALSE(fs::exists(s.folder.path("outside")));
  EXPECT_EQ(MainSurroundings::storedProject(1).PROJECTPATH.text(), "");
}

TEST_F(NewProjectTest, WithoutABasePathNothingIsCreatedAndTheUserIsToldWhereToSetIt) {
  for (const char* base : {"", "   "}) {
    SCOPED_TRACE(std::string("base path '") + base + "'");
    GLO.BASEPATH = base;
    HeadlessBackend b;
    b.type(kNewProjectDescriptionEntry, "Rootless")
        .type(kNewProjectFileNameEntry, "rootless")
        .click(kNewProjectCreate)
        .answer(runtime::ButtonOk)
        .closeBox();
    run(b);
    ASSERT_EQ(b.boxes().size(), 1u);
    EXPECT_NE(b.boxes()[0].text.find("Paths Setup"), std::string::npos) << b.boxes()[0].text;
    EXPECT_NE(b.boxes()[0].text.find("No project was created."), std::string::npos);
    EXPECT_FALSE(fs::exists("/Rootless"));
    EXPECT_TRUE(s.main.started.empty());
    EXPECT_EQ(MainSurroundings::storedProject(1).PROJECTPATH.text(), "");
  }
}

TEST_F(NewProjectTest, AFolderThatCannotBeMadeIsNamedWithItsReasonAndNothingIsCreated) {
  const std::string base = s.folder.path("projects");
  const struct {
    const char* name;
    std::function<void()> arrange;
    bool folderThere;  // the user is asked first, and agrees
    std::string box;
  } cases[] = {
      {"the base path is a file", [&] { GLO.BASEPATH = s.folder.path("base-is-a-file"); }, false,
       "The folder \"" + s.folder.path("base-is-a-file") +
           "/Game\" cannot be made: Path Not Found.\nNo project was created."},
      {"a file stands where the media folder goes",
       [&] {
         fs::create_directory(base + "/Game");
         s.folder.write("projects/Game/media", "");
       },
       true,
       "The folder \"" + base +
           "/Game/media\" cannot be made: Path Not Found.\nNo project was "
           "created."},
      // Nobody is refused a folder as root: this case runs only for other users.
      {"a base path the user may not write in",
       [&] { fs::permissions(base, fs::perms::owner_read | fs::perms::owner_exec); }, false,
       "The folder \"" + base + "/Game\" cannot be made: Access Denied.\nNo project was created."},
  };
  s.folder.write("base-is-a-file", "");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (std::string_view(c.name).starts_with("a base path the user") && geteuid() == 0) continue;
    fs::remove_all(base);
    fs::create_directory(base);
    GLO.BASEPATH = base;
    c.arrange();
    runtime::setError(30);  // a stale error the reason must not come from
    HeadlessBackend b;
    b.type(kNewProjectDescriptionEntry, "Game")
        .type(kNewProjectFileNameEntry, "game")
        .click(kNewProjectCreate);
    if (c.folderThere) b.answer(runtime::ButtonYes);
    b.answer(runtime::ButtonOk).closeBox();
    run(b);
    fs::permissions(base, fs::perms::owner_all);
    ASSERT_FALSE(b.boxes().empty());
    EXPECT_EQ(b.boxes().back().text, c.box);
    EXPECT_TRUE(s.main.started.empty());
    EXPECT_EQ(MainSurroundings::storedProject(1).PROJECTPATH.text(), "");
  }
}

TEST_F(NewProjectTest, AnEmptiedTemplateEntryMeansNoTemplate) {
  s.addTemplate("Lines", "lines.tpl", "[template]\ntotal=1\n1=a line\n");
  HeadlessBackend b;
  b.type(kNewProjectDescriptionEntry, "Bare")
      .type(kNewProjectFileNameEntry, "bare")
      .click(kNewProjectTemplateLookup)
      .click(kSelectTemplateButton)
      .type(kNewProjectTemplateEntry, "")
      .click(kNewProjectCreate);
  run(b);
  EXPECT_EQ(TempFolder::read(s.folder.path("projects/Bare/main.agc")), "");
}

TEST_F(NewProjectTest, AMissingProjectDefinitionIsNamedAndNoIdeStartsOnTheMissingFile) {
  for (const char* kind : {"Classic", "Studio"}) {
    SCOPED_TRACE(kind);
    const std::string definition =
        s.folder.path(std::string("templates/") +
                      (kind == std::string("Classic") ? "classic.def" : "studio.def"));
    fs::remove(definition);
    const std::string description = std::string("No ") + kind;
    HeadlessBackend b;
    if (kind == std::string("Studio")) b.click(kNewProjectStudioRadio);
    b.type(kNewProjectDescriptionEntry, description)
        .type(kNewProjectFileNameEntry, "game")
        .click(kNewProjectCreate)
        .answer(runtime::ButtonOk);
    run(b);
    const std::string folder = s.folder.path("projects/" + description);
    ASSERT_EQ(b.boxes().size(), 1u);
    EXPECT_EQ(b.boxes()[0].text, "The project definition \"" + definition +
                                     "\" cannot be copied to \"" + folder +
                                     "/game.agk\": File Not Found.\nThe project is added without "
                                     "its project file and no IDE is started.");
    EXPECT_TRUE(s.main.started.empty());
    // The record and the folders are kept.
    EXPECT_TRUE(fs::is_directory(folder + "/media"));
    EXPECT_FALSE(fs::exists(folder + "/game.agk"));
    EXPECT_EQ(GLO.PROJECT.text(), folder + "/game.agk");
    bool listed = false;
    for (int id = 1; id <= 2; ++id)
      listed |= MainSurroundings::storedProject(id).PROJECTPATH.text() == folder + "/game.agk";
    EXPECT_TRUE(listed);
  }
}

}  // namespace
}  // namespace app
