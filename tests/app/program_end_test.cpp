// The program's end in the middle of an upgrade: the files the engine holds open are closed in
// order and the process ends with the code the user chose.
#include <gtest/gtest.h>

#include "app/core/program.h"
#include "app/dictionary/declarations.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/message.h"
#include "platform/runtime/module_initialisers.h"
#include "tests/support/child_process.h"
#include "tests/upkeep/upgrade_fixture.h"
#include "upkeep/upgrade_faults.h"
#include "upkeep/upgrade_marker.h"

namespace upkeep::testing {
namespace {

constexpr int kCount = 60;

using ProgramEndTest = UpgradeTest;

// Abort in the Stop box in the middle of an upgrade, with the catalogue, the old file and the
// new one open: the program closes them and ends with exit code 1, and the next open finds
// the whole old file.
TEST_F(ProgramEndTest, AbortInTheMiddleOfAnUpgradeEndsWithCodeOneAndLeavesTheOldFile) {
  writeOldProjects(kCount);
  startProgram();
  files::CLOSE(app::projects.get());
  support::ChildProcess child([this] {
    runtime::resetModuleInitialisers();
    app::registerProgramModules();
    runtime::runProcessStart();
    runtime::runThreadStart();
    startProgram();
    struct Abort : runtime::MessageAnswerer {
      int answer(const runtime::MessageRequest&) override { return runtime::ButtonAbort; }
    } abort;
    runtime::setMessageAnswerer(&abort);
    runtime::setHalter(nullptr);
    setUpgradeStepHook([seen = 0](UpgradeStep s) mutable {
      return s == UpgradeStep::Write && ++seen == 7 ? runtime::FileSystemErr : 0;
    });
    openProjects();
    return 99;  // the program went on
  });
  EXPECT_TRUE(child.wait().exitedWith(runtime::kStopAbortExitCode)) << child.wait().text();
  EXPECT_TRUE(settleInterruptedUpgrade(completedFileName(files::Driver::Caskfile, "projects.aaa")));
  expectOld(kCount);
}

}  // namespace
}  // namespace upkeep::testing
