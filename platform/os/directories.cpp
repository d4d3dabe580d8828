#include "platform/os/directories.h"

#include <sys/stat.h>

#include <cerrno>
#include <string>

#include "platform/runtime/os_error.h"
#include "platform/runtime/paths.h"

namespace os {
namespace {

bool isFolder(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

int VUCREATEDIRECTORY(std::string_view path) {
  const std::string target = runtime::toOsPath(path);
  if (target.empty()) return 3;
  // Create each folder along the way, from the top down; a part that exists is passed over.
  for (std::size_t end = target.find('/', 1);; end = target.find('/', end + 1)) {
    const std::string part = target.substr(0, end);
    if (!part.empty() && part.back() != '/' && mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
      const int failure = errno;
      return failure == ENOENT ? 3 : runtime::errorFromErrno(failure);
    }
    if (end == std::string::npos) break;
  }
  return isFolder(target) ? 0 : 3;
}

}  // namespace os
