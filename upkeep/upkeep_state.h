// The upgrade manager's process-wide state shared by its entry points: the UPK_Upgrading byte
// and the one re-entrant lock that ds_FileOpen holds for its whole run.
#pragma once

#include <cstdint>

#include "platform/runtime/thread.h"

namespace upkeep {

// UPK_Upgrading; written only under upkeepLock().
std::uint8_t& upgradingFlag();

// The process-wide lock of the upgrade manager.
runtime::CriticalSection& upkeepLock();

}  // namespace upkeep
