#include "temp_desktop.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace os::testing {

TempDesktop::TempDesktop() {
  std::string pattern = std::filesystem::temp_directory_path().string() + "/gd_os_XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  root_ = pattern;
  for (const char* folder : {"home", "config", "config-dirs", "data", "data-dirs"}) {
    std::filesystem::create_directories(path(folder));
  }
  setenv("HOME", path("home").c_str(), 1);
  setenv("XDG_CONFIG_HOME", path("config").c_str(), 1);
  setenv("XDG_CONFIG_DIRS", path("config-dirs").c_str(), 1);
  setenv("XDG_DATA_HOME", path("data").c_str(), 1);
  setenv("XDG_DATA_DIRS", path("data-dirs").c_str(), 1);
  setenv("GAME_DOCK_PROFILE", path("profile.ini").c_str(), 1);
  unsetenv("GAME_DOCK_HANDLERS");
  unsetenv("GAME_DOCK_DEBUG_LOG");
  previousDirectory_ = std::filesystem::current_path().string();
  std::filesystem::current_path(root_);
}

TempDesktop::~TempDesktop() {
  std::error_code ignored;
  std::filesystem::current_path(previousDirectory_, ignored);
  std::filesystem::remove_all(root_, ignored);
}

std::string TempDesktop::path(std::string_view relative) const {
  return root_ + "/" + std::string(relative);
}

std::string TempDesktop::write(std::string_view relative, std::string_view content,
                               mode_t mode) const {
  const std::filesystem::path file = path(relative);
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary | std::ios::trunc) << content;
  chmod(file.c_str(), mode);
  return file.string();
}

std::string TempDesktop::writeRecorder() const {
  return write("recorder.sh",
               "#!/bin/sh\n"
               "out=\"$(dirname \"$0\")/record-$1\"\n"
               "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"$out.tmp\" && "
               "mv \"$out.tmp\" \"$out\"\n",
               0755);
}

std::optional<std::vector<std::string>> TempDesktop::recorded(std::string_view tag) const {
  const std::string file = path("record-" + std::string(tag));
  for (int i = 0; i < 600 && !std::filesystem::exists(file); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::string> words;
  for (std::string word; std::getline(in, word, '\0');) words.push_back(word);
  return words;
}

}  // namespace os::testing
