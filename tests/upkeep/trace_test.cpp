#include "upkeep/trace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/runtime/ini_file.h"
#include "platform/runtime/standard_date.h"
#include "tests/upkeep/engine_fixture.h"
#include "upkeep/debug_switches.h"
#include "upkeep/engine_lifecycle.h"
#include "upkeep/profile.h"
#include "upkeep/program_file_name.h"

namespace upkeep {
namespace {

class TraceTest : public testing::EngineTest {};

TEST_F(TraceTest, ALineIsPrefixedClippedAndCutBeforeThirtyThousandBytes) {
  WriteTrace("Opening file: x   ");
  WriteTrace(std::string(40000, 'a'));
  WriteTrace(std::string("before\0after", 12));
  const std::vector<std::string> lines = takeTrace();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "[Upkeep] Opening file: x");
  EXPECT_EQ(lines[1].size(), 29999u);
  EXPECT_EQ(lines[1], "[Upkeep] " + std::string(29999 - 9, 'a'));
  EXPECT_EQ(lines[2], "[Upkeep] before") << "a NUL ends the line as in a C string";
}

struct SwitchCase {
  const char* commandLine;
  DebugLevels levels;  // loaded is not compared
  std::vector<std::string> trace;
};

TEST_F(TraceTest, SwitchesAreMatchedByFirstCharactersWithoutLetterCase) {
  const std::string version = "[Upkeep] Upkeep version: 4.11 Beta";
  const SwitchCase cases[] = {
      {"", {}, {}},
      {"/other /debug", {}, {}},
      {"/DEBUGUPK",
       {.inOutTrace = 1, .detailTrace = 1},
       {version, "[Upkeep] Upkeep debugging level: /DEBUGUPK"}},
      {"/debugupkgpf",
       {.inOutTrace = 1, .detailTrace = 1, .perFieldTrace = 1, .perValueTrace = 1},
       {version, "[Upkeep] Upkeep debugging level: /debugupkgpf"}},
      {"/DebugUpkAll",
       {.inOutTrace = 1, .detailTrace = 1, .fieldCopyDetail = 1},
       {version, "[Upkeep] Upkeep debugging level: /DebugUpkAll"}},
      {"x /debugupkfull",
       {.inOutTrace = 1,
        .detailTrace = 1,
        .perFieldTrace = 1,
        .fieldCopyDetail = 1,
        .perValueTrace = 1,
        .imageDump = 1},
       {version, "[Upkeep] Upkeep debugging level: x"}},
      {"/debugupkeptmake",
       {.inOutTrace = 1, .detailTrace = 1},
       {version, "[Upkeep] Upkeep debugging level: /debugupkeptmake"}},
      {"/debugwinupk /SilentUpgrading", {.windowLevel = 1, .silentUpgrading = 1}, {}},
  };
  for (const SwitchCase& test : cases) {
    upkeepProcessStart();
    commandLine(test.commandLine);
    LoadDebugSettings();
    const DebugLevels& levels = debugLevels();
    EXPECT_EQ(levels.loaded, 1);
    EXPECT_EQ(levels.inOutTrace, test.levels.inOutTrace) << test.commandLine;
    EXPECT_EQ(levels.detailTrace, test.levels.detailTrace) << test.commandLine;
    EXPECT_EQ(levels.perFieldTrace, test.levels.perFieldTrace) << test.commandLine;
    EXPECT_EQ(levels.fieldCopyDetail, test.levels.fieldCopyDetail) << test.commandLine;
    EXPECT_EQ(levels.perValueTrace, test.levels.perValueTrace) << test.commandLine;
    EXPECT_EQ(levels.imageDump, test.levels.imageDump) << test.commandLine;
    EXPECT_EQ(levels.developerLevel, 0) << test.commandLine;
    EXPECT_EQ(levels.windowLevel, test.levels.windowLevel) << test.commandLine;
    EXPECT_EQ(levels.silentUpgrading, test.levels.silentUpgrading) << test.commandLine;
    EXPECT_EQ(takeTrace(), test.trace) << test.commandLine;
  }
}

TEST_F(TraceTest, SwitchesAreReadOncePerRun) {
  LoadDebugSettings();
  commandLine("/debugupk");
  LoadDebugSettings();
  EXPECT_EQ(debugLevels().inOutTrace, 0);
  EXPECT_TRUE(takeTrace().empty());
}

TEST_F(TraceTest, TheDeveloperLevelComesFromTheDefaultProfileWithTheFullSwitchesOnly) {
  ASSERT_TRUE(runtime::PUTINI("VendorStaffInternalOnly", "PermitDevTraceForXOnly___Yes", "3",
                              defaultProfile()));
  const struct {
    const char* commandLine;
    int level;
  } cases[] = {{"/debugupk", 0}, {"/debugupkgpf", 0}, {"/debugupkall", 3}, {"/debugupkfull", 3}};
  for (const auto& test : cases) {
    upkeepProcessStart();
    commandLine(test.commandLine);
    LoadDebugSettings();
    EXPECT_EQ(debugLevels().developerLevel, test.level) << test.commandLine;
    const std::vector<std::string> lines = takeTrace();
    EXPECT_EQ(
        lines.back() == "[Upkeep] WARNING: Devdbg is turned on - this will reveal passwords!!!",
        test.level != 0)
        << test.commandLine;
  }
}

TEST_F(TraceTest, TheProfileIsWrittenWithTheProfileSwitchOnly) {
  profile().usingFile = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
  profile().copyRec[6] = 7;
  profile().other[18] = 19;
  for (int section = 0; section <= 6; ++section) ProfileReport(section);
  EXPECT_TRUE(takeTrace().empty());

  commandLine("/profile");
  for (int section = 0; section <= 6; ++section) ProfileReport(section);
  EXPECT_EQ(takeTrace(),
            (std::vector<std::string>{
                "[Upkeep] Profile of ds_UsingFile :  1 2 3 4 5 6 7 8 9 10 11 12 ::  13",
                "[Upkeep] Profile of generatescripts :  ::  0 0 0 0 0 0 0 0 0 0 0 0 0",
                "[Upkeep] Profile of UpgradeFileEx :  0 0 0 0 0 0 0 0 0 0 0",
                "[Upkeep] Profile of copyrec :  0 0 0 0 0 0 7 ::",
                "[Upkeep] Profile of onefield :  0 0 0",
                "[Upkeep] Profile of xxx :  0 0 0 0 0 0 0 0 0 0",
                "[Upkeep]  0 0 0 0 0 0 0 0 19",
                "[Upkeep] Profile of buildsqlinsert :  0 0 0 0 0 0 0 0 0 0 0 0",
            }));
}

TEST_F(TraceTest, APhaseAddsItsElapsedHundredths) {
  int now = 1000;
  runtime::setLocalClock([&now] { return runtime::LocalMoment{.date = 80000, .time = now}; });
  profileStart();
  now = 1250;
  profileLap(profile().upgradeFile[0]);
  now = 1300;
  profileLap(profile().upgradeFile[0]);
  runtime::setLocalClock({});
  EXPECT_EQ(profile().upgradeFile[0], 300);
}

TEST_F(TraceTest, TheProgramFileNameHasNoFolder) {
  EXPECT_EQ(ProgramFileName(), "upkeep_tests");
  EXPECT_EQ(programFolder().back(), '/');
  EXPECT_EQ(programFolder().find("upkeep_tests"), std::string::npos);
}

}  // namespace
}  // namespace upkeep
