// DR: the file drivers registered with ds_AddDriver, in registration order. Each entry keeps
// the code as registered (case kept) and the identity of the runtime driver of the FILE given
// with it. Process-wide; filled at start-up before any file is opened.
#pragma once

#include <string>
#include <vector>

#include "platform/files/file_declaration.h"

namespace upkeep {

struct DriverEntry {
  std::string NAME;  // up to three characters, as registered
  files::Driver PTR;
};

// The table itself.
std::vector<DriverEntry>& DR();

}  // namespace upkeep
