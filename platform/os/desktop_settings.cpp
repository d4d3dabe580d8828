#include "platform/os/desktop_settings.h"

#include <map>
#include <mutex>
#include <vector>

#include "platform/runtime/ini_file.h"
#include "platform/runtime/number_text.h"

namespace os {
namespace {

constexpr const char* section = "Desktop";
constexpr const char* dragEntry = "DragFullWindows";

struct Listeners {
  std::mutex lock;
  int lastId = 0;
  std::map<int, DragFullWindowsListener> byId;
};

Listeners& listeners() {
  static Listeners all;
  return all;
}

}  // namespace

bool dragFullWindows() {
  return runtime::textToLong(runtime::GETINI(section, dragEntry, "1")) != 0;
}

bool setDragFullWindows(bool on) {
  if (!runtime::PUTINI(section, dragEntry, on ? "1" : "0")) return false;
  std::vector<DragFullWindowsListener> toTell;
  {
    std::lock_guard guard(listeners().lock);
    for (const auto& [id, listener] : listeners().byId) toTell.push_back(listener);
  }
  for (const DragFullWindowsListener& listener : toTell) listener(on);
  return true;
}

int addDragFullWindowsListener(DragFullWindowsListener listener) {
  std::lock_guard guard(listeners().lock);
  const int id = ++listeners().lastId;
  listeners().byId.emplace(id, std::move(listener));
  return id;
}

void removeDragFullWindowsListener(int id) {
  std::lock_guard guard(listeners().lock);
  listeners().byId.erase(id);
}

}  // namespace os
