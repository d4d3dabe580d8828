#include "upkeep_sql/structure_queues.h"

namespace upkeep_sql {

DeclaredStructure& declaredStructure() {
  thread_local DeclaredStructure structure;
  return structure;
}

LiveStructure& liveStructure() {
  static LiveStructure structure;
  return structure;
}

}  // namespace upkeep_sql
