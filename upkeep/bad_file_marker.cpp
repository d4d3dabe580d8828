#include "upkeep/bad_file_marker.h"

#include <optional>
#include <string>

#include "platform/runtime/error_state.h"
#include "platform/runtime/ini_file.h"
#include "upkeep/program_file_name.h"
#include "upkeep/registration_tables.h"

namespace upkeep {
namespace {

// Sets the marker to `value` (nothing: removed) in the default profile, keeping the error state
// of the open it stands beside: the profile write would otherwise clear or replace it.
void putMarker(std::optional<std::string_view> value) {
  if (registration().options.badFile != 1) return;
  const int code = runtime::ERRORCODE();
  const std::string driverCode = runtime::FILEERRORCODE();
  const std::string driverText = runtime::FILEERROR();
  runtime::PUTINI(ProgramFileName(), "BadFile", value);
  runtime::setFileError(code, driverCode, driverText);
}

}  // namespace

void writeBadFileMarker(std::string_view fileName) { putMarker(fileName); }

void removeBadFileMarker() { putMarker(std::nullopt); }

}  // namespace upkeep
