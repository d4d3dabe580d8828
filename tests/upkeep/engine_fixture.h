// A fresh engine for each test: its process-wide state cleared, the test's folder as the
// current directory (where the engine keeps its catalogue), the command line set by the test, trace
// lines captured, the default profile and the settings INI in files of the test's own (the settings
// INI beside the test program, as the engine keeps it).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "tests/support/scratch_folder.h"

namespace upkeep::testing {

class EngineTest : public ::testing::Test {
 protected:
  EngineTest();
  ~EngineTest() override;

  // Sets the command line's argument text (the engine reads its switches from it).
  void commandLine(std::string_view arguments);
  // The trace lines written so far, and forgets them.
  std::vector<std::string> takeTrace();
  // The full name of the settings INI of this test.
  const std::string& settingsIni() const { return settingsIni_; }
  // The default profile's file.
  std::string defaultProfile() const { return folder.file("default-profile.ini"); }

  support::ScratchFolder folder;

 private:
  std::string previousDirectory_;
  std::vector<std::string> trace_;
  std::string settingsIni_;
};

}  // namespace upkeep::testing
