#include "app/windows/main_window.h"

#include <string>

#include "app/dictionary/declarations.h"
#include "app/dictionary/dictionary.h"
#include "app/dictionary/services.h"
#include "app/windows/window_modules.h"
#include "platform/classlib/error_level.h"
#include "platform/window/engine.h"
#include "platform/window/events.h"

namespace app {
namespace {

// Opens `file` through its relation manager; true when it is open for this window.
bool openThroughRelation(const files::PerThreadFile& file) {
  classlib::RelationManager* relation = relationManager(file);
  return relation != nullptr && relation->open() == classlib::LevelBenign;
}

}  // namespace

void addMainWindowResource() {
  window::WindowDefinition main;
  main.key = std::string(kMainWindowKey);
  main.label = std::string(kMainWindowLabel);
  main.title = "AGK - Game Dock and Projects Database";
  main.icon = "dockmark.ico";
  main.at = {0, 0, 420, 120};
  main.add(kMainCloseButton, window::ControlType::Button).text("&Close").at(360, 98, 50, 14);
  addModuleWindow(1, std::move(main));
}

void Main() {
  globalErrors().setProcedureName("Main");
  window::OPEN(kMainWindowKey, kMainWindowLabel);
  const bool categortOpened = openThroughRelation(categort);
  const bool projectsOpened = openThroughRelation(projects);
  while (window::ACCEPT()) {
    if (window::ACCEPTED() == kMainCloseButton) window::POST(window::EventCloseWindow);
  }
  if (categortOpened) relationManager(categort)->close();
  if (projectsOpened) relationManager(projects)->close();
  window::CLOSE();
  globalErrors().setProcedureName("");
}

}  // namespace app
