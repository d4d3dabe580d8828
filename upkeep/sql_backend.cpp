#include "upkeep/sql_backend.h"

#include <utility>

namespace upkeep {
namespace {

SqlBackend* installed = nullptr;

}  // namespace

SqlBackend* setSqlBackend(SqlBackend* backend) { return std::exchange(installed, backend); }

SqlBackend* sqlBackend() { return installed; }

}  // namespace upkeep
