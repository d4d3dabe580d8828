// The files a window opens through their relation managers while it runs, closed again by it
// when it ends: only those whose open succeeded (a failed open was reported by the file
// manager).
#pragma once

#include <span>
#include <vector>

#include "platform/files/file_declaration.h"

namespace app {

class WindowFiles {
 public:
  // `files` must outlive the object (a static table in practice).
  explicit WindowFiles(std::span<const files::PerThreadFile* const> files) : files_(files) {}

  // Opens each file through the calling thread's relation manager, in order.
  void open();
  // Closes the files that open() opened, and forgets them.
  void close();
  // True when open() opened `file` and close() has not closed it yet.
  bool opened(const files::PerThreadFile& file) const;

 private:
  std::span<const files::PerThreadFile* const> files_;
  std::vector<const files::PerThreadFile*> opened_;
};

}  // namespace app
