// What the link manager asks of the system: handler look-ups in the registry's form, the
// shell's open call, the system folder and the system version. The manager reaches them only
// through a LinkSystem, so tests can give it fakes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/os/system_info.h"

namespace linkpulse {

class LinkSystem {
 public:
  virtual ~LinkSystem() = default;

  // A registry value query (os::regQueryValue): `size` is the room for the value with its NUL
  // on entry; answers 0 with `value` set, else a result code with `value` empty.
  virtual int regQueryValue(std::int32_t root, std::string_view subKey, std::string& value,
                            int& size) = 0;
  // Opens `file`, an address or a local path, with its handler (os::shellExecute with the
  // default verb and no parameters). Answers a shell result: above 32 is success.
  virtual int shellExecute(std::string_view file) = 0;
  // The system folder; empty when it cannot be read.
  virtual std::string windowsDirectory() = 0;
  virtual os::OsVersionInfo osVersion() = 0;
};

// The LinkSystem of platform/os: handler settings and the desktop's MIME data, our own spawner.
LinkSystem& osLinkSystem();

}  // namespace linkpulse
