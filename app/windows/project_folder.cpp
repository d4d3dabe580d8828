#include "app/windows/project_folder.h"

#include "app/dictionary/globals.h"
#include "platform/runtime/paths.h"
#include "platform/runtime/text.h"

namespace app {

std::string folderNameProblem(std::string_view name, std::string_view what) {
  const std::string quoted = std::string(what) + " \"" + std::string(name) + "\"";
  if (runtime::CLIP(name).empty()) return std::string(what) + " is empty.";
  if (name.find_first_of("/\\") != std::string_view::npos)
    return quoted + " holds \"/\" or \"\\\", which cannot be in a folder or file name.";
  if (name == "." || name == "..") return quoted + " cannot be a folder or file name.";
  return {};
}

std::string projectFolder() {
  std::string base = runtime::toOsPath(GLO.BASEPATH.text());
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  if (base == "/") base.clear();  // the root: "/" & description, not "//" & description
  return base + "/" + GLO.DESCRIPTION.text();
}

std::string inProjectFolder(std::string_view name) {
  return projectFolder() + "/" + std::string(name);
}

}  // namespace app
