#include "platform/os/file_dates.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>
#include <string>

#include "platform/runtime/paths.h"

namespace os {

int VUFILEDATE(std::string_view file, int selector) {
  if (selector < FileCreated || selector > FileLastAccessed) return 0;
  const std::string path = runtime::toOsPath(file);
  struct statx status {};
  const unsigned wanted = STATX_BTIME | STATX_CTIME | STATX_MTIME | STATX_ATIME;
  if (path.empty() || statx(AT_FDCWD, path.c_str(), 0, wanted, &status) != 0) return 0;
  statx_timestamp stamp = status.stx_atime;
  if (selector == FileLastWritten) stamp = status.stx_mtime;
  if (selector == FileCreated) {
    stamp = (status.stx_mask & STATX_BTIME) != 0 ? status.stx_btime : status.stx_ctime;
  }
  const std::time_t seconds = static_cast<std::time_t>(stamp.tv_sec);
  std::tm local{};
  if (localtime_r(&seconds, &local) == nullptr) return 0;
  return (local.tm_year + 1900) * 10000 + (local.tm_mon + 1) * 100 + local.tm_mday;
}

}  // namespace os
