#include "platform/os/runtime_stand_in.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>

#include "platform/runtime/case_fold.h"

extern char** environ;

namespace os::stand_in {
namespace {

std::string profilePath() {
  const char* named = std::getenv("GAME_DOCK_PROFILE");
  if (named != nullptr && *named != '\0') return toOsPath(named);
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string folder =
      config != nullptr && *config == '/'
          ? std::string(config)
          : std::string(std::getenv("HOME") ? std::getenv("HOME") : "") + "/.config";
  return folder + "/game_dock/default-profile.ini";
}

std::string trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r");
  return std::string(text.substr(first, last - first + 1));
}

bool sameName(std::string_view a, std::string_view b) {
  return runtime::foldCase(trimmed(a)) == runtime::foldCase(trimmed(b));
}

std::vector<std::string> readLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::mutex& profileLock() {
  static std::mutex lock;
  return lock;
}

}  // namespace

std::string toOsPath(std::string_view path) {
  std::string result(path);
  std::replace(result.begin(), result.end(), '\\', '/');
  return result;
}

std::string currentDirectory() {
  char buffer[PATH_MAX];
  return getcwd(buffer, sizeof buffer) != nullptr ? std::string(buffer) : std::string();
}

int errorFromErrno(int osError) {
  switch (osError) {
    case ENOENT: return 2;
    case ENOTDIR:
    case ELOOP:
    case ENAMETOOLONG: return 3;
    case EACCES:
    case EPERM:
    case EROFS: return 5;
    case ENOMEM: return 8;
    default: return 90;
  }
}

std::string GETINI(std::string_view section, std::string_view entry,
                   std::string_view defaultValue) {
  std::lock_guard guard(profileLock());
  bool inSection = false;
  for (const std::string& line : readLines(profilePath())) {
    if (!line.empty() && line[0] == '[') {
      inSection = sameName(std::string_view(line).substr(1, line.find(']') - 1), section);
    } else if (inSection) {
      const auto equals = line.find('=');
      if (equals != std::string::npos && sameName(line.substr(0, equals), entry)) {
        return trimmed(std::string_view(line).substr(equals + 1));
      }
    }
  }
  return std::string(defaultValue);
}

bool PUTINI(std::string_view section, std::string_view entry,
            std::optional<std::string_view> value) {
  std::lock_guard guard(profileLock());
  const std::string path = profilePath();
  std::vector<std::string> lines = readLines(path);
  std::vector<std::string> out;
  bool inSection = false, sectionSeen = false, written = false;
  const std::string newEntry = std::string(entry) + "=" + std::string(value.value_or(""));
  for (const std::string& line : lines) {
    if (!line.empty() && line[0] == '[') {
      if (inSection && !written && value) out.push_back(newEntry), written = true;
      inSection = sameName(std::string_view(line).substr(1, line.find(']') - 1), section);
      sectionSeen = sectionSeen || inSection;
    } else if (inSection) {
      const auto equals = line.find('=');
      if (equals != std::string::npos && sameName(line.substr(0, equals), entry)) {
        if (value && !written) out.push_back(newEntry), written = true;
        continue;
      }
    }
    out.push_back(line);
  }
  if (value && !written) {
    if (!sectionSeen) out.push_back("[" + std::string(section) + "]");
    out.push_back(newEntry);
  }
  mkdir(path.substr(0, path.rfind('/')).c_str(), 0700);
  const std::string temporary = path + ".new";
  {
    std::ofstream file(temporary, std::ios::trunc);
    for (const std::string& line : out) file << line << '\n';
    if (!file.flush()) return false;
  }
  return std::rename(temporary.c_str(), path.c_str()) == 0;
}

int readWholeFile(const std::string& osPath, std::string& content) {
  content.clear();
  errno = 0;
  std::ifstream file(osPath, std::ios::binary);
  if (!file) return errorFromErrno(errno);
  std::ostringstream text;
  text << file.rdbuf();
  content = text.str();
  return 0;
}

int spawnDetached(const std::vector<std::string>& argv) {
  if (argv.empty() || argv[0].empty()) return 2;
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  pid_t child = 0;
  const int failure =
      argv[0].find('/') == std::string::npos
          ? posix_spawnp(&child, args[0], nullptr, &attributes, args.data(), environ)
          : posix_spawn(&child, args[0], nullptr, &attributes, args.data(), environ);
  posix_spawnattr_destroy(&attributes);
  if (failure != 0) return errorFromErrno(failure);
  std::thread([child] { waitpid(child, nullptr, 0); }).detach();
  return 0;
}

}  // namespace os::stand_in
