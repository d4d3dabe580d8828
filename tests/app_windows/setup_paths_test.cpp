// The paths file and the "Paths" window: what is read, what is saved and when, the three file
// dialogs and the current directory around each.
#include "app/windows/setup_paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/dictionary/globals.h"
#include "app/dictionary/services.h"
#include "app/windows/paths_file.h"
#include "app/windows/window_modules.h"
#include "app/windows/window_requests.h"
#include "platform/runtime/ini_file.h"
#include "platform/runtime/module_initialisers.h"
#include "platform/window/headless_backend.h"
#include "platform/window/key_codes.h"
#include "tests/app/app_fixture.h"
#include "tests/classlib/headless_fixture.h"

namespace app {
namespace {

namespace fs = std::filesystem;
using window::HeadlessBackend;
using window::Window;

class SetupPathsTest : public ::testing::Test {
 protected:
  SetupPathsTest() {
    runtime::resetModuleInitialisers();
    registerWindowModules();
    runtime::runProcessStart();
    CLASSICEXE = "";
    STUDIOEXE = "";
    GLO.BASEPATH = "";
  }
  ~SetupPathsTest() override {
    runtime::runProcessEnd();
    runtime::resetModuleInitialisers();
  }

  // Runs the window through the script.
  void run(HeadlessBackend& b) {
    classlib::testing::HeadlessScope scope(b);
    Setup_Paths();
  }

  std::string saved(const char* key) const {
    return runtime::GETINI("path", key, "(missing)", kPathsFile);
  }

  testing::TempFolder folder;
  testing::Services services;
};

TEST_F(SetupPathsTest, TheFileIsReadIntoTheThreeGlobals) {
  const std::string longPath(300, 'p');
  const struct {
    const char* name;
    std::string content;  // of gamedock.ini; empty = no file
    std::string classic, studio, basePath;
  } cases[] = {
      {"no file: all empty", "", "", "", ""},
      {"all three",
       "[path]\nclassic=/opt/agk/classic\nstudio=/opt/agk/studio\nbasepath=/home/me/agk\n",
       "/opt/agk/classic", "/opt/agk/studio", "/home/me/agk"},
      {"a missing key reads empty", "[PATH]\nStudio=/s\n", "", "/s", ""},
      {"cut to the globals' 254 bytes", "[path]\nclassic=" + longPath + "\n",
       longPath.substr(0, 254), "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove("gamedock.ini");
    if (!c.content.empty()) folder.write("gamedock.ini", c.content);
    CLASSICEXE = "old";
    STUDIOEXE = "old";
    GLO.BASEPATH = "old";
    readPathsFile();
    EXPECT_EQ(CLASSICEXE.text(), c.classic);
    EXPECT_EQ(STUDIOEXE.text(), c.studio);
    EXPECT_EQ(GLO.BASEPATH.text(), c.basePath);
  }
}

TEST_F(SetupPathsTest, UpdateSaveWritesThePathsAndClosesTheWindow) {
  windowRequests().request = 5;
  HeadlessBackend b;
  b.checkpoint("opening",
               [](Window&) {
                 EXPECT_EQ(globalErrors().procedureName(), "Setup_Paths");
                 EXPECT_EQ(windowRequests().request, 0);
               })
      .type(kClassicEntry, "/opt/agk/classic")
      .type(kStudioEntry, "/opt/agk/studio")
      .type(kBasePathEntry, "/home/me/agk projects")
      .click(kUpdateSaveButton);
  run(b);
  EXPECT_TRUE(b.finished());  // it closed by itself
  EXPECT_EQ(saved("classic"), "/opt/agk/classic");
  EXPECT_EQ(saved("studio"), "/opt/agk/studio");
  EXPECT_EQ(saved("basepath"), "/home/me/agk projects");
  EXPECT_EQ(windowRequests().response, 2);
  EXPECT_EQ(globalErrors().procedureName(), "");
}

TEST_F(SetupPathsTest, ClosingWithoutSavingKeepsTheValueForTheRunOnly) {
  folder.write("gamedock.ini", "[path]\nclassic=/old/classic\n");
  readPathsFile();
  HeadlessBackend b;
  b.checkpoint("shows the file's value",
               [](Window& w) {
                 EXPECT_EQ(runtime::CLIP(w.control(kClassicEntry)->screenText), "/old/classic");
               })
      .type(kClassicEntry, "/new/classic")
      .closeBox();
  run(b);
  EXPECT_EQ(CLASSICEXE.text(), "/new/classic");
  readPathsFile();  // the next start
  EXPECT_EQ(CLASSICEXE.text(), "/old/classic");
}

TEST_F(SetupPathsTest, EachBrowseButtonFillsItsPathAndKeepsOrMovesTheCurrentDirectory) {
  fs::create_directories("ides/classic");
  fs::create_directories("ides/studio");
  fs::create_directories("projects");
  const std::string here = fs::current_path().string();
  const struct {
    int button;
    runtime::CString<255>* path;
    std::string chosen;
    bool folderDialog;
    bool restoresDirectory;
  } cases[] = {
      {kClassicBrowse, &CLASSICEXE, here + "/ides/classic/agk.exe", false, true},
      {kStudioBrowse, &STUDIOEXE, here + "/ides/studio/agk.exe", false, false},
      {kBasePathBrowse, &GLO.BASEPATH, here + "/projects", true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.chosen);
    fs::current_path(here);
    HeadlessBackend b;
    b.click(c.button)
        .answerFile(c.chosen, true)  // the dialog moves into the chosen name's folder
        .checkpoint("shown",
                    [&](Window& w) {
                      const int entry = c.button - 1;
                      EXPECT_EQ(runtime::CLIP(w.control(entry)->screenText), c.chosen);
                    })
        .closeBox();
    run(b);
    EXPECT_EQ(c.path->text(), c.chosen);
    EXPECT_EQ(fs::current_path().string() == here, c.restoresDirectory);
    ASSERT_EQ(b.fileDialogs().size(), 1u);
    const window::FileDialogRequest& dialog = b.fileDialogs()[0];
    EXPECT_EQ(dialog.title, "Select A File");
    EXPECT_EQ(dialog.folder, c.folderDialog);
    ASSERT_EQ(dialog.masks.size(), 1u);
    EXPECT_EQ(dialog.masks[0].description, "All Files");
    EXPECT_EQ(dialog.masks[0].pattern, "*.*");
  }
  fs::current_path(here);
}

TEST_F(SetupPathsTest, ACancelledDialogEmptiesItsPath) {
  for (int button : {kClassicBrowse, kStudioBrowse, kBasePathBrowse}) {
    SCOPED_TRACE(button);
    CLASSICEXE = "/was/classic";
    STUDIOEXE = "/was/studio";
    GLO.BASEPATH = "/was/base";
    HeadlessBackend b;
    b.click(button)
        .answerFile("/chosen/first")
        .click(button)
        .cancelDialog()
        .checkpoint(
            "entry emptied",
            [&](Window& w) { EXPECT_EQ(runtime::CLIP(w.control(button - 1)->screenText), ""); })
        .closeBox();
    run(b);
    EXPECT_EQ(CLASSICEXE.text(), button == kClassicBrowse ? "" : "/was/classic");
    EXPECT_EQ(STUDIOEXE.text(), button == kStudioBrowse ? "" : "/was/studio");
    EXPECT_EQ(GLO.BASEPATH.text(), button == kBasePathBrowse ? "" : "/was/base");
  }
}

TEST_F(SetupPathsTest, APathsFileThatCannotBeWrittenIsReportedAndTheWindowStaysOpen) {
  fs::create_directory("gamedock.ini");  // a folder in the file's place
  HeadlessBackend b;
  b.type(kClassicEntry, "/opt/agk/classic")
      .click(kUpdateSaveButton)
      .answer(runtime::ButtonOk)
      .checkpoint("still open", [](Window& w) { EXPECT_FALSE(w.ended()); })
      .closeBox();
  run(b);
  ASSERT_EQ(b.boxes().size(), 1u);
  EXPECT_NE(b.boxes()[0].text.find("The paths could not be saved"), std::string::npos);
  EXPECT_EQ(CLASSICEXE.text(), "/opt/agk/classic");  // kept for the run
}

TEST_F(SetupPathsTest, EnterAndTheArrowsMoveBetweenTheFields) {
  HeadlessBackend b;
  b.type(kClassicEntry, "x")
      .key(window::EnterKey)
      .checkpoint("to its button", [](Window& w) { EXPECT_EQ(w.focus(), kClassicBrowse); })
      .key(window::DownKey)
      .checkpoint("to the next entry", [](Window& w) { EXPECT_EQ(w.focus(), kStudioEntry); })
      .key(window::UpKey)
      .checkpoint("back", [](Window& w) { EXPECT_EQ(w.focus(), kClassicBrowse); })
      .closeBox();
  run(b);
}

}  // namespace
}  // namespace app
