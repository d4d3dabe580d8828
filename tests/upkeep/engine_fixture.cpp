#include "tests/upkeep/engine_fixture.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <utility>

#include "platform/os/debug_output.h"
#include "platform/runtime/command_line.h"
#include "platform/runtime/paths.h"
#include "upkeep/engine_lifecycle.h"
#include "upkeep/program_file_name.h"
#include "upkeep/settings_ini.h"

namespace upkeep::testing {

EngineTest::EngineTest() : previousDirectory_(runtime::currentDirectory()) {
  // The engine keeps its catalogue in the current directory: the test's own folder.
  runtime::setCurrentDirectory(folder.path().string());
  upkeepProcessStart();
  runtime::setCommandLine("");
  setenv("GAME_DOCK_PROFILE", defaultProfile().c_str(), 1);
  const std::string name = "upkeep_test_" + std::to_string(getpid()) + ".Ini";
  SetTranslationIni(name);
  settingsIni_ = programFolder() + name;
  std::remove(settingsIni_.c_str());
  os::setDebugSink([this](std::string_view line) { trace_.emplace_back(line); });
}

EngineTest::~EngineTest() {
  os::setDebugSink({});
  std::remove(settingsIni_.c_str());
  unsetenv("GAME_DOCK_PROFILE");
  runtime::setCommandLine("");
  upkeepProcessEnd();
  runtime::setCurrentDirectory(previousDirectory_);
}

void EngineTest::commandLine(std::string_view arguments) { runtime::setCommandLine(arguments); }

std::vector<std::string> EngineTest::takeTrace() { return std::exchange(trace_, {}); }

}  // namespace upkeep::testing
