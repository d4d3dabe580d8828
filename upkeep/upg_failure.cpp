#include "upkeep/upg_failure.h"

#include <set>
#include <string>

#include "platform/runtime/error_state.h"
#include "platform/runtime/message.h"
#include "platform/runtime/text.h"
#include "upkeep/debug_switches.h"
#include "upkeep/message_catalogue.h"
#include "upkeep/trace.h"
#include "upkeep/upg_file.h"

namespace upkeep {
namespace {

// The failures already shown: catalogue name, error code and driver code.
std::set<std::string>& shownFailures() {
  static std::set<std::string> shown;
  return shown;
}

}  // namespace

void stopUpgFailureOnce(const std::string& text) {
  const std::string failure = UpgFileName().clipped() + '\n' +
                              std::to_string(runtime::ERRORCODE()) + '\n' +
                              runtime::FILEERRORCODE();
  if (!shownFailures().insert(failure).second) return;
  runtime::STOP(text);
}

void resetShownUpgFailures() { shownFailures().clear(); }

void stopUpgFailure() {
  const std::string details = " " + std::to_string(runtime::ERRORCODE()) + " " +
                              runtime::CLIP(runtime::ERROR()) +
                              " FileError: " + runtime::FILEERRORCODE() + " " +
                              runtime::FILEERROR() + " Name:" + UpgFileName().clipped();
  stopUpgFailureOnce("Upkeep: " + messageText("M2") + details);
  if (debugLevels().detailTrace) {
    WriteTrace("Upkeep: Unable to Open UPG file [1] : cause" + details);
  }
}

}  // namespace upkeep
