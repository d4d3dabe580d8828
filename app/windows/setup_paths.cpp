#include "app/windows/setup_paths.h"

#include <string>

#include "app/dictionary/globals.h"
#include "app/dictionary/services.h"
#include "app/windows/paths_file.h"
#include "app/windows/tab_stop_nav.h"
#include "app/windows/window_modules.h"
#include "app/windows/window_requests.h"
#include "classlib/file_selector.h"
#include "classlib/toolbar.h"
#include "classlib/window_controller.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/message.h"
#include "platform/window/engine.h"
#include "platform/window/events.h"

namespace app {
namespace {

using classlib::FileSelector;
using window::ControlType;
using window::UseVariable;

constexpr int kModule = 2;

// The window manager of the "Paths" window.
class PathsWindow : public classlib::WindowController {
 public:
  explicit PathsWindow(TabStopNav& nav) : nav_(nav) {}

  int init() override {
    const int rc = WindowController::init();
    if (rc != classlib::LevelBenign) return rc;
    globalErrors().setProcedureName("Setup_Paths");
    windowRequests().request = 0;
    windowRequests().response = 0;
    open();
    addToolbar(toolbar_);
    setUp(classic_, classlib::FileLongNames);
    setUp(studio_, classlib::FileLongNames);
    setUp(basePath_, classlib::FileLongNames | classlib::FileFolder);
    reset();
    nav_.build(0);
    return classlib::LevelBenign;
  }

  int kill() override {
    const int rc = WindowController::kill();
    if (rc != classlib::LevelBenign) return rc;
    globalErrors().setProcedureName("");
    return rc;
  }

  int takeEvent() override {
    if (nav_.takeKey()) return classlib::LevelBenign;
    return WindowController::takeEvent();
  }

  int takeAccepted() override {
    const int control = window()->accepted();
    if (control == kUpdateSaveButton) save();
    const int rc = WindowController::takeAccepted();
    if (rc != classlib::LevelBenign) return rc;
    switch (control) {
      // Only the Studio dialog leaves the current directory where the dialog put it.
      case kClassicBrowse: choose(classic_, CLASSICEXE, classlib::AskRestoreDirectory); break;
      case kStudioBrowse: choose(studio_, STUDIOEXE, classlib::AskLeaveDirectory); break;
      case kBasePathBrowse: choose(basePath_, GLO.BASEPATH, classlib::AskRestoreDirectory); break;
      default: break;
    }
    return classlib::LevelBenign;
  }

 private:
  static void setUp(FileSelector& selector, int flags) {
    selector.init(FileSelector::kDefaultTitle, flags);
    selector.addMask("All Files", "*.*");
    selector.setClearOnCancel(true);
  }

  // Asks `selector` for a name and puts it (empty when the dialog was cancelled) in `path`.
  void choose(FileSelector& selector, runtime::CString<255>& path, int how) {
    update();
    path = selector.ask(how);
    window::DISPLAY();
  }

  void save() {
    if (writePathsFile()) {
      window::POST(window::EventCloseWindow);
      return;
    }
    runtime::MESSAGE("The paths could not be saved in " + std::string(kPathsFile) + ": " +
                         runtime::ERROR() + ".",
                     "Paths", runtime::kIconExclamation);
  }

  TabStopNav& nav_;
  classlib::Toolbar toolbar_;
  FileSelector classic_;
  FileSelector studio_;
  FileSelector basePath_;
};

}  // namespace

void addSetupPathsResource() {
  window::WindowDefinition d;
  d.key = std::string(kSetupPathsKey);
  d.label = std::string(kSetupPathsLabel);
  d.title = "Paths";
  d.icon = "dockmark.ico";
  d.at = {0, 0, 300, 134};
  // One row per path, numbered one after another: its prompt, its entry over the global, its
  // "..." button and, between rows, a line.
  const struct {
    int prompt;
    const char* text;
    runtime::CString<255>& path;
  } rows[] = {
      {kClassicPrompt, "Classic Executable File:", CLASSICEXE},
      {kStudioPrompt, "Studio Executable File:", STUDIOEXE},
      {kBasePathPrompt, "Projects Base Path:", GLO.BASEPATH},
  };
  int y = 6;
  for (const auto& row : rows) {
    d.add(row.prompt, ControlType::Prompt).text(row.text).at(8, y, 120, 10);
    d.add(row.prompt + 1, ControlType::Entry)
        .picture("@s254")
        .use(UseVariable::field(row.path))
        .at(8, y + 12, 260, 12);
    d.add(row.prompt + 2, ControlType::Button).text("...").at(272, y + 12, 20, 12);
    if (row.prompt != kBasePathPrompt)
      d.add(row.prompt + 3, ControlType::Line).at(8, y + 30, 284, 1);
    y += 36;
  }
  d.add(kUpdateSaveButton, ControlType::Button).text("Update/Save").at(222, 112, 70, 14);
  addModuleWindow(kModule, std::move(d));
}

void Setup_Paths() {
  TabStopNav nav;
  nav.create();
  window::OPEN(kSetupPathsKey, kSetupPathsLabel);
  {
    PathsWindow manager(nav);
    windowRequests().response = static_cast<std::uint8_t>(manager.run());
  }
  window::CLOSE();
  nav.kill();
}

}  // namespace app
