// The "New Project" window run headless: a real project made on disk from the sample template,
// the IDE started through a recording spawner, the lookups (chosen, cancelled), what the window
// keeps between uses, and Cancel.
#include "app/windows/new_project.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/dictionary/declarations.h"
#include "app/dictionary/dictionary.h"
#include "app/dictionary/globals.h"
#include "app/dictionary/services.h"
#include "app/windows/window_procedures.h"
#include "app/windows/window_requests.h"
#include "platform/classlib/request.h"
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
  ~NewProjectTest() override {
    setWindowProcedure(WindowProcedure::select_template, {});
    setWindowProcedure(WindowProcedure::browse_Categories, {});
  }

  // Runs New_Project through the script, which must be used up.
  static void run(HeadlessBackend& b) {
    {
      classlib::testing::HeadlessScope scope(b);
      New_Project();
    }
    EXPECT_TRUE(b.finished()) << b.remaining() << " steps left";
  }

  // Makes select_template choose template `id` (0: cancel), noting the request it was run with
  // and the description the buffer held for it.
  void chooseTemplate(std::int32_t id) {
    setWindowProcedure(WindowProcedure::select_template, [this, id] {
      lookups.push_back({windowRequests().request, TPL->DESCRIPTION.text()});
      if (id == 0) {
        windowRequests().response = classlib::ResponseCancelled;
        return;
      }
      TPL->ID = id;
      fileManager(template_)->fetch(template_.get().keyNumber("TPL:P_ID"));
      windowRequests().response = classlib::ResponseCompleted;
    });
  }

  static std::string shown(const Window& w, int control) {
    return runtime::CLIP(w.control(control)->screenText);
  }

  struct Lookup {
    int request;
    std::string from;  // the key value the list started at
  };
  std::vector<Lookup> lookups;
  NewProjectSurroundings s;
};

TEST_F(NewProjectTest, CreateProjectMakesTheProjectOnDiskAndStartsTheIde) {
  for (const char* name : {"classic.def", "studio.def", "sample.tpl"})
    fs::copy_file(kResources + name, s.folder.path(std::string("templates/") + name),
                  fs::copy_options::overwrite_existing);
  const std::int32_t sample =
      s.addTemplate("Sample", "templates/sample.tpl", TempFolder::read(kResources + "sample.tpl"));
  chooseTemplate(sample);
  HeadlessBackend b;
  b.click(kNewProjectStudioRadio)
      .type(kNewProjectDescriptionEntry, "Space Game")
      .type(kNewProjectFileNameEntry, "space shooter")
      .click(kNewProjectTemplateLookup)
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

  const std::string agk = s.folder.path("projects") + "\\Space Game\\space shooter.agk";
  EXPECT_EQ(GLO.PROJECT.text(), agk);
  ASSERT_EQ(s.main.started.size(), 1u);
  // The IDE gets the .agk file as one argument; the runtime converts only the program name.
  EXPECT_EQ(s.main.started[0], (std::vector<std::string>{"/opt/agk studio/agk-studio", agk}));
  const Projects stored = MainSurroundings::storedProject(1);
  EXPECT_EQ(stored.DESCRIPTION.text(), "Space Game");
  EXPECT_EQ(stored.PROJECTPATH.text(), agk);
  EXPECT_EQ(stored.TYPEC.text(), "Studio");
  EXPECT_EQ(lookups.size(), 1u);
  EXPECT_EQ(lookups[0].request, classlib::RequestSelect);
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
  const std::int32_t first = s.addTemplate("First", "first.tpl", "[template]\ntotal=1\n1=first\n");
  s.addTemplate("Second", "second.tpl", "[template]\ntotal=1\n1=second\n");
  chooseTemplate(first);
  HeadlessBackend b;
  b.type(kNewProjectDescriptionEntry, "Keep")
      .type(kNewProjectFileNameEntry, "keep")
      .click(kNewProjectTemplateLookup)
      .checkpoint("then cancel the next lookup", [this](Window&) { chooseTemplate(0); })
      .type(kNewProjectTemplateEntry, "Sec")  // starts the list at the next description
      .click(kNewProjectTemplateLookup)
      .checkpoint("focus back on the button",
                  [](Window& w) { EXPECT_EQ(w.focus(), kNewProjectTemplateLookup); })
      .click(kNewProjectCreate);
  run(b);
  ASSERT_EQ(lookups.size(), 2u);
  EXPECT_EQ(lookups[1].from, "Second");
  // The positioning left "Second" in the buffer, but the id kept is the one chosen before.
  const std::string agc = TempFolder::read(s.folder.path("projects/Keep/main.agc"));
  EXPECT_EQ(agc.substr(agc.size() - 7), "\nfirst\n");
}

TEST_F(NewProjectTest, TheCategoryLookupFillsTheEntryOrKeepsIt) {
  MainSurroundings::addCategory("Arcade");
  MainSurroundings::addCategory("Puzzles");
  std::vector<std::string> startedAt;
  bool choose = true;
  setWindowProcedure(WindowProcedure::browse_Categories, [&] {
    startedAt.push_back(CAT->CATDESCRIPTION.text());
    windowRequests().response = choose ? classlib::ResponseCompleted : classlib::ResponseCancelled;
  });
  HeadlessBackend b;
  b.type(kNewProjectCategoryEntry, "Blocks")  // none such: the list starts at the next one
      .click(kNewProjectCategoryLookup)
      .checkpoint("chosen",
                  [&](Window& w) {
                    EXPECT_EQ(shown(w, kNewProjectCategoryEntry), "Puzzles");
                    EXPECT_EQ(GLO.CATEGORY.text(), "Puzzles");
                    EXPECT_EQ(w.focus(), kNewProjectFileNameEntry);
                    choose = false;
                  })
      .type(kNewProjectCategoryEntry, "Arc")
      .click(kNewProjectCategoryLookup)
      .checkpoint("cancelled",
                  [](Window& w) {
                    EXPECT_EQ(shown(w, kNewProjectCategoryEntry), "Arc");
                    EXPECT_EQ(w.focus(), kNewProjectCategoryLookup);
                  })
      .closeBox();
  run(b);
  EXPECT_EQ(startedAt, (std::vector<std::string>{"Puzzles", "Arcade"}));
}

}  // namespace
}  // namespace app
