// The owner string last stored for a backend by ds_FileOpen.
#pragma once

#include <string>
#include <string_view>

namespace upkeep_sql {

// MSSFileOwner for "MSS", ORAFileOwner for "ORA", ODBFileOwner for "ODB", ASAFileOwner for
// "ASA", FileOwner for any other code.
std::string OwnerForDriver(std::string_view code);

}  // namespace upkeep_sql
