#include "headless_fixture.h"

#include <mutex>

namespace classlib::testing {

std::string defineWindow(const std::string& title,
                         const std::function<void(window::WindowDefinition&)>& build) {
  // The registry keeps every definition, so each one gets a label of its own.
  static std::mutex mutex;
  static int made = 0;
  std::lock_guard lock(mutex);
  const std::string unique = "W" + std::to_string(++made);
  window::WindowDefinition d;
  d.key = kTestKey;
  d.label = unique;
  d.title = title;
  build(d);
  window::resources().add(std::move(d));
  return unique;
}

}  // namespace classlib::testing
