#include "platform/os/debug_output.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <string>

namespace os {
namespace {

struct DebugState {
  std::mutex lock;
  DebugSink sink;
  std::string logPath;  // the file `logFile` is open on; empty for none
  int logFile = -1;
};

DebugState& state() {
  static DebugState debug;
  return debug;
}

// The descriptor lines go to: the file named by GAME_DOCK_DEBUG_LOG, reopened when the name
// changes, else standard error. Requires the state's lock.
int outputFile(DebugState& debug) {
  const char* named = std::getenv("GAME_DOCK_DEBUG_LOG");
  const std::string path = named != nullptr ? named : "";
  if (path != debug.logPath) {
    if (debug.logFile >= 0) close(debug.logFile);
    debug.logFile = -1;
    debug.logPath = path;
    if (!path.empty()) {
      debug.logFile = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    }
  }
  return debug.logFile >= 0 ? debug.logFile : STDERR_FILENO;
}

void writeAll(int file, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(file, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;  // a debug line that cannot be written is dropped
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

}  // namespace

void outputDebugString(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  DebugState& debug = state();
  std::lock_guard guard(debug.lock);
  if (debug.sink) {
    debug.sink(text);
    return;
  }
  std::string line(text);
  line += '\n';
  writeAll(outputFile(debug), line);
}

DebugSink setDebugSink(DebugSink sink) {
  DebugState& debug = state();
  std::lock_guard guard(debug.lock);
  std::swap(debug.sink, sink);
  return sink;
}

}  // namespace os
