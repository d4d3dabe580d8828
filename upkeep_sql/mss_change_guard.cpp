#include "upkeep_sql/mss_change_guard.h"

#include <string>

#include "platform/runtime/message.h"
#include "platform/runtime/text.h"
#include "upkeep_sql/sql_trace.h"

namespace upkeep_sql {

std::int32_t ds_MSSWarnForIllegalFieldChanges(
    std::string_view, std::string_view, std::string_view newType, std::string_view currentType,
    std::string_view columnName, std::string_view fieldName, std::string_view tableName) {
  traceInOut("-- Start of ds_MSSWarnForIllegalFieldChanges  --");
  std::string operation;
  if (columnName == "ROWGUID") {
    operation = "You are trying to alter a ROWGUID field.";
  } else if (runtime::LOWER(runtime::SUB(currentType, 1, 6)) == "image(" &&
             runtime::LOWER(runtime::SUB(newType, 1, 6)) != "image(") {
    operation = "You are trying to alter an IMAGE field's type.";
  }
  const std::int32_t result = operation.empty() ? 0 : 1;
  if (result == 1) {
    runtime::MESSAGE(
        "Upkeep Warning: Attempting illegal operation on file: " + runtime::CLIP(tableName) +
            "|For field: " + runtime::CLIP(fieldName) + "|Operation: " + operation +
            "|Consult your application supplier for details.",
        "Upkeep Warning:", {}, runtime::ButtonOk, runtime::ButtonOk);
  }
  traceDetail("MSSWarnForIllegalFieldChanges: " + runtime::CLIP(tableName) + " " +
              runtime::CLIP(fieldName) + " Type: " + runtime::CLIP(currentType) + " " +
              runtime::CLIP(newType));
  traceInOut("-- End of ds_MSSWarnForIllegalFieldChanges: Returning: " + std::to_string(result));
  return result;
}

}  // namespace upkeep_sql
