#include "app/dictionary/services.h"

#include <cassert>
#include <memory>

namespace app {
namespace {

std::unique_ptr<classlib::WordMatcher> matcher;
std::unique_ptr<classlib::ErrorReporter> errors;
std::unique_ptr<classlib::IniManager> ini;

}  // namespace

std::uint8_t* upgradingFlagAddress = nullptr;

void constructServices() {
  matcher = std::make_unique<classlib::WordMatcher>();
  errors = std::make_unique<classlib::ErrorReporter>();
  ini = std::make_unique<classlib::IniManager>();
}

void destroyServices() {
  ini.reset();
  errors.reset();
  matcher.reset();
}

classlib::ErrorReporter& globalErrors() {
  assert(errors && "the error reporter is built at process start");
  return *errors;
}

classlib::WordMatcher& wordMatcher() {
  assert(matcher && "the word matcher is built at process start");
  return *matcher;
}

classlib::IniManager& iniManager() {
  assert(ini && "the INI manager is built at process start");
  return *ini;
}

}  // namespace app
