#include "upkeep/program_file_name.h"

#include "platform/runtime/command_line.h"
#include "platform/runtime/text.h"
#include "platform/runtime/thread.h"

namespace upkeep {
namespace {

// The position after the program path's last folder separator ("\" or "/").
std::size_t fileNameStart(const std::string& path) {
  const std::size_t separator = path.find_last_of("\\/");
  return separator == std::string::npos ? 0 : separator + 1;
}

}  // namespace

std::string ProgramFileName() {
  static runtime::OnceGuard once;
  static std::string name;
  once.run([] {
    const std::string path = runtime::COMMAND("0");
    name = runtime::SUB(path, static_cast<int>(fileNameStart(path)) + 1, 100);
  });
  return name;
}

std::string programFolder() {
  const std::string path = runtime::COMMAND("0");
  return path.substr(0, fileNameStart(path));
}

}  // namespace upkeep
