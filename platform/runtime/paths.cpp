#include "platform/runtime/paths.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <string>

#include "platform/runtime/error_state.h"
#include "platform/runtime/os_error.h"

namespace runtime {

std::string toOsPath(std::string_view path) {
  std::string result(path);
  std::replace(result.begin(), result.end(), '\\', '/');
  return result;
}

std::string SHORTPATH(std::string_view path) {
  if (path.empty()) return currentDirectory();
  return std::string(path);
}

std::string currentDirectory() {
  std::string buffer(PATH_MAX, '\0');
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) {
      setError(PathNotFoundErr);
      return {};
    }
    buffer.resize(buffer.size() * 2);
  }
  buffer.resize(buffer.find('\0'));
  return buffer;
}

bool setCurrentDirectory(std::string_view path) {
  if (chdir(toOsPath(path).c_str()) != 0) {
    const int osError = errno;
    setError(osError == ENOENT ? PathNotFoundErr : errorFromErrno(osError));
    return false;
  }
  clearError();
  return true;
}

}  // namespace runtime
