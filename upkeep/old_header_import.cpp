#include "upkeep/old_header_import.h"

namespace upkeep {

std::int32_t ImportCorvid() { return 0; }

}  // namespace upkeep
