#include "platform/os/system_info.h"

#include "platform/os/xdg_dirs.h"

namespace os {

std::string windowsDirectory() { return dataHome(); }

OsVersionInfo osVersion() { return {10, 0, 0, OsPlatformNt, ""}; }

}  // namespace os
