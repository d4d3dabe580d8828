#include "upkeep/upkeep_state.h"

namespace upkeep {

std::uint8_t& upgradingFlag() {
  static std::uint8_t flag = 0;
  return flag;
}

runtime::CriticalSection& upkeepLock() {
  static runtime::CriticalSection lock;
  return lock;
}

}  // namespace upkeep
