// What the drivers of plain files (ASCII, DOS) share: a FILE's name is an operating-system
// path as it stands (no default extension), CREATE makes an empty file, and REMOVE, RENAME
// and COPY are those of file names (file_ops.h).
#pragma once

#include "platform/files/file_driver.h"
#include "platform/files/file_ops.h"
#include "platform/runtime/paths.h"

namespace files {

class PlainFileDriver : public FileDriver {
 public:
  int create(FileDeclaration&, const std::string& name) override {
    return createEmptyFile(runtime::toOsPath(name));
  }
  int remove(FileDeclaration&, const std::string& name) override { return removeNamedFile(name); }
  int rename(FileDeclaration&, const std::string& name, const std::string& target) override {
    return renameNamedFile(name, target);
  }
  int copy(FileDeclaration&, const std::string& name, const std::string& target) override {
    return copyNamedFile(name, target);
  }
};

}  // namespace files
