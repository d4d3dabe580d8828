// What the tests of the new-project windows share: the main window's surroundings in a fresh
// data folder with the two project definition files, a fixed day, and templates stored with
// their line files.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tests/app/app_fixture.h"
#include "tests/app_windows/main_fixture.h"

namespace app::testing {

// The content of templates/classic.def and templates/studio.def in the data folder.
inline constexpr std::string_view kClassicDef = "classic definition\n";
inline constexpr std::string_view kStudioDef = "studio definition\n";

class NewProjectSurroundings {
 public:
  // The data folder has both definition files and an empty "projects" folder, which is
  // GLO:BASEPATH; TODAY answers 14 March 2026.
  NewProjectSurroundings();
  ~NewProjectSurroundings();
  NewProjectSurroundings(const NewProjectSurroundings&) = delete;
  NewProjectSurroundings& operator=(const NewProjectSurroundings&) = delete;

  // Stores a template described `description` whose line file `lineFile` (relative to the data
  // folder) holds `content`; answers its TPL:ID.
  std::int32_t addTemplate(std::string_view description, std::string_view lineFile,
                           std::string_view content);

  // The header main.agc starts with for the description and file name, dated 14/03/2026.
  static std::string header(std::string_view description, std::string_view fileName);

  TempFolder folder;
  MainSurroundings main;
};

}  // namespace app::testing
