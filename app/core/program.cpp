#include "app/core/program.h"

#include <iterator>

#include "app/core/full_window_drag.h"
#include "app/dictionary/declarations.h"
#include "app/dictionary/dictionary.h"
#include "app/dictionary/services.h"
#include "app/dictionary/upgrade_registration.h"
#include "app/windows/main_window.h"
#include "app/windows/quick_find_state.h"
#include "app/windows/window_modules.h"
#include "app/windows/window_requests.h"
#include "classlib/word_matcher.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/module_initialisers.h"
#include "platform/runtime/thread.h"
#include "platform/window/engine.h"
#include "platform/window/properties.h"
#include "upkeep/engine_lifecycle.h"
#include "upkeep/registration.h"

namespace app {
namespace {

void processStart() {
  quickFind.QuickFindText.clear();
  constructServices();
  resetUpgradeRegistration();
}

void threadFileStart() {
  for (const files::PerThreadFile* file : kThreadFileOrder) file->get();
}

void threadStart() {
  runtime::clearError();
  windowRequests() = {};
  if (runtime::THREAD() != 1) dictionary_create_init();
}

void threadEnd() {
  dictionary_kill_entry();
  runtime::clearError();
  for (auto file = std::rbegin(kThreadFileOrder); file != std::rend(kThreadFileOrder); ++file)
    (*file)->release();
}

void processEnd() {
  restoreFullWindowDrag();
  destroyServices();
  resetUpgradeRegistration();
}

}  // namespace

void registerProgramModules() {
  upkeep::registerUpkeepModule();
  runtime::registerModule({.name = "game_dock",
                           .processStart = processStart,
                           .threadFileStart = threadFileStart,
                           .threadStart = threadStart,
                           .threadEnd = threadEnd,
                           .processEnd = processEnd});
  registerWindowModules();
}

void runProgram() {
  globalErrors().init();
  wordMatcher().init();
  wordMatcher().setOption(classlib::IgnoreCaseOption, 1);
  wordMatcher().setOption(classlib::WholeWordsOption, 0);
  iniManager().init(".\\game_dock.INI");
  dictionary_create_init();
  window::setSystemProperty(window::PropIcon, "dockmark.ico");
  upgradingFlagAddress = upkeep::UpgradingFlagAddress();
  registerWithUpgradeEngine();
  switchOffFullWindowDrag();
  Main();
  restoreFullWindowDrag();
  iniManager().kill();
  wordMatcher().kill();
}

}  // namespace app
