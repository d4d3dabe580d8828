// createmainagc over a data folder: main.agc from the header and the template's lines, the
// project definition copied per IDE kind, GLO:PROJECT, the projects record, and the progress
// bar during a long template.
#include "app/windows/create_main_agc.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/dictionary/declarations.h"
#include "app/dictionary/globals.h"
#include "app/dictionary/services.h"
#include "app/windows/window_requests.h"
#include "platform/window/headless_backend.h"
#include "platform/window/properties.h"
#include "tests/app_windows/new_project_fixture.h"
#include "tests/classlib/headless_fixture.h"

namespace app {
namespace {

namespace fs = std::filesystem;
using testing::NewProjectSurroundings;
using window::HeadlessBackend;
using window::Window;

class CreateMainAgcTest : public ::testing::Test {
 protected:
  CreateMainAgcTest() {
    GLO.DESCRIPTION = "Space Game";
    GLO.PROJECTNAME = "space";
    GLO.CATEGORY = "Shooters";
    fs::create_directories(projectFolder());
    GLO.MAINAGCFILE = projectFolder() + "/main.agc";
  }

  std::string projectFolder() const { return s.folder.path("projects/Space Game"); }
  std::string mainAgc() const { return testing::TempFolder::read(projectFolder() + "/main.agc"); }

  // Runs createmainagc through `b` (which may be empty: the window closes by itself).
  void run(std::int32_t templateId, std::string_view kind, HeadlessBackend b = {}) {
    {
      classlib::testing::HeadlessScope scope(b);
      createmainagc(templateId, kind);
    }
    EXPECT_TRUE(b.finished()) << b.remaining() << " steps left";
  }

  NewProjectSurroundings s;
};

TEST_F(CreateMainAgcTest, TheHeaderAndTheTemplateLinesMakeMainAgc) {
  // "total" is 3 but key "2" is missing: the second line is empty.
  const std::int32_t id =
      s.addTemplate("Shooter", "shooter.tpl",
                    "[template]\ntotal=3\n1=SetVirtualResolution(1024, 768)\n3=Sync()\n");
  run(id, "Classic");
  EXPECT_EQ(mainAgc(), NewProjectSurroundings::header("Space Game", "space") +
                           "SetVirtualResolution(1024, 768)\n\nSync()\n");
  const std::string agk = s.folder.path("projects") + "/Space Game/space.agk";
  EXPECT_EQ(GLO.PROJECT.text(), agk);
  EXPECT_EQ(testing::TempFolder::read(projectFolder() + "/space.agk"), testing::kClassicDef);
  EXPECT_EQ(globalErrors().procedureName(), "");
  EXPECT_EQ(windowRequests().request, 0);
}

// A total far beyond the lines the file holds stops after the last of them; lines in between
// that are missing stay empty, and lines beyond the total are not written.
TEST_F(CreateMainAgcTest, TheTemplatesLinesBoundAHugeTotal) {
  const struct {
    const char* what;
    const char* content;
    const char* lines;
  } cases[] = {
      {"huge total", "[template]\ntotal=999999999\n1=a\n4=d\n", "a\n\n\nd\n"},
      {"lines beyond the total", "[template]\ntotal=2\n1=a\n3=c\n", "a\n"},
      {"numbers that are not line numbers", "[template]\ntotal=99\n1=a\n07=x\n+9=y\n", "a\n"},
      {"no line at all", "[template]\ntotal=999999999\n", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(projectFolder() + "/main.agc");
    run(s.addTemplate(c.what, std::string(c.what) + ".tpl", c.content), "Classic");
    EXPECT_EQ(mainAgc(), NewProjectSurroundings::header("Space Game", "space") + c.lines);
  }
}

TEST_F(CreateMainAgcTest, MainAgcIsAppendedToWhatItHolds) {
  s.folder.write("projects/Space Game/main.agc", "// old code\n");
  const std::int32_t id = s.addTemplate("One line", "one.tpl", "[template]\ntotal=1\n1=Print(1)\n");
  run(id, "Studio");
  EXPECT_EQ(mainAgc(),
            "// old code\n" + NewProjectSurroundings::header("Space Game", "space") + "Print(1)\n");
}

TEST_F(CreateMainAgcTest, WithoutATemplateMainAgcIsEmptyAndTheProjectIsStillMade) {
  run(0, "Studio");
  EXPECT_TRUE(fs::exists(projectFolder() + "/main.agc"));
  EXPECT_EQ(mainAgc(), "");
  EXPECT_EQ(testing::TempFolder::read(projectFolder() + "/space.agk"), testing::kStudioDef);
  const Projects stored = testing::MainSurroundings::storedProject(1);
  EXPECT_EQ(stored.DESCRIPTION.text(), "Space Game");
}

TEST_F(CreateMainAgcTest, ATemplateWhoseLineFileIsMissingGivesTheHeaderAlone) {
  const std::int32_t id = s.addTemplate("Gone", "gone.tpl", "");
  fs::remove(s.folder.path("gone.tpl"));
  run(id, "Studio");
  EXPECT_EQ(mainAgc(), NewProjectSurroundings::header("Space Game", "space"));
}

TEST_F(CreateMainAgcTest, OnlyClassicCopiesTheClassicDefinition) {
  const struct {
    const char* kind;
    std::string_view definition;
  } cases[] = {{"Classic", testing::kClassicDef},
               {"Studio", testing::kStudioDef},
               {"classic", testing::kStudioDef},
               {"Other", testing::kStudioDef}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    fs::remove(projectFolder() + "/space.agk");
    run(0, c.kind);
    EXPECT_EQ(testing::TempFolder::read(projectFolder() + "/space.agk"), c.definition);
  }
}

TEST_F(CreateMainAgcTest, TheNewRecordTakesTheNextIdAndNothingOfTheProjectBefore) {
  Projects before = testing::MainSurroundings::project("Older", "Puzzles", "Classic");
  before.CODEBY = "someone";
  before.THREADLINK = "https://forum.example/t/1";
  before.LONGDESCRIPTION = "long text";
  before.ANDROID = 1;
  const int older = testing::MainSurroundings::addProject(before);
  *PRO = before;  // the buffer still holds the project chosen before
  GLO.DESCRIPTION = std::string(120, 'd');
  fs::create_directories(s.folder.path("projects/" + std::string(120, 'd')));
  GLO.MAINAGCFILE = s.folder.path("projects/" + std::string(120, 'd') + "/main.agc");
  run(0, "Studio");
  const Projects stored = testing::MainSurroundings::storedProject(older + 1);
  EXPECT_EQ(stored.ID.value(), older + 1);
  EXPECT_EQ(stored.DESCRIPTION.text(), std::string(99, 'd'));
  EXPECT_EQ(stored.PROJECTPATH.text(), GLO.PROJECT.text());
  EXPECT_EQ(stored.TYPEC.text(), "Studio");
  EXPECT_EQ(stored.CATEGORY.text(), "Shooters");
  EXPECT_EQ(stored.CODEBY.text(), "");
  EXPECT_EQ(stored.THREADLINK.text(), "");
  EXPECT_EQ(stored.LONGDESCRIPTION.text(), "");
  EXPECT_EQ(stored.ANDROID.value(), 0);
  EXPECT_EQ(stored.LASTDATE.value(), 0);
  EXPECT_EQ(stored.CREATETIONDATE.value(), 0);
}

TEST_F(CreateMainAgcTest, ALongTemplateMovesTheProgressBar) {
  std::string content = "[template]\ntotal=300\n";
  for (int n = 1; n <= 300; ++n) content += std::to_string(n) + "=line " + std::to_string(n) + "\n";
  const std::int32_t id = s.addTemplate("Long", "long.tpl", content);
  HeadlessBackend b;
  std::vector<int> seen;
  const auto look = [&seen](Window& w) {
    EXPECT_EQ(w.propertyNumber(kCreateMainAgcProgress, window::PropRangeHigh), 300);
    seen.push_back(w.propertyNumber(kCreateMainAgcProgress, window::PropProgress));
  };
  b.checkpoint("first", look).checkpoint("second", look).checkpoint("third", look);
  run(id, "Studio", std::move(b));
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_LT(seen[0], seen[1]);
  EXPECT_LT(seen[1], seen[2]);
  EXPECT_EQ(mainAgc().substr(mainAgc().size() - 9), "line 300\n");
}

}  // namespace
}  // namespace app
