// The fixture of the record windows' tests: a temporary data folder, the services, the window
// resources of every module and the thread's dictionary; records are put in and read back
// through the dictionary's file managers, and each window runs under a headless script whose
// message boxes it answers.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/dictionary/declarations.h"
#include "app/dictionary/dictionary.h"
#include "app/windows/window_requests.h"
#include "platform/window/headless_backend.h"
#include "tests/app/app_fixture.h"

namespace app::testing {

class WindowTest : public ::testing::Test {
 protected:
  WindowTest();
  ~WindowTest() override;

  // Runs `procedure` with `request` in the thread's request byte under `script`; expects the
  // script used up and answers the response byte.
  int run(window::HeadlessBackend& script, int request, const std::function<void()>& procedure);

  // Adds a record to `file`: `fill` sets the fields of a fresh record (auto numbers given).
  void add(const files::PerThreadFile& file, const std::function<void()>& fill);
  // Every record of `file` in the order of its key `key` (0 = physical order), each as
  // `describe` writes the buffer.
  std::vector<std::string> stored(const files::PerThreadFile& file, std::string_view keyLabel,
                                  const std::function<std::string()>& describe);

  void addCategory(std::string_view name);
  std::vector<std::string> categories();
  void addMember(std::string_view name);
  std::vector<std::string> members();

  // The texts a list shows in column `column`, top to bottom, the selected one in brackets.
  static std::vector<std::string> shown(window::Window& w, int list, int column = 1);

  TempFolder folder;
  Services services;
};

using Shown = std::vector<std::string>;

}  // namespace app::testing
