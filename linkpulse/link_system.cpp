#include "linkpulse/link_system.h"

#include "platform/os/registry.h"
#include "platform/os/shell_launch.h"

namespace linkpulse {
namespace {

class OsLinkSystem : public LinkSystem {
 public:
  int regQueryValue(std::int32_t root, std::string_view subKey, std::string& value,
                    int& size) override {
    return os::regQueryValue(root, subKey, value, size);
  }
  int shellExecute(std::string_view file) override {
    return os::shellExecute({}, file, {}, {}, os::SW_SHOWNORMAL);
  }
  std::string windowsDirectory() override { return os::windowsDirectory(); }
  os::OsVersionInfo osVersion() override { return os::osVersion(); }
};

}  // namespace

LinkSystem& osLinkSystem() {
  static OsLinkSystem system;
  return system;
}

}  // namespace linkpulse
