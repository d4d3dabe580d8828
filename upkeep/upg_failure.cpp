#include "upkeep/upg_failure.h"

#include <string>

#include "platform/runtime/error_state.h"
#include "platform/runtime/message.h"
#include "platform/runtime/text.h"
#include "upkeep/debug_switches.h"
#include "upkeep/message_catalogue.h"
#include "upkeep/trace.h"
#include "upkeep/upg_file.h"

namespace upkeep {

void stopUpgFailure() {
  const std::string details = " " + std::to_string(runtime::ERRORCODE()) + " " +
                              runtime::CLIP(runtime::ERROR()) +
                              " FileError: " + runtime::FILEERRORCODE() + " " +
                              runtime::FILEERROR() + " Name:" + UpgFileName().clipped();
  runtime::STOP("Upkeep: " + messageText("M2") + details);
  if (debugLevels().detailTrace) {
    WriteTrace("Upkeep: Unable to Open UPG file [1] : cause" + details);
  }
}

}  // namespace upkeep
