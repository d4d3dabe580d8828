#include "tests/app/app_fixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "app/dictionary/declarations.h"
#include "app/dictionary/services.h"
#include "platform/files/file_driver.h"

namespace app::testing {

TempFolder::TempFolder() {
  std::string pattern = std::filesystem::temp_directory_path().string() + "/gd_app_XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  base_ = pattern;
  root_ = base_ + "/data";
  profile_ = base_ + "/config/default-profile.ini";
  std::filesystem::create_directories(root_);
  std::filesystem::create_directories(base_ + "/config");
  if (const char* profile = std::getenv("GAME_DOCK_PROFILE")) {
    hadProfile_ = true;
    previousProfile_ = profile;
  }
  setenv("GAME_DOCK_PROFILE", profile_.c_str(), 1);
  previousDirectory_ = std::filesystem::current_path().string();
  std::filesystem::current_path(root_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::current_path(previousDirectory_, ignored);
  if (hadProfile_) {
    setenv("GAME_DOCK_PROFILE", previousProfile_.c_str(), 1);
  } else {
    unsetenv("GAME_DOCK_PROFILE");
  }
  std::filesystem::permissions(root_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(base_, ignored);
}

std::string TempFolder::path(std::string_view relative) const {
  return root_ + "/" + std::string(relative);
}

void TempFolder::write(std::string_view relative, std::string_view content) const {
  std::ofstream(path(relative), std::ios::binary | std::ios::trunc) << content;
}

void TempFolder::writeProfile(std::string_view content) const {
  std::ofstream(profile_, std::ios::binary | std::ios::trunc) << content;
}

std::string TempFolder::read(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void TempFolder::writeCorruptProjects(std::string_view relative) const {
  files::FileSpec spec = kProjectsSpec;
  const std::string name = path(relative);
  spec.name = name;
  files::FileDeclaration file(spec);
  files::CREATE(file);
  std::fstream bytes(name, std::ios::in | std::ios::out | std::ios::binary);
  bytes.seekp(100);
  const std::string damage(100, 'Z');
  bytes.write(damage.data(), static_cast<std::streamsize>(damage.size()));
}

Services::Services() {
  constructServices();
  globalErrors().init();
}

Services::~Services() { destroyServices(); }

}  // namespace app::testing
