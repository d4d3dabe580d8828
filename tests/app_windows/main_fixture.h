// What the main window's tests share: a link system that starts nothing, and the program's
// surroundings of Main (window modules, services, the settings file, the thread's dictionary,
// blank globals) with helpers that put projects and categories into the data files.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/dictionary/records.h"
#include "linkpulse/link_system.h"
#include "platform/runtime/process.h"

namespace app::testing {

// Finds no handler for any address and records what it was asked to open.
class RecordingLinks : public linkpulse::LinkSystem {
 public:
  std::vector<std::string> opened;

  int regQueryValue(std::int32_t root, std::string_view subKey, std::string& value,
                    int& size) override;
  int shellExecute(std::string_view file) override;
  std::string windowsDirectory() override { return {}; }
  os::OsVersionInfo osVersion() override { return {10, 0, 0, os::OsPlatformNt, ""}; }
};

// Sets up what the program procedure gives Main, in the current directory (a TempFolder made
// before it): the window modules started, the INI manager on ".\game_dock.INI", the thread's
// dictionary, blank globals and the quick filter's shared state, and a spawner that records
// the argument vectors instead of starting programs. Undone at the end.
class MainSurroundings {
 public:
  MainSurroundings();
  ~MainSurroundings();
  MainSurroundings(const MainSurroundings&) = delete;
  MainSurroundings& operator=(const MainSurroundings&) = delete;

  // Adds `project` (its ID numbered by the file) and answers its ID.
  static int addProject(Projects project);
  static void addCategory(std::string_view name);
  // The stored record of project `id`; a blank one when there is none.
  static Projects storedProject(int id);
  // A project with the given description, category and kind.
  static Projects project(std::string_view description, std::string_view category = {},
                          std::string_view kind = "Studio");

  // The programs started, as argument vectors.
  std::vector<std::vector<std::string>> started;
  RecordingLinks links;

 private:
  runtime::Spawner previousSpawner_;
};

}  // namespace app::testing
