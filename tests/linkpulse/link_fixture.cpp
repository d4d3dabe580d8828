#include "link_fixture.h"

#include "platform/os/registry.h"
#include "platform/runtime/command_line.h"

namespace linkpulse::testing {

int FakeLinkSystem::regQueryValue(std::int32_t root, std::string_view subKey, std::string& value,
                                  int& size) {
  queries.emplace_back(subKey);
  value.clear();
  const auto found = values.find(subKey);
  if (root != os::HKEY_CLASSES_ROOT || found == values.end()) {
    size = 0;
    return os::RegNotFound;
  }
  const int needed = static_cast<int>(found->second.size()) + 1;
  if (needed > size) {
    size = needed;
    return os::RegMoreData;
  }
  value = found->second;
  size = needed;
  return os::RegSuccess;
}

int FakeLinkSystem::shellExecute(std::string_view file) {
  opened.emplace_back(file);
  if (shellResults.empty()) return 33;
  const int result = shellResults.front();
  shellResults.pop_front();
  return result;
}

LinkTest::LinkTest() {
  runtime::setCommandLine("");
  previousSink_ = os::setDebugSink([this](std::string_view line) { traces_.emplace_back(line); });
}

LinkTest::~LinkTest() {
  os::setDebugSink(previousSink_);
  runtime::setCommandLine("");
  EXPECT_EQ(answerer_.answersLeft(), 0u) << "an expected message box was not shown";
}

void LinkTest::commandLine(std::string_view arguments) { runtime::setCommandLine(arguments); }

}  // namespace linkpulse::testing
