#include "classlib/window_controller.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/toolbar.h"
#include "headless_fixture.h"
#include "platform/window/key_codes.h"

namespace classlib {
namespace {

using testing::HeadlessScope;
using window::ControlType;

enum : int { kName = 2, kOk = 3, kCancel = 4, kClose = 5, kList = 6 };

char name[21];

std::string simpleWindow() {
  static const std::string label = testing::defineWindow("Simple", [](window::WindowDefinition& d) {
    d.add(1, ControlType::Prompt).text("Name:").at(2, 2, 30, 10);
    d.add(kName, ControlType::Entry).picture("@s20").use(window::UseVariable::cstring(name, 21));
    d.add(kOk, ControlType::Button).text("&OK").at(2, 40, 30, 12);
    d.add(kCancel, ControlType::Button).text("&Cancel").at(40, 40, 30, 12);
    d.add(kClose, ControlType::Button).text("Close").at(80, 40, 30, 12);
    d.add(kList, ControlType::List).at(2, 60, 100, 40).format("40L|M~Name~@s20@");
  });
  return label;
}

// A controller that writes down the steps it takes.
class Recorder : public WindowController {
 public:
  std::vector<std::string> steps;
  int refuse = LevelBenign;

  int init() override {
    steps.push_back("init");
    WindowController::init();
    return refuse;
  }
  int kill() override {
    const int rc = WindowController::kill();
    steps.push_back("kill " + std::to_string(rc));
    return rc;
  }
  int takeAccepted() override {
    steps.push_back("accepted " + std::to_string(window::ACCEPTED()));
    return WindowController::takeAccepted();
  }
  int takeCloseEvent() override {
    steps.push_back("close");
    return WindowController::takeCloseEvent();
  }
};

class Component : public WindowComponent {
 public:
  Component(std::vector<std::string>& log, std::string name) : log_(log), name_(std::move(name)) {}
  int endOn = 0;  // an accepted control on which the component ends the loop

  int takeEvent() override {
    if (window::ACCEPTED() != 0)
      log_.push_back(name_ + " sees " + std::to_string(window::ACCEPTED()));
    return endOn != 0 && window::ACCEPTED() == endOn ? LevelFatal : LevelBenign;
  }
  void reset(bool force) override { log_.push_back(name_ + (force ? " reset forced" : " reset")); }
  void update() override { log_.push_back(name_ + " update"); }
  void kill() override { log_.push_back(name_ + " kill"); }

 private:
  std::vector<std::string>& log_;
  std::string name_;
};

int runWindow(WindowController& wm, window::HeadlessBackend& script) {
  HeadlessScope scope(script);
  window::OPEN(testing::kTestKey, simpleWindow());
  const int response = wm.run();
  window::CLOSE();
  return response;
}

TEST(WindowController, RunInitialisesLoopsAndKillsAndAnswersTheButtonsResponse) {
  const struct {
    const char* name;
    int button;
    int response;
  } cases[] = {{"cancel", kCancel, ResponseCancelled}, {"close", kClose, ResponseCompleted}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Recorder wm;
    wm.addItem(kCancel, ResponseCancelled);
    wm.addItem(kClose, ResponseCompleted);
    window::HeadlessBackend script;
    script.click(kOk).click(c.button);
    EXPECT_EQ(runWindow(wm, script), c.response);
    EXPECT_EQ(wm.steps, (std::vector<std::string>{"init", "accepted 3",
                                                  "accepted " + std::to_string(c.button), "close",
                                                  "kill 0"}));
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(wm.kill(), LevelNotify);  // already gone
  }
}

TEST(WindowController, ARefusedInitSkipsTheLoopButStillKills) {
  Recorder wm;
  wm.refuse = LevelNotify;
  window::HeadlessBackend script;  // nothing: the loop must not run
  EXPECT_EQ(runWindow(wm, script), ResponseCancelled);
  EXPECT_EQ(wm.steps, (std::vector<std::string>{"init", "kill 0"}));
}

TEST(WindowController, InitKeepsTheRequestAsTheOriginalOne) {
  WindowController wm;
  wm.REQUEST = RequestSelect;
  wm.RESPONSE = ResponseCompleted;
  wm.init();
  EXPECT_EQ(wm.ORIGINALREQUEST, RequestSelect);
  EXPECT_EQ(wm.RESPONSE, ResponseCancelled);
  EXPECT_EQ(wm.run(1, RequestInsert), ResponseCancelled);  // no procedures of its own
}

TEST(WindowController, TheFirstFieldTakesTheFocusWhenTheWindowOpens) {
  WindowController wm;
  wm.FIRSTFIELD = kList;
  wm.addItem(kCancel, ResponseCancelled);
  window::HeadlessBackend script;
  int focus = 0;
  script.checkpoint("focus", [&](window::Window& w) { focus = w.focus(); }).click(kCancel);
  runWindow(wm, script);
  EXPECT_EQ(focus, kList);
}

TEST(WindowController, ComponentsFollowTheControllerAndOneCanEndTheLoop) {
  std::vector<std::string> log;
  Component first(log, "first");
  Component second(log, "second");
  first.endOn = kOk;
  Recorder wm;
  wm.addItem(first);
  wm.addItem(second);
  wm.addItem(first);  // added once only
  window::HeadlessBackend script;
  script.click(kName).click(kOk);
  runWindow(wm, script);
  EXPECT_EQ(log, (std::vector<std::string>{"first sees 3", "first kill", "second kill"}));
  EXPECT_EQ(wm.steps, (std::vector<std::string>{"init", "accepted 3", "kill 0"}));
}

TEST(WindowController, ResetAndUpdateReachTheComponentsAndTheScreen) {
  std::vector<std::string> log;
  Component part(log, "part");
  WindowController wm;
  wm.addItem(part);
  wm.addItem(kCancel, ResponseCancelled);
  window::HeadlessBackend script;
  std::string shown;
  script.type(kName, "Ann")
      .checkpoint("update",
                  [&](window::Window&) {
                    wm.update();
                    std::snprintf(name, sizeof name, "%s", "Bob");
                    wm.reset(true);
                    shown = window::getProperty(kName, window::PropScreenText);
                  })
      .click(kCancel);
  name[0] = 0;
  runWindow(wm, script);
  EXPECT_EQ(shown, "Bob");
  EXPECT_EQ(log, (std::vector<std::string>{"part update", "part reset forced", "part sees 4",
                                           "part kill"}));
}

class Target : public ToolbarTarget {
 public:
  std::vector<int> actions;
  bool takeToolbar(int action) override {
    actions.push_back(action);
    return true;
  }
};

TEST(Toolbar, ButtonsAskTheirActionOfTheCurrentTarget) {
  Toolbar toolbar;
  Target target;
  toolbar.addButton(kOk, ToolbarInsert);
  toolbar.addButton(kClose, ToolbarBottom);
  WindowController wm;
  wm.addToolbar(toolbar);
  wm.addItem(kCancel, ResponseCancelled);
  window::HeadlessBackend script;
  script.click(kOk)
      .checkpoint("target", [&](window::Window&) { toolbar.setTarget(&target); })
      .click(kOk)
      .click(kClose)
      .click(kCancel);
  runWindow(wm, script);
  EXPECT_EQ(target.actions, (std::vector<int>{ToolbarInsert, ToolbarBottom}));
  EXPECT_EQ(toolbar.target(), nullptr);  // killed with the window
}

}  // namespace
}  // namespace classlib
