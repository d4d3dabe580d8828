#include "platform/os/mime_apps.h"

#include <vector>

#include "platform/os/key_file.h"
#include "platform/os/xdg_dirs.h"

namespace os {
namespace {

std::vector<std::string> applicationFolders() {
  std::vector<std::string> folders{dataHome() + "/applications"};
  for (const std::string& folder : dataDirs()) folders.push_back(folder + "/applications");
  return folders;
}

std::vector<std::string> mimeAppsLists() {
  std::vector<std::string> lists{configHome() + "/mimeapps.list"};
  for (const std::string& folder : configDirs()) lists.push_back(folder + "/mimeapps.list");
  for (const std::string& folder : applicationFolders()) lists.push_back(folder + "/mimeapps.list");
  return lists;
}

// The Exec line of the desktop file `desktopId` when it is installed and serves as a handler.
std::optional<std::string> handlerExec(std::string_view desktopId) {
  if (desktopId.empty() || desktopId.find('/') != std::string_view::npos) return std::nullopt;
  for (const std::string& folder : applicationFolders()) {
    const auto entry = KeyFile::load(folder + "/" + std::string(desktopId));
    if (!entry) continue;
    const auto exec = entry->value("Desktop Entry", "Exec");
    const auto type = entry->value("Desktop Entry", "Type");
    if (!exec || exec->empty() || entry->value("Desktop Entry", "Hidden") == "true" ||
        (type && *type != "Application")) {
      return std::nullopt;
    }
    return exec;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> defaultApplicationExec(std::string_view mimeType) {
  std::vector<KeyFile> lists;
  for (const std::string& path : mimeAppsLists()) {
    if (auto list = KeyFile::load(path)) lists.push_back(std::move(*list));
  }
  for (const char* group : {"Default Applications", "Added Associations"}) {
    for (const KeyFile& list : lists) {
      std::string_view ids;
      const auto value = list.value(group, mimeType);
      if (value) ids = *value;
      while (!ids.empty()) {
        const auto semicolon = ids.find(';');
        if (auto exec = handlerExec(ids.substr(0, semicolon))) return exec;
        ids = semicolon == std::string_view::npos ? std::string_view() : ids.substr(semicolon + 1);
      }
    }
  }
  return std::nullopt;
}

}  // namespace os
