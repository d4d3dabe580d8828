#include "app/windows/window_modules.h"

#include <gtest/gtest.h>

#include "app/core/program.h"
#include "app/windows/main_window.h"
#include "platform/runtime/module_initialisers.h"
#include "platform/window/window_definition.h"
#include "tests/app/app_fixture.h"

namespace app {
namespace {

using window::ControlType;

class WindowModulesTest : public ::testing::Test {
 protected:
  WindowModulesTest() {
    runtime::resetModuleInitialisers();
    registerProgramModules();
    runtime::runProcessStart();
    runtime::runThreadStart();
  }
  ~WindowModulesTest() override {
    runtime::runThreadEnd();
    runtime::runProcessEnd();
    runtime::resetModuleInitialisers();
  }

  testing::TempFolder folder;
};

TEST_F(WindowModulesTest, EachModuleRegistersItsControlKindsAndMainItsWindow) {
  const struct {
    int module;
    ControlType kind;
    bool registered;
  } cases[] = {
      {1, ControlType::StringAlt, true}, {1, ControlType::Radio, false},
      {2, ControlType::Line, true},      {7, ControlType::Progress, true},
      {7, ControlType::Button, false},   {16, ControlType::StringAlt, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(controlKindRegistered(c.module, c.kind), c.registered) << c.module;
  EXPECT_NE(window::resources().find(kMainWindowKey, kMainWindowLabel), nullptr);
  runtime::runThreadEnd();
  runtime::runProcessEnd();
  EXPECT_FALSE(controlKindRegistered(1, ControlType::List));
}

TEST_F(WindowModulesTest, AListModulesThreadEndRunsItsCleanupOnce) {
  int runs = 0;
  setListCleanup(8, [&] { ++runs; });
  runtime::runThreadEnd();
  EXPECT_EQ(runs, 1);
  runtime::runThreadStart();
  runtime::runThreadEnd();
  EXPECT_EQ(runs, 1);
}

}  // namespace
}  // namespace app
