#include "upkeep/trace.h"

#include <string>

#include "platform/os/debug_output.h"
#include "platform/runtime/text.h"

namespace upkeep {

void WriteTrace(std::string_view text) {
  const std::string line = "[Upkeep] " + runtime::CLIP(text);
  os::outputDebugString(std::string_view(line).substr(0, kMaxTraceLine));
}

}  // namespace upkeep
