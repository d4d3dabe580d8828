// Answers about the system that callers written for another platform ask for.
#pragma once

#include <string>

namespace os {

// The folder that stands for the system directory: the desktop's data folder,
// $XDG_DATA_HOME (~/.local/share). It holds no drive letter, so nothing takes one from it.
std::string windowsDirectory();

// Platform identifiers of OsVersionInfo.
enum OsPlatform : unsigned {
  OsPlatformWindows9x = 1,
  OsPlatformNt = 2,
};

// A system version in the form callers test it.
struct OsVersionInfo {
  unsigned majorVersion;
  unsigned minorVersion;
  unsigned buildNumber;
  unsigned platformId;
  std::string servicePack;  // at most 127 characters
};

// The version this system reports: always platform NT, version 10.0, build 0, no service
// pack, which is newer than every version that callers give special limits.
OsVersionInfo osVersion();

}  // namespace os
