#include "platform/os/debug_output.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "temp_desktop.h"

namespace os {
namespace {

std::vector<std::string> linesOf(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream file(path);
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  return lines;
}

TEST(DebugOutput, ASinkReceivesEachLineAsWritten) {
  std::vector<std::string> lines;
  const DebugSink previous = setDebugSink([&](std::string_view line) { lines.emplace_back(line); });
  outputDebugString("[Upkeep] one");
  outputDebugString("LinkPulse: Tried(1): x\r\nReturned:2");
  outputDebugString(std::string_view("cut\0here", 8));
  outputDebugString("");
  setDebugSink(previous);
  EXPECT_EQ(lines, (std::vector<std::string>{"[Upkeep] one", "LinkPulse: Tried(1): x\r\nReturned:2",
                                             "cut", ""}));
}

TEST(DebugOutput, TheEnvironmentRedirectsLinesToAFile) {
  testing::TempDesktop desktop;
  const std::string first = desktop.path("first.log"), second = desktop.path("second.log");
  setenv("GAME_DOCK_DEBUG_LOG", first.c_str(), 1);
  outputDebugString("to the first");
  setenv("GAME_DOCK_DEBUG_LOG", second.c_str(), 1);
  outputDebugString("to the second");
  setenv("GAME_DOCK_DEBUG_LOG", first.c_str(), 1);
  outputDebugString("appended");
  unsetenv("GAME_DOCK_DEBUG_LOG");
  outputDebugString("back on standard error");
  EXPECT_EQ(linesOf(first), (std::vector<std::string>{"to the first", "appended"}));
  EXPECT_EQ(linesOf(second), (std::vector<std::string>{"to the second"}));
}

TEST(DebugOutput, LinesFromManyThreadsNeverInterleave) {
  testing::TempDesktop desktop;
  const std::string log = desktop.path("threads.log");
  setenv("GAME_DOCK_DEBUG_LOG", log.c_str(), 1);
  constexpr int threads = 8, perThread = 200;
  const std::string filler(3000, '.');
  std::vector<std::thread> writers;
  for (int t = 0; t < threads; ++t) {
    writers.emplace_back([&, t] {
      for (int i = 0; i < perThread; ++i) {
        outputDebugString(std::to_string(t) + ":" + std::to_string(i) + filler + "end");
      }
    });
  }
  for (std::thread& writer : writers) writer.join();
  unsetenv("GAME_DOCK_DEBUG_LOG");
  const std::vector<std::string> lines = linesOf(log);
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(threads * perThread));
  std::set<std::string> distinct;
  for (const std::string& line : lines) {
    const std::string prefix = line.substr(0, line.find('.'));
    ASSERT_EQ(line, prefix + filler + "end");
    distinct.insert(prefix);
  }
  EXPECT_EQ(distinct.size(), lines.size());
}

}  // namespace
}  // namespace os
