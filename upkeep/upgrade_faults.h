// A seam for tests at the upgrade's file statements: an installed hook is asked before each
// step and may make it fail (answering the error it should report) without the step being
// done, or stop the process there, as a crash would. Without a hook every step runs.
#pragma once

#include <functional>

namespace upkeep {

enum class UpgradeStep {
  CreateTable,  // a SQL table is created (for a conversion, after its pending marker)
  Marker,       // the upgrade marker is written
  Backup,       // the old file is set aside
  Remove,       // the old file's name is cleared
  Create,       // the new file is created
  OpenNew,      // the new file is opened
  OpenSource,   // the backup is opened as the source
  Write,        // one record is written
  Commit,       // the records so far are committed
  Build,        // the keys are built
  Sync,         // the new file is synced to the disk
  Finish,       // the new file is closed and counts as complete
  Cleanup,      // the backup and the marker are removed
};

// Answers 0 to let the step run, else the runtime error it fails with.
using UpgradeStepHook = std::function<int(UpgradeStep)>;

// Installs `hook` (empty: none) for the whole process.
void setUpgradeStepHook(UpgradeStepHook hook);

// What the hook answers for `step`; 0 without a hook. A non-zero answer is also set as the
// calling thread's error.
int upgradeStepFault(UpgradeStep step);

}  // namespace upkeep
