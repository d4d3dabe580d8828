#include "classlib/file_path.h"

#include "platform/files/cask_name.h"
#include "platform/files/file_declaration.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/paths.h"

namespace classlib {

std::string filePath(const files::FileDeclaration& file) {
  const std::string name = files::NAME(file);
  const std::string path = file.driver() == files::Driver::Caskfile
                               ? files::parseCaskName(name).file
                               : runtime::toOsPath(name);
  if (path.empty() || path.front() == '/') return path;
  const std::string here = runtime::currentDirectory();
  return here.empty() ? path : here + "/" + (path.rfind("./", 0) == 0 ? path.substr(2) : path);
}

}  // namespace classlib
