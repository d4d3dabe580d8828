// Fixtures of the program's tests: an empty temporary folder as the current directory with a
// default profile of its own outside it, and the process-wide services the dictionary uses.
#pragma once

#include <sys/types.h>

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/message.h"

namespace app::testing {

// An empty temporary data folder, made the current directory while the object lives, and a
// default profile file (GAME_DOCK_PROFILE) in a folder beside it. Both are removed at the end.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& root() const { return root_; }
  // The data folder joined with `relative`.
  std::string path(std::string_view relative) const;
  // The default profile's path.
  const std::string& profile() const { return profile_; }
  // Writes `content` to the file `relative` of the data folder.
  void write(std::string_view relative, std::string_view content) const;
  // Writes `content` as the default profile.
  void writeProfile(std::string_view content) const;
  // The bytes of `file` (a path); empty when it cannot be read.
  static std::string read(const std::string& file);
  // Makes `relative` a data file of the projects' declaration whose first page is damaged
  // after its header: it still looks like a data file, but its tables cannot be read (90).
  void writeCorruptProjects(std::string_view relative) const;

 private:
  std::string base_;  // holds the data folder and the profile's folder
  std::string root_;
  std::string profile_;
  std::string previousDirectory_;
  std::string previousProfile_;
  bool hadProfile_ = false;
};

// The error reporter, word matcher and INI manager for tests of the dictionary alone: built
// and the reporter initialised at the start, destroyed at the end.
class Services {
 public:
  Services();
  ~Services();
  Services(const Services&) = delete;
  Services& operator=(const Services&) = delete;
};

// HALT that unwinds instead of ending the process: it throws "halted with <code>" (a
// std::runtime_error) while it is installed. The real halter runs the thread-end and process-end
// steps and exits at once, so no window's destructor runs after them; a test runs those steps
// itself once the windows are gone.
class ThrowingHalter : public runtime::Halter {
 public:
  ThrowingHalter() : previous_(runtime::setHalter(this)) {}
  ~ThrowingHalter() override { runtime::setHalter(previous_); }
  ThrowingHalter(const ThrowingHalter&) = delete;
  ThrowingHalter& operator=(const ThrowingHalter&) = delete;
  void halt(int exitCode) override {
    throw std::runtime_error("halted with " + std::to_string(exitCode));
  }

 private:
  runtime::Halter* previous_;
};

// Records every message box (installed for its life) and answers each with its default button.
class RecordedBoxes : public runtime::MessageAnswerer {
 public:
  RecordedBoxes() : previous_(runtime::setMessageAnswerer(this)) {}
  ~RecordedBoxes() override { runtime::setMessageAnswerer(previous_); }
  RecordedBoxes(const RecordedBoxes&) = delete;
  RecordedBoxes& operator=(const RecordedBoxes&) = delete;

  int answer(const runtime::MessageRequest& box) override {
    texts.push_back(box.text);
    return box.defaultButton;
  }

  std::vector<std::string> texts;

 private:
  runtime::MessageAnswerer* previous_;
};

}  // namespace app::testing
