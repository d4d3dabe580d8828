#include "app/windows/window_files.h"

#include <algorithm>
#include <cassert>

#include "app/dictionary/dictionary.h"
#include "classlib/error_level.h"

namespace app {

void WindowFiles::open() {
  for (const files::PerThreadFile* file : files_) {
    classlib::RelationManager* relation = relationManager(*file);
    assert(relation && "the thread's dictionary is set up");
    if (relation->open() == classlib::LevelBenign) opened_.push_back(file);
  }
}

void WindowFiles::close() {
  for (const files::PerThreadFile* file : opened_) relationManager(*file)->close();
  opened_.clear();
}

bool WindowFiles::opened(const files::PerThreadFile& file) const {
  return std::find(opened_.begin(), opened_.end(), &file) != opened_.end();
}

}  // namespace app
