// A throw-away desktop for tests: a temporary folder holding the XDG config and data folders,
// the default profile and the working directory, all set through environment variables and
// removed again at the end.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace os::testing {

class TempDesktop {
 public:
  TempDesktop();
  ~TempDesktop();
  TempDesktop(const TempDesktop&) = delete;
  TempDesktop& operator=(const TempDesktop&) = delete;

  // The temporary folder (also the current directory while the object lives).
  const std::string& root() const { return root_; }
  // root() + "/" + relative.
  std::string path(std::string_view relative) const;
  // Writes `content` to root()/relative, creating its folders, with permissions `mode`.
  std::string write(std::string_view relative, std::string_view content, mode_t mode = 0644) const;

  // Writes the recording handler, root()/recorder.sh: a script that stores its arguments in
  // root()/record-<its first argument>. Answers its path.
  std::string writeRecorder() const;
  // The arguments the recorder received under `tag`, once it has run; nothing when it has not
  // run after a long wait.
  std::optional<std::vector<std::string>> recorded(std::string_view tag) const;

 private:
  std::string root_;
  std::string previousDirectory_;
};

}  // namespace os::testing
