// The guard against column changes SQL Server must not be asked for.
#pragma once

#include <cstdint>
#include <string_view>

namespace upkeep_sql {

// 1 (after telling the user in a message box) when column `columnName` is ROWGUID, or when an
// image column's type `currentType` would change to a type that is no image; else 0. The spare
// texts are not read; `fieldName` and `tableName` name the change in the box.
std::int32_t ds_MSSWarnForIllegalFieldChanges(std::string_view spare1, std::string_view spare2,
                                              std::string_view newType,
                                              std::string_view currentType,
                                              std::string_view columnName,
                                              std::string_view fieldName,
                                              std::string_view tableName);

}  // namespace upkeep_sql
