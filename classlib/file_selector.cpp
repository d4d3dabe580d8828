#include "classlib/file_selector.h"

#include "platform/runtime/paths.h"
#include "platform/window/dialogs.h"

namespace classlib {

void FileSelector::init(std::string_view title, int flags) {
  title_ = title;
  flags_ = flags;
  masks_.clear();
  name_.clear();
}

void FileSelector::addMask(std::string_view description, std::string_view pattern) {
  masks_.push_back({std::string(description), std::string(pattern)});
}

std::string FileSelector::ask(int how) {
  window::FileDialogRequest request;
  request.title = title_;
  request.masks = masks_;
  request.initialName = name_;
  request.folder = (flags_ & FileFolder) != 0;
  const std::optional<std::string> chosen = window::fileDialog(request, how == AskRestoreDirectory);
  if (chosen) {
    name_ = (flags_ & FileLongNames) ? *chosen : runtime::SHORTPATH(*chosen);
  } else if (clearOnCancel_) {
    name_.clear();
  }
  return name_;
}

}  // namespace classlib
