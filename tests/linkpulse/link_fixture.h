// What the link manager's tests share: a fake LinkSystem (registry values by key, scripted
// shell results, fixed system facts) that records what it was asked, and a fixture that sets
// the command line, collects trace lines and answers message boxes.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "linkpulse/link_pulse_manager.h"
#include "linkpulse/link_system.h"
#include "platform/os/debug_output.h"
#include "platform/runtime/scripted_answerer.h"

namespace linkpulse::testing {

class FakeLinkSystem : public LinkSystem {
 public:
  // Registry values by key text; a key missing here is not found.
  std::map<std::string, std::string, std::less<>> values;
  // The keys queried, in order.
  std::vector<std::string> queries;
  // The files opened, in order, and the results to answer (33, success, once they run out).
  std::vector<std::string> opened;
  std::deque<int> shellResults;
  std::string directory = "/home/user/.local/share";
  os::OsVersionInfo version{10, 0, 0, os::OsPlatformNt, ""};

  int regQueryValue(std::int32_t root, std::string_view subKey, std::string& value,
                    int& size) override;
  int shellExecute(std::string_view file) override;
  std::string windowsDirectory() override { return directory; }
  os::OsVersionInfo osVersion() override { return version; }
};

// A fixture with an empty command line, a trace collector and a message answerer that fails
// the test on any box it was not told to expect.
class LinkTest : public ::testing::Test {
 protected:
  LinkTest();
  ~LinkTest() override;

  // Sets the program's command line (its argument text).
  void commandLine(std::string_view arguments);
  // Expects one more message box, answered with `button`.
  void expectBox(int button = runtime::ButtonOk) { answerer_.addAnswer(button); }
  std::vector<runtime::MessageRequest> boxes() const { return answerer_.shown(); }

  FakeLinkSystem system_;
  std::vector<std::string> traces_;

 private:
  runtime::ScriptedAnswerer answerer_;
  runtime::InterceptingHalter halter_;
  runtime::ScopedMessageHandlers handlers_{answerer_, halter_};
  os::DebugSink previousSink_;
};

}  // namespace linkpulse::testing
