// Whether the program's declaration is master of a field or key of a SQL table, as the options
// "dctmasterfields" and "dctmasterkeys" say (no per-field, per-key or per-file entries are ever
// registered in this program).
#pragma once

#include <cstdint>
#include <string_view>

namespace upkeep_sql {

// 1 when the declaration is master of field `fieldLabel` of file `fileName`, else 0.
std::int32_t ds_CheckCreateField(std::string_view fieldLabel, std::string_view fileName);
// 1 when the declaration is master of key `keyLabel` of file `fileName`, else 0.
std::int32_t ds_CheckCreateKey(std::string_view keyLabel, std::string_view fileName);

}  // namespace upkeep_sql
