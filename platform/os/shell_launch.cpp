#include "platform/os/shell_launch.h"

#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <optional>
#include <string>

#include "platform/os/desktop_exec.h"
#include "platform/os/registry.h"
#include "platform/runtime/case_fold.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/os_error.h"
#include "platform/runtime/paths.h"
#include "platform/runtime/process.h"

namespace os {
namespace {

constexpr std::string_view commandKey = "\\shell\\open\\command";

// The scheme of `address` in lower case ("http" for "HTTP://x"); empty when it has none.
std::string schemeOf(std::string_view address) {
  const auto colon = address.find(':');
  if (colon == std::string_view::npos || colon < 2) return {};
  for (std::size_t i = 0; i < colon; ++i) {
    const unsigned char c = static_cast<unsigned char>(address[i]);
    const bool letter = (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
    if (!letter && (i == 0 || !(std::isdigit(c) || c == '+' || c == '-' || c == '.'))) return {};
  }
  return runtime::lowerCase(address.substr(0, colon));
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f') return (c | 0x20) - 'a' + 10;
  return -1;
}

// The local path of a file: URL; nothing when it names another host or is badly escaped.
std::optional<std::string> pathOfFileUrl(std::string_view url) {
  std::string_view rest = url.substr(5);  // after "file:"
  if (rest.substr(0, 2) == "//") {
    rest.remove_prefix(2);
    const auto slash = rest.find('/');
    const std::string_view host = rest.substr(0, slash);
    if (slash == std::string_view::npos || (!host.empty() && host != "localhost")) {
      return std::nullopt;
    }
    rest.remove_prefix(slash);
  }
  if (rest.empty() || rest[0] != '/') return std::nullopt;
  std::string path;
  for (std::size_t i = 0; i < rest.size(); ++i) {
    if (rest[i] != '%') {
      path += rest[i];
      continue;
    }
    const int high = i + 2 < rest.size() ? hexDigit(rest[i + 1]) : -1;
    const int low = high >= 0 ? hexDigit(rest[i + 2]) : -1;
    if (low < 0) return std::nullopt;
    path += static_cast<char>(high * 16 + low);
    i += 2;
  }
  if (path.find('\0') != std::string::npos) return std::nullopt;
  return path;
}

// The Exec line registered under `key` + "\shell\open\command", if any.
std::optional<std::string> handlerOf(std::string_view key) {
  std::string exec;
  if (queryClassesValue(std::string(key) + std::string(commandKey), exec) != RegSuccess) {
    return std::nullopt;
  }
  return exec;
}

// Why the local file `path` cannot be opened, or 0 when it exists.
int missingFileResult(const std::string& path, bool& isFolder) {
  struct stat status {};
  if (stat(path.c_str(), &status) == 0) {
    isFolder = S_ISDIR(status.st_mode);
    return 0;
  }
  const int failure = errno;
  if (failure == ENOENT) {
    struct stat parent {};
    const std::string folder = path.substr(0, path.rfind('/'));
    return folder.empty() || stat(folder.c_str(), &parent) == 0 ? ShellFileNotFound
                                                                : ShellPathNotFound;
  }
  const int error = runtime::errorFromErrno(failure);  // 3, 5 and 8 mean the same here
  return error == runtime::FileSystemErr ? ShellFileNotFound : error;
}

// The Exec line of the handler of the local file `path`; `result` explains a missing one.
std::optional<std::string> localHandler(const std::string& path, int& result) {
  bool isFolder = false;
  result = missingFileResult(path, isFolder);
  if (result != 0) return std::nullopt;
  result = ShellNoAssociation;
  if (isFolder) return handlerOf("inode/directory");
  const std::string name = path.substr(path.rfind('/') + 1);
  const auto dot = name.rfind('.');
  std::string type;
  if (dot == std::string::npos || dot == 0 ||
      queryClassesValue(name.substr(dot), type) != RegSuccess) {
    return std::nullopt;
  }
  return handlerOf(type);
}

// The Exec line of the handler of URL scheme `scheme`.
std::optional<std::string> schemeHandler(const std::string& scheme) {
  if (auto exec = handlerOf(scheme)) return exec;
  std::string type;
  if ((scheme == "http" || scheme == "https") && queryClassesValue(".htm", type) == RegSuccess) {
    return handlerOf(type);
  }
  return std::nullopt;
}

// The shell's answer for a failure of the spawner (runtime error numbers).
int resultOfSpawn(int error) {
  switch (error) {
    case runtime::NoError: return ShellStarted;
    case runtime::FileNotFoundErr: return ShellFileNotFound;
    case runtime::PathNotFoundErr: return ShellPathNotFound;
    case runtime::AccessDeniedErr: return ShellAccessDenied;
    case runtime::OutOfMemoryErr: return ShellOutOfMemory;
    default: return ShellBadFormat;  // found but no program the system can start
  }
}

}  // namespace

int shellExecute(std::string_view operation, std::string_view file, std::string_view parameters,
                 std::string_view directory, int /*showCommand*/) {
  if (!operation.empty() && runtime::lowerCase(operation) != "open") return ShellNoAssociation;
  if (!parameters.empty()) return ShellAccessDenied;
  if (file.empty() || file[0] == '-' || file.find('\0') != std::string_view::npos) {
    return ShellFileNotFound;
  }
  std::string address(file);
  std::string scheme = schemeOf(address);
  if (scheme.empty() && runtime::lowerCase(address.substr(0, 4)) == "www.") {
    address = "http://" + address;
    scheme = "http";
  }
  if (scheme == "file") {
    const auto path = pathOfFileUrl(address);
    if (!path) return ShellFileNotFound;
    address = *path;
  } else if (scheme.empty()) {
    address = runtime::toOsPath(address);
    if (address[0] != '/') {
      std::string base =
          directory.empty() ? runtime::currentDirectory() : runtime::toOsPath(directory);
      struct stat status {};
      if (base.empty() || stat(base.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
        return ShellPathNotFound;
      }
      if (base[0] != '/') base = runtime::currentDirectory() + "/" + base;
      address = base + "/" + address;
    }
  }
  int result = ShellNoAssociation;
  const std::optional<std::string> exec =
      scheme.empty() || scheme == "file" ? localHandler(address, result) : schemeHandler(scheme);
  if (!exec) return result;
  const auto argv = execArguments(*exec, address);
  if (!argv) return ShellAssociationIncomplete;
  return resultOfSpawn(runtime::spawnProgram(*argv));
}

}  // namespace os
