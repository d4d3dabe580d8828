#include "upkeep/upgrade_faults.h"

#include "platform/runtime/error_state.h"

namespace upkeep {
namespace {

UpgradeStepHook& installed() {
  static UpgradeStepHook hook;
  return hook;
}

}  // namespace

void setUpgradeStepHook(UpgradeStepHook hook) { installed() = std::move(hook); }

int upgradeStepFault(UpgradeStep step) {
  if (!installed()) return 0;
  const int error = installed()(step);
  if (error != 0) runtime::setError(error);
  return error;
}

}  // namespace upkeep
