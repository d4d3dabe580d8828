#include "upkeep_sql/owner_for_driver.h"

#include "upkeep/open_flags.h"

namespace upkeep_sql {

std::string OwnerForDriver(std::string_view code) {
  const upkeep::OpenFlags& flags = upkeep::openFlags();
  if (code == "MSS") return flags.MSSFileOwner;
  if (code == "ORA") return flags.ORAFileOwner;
  if (code == "ODB") return flags.ODBFileOwner;
  if (code == "ASA") return flags.ASAFileOwner;
  return flags.FileOwner;
}

}  // namespace upkeep_sql
