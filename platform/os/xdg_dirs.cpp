#include "platform/os/xdg_dirs.h"

#include <cstdlib>
#include <string_view>

namespace os {
namespace {

std::string absoluteVariable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] == '/' ? std::string(value) : std::string();
}

std::string homeFolder(const char* variable, std::string_view underHome) {
  std::string folder = absoluteVariable(variable);
  if (!folder.empty()) return folder;
  return absoluteVariable("HOME") + std::string(underHome);
}

std::vector<std::string> folderList(const char* variable, std::vector<std::string> fallback) {
  const char* value = std::getenv(variable);
  std::vector<std::string> folders;
  std::string_view rest = value != nullptr ? value : "";
  while (!rest.empty()) {
    const auto colon = rest.find(':');
    const std::string_view entry = rest.substr(0, colon);
    if (!entry.empty() && entry[0] == '/') folders.emplace_back(entry);
    rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
  }
  return folders.empty() ? fallback : folders;
}

}  // namespace

std::string configHome() { return homeFolder("XDG_CONFIG_HOME", "/.config"); }

std::vector<std::string> configDirs() { return folderList("XDG_CONFIG_DIRS", {"/etc/xdg"}); }

std::string dataHome() { return homeFolder("XDG_DATA_HOME", "/.local/share"); }

std::vector<std::string> dataDirs() {
  return folderList("XDG_DATA_DIRS", {"/usr/local/share", "/usr/share"});
}

}  // namespace os
