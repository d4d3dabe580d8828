// The project form: what each request stores and shows, the view request that saves nothing,
// the ".agk" file dialog, and the category and forum-member lookups with their lists.
#include "app/windows/update_projects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "app/windows/browse_categories.h"
#include "app/windows/browse_codeby.h"
#include "classlib/request.h"
#include "platform/runtime/message.h"
#include "platform/runtime/text.h"
#include "platform/window/key_codes.h"
#include "platform/window/window.h"
#include "tests/app_windows/window_fixture.h"

namespace app {
namespace {

namespace fs = std::filesystem;
using classlib::RequestChange;
using classlib::RequestDelete;
using classlib::RequestInsert;
using classlib::RequestView;
using classlib::ResponseCancelled;
using classlib::ResponseCompleted;
using testing::Shown;
using window::HeadlessBackend;
using window::Window;

class UpdateProjectsTest : public testing::WindowTest {
 protected:
  int runForm(HeadlessBackend& script, int request) {
    return run(script, request, update_projects);
  }
  // Reads project `id` into the buffer, as the main window's list does before the form.
  void read(int id) {
    relationManager(projects)->open();
    PRO->ID = id;
    ASSERT_EQ(fileManager(projects)->tryFetch(projects.get().keyNumber("PRO:P_ID")), 0);
    relationManager(projects)->close();
  }
  std::vector<std::string> stored() {
    return WindowTest::stored(projects, "PRO:P_ID", [] {
      return std::to_string(PRO->ID) + " " + std::string(PRO->DESCRIPTION.view()) + " " +
             std::string(PRO->TYPEC.view()) + " " + std::to_string(PRO->ANDROID) + " " +
             std::string(PRO->CATEGORY.view()) + " " + std::string(PRO->CODEBY.view()) + " " +
             std::string(PRO->PROJECTPATH.view());
    });
  }
  static std::string screen(Window& w, int control) {
    return runtime::CLIP(w.control(control)->screenText);
  }
  void addProject(const char* description) {
    add(projects, [&] {
      PRO->DESCRIPTION = description;
      PRO->TYPEC = "Classic";
      PRO->CATEGORY = "Games";
    });
  }
};

TEST_F(UpdateProjectsTest, InsertChangeAndDeleteStoreTheRecordAndShowTheirRequest) {
  HeadlessBackend insert;
  std::vector<std::string> status;
  const auto look = [&](Window& w) { status.push_back(w.statusText(2)); };
  insert.checkpoint("insert", look)
      .type(kDescriptionEntry, "Space game")
      .click(kStudioRadio)
      .click(kAndroidCheck)
      .type(kCategoryEntryOfProject, "Games")
      .click(kProjectOk);
  EXPECT_EQ(runForm(insert, RequestInsert), ResponseCompleted);
  EXPECT_EQ(stored(), (std::vector<std::string>{"1 Space game Studio 1 Games  "}));

  read(1);
  HeadlessBackend change;
  change.checkpoint("change", look)
      .type(kDescriptionEntry, "Space race")
      .type(kCodebyEntry, "Adam")
      .click(kProjectOk);
  EXPECT_EQ(runForm(change, RequestChange), ResponseCompleted);
  EXPECT_EQ(stored(), (std::vector<std::string>{"1 Space race Studio 1 Games Adam "}));

  read(1);
  HeadlessBackend remove;
  remove.checkpoint("delete", look).click(kProjectOk).answer(runtime::ButtonYes);
  EXPECT_EQ(runForm(remove, RequestDelete), ResponseCompleted);
  EXPECT_TRUE(stored().empty());
  EXPECT_EQ(status,
            (std::vector<std::string>{"Record Will Be Added", "Record Will Be Changed", ""}));
}

TEST_F(UpdateProjectsTest, TheViewRequestSavesNothingAndOkOnlyCloses) {
  addProject("Space game");
  read(1);
  HeadlessBackend script;
  script
      .checkpoint("read-only",
                  [](Window& w) {
                    EXPECT_EQ(w.statusText(2), "View Record");
                    for (int c : {kDescriptionEntry, kProjectPathEntry, kCategoryEntryOfProject,
                                  kThreadlinkEntry, kCodebyEntry})
                      EXPECT_TRUE(w.control(c)->readOnly) << c;
                    for (int c : {kProjectPathLookup, kCategoryLookup, kCodebyLookup})
                      EXPECT_TRUE(w.control(c)->disabled) << c;
                    EXPECT_FALSE(w.control(kLongDescriptionText)->readOnly);
                    EXPECT_FALSE(w.control(kProjectOk)->disabled);
                  })
      .type(kLongDescriptionText, "edited, but never saved")
      .click(kStudioRadio)
      .click(kProjectOk);
  EXPECT_EQ(runForm(script, RequestView), ResponseCancelled);
  EXPECT_TRUE(script.boxes().empty());
  EXPECT_EQ(stored(), (std::vector<std::string>{"1 Space game Classic 0 Games  "}));
  EXPECT_EQ(PRO->LONGDESCRIPTION.view(), "") << "the caller's record is as it was";
}

TEST_F(UpdateProjectsTest, TheFileDialogAsksForAnAgkFileAndACancelEmptiesThePath) {
  fs::create_directories("projects/space");
  const std::string here = fs::current_path().string();
  const std::string chosen = here + "/projects/space/space.agk";
  HeadlessBackend script;
  script.click(kProjectPathLookup)
      .answerFile(chosen, true)
      .checkpoint("shown", [&](Window& w) { EXPECT_EQ(screen(w, kProjectPathEntry), chosen); })
      .click(kProjectPathLookup)
      .cancelDialog()
      .checkpoint("emptied", [&](Window& w) { EXPECT_EQ(screen(w, kProjectPathEntry), ""); })
      .click(kProjectPathLookup)
      .answerFile(chosen)
      .click(kProjectOk);
  EXPECT_EQ(runForm(script, RequestInsert), ResponseCompleted);
  EXPECT_EQ(fs::current_path().string(), here) << "the current directory is put back";
  ASSERT_EQ(script.fileDialogs().size(), 3u);
  const window::FileDialogRequest& dialog = script.fileDialogs()[0];
  EXPECT_EQ(dialog.title, "Select A File");
  ASSERT_EQ(dialog.masks.size(), 1u);
  EXPECT_EQ(dialog.masks[0].description, "AGK Project Files");
  EXPECT_EQ(dialog.masks[0].pattern, "*.agk");
  EXPECT_EQ(PRO->PROJECTPATH.view(), chosen);
}

TEST_F(UpdateProjectsTest, TheCategoryLookupOpensAtTheTypedCategoryOrTheOneAfterIt) {
  for (const char* name : {"Demos", "Games", "Tools"}) addCategory(name);
  const struct {
    const char* typed;
    bool choose;  // double click row 3, else Close
    const char* opensAt;
    const char* result;
    int focus;
  } cases[] = {
      {"Games", false, "Games", "Games", kCategoryLookup},
      {"Gam", false, "Games", "Gam", kCategoryLookup},
      {"Ex", true, "Games", "Tools", kClassicRadio},
      {"tools", true, "Tools", "Tools", kClassicRadio},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    HeadlessBackend script;
    script.type(kDescriptionEntry, "Space game")
        .type(kCategoryEntryOfProject, c.typed)
        .click(kCategoryLookup)
        .in("Categories")
        .checkpoint("opens at", [&](Window& w) {
          EXPECT_EQ(CAT->CATDESCRIPTION.view(), c.opensAt);
          const Shown rows = shown(w, kCategoriesList);
          EXPECT_NE(std::find(rows.begin(), rows.end(), "[" + std::string(c.opensAt) + "]"),
                    rows.end());
        });
    if (c.choose) {
      script.in("Categories").doubleClick(kCategoriesList, 3);
    } else {
      script.in("Categories").click(kCategoriesClose);
    }
    script.in("Form projects")
        .checkpoint("back in the form",
                    [&](Window& w) {
                      EXPECT_EQ(screen(w, kCategoryEntryOfProject), c.result);
                      EXPECT_EQ(w.focus(), c.focus);
                    })
        .click(kProjectOk);
    EXPECT_EQ(runForm(script, RequestInsert), ResponseCompleted);
    EXPECT_EQ(PRO->CATEGORY.view(), c.result);
  }
}

TEST_F(UpdateProjectsTest, TheMemberLookupListsEqualNamesAndACloseKeepsTheEntry) {
  addMember("Adam");
  addMember("Adam");
  addMember("Bea");
  HeadlessBackend script;
  script.type(kCodebyEntry, "Zed")
      .click(kCodebyLookup)
      .in("Browse the codeby file")
      .checkpoint("both Adams",
                  [](Window& w) {
                    const Shown rows = shown(w, kMembersList);
                    EXPECT_EQ(std::count(rows.begin(), rows.end(), "Adam") +
                                  std::count(rows.begin(), rows.end(), "[Adam]"),
                              2);
                  })
      .in("Browse the codeby file")
      .click(kMembersClose)
      .in("Form projects")
      .checkpoint("kept",
                  [](Window& w) {
                    EXPECT_EQ(screen(w, kCodebyEntry), "Zed");
                    EXPECT_EQ(w.focus(), kCodebyLookup);
                  })
      .click(kCodebyLookup)
      .in("Browse the codeby file")
      .chooseRow(kMembersList, 3)
      .in("Browse the codeby file")
      .click(kMembersSelect)
      .in("Form projects")
      .checkpoint("chosen",
                  [](Window& w) {
                    EXPECT_EQ(screen(w, kCodebyEntry), "Bea");
                    EXPECT_EQ(w.focus(), kProjectOk);
                  })
      .click(kProjectOk);
  EXPECT_EQ(runForm(script, RequestInsert), ResponseCompleted);
  EXPECT_EQ(PRO->CODEBY.view(), "Bea");
}

TEST_F(UpdateProjectsTest, TheHistoryKeyPutsBackTheLastSavedDescription) {
  HeadlessBackend first;
  first.type(kDescriptionEntry, "Space game").click(kProjectOk);
  ASSERT_EQ(runForm(first, RequestInsert), ResponseCompleted);
  HeadlessBackend second;
  second.type(kDescriptionEntry, "x")
      .key(0x248)
      .checkpoint("put back",
                  [](Window& w) { EXPECT_EQ(screen(w, kDescriptionEntry), "Space game"); })
      .click(kProjectCancel)
      .answer(runtime::ButtonYes);
  EXPECT_EQ(runForm(second, RequestInsert), ResponseCancelled);
  EXPECT_EQ(stored().size(), 1u);
}

}  // namespace
}  // namespace app
