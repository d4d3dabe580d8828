// Reporting a driver failure: the runtime error number together with the driver's own text.
#pragma once

#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/runtime/error_state.h"
#include "platform/runtime/os_error.h"

namespace files {

// Error numbers of the file statements that error_state.h does not name.
inline constexpr int kRecordNotAvailableErr = 33;
inline constexpr int kFileNotOpenErr = 37;
inline constexpr int kNotSupportedErr = 80;

// Sets error `code` with `why` as the driver's text (no driver code) and returns `code`.
inline int driverError(int code, std::string_view why) {
  runtime::setFileError(code, "", why);
  return code;
}

// Sets the error number of a failed system call's errno `osError` (a folder where a file was
// expected counts as no access), with errno and its text as the driver's code and text.
inline int systemError(int osError) {
  const int code = osError == EISDIR ? runtime::AccessDeniedErr : runtime::errorFromErrno(osError);
  runtime::setFileError(code, std::to_string(osError), std::strerror(osError));
  return code;
}

}  // namespace files
