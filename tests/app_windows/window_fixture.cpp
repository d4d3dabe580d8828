#include "tests/app_windows/window_fixture.h"

#include "app/dictionary/services.h"
#include "app/windows/window_modules.h"
#include "classlib/error_level.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/module_initialisers.h"
#include "platform/window/list_view.h"
#include "platform/window/window.h"
#include "tests/classlib/headless_fixture.h"

namespace app::testing {

WindowTest::WindowTest() {
  runtime::resetModuleInitialisers();
  registerWindowModules();
  runtime::runProcessStart();
  windowRequests() = {};
  dictionary_create_init();
}

WindowTest::~WindowTest() {
  dictionary_kill();
  files::releaseThreadFiles();
  runtime::runProcessEnd();
  runtime::resetModuleInitialisers();
}

int WindowTest::run(window::HeadlessBackend& script, int request,
                    const std::function<void()>& procedure) {
  {
    classlib::testing::HeadlessScope scope(script);
    windowRequests().request = static_cast<std::uint8_t>(request);
    procedure();
  }
  EXPECT_TRUE(script.finished()) << script.remaining() << " steps left";
  EXPECT_EQ(globalErrors().procedureName(), "");
  return windowRequests().response;
}

void WindowTest::add(const files::PerThreadFile& file, const std::function<void()>& fill) {
  classlib::RelationManager& relation = *relationManager(file);
  ASSERT_EQ(relation.open(), classlib::LevelBenign);
  classlib::FileManager& manager = *fileManager(file);
  manager.primeRecord();
  fill();
  EXPECT_EQ(manager.insert(), classlib::LevelBenign);
  relation.close();
}

std::vector<std::string> WindowTest::stored(const files::PerThreadFile& file,
                                            std::string_view keyLabel,
                                            const std::function<std::string()>& describe) {
  classlib::RelationManager& relation = *relationManager(file);
  EXPECT_EQ(relation.open(), classlib::LevelBenign);
  files::FileDeclaration& d = file.get();
  if (keyLabel.empty()) {
    files::SET(d);
  } else {
    files::SET(d, *d.key(d.keyNumber(keyLabel)));
  }
  std::vector<std::string> out;
  for (files::NEXT(d); runtime::ERRORCODE() == 0; files::NEXT(d)) out.push_back(describe());
  relation.close();
  return out;
}

void WindowTest::addCategory(std::string_view name) {
  add(categort, [&] { CAT->CATDESCRIPTION = name; });
}

std::vector<std::string> WindowTest::categories() {
  return stored(categort, "CAT:P_CAT", [] { return std::string(CAT->CATDESCRIPTION.view()); });
}

void WindowTest::addMember(std::string_view name) {
  add(codeby, [&] { COD->NAME = name; });
}

std::vector<std::string> WindowTest::members() {
  return stored(codeby, "COD:P_NAME", [] { return std::string(COD->NAME.view()); });
}

std::vector<std::string> WindowTest::shown(window::Window& w, int list, int column) {
  std::vector<std::string> out;
  const window::ListView& l = w.control(list)->list;
  for (std::size_t r = 1; r <= l.rowCount(); ++r) {
    const std::string text = l.cellText(r, column);
    out.push_back(static_cast<int>(r) == l.selected ? "[" + text + "]" : text);
  }
  return out;
}

}  // namespace app::testing
