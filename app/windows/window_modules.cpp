#include "app/windows/window_modules.h"

#include <algorithm>
#include <cassert>
#include <mutex>
#include <set>
#include <string>
#include <utility>

#include "app/windows/browse_categories.h"
#include "app/windows/browse_codeby.h"
#include "app/windows/browse_functions.h"
#include "app/windows/browse_templates.h"
#include "app/windows/create_main_agc.h"
#include "app/windows/main_window.h"
#include "app/windows/new_project.h"
#include "app/windows/select_template.h"
#include "app/windows/setup_paths.h"
#include "app/windows/update_categories.h"
#include "app/windows/update_functions.h"
#include "app/windows/update_projects.h"
#include "app/windows/update_templates.h"
#include "app/windows/updatecodeby.h"
#include "platform/runtime/module_initialisers.h"

namespace app {
namespace {

using window::ControlType;
constexpr ControlType S = ControlType::String, S2 = ControlType::StringAlt, Ln = ControlType::Line,
                      En = ControlType::Entry, Bt = ControlType::Button, Pr = ControlType::Prompt,
                      Op = ControlType::Option, Ck = ControlType::Check, Li = ControlType::List,
                      Tx = ControlType::Text, Ra = ControlType::Radio, Pg = ControlType::Progress,
                      Sh = ControlType::Sheet, Tb = ControlType::Tab;

constexpr ControlType kMainKinds[] = {S, S2, En, Bt, Pr, Ck, Li, Tx, Sh, Tb};
constexpr ControlType kSetupPathsKinds[] = {Ln, En, Bt, Pr};
constexpr ControlType kNewProjectKinds[] = {En, Bt, Pr, Op, Ra};
constexpr ControlType kUpdateProjectsKinds[] = {En, Bt, Pr, Op, Ck, Tx, Ra, Sh, Tb};
constexpr ControlType kFormKinds[] = {En, Bt, Pr, Sh, Tb};
constexpr ControlType kSelectKinds[] = {Bt, Li};
constexpr ControlType kProgressKinds[] = {Pg};
constexpr ControlType kBrowseTemplatesKinds[] = {Bt, Li, Tx};
constexpr ControlType kListSheetKinds[] = {Bt, Li, Sh, Tb};
constexpr ControlType kUnopenedFormKinds[] = {En, Bt, Pr, Op, Ck, Ra, Sh, Tb};
constexpr ControlType kBrowseFunctionsKinds[] = {S, S2, En, Bt, Pr, Ck, Li, Tx, Sh, Tb};
constexpr ControlType kUpdateFunctionsKinds[] = {S, En, Bt, Pr, Ck, Tx, Sh, Tb};

std::mutex registeredLock;
std::set<std::pair<int, ControlType>> registered;

thread_local std::array<std::function<void()>, 17> listCleanups;

[[maybe_unused]] bool belongsToEveryWindow(ControlType kind) {
  return kind == ControlType::Menu || kind == ControlType::Item || kind == ControlType::Toolbar;
}

void processStart(const WindowModule& module) {
  {
    const std::lock_guard lock(registeredLock);
    for (const ControlType kind : module.kinds) registered.insert({module.number, kind});
  }
  if (module.addResources) module.addResources();
}

void threadEnd(const WindowModule& module) {
  std::function<void()> cleanup = std::move(listCleanups[module.number]);
  listCleanups[module.number] = nullptr;
  if (cleanup) cleanup();
}

void processEnd(const WindowModule& module) {
  const std::lock_guard lock(registeredLock);
  std::erase_if(registered, [&](const auto& entry) { return entry.first == module.number; });
}

}  // namespace

const std::array<WindowModule, 16> kWindowModules = {{
    {1, "Main", kMainKinds, true, addMainWindowResource},
    {2, "Setup_Paths", kSetupPathsKinds, false, addSetupPathsResource},
    {3, "New_Project", kNewProjectKinds, false, addNewProjectResource},
    {4, "update_projects", kUpdateProjectsKinds, false, addUpdateProjectsResource},
    {5, "update_Templates", kFormKinds, false, addUpdateTemplatesResource},
    {6, "select_template", kSelectKinds, true, addSelectTemplateResource},
    {7, "createmainagc", kProgressKinds, false, addCreateMainAgcResource},
    {8, "browse_Templates", kBrowseTemplatesKinds, true, addBrowseTemplatesResource},
    {9, "browse_Categories", kSelectKinds, true, addBrowseCategoriesResource},
    {10, "update_categories", kFormKinds, false, addUpdateCategoriesResource},
    {11, "browse_codeby", kListSheetKinds, true, addBrowseCodebyResource},
    {12, "", kListSheetKinds, true, nullptr},
    {13, "Updatecodeby", kFormKinds, false, addUpdatecodebyResource},
    {14, "", kUnopenedFormKinds, false, nullptr},
    {15, "browse_functions", kBrowseFunctionsKinds, true, addBrowseFunctionsResource},
    {16, "update_functions", kUpdateFunctionsKinds, false, addUpdateFunctionsResource},
}};

void registerWindowModules() {
  for (const WindowModule& module : kWindowModules) {
    runtime::ModuleInitialiser initialiser;
    initialiser.name =
        "game_dock" + std::string(module.number < 10 ? "00" : "0") + std::to_string(module.number);
    initialiser.processStart = [&module] { processStart(module); };
    if (module.hasLists) initialiser.threadEnd = [&module] { threadEnd(module); };
    initialiser.processEnd = [&module] { processEnd(module); };
    runtime::registerModule(std::move(initialiser));
  }
}

bool controlKindRegistered(int module, ControlType kind) {
  const std::lock_guard lock(registeredLock);
  return registered.contains({module, kind});
}

void addModuleWindow([[maybe_unused]] int module, window::WindowDefinition definition) {
  for ([[maybe_unused]] const auto& [number, control] : definition.controls) {
    assert((belongsToEveryWindow(control.type) || controlKindRegistered(module, control.type)) &&
           "a control of a kind its module does not register");
  }
  if (window::resources().find(definition.key, definition.label) != nullptr) return;
  window::resources().add(std::move(definition));
}

void setListCleanup(int module, std::function<void()> cleanup) {
  assert(module >= 1 && module <= 16 && kWindowModules[module - 1].hasLists &&
         "only modules with lists have a thread-end step");
  listCleanups[module] = std::move(cleanup);
}

}  // namespace app
