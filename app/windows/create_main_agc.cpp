#include "app/windows/create_main_agc.h"

#include <algorithm>
#include <climits>
#include <string>

#include "app/dictionary/declarations.h"
#include "app/dictionary/dictionary.h"
#include "app/dictionary/globals.h"
#include "app/windows/app_window.h"
#include "app/windows/project_folder.h"
#include "app/windows/window_modules.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/ini_file.h"
#include "platform/runtime/message.h"
#include "platform/runtime/number_text.h"
#include "platform/runtime/paths.h"
#include "platform/runtime/picture.h"
#include "platform/runtime/standard_date.h"
#include "platform/window/dialogs.h"
#include "platform/window/engine.h"
#include "platform/window/events.h"
#include "platform/window/properties.h"
#include "platform/window/window.h"

namespace app {
namespace {

constexpr int kModule = 7;
constexpr std::string_view kTemplateSection = "template";

// The highest line number up to `total` that the template file `lineFile` holds, 0 when none: the
// lines after it would all be empty, and a hostile total must not write them.
long long lastTemplateLine(const std::string& lineFile, long long total) {
  long long last = 0;
  for (const std::string& entry : runtime::iniEntries(kTemplateSection, lineFile)) {
    const long long n = runtime::textToLong(entry);
    if (n > last && n <= total && runtime::longToText(n) == entry) last = n;
  }
  return last;
}

// The three files the window opens, in the order it opens them.
const files::PerThreadFile* const kFiles[] = {&mainagc, &projects, &template_};

class CreateMainAgcWindow : public AppWindow {
 public:
  CreateMainAgcWindow(TabStopNav& nav, std::int32_t templateId, std::string_view ideKind)
      : AppWindow("createmainagc", kFiles, nav), templateId_(templateId), ideKind_(ideKind) {}

  // The file work runs as the window opens; opening mainagc made main.agc if it was missing.
  int takeWindowEvent() override {
    if (window::EVENT() == window::EventOpenWindow) createProject();
    return WindowController::takeWindowEvent();
  }

 private:
  void createProject() {
    if (templateId_ != 0) writeMainAgc();
    const std::string agk = newProjectFile();
    const char* definition =
        ideKind_ == "Classic" ? "\\templates\\classic.def" : "\\templates\\studio.def";
    copyDefinition(runtime::SHORTPATH("") + definition, agk);
    GLO.PROJECT = agk;
    files::CLEAR(projects.get());
    PRO->DESCRIPTION = GLO.DESCRIPTION.view();
    PRO->PROJECTPATH = agk;
    PRO->TYPEC = ideKind_;
    PRO->CATEGORY = GLO.CATEGORY.view();
    fileManager(projects)->insert();
    window::POST(window::EventCloseWindow);
  }

  // The IDE's project definition becomes the project file, unless one is there already (a
  // project made again in its folder keeps it). When it cannot (the definition is missing, say),
  // the user is told which definition and why; the project is still added.
  static void copyDefinition(const std::string& definition, const std::string& agk) {
    if (files::EXISTS(agk) != 0) return;
    files::COPY(definition, agk);
    if (runtime::ERRORCODE() == 0) return;
    runtime::MESSAGE("The project definition \"" + runtime::toOsPath(definition) +
                         "\" cannot be copied to \"" + agk + "\": " + runtime::ERROR() +
                         ".|The project is added without its project file and no IDE is started.",
                     "New Project", runtime::kIconExclamation);
  }

  // The header, then the template's lines, each after what main.agc holds already.
  void writeMainAgc() {
    TPL->ID = templateId_;
    fileManager(template_)->fetch(template_.get().keyNumber("TPL:P_ID"));
    const std::string today = runtime::FORMAT(runtime::TODAY(), "@d6");
    for (const std::string& line :
         {std::string("/*"), "Project Description: " + GLO.DESCRIPTION.text(),
          "Project Filename   : " + GLO.PROJECTNAME.text(), "Project Date       : " + today,
          std::string("*/"), std::string("  ")})
      addLine(line);
    const std::string lineFile = TPL->PROJECTPATH.text();
    const long long total = lastTemplateLine(
        lineFile, runtime::textToLong(runtime::GETINI(kTemplateSection, "total", "", lineFile)));
    const auto bar = [](long long n) { return static_cast<int>(std::min<long long>(n, INT_MAX)); };
    window()->setProperty(kCreateMainAgcProgress, window::PropRangeHigh, bar(total));
    for (long long n = 1; n <= total; ++n) {
      window()->setProperty(kCreateMainAgcProgress, window::PropProgress, bar(n));
      window::PendingEvents();  // lets the bar move during a long template
      addLine(runtime::GETINI(kTemplateSection, runtime::longToText(n), "", lineFile));
    }
  }

  static void addLine(std::string_view line) {
    AGC->PLINE = line;
    files::ADD(mainagc.get());
  }

  std::int32_t templateId_;
  std::string ideKind_;
};

}  // namespace

void addCreateMainAgcResource() {
  window::WindowDefinition d;
  d.key = std::string(kCreateMainAgcKey);
  d.label = std::string(kCreateMainAgcLabel);
  d.title = "Create Main.agc";
  d.at = {0, 0, 200, 28};
  d.systemMenu = false;
  d.closeBox = false;
  d.add(kCreateMainAgcProgress, window::ControlType::Progress).range(0, 100).at(8, 8, 184, 12);
  addModuleWindow(kModule, std::move(d));
}

std::string newProjectFile() { return inProjectFolder(GLO.PROJECTNAME.text() + ".agk"); }

void createmainagc(std::int32_t templateId, std::string_view ideKind) {
  runAppWindow<CreateMainAgcWindow>(kCreateMainAgcKey, kCreateMainAgcLabel, templateId, ideKind);
}

}  // namespace app
