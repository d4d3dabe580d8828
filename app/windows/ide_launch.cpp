#include "app/windows/ide_launch.h"

#include "platform/runtime/paths.h"
#include "platform/runtime/process.h"

namespace app {
namespace {

// `text` as one quoted argument of a command line: a run of backslashes is doubled where a
// quote follows it (the closing one included), and each quote inside is escaped.
std::string quoteArgument(std::string_view text) {
  std::string out = "\"";
  std::size_t backslashes = 0;
  for (const char c : text) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    out.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  out.append(2 * backslashes, '\\');
  return out + '"';
}

}  // namespace

std::string ideCommandLine(std::string_view executable, std::string_view project) {
  std::string program = "\"";
  for (const char c : executable) {
    if (c != '"') program += c;
  }
  return program + "\" " + quoteArgument(project);
}

void runIde(std::string_view executable, std::string_view project) {
  runtime::RUN(ideCommandLine(executable, runtime::toOsPath(project)));
}

}  // namespace app
