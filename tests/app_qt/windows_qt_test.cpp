// Every window of the program but Main on the Qt backend (offscreen), over a data folder with
// a few categories, forum members, templates with their line files, projects and functions:
// each opens with a request a user would make, a screenshot of it is kept once it waits for
// input (Create Main.agc, which never waits, while it works), and it closes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QObject>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/dictionary/declarations.h"
#include "app/dictionary/dictionary.h"
#include "app/dictionary/globals.h"
#include "app/windows/browse_categories.h"
#include "app/windows/browse_codeby.h"
#include "app/windows/browse_functions.h"
#include "app/windows/browse_templates.h"
#include "app/windows/create_main_agc.h"
#include "app/windows/new_project.h"
#include "app/windows/select_template.h"
#include "app/windows/update_categories.h"
#include "app/windows/update_functions.h"
#include "app/windows/update_projects.h"
#include "app/windows/update_templates.h"
#include "app/windows/updatecodeby.h"
#include "app/windows/window_requests.h"
#include "classlib/error_level.h"
#include "classlib/request.h"
#include "platform/runtime/message.h"
#include "platform/window/dialogs.h"
#include "platform/window/engine.h"
#include "platform/window/events.h"
#include "tests/app_windows/new_project_fixture.h"
#include "tests/qt/qt_test_support.h"

namespace app {
namespace {

using testing::MainSurroundings;
using window::Window;

// Saves `top` as `name`.png in the screenshots folder.
void screenshot(QWidget* top, const std::string& name) {
  QDir().mkpath(QStringLiteral(GD_SCREENSHOT_DIR));
  const QString path =
      QStringLiteral(GD_SCREENSHOT_DIR "/%1.png").arg(QString::fromStdString(name));
  EXPECT_TRUE(top && top->grab().save(path)) << path.toStdString();
}

// Opens `file` through its relation manager, runs `fill` on a primed record per entry and
// inserts it.
template <class Fill>
void addRecords(const files::PerThreadFile& file, int count, Fill fill) {
  ASSERT_EQ(relationManager(file)->open(), classlib::LevelBenign);
  for (int i = 0; i < count; ++i) {
    fileManager(file)->primeRecord();
    fill(i);
    ASSERT_EQ(fileManager(file)->insert(), classlib::LevelBenign);
  }
  relationManager(file)->close();
}

// Categories, members, two templates with line files, three projects and three functions;
// answers the ID of the first template.
std::int32_t seed(testing::NewProjectSurroundings& s) {
  for (const char* category : {"Puzzle", "Racing", "RPG", "Shooter"})
    MainSurroundings::addCategory(category);
  const char* const members[] = {"agk_fan", "pixel_pete", "sprite_sue"};
  addRecords(codeby, 3, [&](int i) { COD->NAME = members[i]; });
  const std::int32_t shooter = s.addTemplate(
      "Shooter", "shooter.tpl",
      "[template]\ntotal=4\n1=SetVirtualResolution(1024, 768)\n2=do\n3=  Sync()\n4=loop\n");
  s.addTemplate("Empty game", "empty.tpl", "[template]\ntotal=2\n1=do\n2=loop\n");
  const struct {
    const char* description;
    const char* category;
    const char* kind;
  } projects[] = {{"Dragon Quest", "RPG", "Studio"},
                  {"Space Blaster", "Shooter", "Classic"},
                  {"Tetris Clone", "Puzzle", "Classic"}};
  for (const auto& p : projects) {
    Projects record = MainSurroundings::project(p.description, p.category, p.kind);
    record.CODEBY = "agk_fan";
    record.THREADLINK = "https://forum.example/t/7";
    record.LONGDESCRIPTION = std::string(p.description) + ": a game made with AGK " + p.kind + ".";
    record.WINDOWSEXE = 1;
    MainSurroundings::addProject(record);
  }
  const struct {
    const char* name;
    const char* code;
  } functions[] = {{"ClampFloat",
                    "function ClampFloat(v#, lo#, hi#)\n  if v# < lo# then v# = lo#\n"
                    "  if v# > hi# then v# = hi#\nendfunction v#\n"},
                   {"FadeSprite",
                    "function FadeSprite(id, alpha)\n  SetSpriteColorAlpha(id, "
                    "alpha)\nendfunction\n"},
                   {"Lerp", "function Lerp(a#, b#, t#)\nendfunction a# + (b# - a#) * t#\n"}};
  addRecords(func, 3, [&](int i) {
    FUN->NAME = functions[i].name;
    FUN->DESCRIPTION = std::string("What ") + functions[i].name + " does, in a line or two.";
    FUN->FORUMLINK = "https://forum.example/t/42";
    FUN->USER = "pixel_pete";
    FUN->FULLCODE = 1;
    func.get().memo(1)->assign(functions[i].code);
  });
  return shooter;
}

// Reads the record of `key` value `id` into the file's buffer.
void fetch(const files::PerThreadFile& file, const char* key, std::int32_t id, Long& field) {
  ASSERT_EQ(relationManager(file)->open(), classlib::LevelBenign);
  field = id;
  ASSERT_EQ(fileManager(file)->tryFetch(file.get().keyNumber(key)), 0);
  relationManager(file)->close();
}

TEST(WindowsOnQt, EachWindowOpensOverSeededDataAndIsKeptAsAScreenshot) {
  testing::NewProjectSurroundings s;
  const std::int32_t shooter = seed(s);
  qtui::QtBackend& screen = qtui::testing::backend();
  const window::InstalledBackend installed(screen);
  const qtui::testing::WaitHookCleared cleared(screen);
  runtime::setMessageAnswerer(&window::backendAnswerer());

  std::string name;  // the screenshot of the window being opened
  std::vector<std::string> titles;
  screen.setWaitHook([&](Window& w) {
    titles.push_back(w.title());
    Window* waiting = &w;
    // Inside the wait, once the layout requests of the shown window have been served.
    QTimer::singleShot(0, [&screen, &name, waiting] {
      screenshot(screen.windowWidget(*waiting), name);
      waiting->post(window::EventCloseWindow);
      screen.interruptWait(*waiting);
    });
  });
  const auto withRequest = [](int request, const std::function<void()>& procedure) {
    return [request, procedure] {
      windowRequests().request = static_cast<std::uint8_t>(request);
      procedure();
    };
  };
  const struct {
    const char* screenshot;
    std::function<void()> open;
  } windows[] = {
      {"update_projects_change", withRequest(classlib::RequestChange,
                                             [] {
                                               fetch(projects, "PRO:P_ID", 1, PRO->ID);
                                               update_projects();
                                             })},
      {"browse_templates", withRequest(0, browse_Templates)},
      {"select_template", withRequest(classlib::RequestSelect, select_template)},
      {"update_templates_change", withRequest(classlib::RequestChange,
                                              [shooter] {
                                                fetch(template_, "TPL:P_ID", shooter, TPL->ID);
                                                update_Templates();
                                              })},
      {"browse_categories_select", withRequest(classlib::RequestSelect, browse_Categories)},
      {"update_categories_insert", withRequest(classlib::RequestInsert, update_categories)},
      {"browse_codeby", withRequest(0, browse_codeby)},
      {"updatecodeby_view", withRequest(classlib::RequestView,
                                        [] {
                                          COD->NAME = "agk_fan";
                                          Updatecodeby();
                                        })},
      {"new_project", withRequest(0,
                                  [] {
                                    GLO.DESCRIPTION = "Space Game";
                                    New_Project();
                                  })},
      {"browse_functions", withRequest(0, [&s] { browse_functions(s.main.links); })},
      {"update_functions_insert",
       withRequest(classlib::RequestInsert, [&s] { update_functions(s.main.links); })},
  };
  for (const auto& w : windows) {
    SCOPED_TRACE(w.screenshot);
    name = w.screenshot;
    w.open();
    EXPECT_EQ(window::openWindows(), 0);
  }

  // Create Main.agc works while it is open and closes itself: it is kept while it works.
  // Timers tied to `watch` end with it, so none outlives this test.
  QObject watch;
  bool kept = false;
  std::function<void()> keep = [&] {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (!kept && top->isVisible() && top->windowTitle() == "Create Main.agc") {
        screenshot(top, "createmainagc");
        kept = true;
      }
    }
    if (!kept) QTimer::singleShot(0, &watch, keep);
  };
  QTimer::singleShot(0, &watch, keep);
  GLO.DESCRIPTION = "Space Game";
  GLO.PROJECTNAME = "space";
  // New Project has made the project's folder by then.
  std::filesystem::create_directories(s.folder.path("projects/Space Game"));
  GLO.MAINAGCFILE = s.folder.path("projects/Space Game/main.agc");
  createmainagc(shooter, "Studio");
  EXPECT_TRUE(kept);

  runtime::setMessageAnswerer(nullptr);
  EXPECT_EQ(titles, (std::vector<std::string>{
                        "Form projects", "Templates", "Select Template", "Template Updates",
                        "Categories", "Category Updates", "Browse the codeby file", "Form codeby",
                        "New Project", "AGK Functions Database", "Record Will Be Added"}));
  EXPECT_EQ(window::openWindows(), 0);
}

}  // namespace
}  // namespace app
