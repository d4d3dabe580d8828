#include "tests/app_windows/new_project_fixture.h"

#include <filesystem>
#include <stdexcept>

#include "app/dictionary/declarations.h"
#include "app/dictionary/dictionary.h"
#include "app/dictionary/globals.h"
#include "classlib/error_level.h"
#include "platform/runtime/standard_date.h"

namespace app::testing {

NewProjectSurroundings::NewProjectSurroundings() {
  std::filesystem::create_directory(folder.path("templates"));
  folder.write("templates/classic.def", kClassicDef);
  folder.write("templates/studio.def", kStudioDef);
  std::filesystem::create_directory(folder.path("projects"));
  GLO.BASEPATH = folder.path("projects");
  runtime::setLocalClock([] { return runtime::LocalMoment{runtime::dateFromYmd(2026, 3, 14), 0}; });
}

NewProjectSurroundings::~NewProjectSurroundings() { runtime::setLocalClock({}); }

std::int32_t NewProjectSurroundings::addTemplate(std::string_view description,
                                                 std::string_view lineFile,
                                                 std::string_view content) {
  folder.write(lineFile, content);
  classlib::RelationManager& relation = *relationManager(template_);
  if (relation.open() != classlib::LevelBenign) throw std::runtime_error("cannot open template");
  classlib::FileManager& manager = *fileManager(template_);
  manager.primeRecord();
  TPL->DESCRIPTION = description;
  TPL->PROJECTPATH = folder.path(lineFile);
  if (manager.insert() != classlib::LevelBenign) throw std::runtime_error("insert failed");
  const std::int32_t id = TPL->ID.value();
  relation.close();
  return id;
}

std::string NewProjectSurroundings::header(std::string_view description,
                                           std::string_view fileName) {
  return "/*\nProject Description: " + std::string(description) +
         "\nProject Filename   : " + std::string(fileName) +
         "\nProject Date       : 14/03/2026\n*/\n\n";
}

}  // namespace app::testing
