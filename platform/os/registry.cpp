#include "platform/os/registry.h"

#include <cstdlib>
#include <optional>

#include "platform/os/key_file.h"
#include "platform/os/mime_apps.h"
#include "platform/os/mime_types.h"
#include "platform/os/xdg_dirs.h"
#include "platform/runtime/case_fold.h"
#include "platform/runtime/paths.h"

namespace os {
namespace {

constexpr std::string_view commandSuffix = "\\shell\\open\\command";

std::string settingsPath() {
  const char* named = std::getenv("GAME_DOCK_HANDLERS");
  if (named != nullptr && *named != '\0') return runtime::toOsPath(named);
  return configHome() + "/game_dock/handlers.ini";
}

std::optional<std::string> fromSettings(std::string_view subKey) {
  const auto settings = KeyFile::load(settingsPath(), KeyFile::GroupNames::IgnoreCase);
  if (!settings) return std::nullopt;
  return settings->value(subKey, "Default");
}

std::optional<std::string> fromMimeData(std::string_view subKey) {
  if (!subKey.empty() && subKey[0] == '.') return mimeTypeOfExtension(subKey);
  if (subKey.size() <= commandSuffix.size() ||
      runtime::foldCase(subKey.substr(subKey.size() - commandSuffix.size())) !=
          runtime::foldCase(commandSuffix)) {
    return std::nullopt;
  }
  // MIME types and URL schemes ignore letter case; the desktop's files write them in lower case.
  const std::string type =
      runtime::lowerCase(subKey.substr(0, subKey.size() - commandSuffix.size()));
  if (type.find('/') != std::string::npos) return defaultApplicationExec(type);
  return defaultApplicationExec("x-scheme-handler/" + type);
}

}  // namespace

int queryClassesValue(std::string_view subKey, std::string& value) {
  value.clear();
  std::optional<std::string> found = fromSettings(subKey);
  if (!found) found = fromMimeData(subKey);
  if (!found || found->empty()) return RegNotFound;
  value = std::move(*found);
  return RegSuccess;
}

int regQueryValue(std::int32_t root, std::string_view subKey, std::string& value, int& size) {
  std::string found;
  if (root != HKEY_CLASSES_ROOT || queryClassesValue(subKey, found) != RegSuccess) {
    value.clear();
    size = 0;
    return RegNotFound;
  }
  const int needed = static_cast<int>(found.size()) + 1;
  if (needed > size) {
    value.clear();
    size = needed;
    return RegMoreData;
  }
  value = std::move(found);
  size = needed;
  return RegSuccess;
}

}  // namespace os
