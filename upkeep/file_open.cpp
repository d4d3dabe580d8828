#include "upkeep/file_open.h"

#include "platform/files/file_driver.h"
#include "platform/files/view_driver.h"
#include "upkeep/call_recorder.h"
#include "upkeep/upkeep_state.h"

namespace upkeep {
namespace {

// Holds the lock with UPK_Upgrading at 1 for a scope.
class OpenInProgress {
 public:
  OpenInProgress() : guard_(upkeepLock()) { upgradingFlag() = 1; }
  ~OpenInProgress() { upgradingFlag() = 0; }
  OpenInProgress(const OpenInProgress&) = delete;
  OpenInProgress& operator=(const OpenInProgress&) = delete;

 private:
  runtime::CriticalSectionGuard guard_;
};

}  // namespace

void ds_FileOpen(files::FileDeclaration& file, int accessMode) {
  EntryCallBuilder("ds_FileOpen").file(file).number(accessMode).send();
  const OpenInProgress inProgress;
  files::OPEN(file, accessMode);
}

void ds_FileOpen(files::FileView& view, int accessMode) {
  EntryCallBuilder("ds_FileOpen")
      .object("VIEW", view.primary().label(), &view)
      .number(accessMode)
      .send();
  const OpenInProgress inProgress;
  files::OPEN(view, accessMode);
}

}  // namespace upkeep
