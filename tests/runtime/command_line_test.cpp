#include "platform/runtime/command_line.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace runtime {
namespace {

struct LookUp {
  const char* name;
  const char* answer;
};

void expectAnswers(const std::vector<LookUp>& cases) {
  for (const LookUp& c : cases) EXPECT_EQ(COMMAND(c.name), c.answer) << "COMMAND(" << c.name << ")";
}

TEST(Command, SwitchesMatchByTheirFirstCharactersIgnoringCase) {
  setCommandLine("/DebugUpkAll /LPDebugList /profile /x=1 /x=2 /überall Größe=5");
  expectAnswers({
      {"/debugupk", "DebugUpkAll"},
      {"/debugupkall", "DebugUpkAll"},
      {"/DEBUGUPKALL", "DebugUpkAll"},
      {"/debugupkfull", ""},
      {"/LPDebug", "LPDebugList"},
      {"/LPDebugListMore", ""},
      {"/Profile", "profile"},
      {"/x", "x=1"},  // the first matching word
      {"/silentupgrading", ""},
      {"/ÜBER", "überall"},
      {"GRÖSSE", ""},  // "ß" has no one-letter upper case
      {"GRÖßE", "5"},
  });
}

TEST(Command, WordsAreSplitByBlanksCommasQuotesAndSlashes) {
  setCommandLine(R"(  a/b,c,,d  "x y,z" "q""uote" "c/d" /e/f  tab	end "" last)");
  expectAnswers({
      {"1", "a"},
      {"2", "/b"},
      {"3", "c"},
      {"4", "d"},
      {"5", "x y,z"},
      {"6", "q\"uote"},
      {"7", "c/d"},
      {"8", "/e"},
      {"9", "/f"},
      {"10", "tab"},
      {"11", "end"},
      {"12", ""},
      {"13", "last"},
      {"14", ""},
      {"99999999999999999999", ""},
      {"/b", "b"},
      {"/f", "f"},
  });
}

TEST(Command, NamedValuesNeedTheEqualsSign) {
  setCommandLine(R"(Name=Value name=second "Path=C:\my dir" count= /opt=3)");
  expectAnswers({
      {"name", "Value"},
      {"NAME", "Value"},
      {"nam", ""},
      {"path", "C:\\my dir"},
      {"count", ""},
      {"opt", ""},  // "/opt=3" is a switch, not a named value
      {"missing", ""},
  });
}

TEST(Command, EmptyNameAnswersTheArgumentTextAndZeroTheProgram) {
  const std::string text = R"(/a "b c" d)";
  setCommandLine(text);
  EXPECT_EQ(COMMAND(""), text);
  const std::string program = COMMAND("0");
  EXPECT_TRUE(std::filesystem::path(program).is_absolute()) << program;
  EXPECT_EQ(program, std::filesystem::read_symlink("/proc/self/exe").string());
}

TEST(Command, SplitArgumentsAnswerAsTheTypedLineWould) {
  std::vector<std::string> arguments = {"./program",  "/debugupk", "two words", "a,b",
                                        "say \"hi\"", "",          "p/q",       "key=some value"};
  std::vector<char*> argv;
  for (std::string& a : arguments) argv.push_back(a.data());
  setCommandLine(static_cast<int>(argv.size()), argv.data());

  const std::string text = COMMAND("");
  EXPECT_EQ(text, R"(/debugupk "two words" "a,b" "say ""hi""" "" p/q "key=some value")");
  const std::vector<LookUp> expected = {
      {"1", "/debugupk"},
      {"2", "two words"},
      {"3", "a,b"},
      {"4", "say \"hi\""},
      {"5", ""},
      {"6", "p"},
      {"7", "/q"},
      {"key", "some value"},
      {"/debug", "debugupk"},
  };
  expectAnswers(expected);
  EXPECT_TRUE(std::filesystem::path(COMMAND("0")).is_absolute());

  setCommandLine(text);
  expectAnswers(expected);
}

}  // namespace
}  // namespace runtime
