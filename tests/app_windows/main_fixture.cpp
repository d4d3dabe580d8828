#include "tests/app_windows/main_fixture.h"

#include "app/dictionary/declarations.h"
#include "app/dictionary/dictionary.h"
#include "app/dictionary/globals.h"
#include "app/dictionary/services.h"
#include "app/windows/quick_find_state.h"
#include "app/windows/window_modules.h"
#include "app/windows/window_requests.h"
#include "classlib/error_level.h"
#include "platform/files/file_driver.h"
#include "platform/os/registry.h"
#include "platform/runtime/module_initialisers.h"

namespace app::testing {
namespace {

// Opens `file` through its relation manager for `work` and closes it again.
template <class Work>
void withOpen(const files::PerThreadFile& file, Work work) {
  classlib::RelationManager& relation = *relationManager(file);
  if (relation.open() != classlib::LevelBenign) throw std::runtime_error("cannot open the file");
  work(*fileManager(file));
  relation.close();
}

}  // namespace

int RecordingLinks::regQueryValue(std::int32_t, std::string_view, std::string& value, int& size) {
  value.clear();
  size = 0;
  return os::RegNotFound;
}

int RecordingLinks::shellExecute(std::string_view file) {
  opened.emplace_back(file);
  return 42;  // above 32: opened
}

MainSurroundings::MainSurroundings() {
  runtime::resetModuleInitialisers();
  registerWindowModules();
  runtime::runProcessStart();
  constructServices();
  globalErrors().init();
  iniManager().init(".\\game_dock.INI");
  dictionary_create_init();
  GLO = {};
  CLASSICEXE = "";
  STUDIOEXE = "";
  quickFind = {};
  windowRequests() = {};
  previousSpawner_ = runtime::setSpawner([this](const std::vector<std::string>& argv) {
    started.push_back(argv);
    return 0;
  });
}

MainSurroundings::~MainSurroundings() {
  runtime::setSpawner(previousSpawner_);
  dictionary_kill();
  files::releaseThreadFiles();
  iniManager().kill();
  destroyServices();
  runtime::runProcessEnd();
  runtime::resetModuleInitialisers();
}

int MainSurroundings::addProject(Projects project) {
  int id = 0;
  withOpen(projects, [&](classlib::FileManager& manager) {
    manager.primeRecord();
    const Long number = PRO->ID;
    *PRO = project;
    PRO->ID = project.ID.value() != 0 ? project.ID : number;
    if (manager.insert() != classlib::LevelBenign) throw std::runtime_error("insert failed");
    id = PRO->ID.value();
  });
  return id;
}

void MainSurroundings::addCategory(std::string_view name) {
  withOpen(categort, [&](classlib::FileManager& manager) {
    manager.primeRecord();
    CAT->CATDESCRIPTION = name;
    if (manager.insert() != classlib::LevelBenign) throw std::runtime_error("insert failed");
  });
}

Projects MainSurroundings::storedProject(int id) {
  Projects stored{};
  withOpen(projects, [&](classlib::FileManager& manager) {
    PRO->ID = id;
    if (manager.tryFetch(projects.get().keyNumber("PRO:P_ID")) == 0) stored = *PRO;
  });
  return stored;
}

Projects MainSurroundings::project(std::string_view description, std::string_view category,
                                   std::string_view kind) {
  Projects p{};
  p.DESCRIPTION = description;
  p.CATEGORY = category;
  p.TYPEC = kind;
  p.PROJECTPATH = "/projects/" + std::string(description) + ".agk";
  return p;
}

}  // namespace app::testing
