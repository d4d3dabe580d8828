// The trace lines of the SQL statement builders, each behind the switch it belongs to.
#pragma once

#include <string>

#include "upkeep/debug_switches.h"
#include "upkeep/trace.h"

namespace upkeep_sql {

inline void traceInOut(const std::string& text) {
  if (upkeep::debugLevels().inOutTrace) upkeep::WriteTrace(text);
}
inline void traceDetail(const std::string& text) {
  if (upkeep::debugLevels().detailTrace) upkeep::WriteTrace(text);
}
inline void traceDeveloper(const std::string& text) {
  if (upkeep::debugLevels().developerLevel != 0) upkeep::WriteTrace(text);
}
inline void traceFieldCopy(const std::string& text) {
  if (upkeep::debugLevels().fieldCopyDetail) upkeep::WriteTrace(text);
}

}  // namespace upkeep_sql
