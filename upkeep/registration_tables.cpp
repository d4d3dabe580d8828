#include "upkeep/registration_tables.h"

#include <algorithm>
#include <iterator>

#include "platform/runtime/text.h"

namespace upkeep {
namespace {

RegistrationTables tables;

}  // namespace

RegistrationTables& registration() { return tables; }

void resetRegistrationTables() { tables = RegistrationTables{}; }

bool isSqlDriverCode(std::string_view code) { return sqlDriverSlot(code) != nullptr; }

SqlDriverSlot* sqlDriverSlot(std::string_view code) {
  const std::string upper = runtime::UPPER(runtime::CLIP(code));
  const auto* found = std::find(std::begin(kSqlDriverCodes), std::end(kSqlDriverCodes), upper);
  if (found == std::end(kSqlDriverCodes)) return nullptr;
  return &tables.sqlDriverSlots[found - std::begin(kSqlDriverCodes)];
}

const UsingFileEntry* usingFileEntry(std::string_view prefix) {
  const std::string upper = runtime::UPPER(runtime::CLIP(prefix));
  const auto found = std::lower_bound(
      tables.UF.begin(), tables.UF.end(), upper,
      [](const UsingFileEntry& entry, const std::string& key) { return entry.PREFIX < key; });
  return found != tables.UF.end() && found->PREFIX == upper ? &*found : nullptr;
}

}  // namespace upkeep
