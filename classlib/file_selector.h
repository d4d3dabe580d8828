// The file selector: a file (or folder) dialog with a title, masks and options, that answers the
// name the user chose.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/window/backend.h"

namespace classlib {

// The selector's flags.
enum FileSelectorFlag : int {
  FileLongNames = 0x10,  // answer the long form of the name (else its short form)
  FileFolder = 0x20,     // choose a folder instead of a file
};

// What ask() does with the current directory.
enum FileSelectorAsk : int {
  AskLeaveDirectory = 0,    // the current directory stays where the dialog put it
  AskRestoreDirectory = 1,  // it is saved before the dialog and put back after it
};

class FileSelector {
 public:
  inline static constexpr std::string_view kDefaultTitle = "Select A File";

  // Starts the selector with its title and flags, without masks; the name is empty.
  void init(std::string_view title = kDefaultTitle, int flags = 0);
  // Adds a mask: a description ("AGK Project Files") and its pattern ("*.agk").
  void addMask(std::string_view description, std::string_view pattern);
  // When set, a cancelled dialog answers (and leaves) an empty name; otherwise the name chosen
  // before.
  void setClearOnCancel(bool on) { clearOnCancel_ = on; }

  // Shows the dialog, starting from the name chosen last; `how` is an AskRestoreDirectory or
  // AskLeaveDirectory. Answers the chosen name.
  std::string ask(int how = AskRestoreDirectory);

  const std::string& name() const { return name_; }
  void setName(std::string_view name) { name_ = name; }
  const std::string& title() const { return title_; }
  int flags() const { return flags_; }
  bool clearOnCancel() const { return clearOnCancel_; }

 private:
  std::string title_{kDefaultTitle};
  int flags_ = 0;
  std::vector<window::FileMask> masks_;
  bool clearOnCancel_ = false;
  std::string name_;
};

}  // namespace classlib
