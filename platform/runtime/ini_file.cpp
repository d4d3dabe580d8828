#include "platform/runtime/ini_file.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <unordered_map>

#include "platform/runtime/error_state.h"
#include "platform/runtime/ini_document.h"
#include "platform/runtime/paths.h"
#include "platform/runtime/whole_file.h"

namespace runtime {
namespace {

std::mutex& iniLock() {
  static std::mutex lock;
  return lock;
}

std::string environmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

std::string homeFolder() {
  std::string home = environmentValue("HOME");
  if (!home.empty()) return home;
  const passwd* user = getpwuid(getuid());
  return user != nullptr && user->pw_dir != nullptr ? std::string(user->pw_dir) : std::string();
}

std::string osPathOf(std::string_view file) {
  return file.empty() ? defaultProfilePath() : toOsPath(file);
}

// Reads the file for a listing and sets the error state of the read.
IniDocument readDocument(const std::string& osPath) {
  std::string content;
  const int error = readWholeFile(osPath, content);
  setError(error);
  return IniDocument(content);
}

// The values of the file last read for a look-up, kept while the file is unchanged: a caller
// that reads a file entry by entry (a template of thousands of lines) reads it once. Every
// write replaces the file through a rename, so its inode changes; a change by another program
// shows in its size or times.
struct CachedFile {
  std::string osPath;
  struct stat identity {};
  std::unordered_map<std::string, std::string> values;
};

CachedFile& cachedFile() {
  static CachedFile cache;
  return cache;
}

bool sameIdentity(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
         a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

// The values of the file for a look-up (read again when it changed); sets the error state of
// the read. Callers hold iniLock().
const std::unordered_map<std::string, std::string>& fileValues(const std::string& osPath) {
  CachedFile& cache = cachedFile();
  struct stat now {};
  if (stat(osPath.c_str(), &now) == 0 && cache.osPath == osPath &&
      sameIdentity(now, cache.identity)) {
    clearError();
    return cache.values;
  }
  std::string content;
  const int error = readWholeFile(osPath, content);
  cache.osPath.clear();
  cache.values = IniDocument(content).index();
  struct stat after {};
  // Kept only when the file did not change while it was read.
  if (error == NoError && stat(osPath.c_str(), &after) == 0 && sameIdentity(now, after)) {
    cache.osPath = osPath;
    cache.identity = after;
  }
  setError(error);
  return cache.values;
}

bool fail(int code) {
  setError(code);
  return false;
}

}  // namespace

std::string defaultProfilePath() {
  const std::string overridden = environmentValue("GAME_DOCK_PROFILE");
  if (!overridden.empty()) return overridden;
  std::string configFolder = environmentValue("XDG_CONFIG_HOME");
  if (configFolder.empty() || configFolder.front() != '/') configFolder = homeFolder() + "/.config";
  return configFolder + "/game_dock/default-profile.ini";
}

std::string GETINI(std::string_view section, std::string_view entry, std::string_view defaultValue,
                   std::string_view file) {
  std::lock_guard guard(iniLock());
  const auto& values = fileValues(osPathOf(file));
  const auto found = values.find(IniDocument::indexKey(section, entry));
  return found != values.end() ? found->second : std::string(defaultValue);
}

bool PUTINI(std::string_view section, std::string_view entry, std::optional<std::string_view> value,
            std::string_view file) {
  if (!IniDocument::canStore(section, entry, value.value_or(std::string_view()))) {
    return fail(FileSystemErr);
  }
  std::lock_guard guard(iniLock());
  const std::string osPath = osPathOf(file);
  std::string content;
  const int readError = readWholeFile(osPath, content);
  if (readError != NoError && readError != FileNotFoundErr) return fail(readError);

  IniDocument document(content);
  if (value) {
    document.set(section, entry, *value);
  } else {
    document.remove(section, entry);
  }
  const std::string updated = document.text();
  if (updated == content) {
    clearError();
    return true;
  }
  if (file.empty()) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(osPath).parent_path(), ignored);
  }
  const int writeError = replaceWholeFile(osPath, updated);
  if (writeError != NoError) return fail(writeError);
  clearError();
  return true;
}

std::vector<std::string> iniSections(std::string_view file) {
  std::lock_guard guard(iniLock());
  return readDocument(osPathOf(file)).sections();
}

std::vector<std::string> iniEntries(std::string_view section, std::string_view file) {
  std::lock_guard guard(iniLock());
  return readDocument(osPathOf(file)).entries(section);
}

}  // namespace runtime
